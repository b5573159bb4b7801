#include "tests/installer/InstallerFixture.h"

#include "installer/Source/InstallerController.h"
#include "installer/Source/InstallerErrors.h"

#include <sys/stat.h>

#include <sstream>

namespace hc::installer::test {
namespace {

class InstallerHostilePackageTest : public InstallerFixture {
 protected:
  void SetUp() override {
    InstallerFixture::SetUp();
    makeApplication();
    writeFile(stage_ / "evil.txt", "evil\n");
  }

  // Packs the staged bill of materials and the given members with extra tar
  // options (the names are taken as they stand, "../" and "/" included).
  void packWith(const std::vector<BomLine>& lines, const std::vector<std::string>& options,
                const std::vector<std::string>& members) {
    writeFile(stage_ / "Update.xml", bomText("billofmaterials", lines));
    std::vector<std::string> tar = {"tar", "czf", (root_ / "Update.tgz").string(), "-P",
                                    "-C", stage_.string()};
    tar.insert(tar.end(), options.begin(), options.end());
    tar.push_back("Update.xml");
    tar.insert(tar.end(), members.begin(), members.end());
    ToolResult result = runTool(tar);
    ASSERT_EQ(0, result.status) << result.output;
  }
};

TEST_F(InstallerHostilePackageTest, BillEntriesThatLeaveTheirFolderAreRefused) {
  const fs::path before = snapshot();
  BomLine escapes = stagedFile("../Escaped.txt", "evil.txt", "add");
  BomLine absolute = stagedFile((root_ / "Absolute.txt").string(), "evil.txt", "add");
  BomLine fromOutside = stagedFile("Resources/x.txt", "evil.txt", "add");
  fromOutside.packagepath = "../../../../victim.txt";
  BomLine removesParent{.relativepath = "Resources/../..", .operation = "remove"};
  BomLine linkOut{.relativepath = "Resources/up", .operation = "add", .filetype = "link",
                  .link = "../../outside"};
  BomLine linkAbsolute{.relativepath = "Resources/etc", .operation = "replace",
                       .filetype = "link", .link = "/etc"};
  struct Case {
    const char* name;
    BomLine line;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"relative escape", escapes, "\"../Escaped.txt\" leaves the application"},
      {"absolute path", absolute, "leaves the application"},
      {"package path escape", fromOutside, "from outside the package"},
      {"remove above the copy", removesParent, "leaves the application"},
      {"link out of the application", linkOut, "links to \"../../outside\" outside the application"},
      {"absolute link", linkAbsolute, "links to \"/etc\" outside the application"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A harmless entry first: nothing of the update may be installed.
    writeFile(stage_ / "fine.txt", "fine\n");
    makePackage({stagedFile("Resources/fine.txt", "fine.txt", "add"), c.line});
    expectRefused(writeDefinition(), KsPackageBOMNotFound, c.reason, before);
    EXPECT_FALSE(fs::exists(appWrapper_ / "Escaped.txt"));
    EXPECT_FALSE(fs::exists(root_ / "Absolute.txt"));
  }
}

TEST_F(InstallerHostilePackageTest, LinksThatStayInsideTheApplicationAreInstalled) {
  BomLine relative{.relativepath = "Resources/up", .operation = "add", .filetype = "link",
                   .link = "../MacOS/HalcyonPlayer"};
  BomLine absolute{.relativepath = "Resources/abs", .operation = "add", .filetype = "link",
                   .link = (installBase_ / "Info.plist").string()};
  makePackage({relative, absolute});
  const fs::path definition = writeDefinition();
  EXPECT_EQ(0, runInstaller({definition})) << statusOf(definition);
  EXPECT_EQ("../MacOS/HalcyonPlayer", fs::read_symlink(installBase_ / "Resources" / "up").string());
  EXPECT_EQ("player v1\n", readFile(installBase_ / "Resources" / "up"));
}

TEST_F(InstallerHostilePackageTest, TarMembersOutsideThePackageAreRefused) {
  const fs::path before = snapshot();
  fs::create_symlink("/etc", stage_ / "etc-link");
  fs::create_hard_link(stage_ / "evil.txt", stage_ / "hard.txt");
  struct Case {
    const char* name;
    std::vector<std::string> options;
    std::vector<std::string> members;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"dot-dot member", {"--transform", "s,^evil.txt$,../../../escaped-by-tar.txt,"},
       {"evil.txt"}, "lies outside the package"},
      {"absolute member",
       {"--transform", "s,^evil.txt$," + (root_ / "absolute-by-tar.txt").string() + ","},
       {"evil.txt"}, "lies outside the package"},
      {"link leaving the package", {}, {"etc-link"}, "symbolic link that leaves the package"},
      {"hard link", {}, {"evil.txt", "hard.txt"}, "is a hard link"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    packWith({{.relativepath = "Info.plist", .operation = "unchanged"}}, c.options, c.members);
    expectRefused(writeDefinition(), KsPackageUnpackageFailed, c.reason, before);
    EXPECT_FALSE(fs::exists(root_ / "escaped-by-tar.txt"));
    EXPECT_FALSE(fs::exists(root_ / "absolute-by-tar.txt"));
  }
}

TEST_F(InstallerHostilePackageTest, TarMemberWrittenThroughAPlantedLinkIsRefused) {
  const fs::path before = snapshot();
  // A link that stays in the package, then a member written through it.
  const fs::path second = root_ / "stage2";
  fs::create_symlink(".", stage_ / "sub");
  writeFile(second / "sub" / "evil.txt", "evil\n");
  writeFile(stage_ / "Update.xml",
            bomText("billofmaterials", {{.relativepath = "Info.plist", .operation = "unchanged"}}));
  const std::string archive = (root_ / "Update.tar").string();
  ASSERT_EQ(0, runTool({"tar", "cf", archive, "-C", stage_.string(), "Update.xml", "sub"}).status);
  ASSERT_EQ(0, runTool({"tar", "rf", archive, "-C", second.string(), "sub/evil.txt"}).status);
  ASSERT_EQ(0, runTool({"gzip", archive}).status);
  fs::rename(archive + ".gz", root_ / "Update.tgz");
  expectRefused(writeDefinition(), KsPackageUnpackageFailed, "written through a symbolic link",
                before);
}

TEST_F(InstallerHostilePackageTest, ChainedBillLinksAreJudgedByWhereTheyLead) {
  auto link = [](const std::string& path, const std::string& target) {
    return BomLine{.relativepath = path, .operation = "add", .filetype = "link", .link = target};
  };
  // Each target alone stays inside; through the links before it, l1 already
  // leads to the application's parent folder.
  const fs::path before = snapshot();
  makePackage({link("l0", "."), link("l1", "l0/.."), link("l2", "l1/.."), link("l3", "l2/outside")});
  expectRefused(writeDefinition(), KsFileVerifyLinkMismatch, "leads outside the application",
                before);

  // A link the application already has, sent outside by a new one.
  fs::create_symlink("Current/..", installBase_ / "Top");
  const fs::path withTop = snapshot("with-top");
  makePackage({{.relativepath = "Resources", .operation = "replace", .filetype = "link",
                .link = "."}});
  expectRefused(writeDefinition(), KsFileVerifyLinkMismatch, "Top leads outside the application",
                withTop);

  // Chains that stay inside install, beside a link of the application's own
  // that already led outside and is left as it is.
  fs::create_symlink("/usr/share", installBase_ / "System");
  makePackage({link("l0", "."), link("l1", "l0/MacOS/HalcyonPlayer"), link("l2", "l0/l0/l1")});
  const fs::path definition = writeDefinition();
  EXPECT_EQ(0, runInstaller({definition})) << statusOf(definition);
  EXPECT_EQ("player v1\n", readFile(installBase_ / "l2"));
  EXPECT_EQ("/usr/share", fs::read_symlink(installBase_ / "System").string());
}

TEST_F(InstallerHostilePackageTest, ChainedPackageLinksCannotReachABillOutside) {
  // Inside the unpacking folder l3 would lead three folders up, to root_,
  // and the bill would be read from there.
  writeFile(root_ / "outside.xml",
            bomText("billofmaterials", {stagedFile("evil.txt", "evil.txt", "add")}));
  const fs::path before = snapshot();
  fs::create_symlink(".", stage_ / "l0");
  fs::create_symlink("l0/..", stage_ / "l1");
  fs::create_symlink("l1/..", stage_ / "l2");
  fs::create_symlink("l2/..", stage_ / "l3");
  fs::create_symlink("l3/outside.xml", stage_ / "Update.xml");
  ToolResult tar = runTool({"tar", "czf", (root_ / "Update.tgz").string(), "-C", stage_.string(),
                            "l0", "l1", "l2", "l3", "Update.xml", "evil.txt"});
  ASSERT_EQ(0, tar.status) << tar.output;
  expectRefused(writeDefinition(), KsPackageUnpackageFailed,
                "is a symbolic link that leaves the package", before);
  EXPECT_FALSE(fs::exists(installBase_ / "evil.txt"));
}

TEST_F(InstallerHostilePackageTest, WhatChangesBetweenCheckAndInstallIsNotInstalled) {
  const fs::path before = snapshot();
  writeFile(stage_ / "new.txt", "brand new\n");
  struct Case {
    const char* name;
    bool changeFile;
    int code;
  };
  // The bill is read once: a bill rewritten after the check adds nothing.
  // A package file rewritten after its check (same size) is caught as it is
  // copied.
  for (const Case& c : {Case{"bill", false, 0}, Case{"file", true, KsFileVerifyFingerprintMismatch}}) {
    SCOPED_TRACE(c.name);
    makePackage({stagedFile("Resources/new.txt", "new.txt", "add")});
    InstallerController controller(writeDefinition().string(), false);
    ASSERT_TRUE(controller.unpackageAndVerify());
    const fs::path unpacked = controller.packageWorkingDirectory();
    writeFile(unpacked / "evil.txt", "evil\n");
    writeFile(unpacked / "Update.xml",
              bomText("billofmaterials", {stagedFile("Resources/new.txt", "new.txt", "add"),
                                          stagedFile("evil.txt", "evil.txt", "add")}));
    if (c.changeFile) writeFile(unpacked / "new.txt", "BRAND NEW\n");
    ASSERT_TRUE(controller.duplicateOriginalAndVerify());
    EXPECT_EQ(c.code == 0, controller.installAndVerify());
    EXPECT_EQ(c.code, controller.returnCode());
    if (c.code == 0) controller.replaceOriginal();
    controller.cleanup();
    controller.removeWorkingDirectory();
    EXPECT_FALSE(fs::exists(installBase_ / "evil.txt"));
    if (c.code == 0) {
      EXPECT_EQ("brand new\n", readFile(installBase_ / "Resources" / "new.txt"));
      fs::remove(installBase_ / "Resources" / "new.txt");
    } else {
      EXPECT_NE(std::string::npos,
                controller.errorString()->find("new.txt has had its contents changed"));
    }
    EXPECT_TRUE(sameTree(before, installBase_));
    expectNoLeftovers();
  }
}

TEST_F(InstallerHostilePackageTest, PathsInMessagesStayOnTheirLine) {
  const fs::path before = snapshot();
  makePackage({stagedFile("../evil\nline\\.txt", "evil.txt", "add")});
  expectRefused(writeDefinition(), KsPackageBOMNotFound, "leaves the application", before);
  EXPECT_EQ("9\nBill of materials entry \"../evil\\nline\\\\.txt\" leaves the application.\n"
            "Internal Installer Error (KsPackageBOMNotFound)\n",
            statusOf(root_ / "Update.plist"));

  BomLine missing = stagedFile("Resources/x.txt", "evil.txt", "add");
  missing.packagepath = "no\nsuch\r\x01.txt";
  makePackage({missing});
  expectRefused(writeDefinition(), KsFileVerifyFileMissing, "no\\nsuch\\r\\x01.txt missing!",
                before);
  std::istringstream status(statusOf(root_ / "Update.plist"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(status, line);) lines.push_back(line);
  EXPECT_EQ(2u, lines.size());
}

TEST_F(InstallerHostilePackageTest, InstalledLinksAreNeverWrittenThrough) {
  const fs::path outside = root_ / "outside";
  fs::create_directories(outside);
  writeFile(root_ / "victim.txt", "victim\n");
  fs::create_directory_symlink(outside, installBase_ / "Outside");
  fs::create_symlink(root_ / "victim.txt", installBase_ / "Resources" / "victim.txt");
  const fs::path before = snapshot();
  struct Case {
    const char* name;
    std::string relativePath;
    std::string operation;
    int code;
  };
  const std::vector<Case> cases = {
      {"link outside as parent", "Outside/pwn.txt", "add", KsInstallAddFileFailed},
      {"link inside as parent", "Current/new.txt", "add", KsInstallAddFileFailed},
      {"link as the file itself", "Resources/victim.txt", "add", KsInstallAddFileFailed},
      {"link as parent of a replaced file", "Outside/pwn.txt", "replace",
       KsInstallReplaceRemoveFileFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    makePackage({stagedFile(c.relativePath, "evil.txt", c.operation)});
    expectRefused(writeDefinition(), c.code, "symbolic link", before);
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_EQ("victim\n", readFile(root_ / "victim.txt"));
  }
  // Removing through a planted link is refused as well.
  makePackage({{.relativepath = "Outside/keep.txt", .operation = "remove"}});
  writeFile(outside / "keep.txt", "keep\n");
  const fs::path withKeep = snapshot("with-keep");
  expectRefused(writeDefinition(), KsInstallRemoveFileFailed, "symbolic link", withKeep);
  EXPECT_EQ("keep\n", readFile(outside / "keep.txt"));
}

TEST_F(InstallerHostilePackageTest, ModesFromThePackageAreMasked) {
  writeFile(stage_ / "tool", "tool\n", fs::perms(07777));
  ASSERT_EQ(0, ::chmod((stage_ / "tool").c_str(), 06777));
  BomLine folder{.relativepath = "Shared", .operation = "add", .filetype = "directory",
                 .permissions = std::to_string(01777)};
  makePackage({stagedFile("MacOS/tool", "tool", "add"), folder});
  const fs::path definition = writeDefinition();
  EXPECT_EQ(0, runInstaller({definition})) << statusOf(definition);
  struct stat info;
  ASSERT_EQ(0, ::lstat((installBase_ / "MacOS" / "tool").c_str(), &info));
  EXPECT_EQ(0775u, info.st_mode & 07777);
  ASSERT_EQ(0, ::lstat((installBase_ / "Shared").c_str(), &info));
  EXPECT_EQ(0775u, info.st_mode & 07777);
}

TEST_F(InstallerHostilePackageTest, SetIdBitsOfCatalogFilesAreCleared) {
  ASSERT_EQ(0, ::chmod((installBase_ / "MacOS" / "HalcyonPlayer").c_str(), 04755));
  makePackage({{.relativepath = "Info.plist", .operation = "unchanged"}});
  const fs::path definition = writeDefinition();
  EXPECT_EQ(0, runInstaller({definition})) << statusOf(definition);
  struct stat info;
  ASSERT_EQ(0, ::lstat((installBase_ / "MacOS" / "HalcyonPlayer").c_str(), &info));
  EXPECT_EQ(0755u, info.st_mode & 07777);
}

}  // namespace
}  // namespace hc::installer::test
