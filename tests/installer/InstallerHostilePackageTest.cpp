#include "tests/installer/InstallerFixture.h"

#include "installer/Source/InstallerErrors.h"

#include <sys/stat.h>

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
