#include "tests/installer/InstallerFixture.h"

#include "installer/Source/InstallerErrors.h"

#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace hc::installer::test {
namespace {

class InstallerRunTest : public InstallerFixture {
 protected:
  // Stages a package that replaces the program, removes a resource, adds a
  // folder, a file in it, a file and a link, leaves Info.plist unchanged and
  // brings a new catalog; builds the tree expected after it in root/expected.
  std::vector<BomLine> stageFullUpdate() {
    const fs::path expected = snapshot("expected");
    writeFile(stage_ / "payload" / "HalcyonPlayer", "player v2\n", fs::perms(0755));
    writeFile(stage_ / "payload" / "new.txt", "brand new\n");
    writeFile(stage_ / "payload" / "Tool.hcplugin", "plugin\n", fs::perms(0640));

    writeFile(expected / "MacOS" / "HalcyonPlayer", "player v2\n", fs::perms(0755));
    fs::remove(expected / "Resources" / "old.txt");
    writeFile(expected / "Resources" / "new.txt", "brand new\n");
    fs::create_directory(expected / "PlugIns");
    writeFile(expected / "PlugIns" / "Tool.hcplugin", "plugin\n");
    fs::create_symlink("Resources/new.txt", expected / "Latest");

    // The new catalog describes the tree after the update.
    const fs::path originalBase = installBase_;
    installBase_ = expected;
    writeCatalog({"MacOS/HalcyonPlayer", "Resources/a.txt", "Resources/new.txt", "Info.plist",
                  "PlugIns/Tool.hcplugin"});
    installBase_ = originalBase;
    fs::copy_file(expected / "Contents.catalog", stage_ / "payload" / "Contents.catalog");

    BomLine plugIns{.relativepath = "PlugIns", .operation = "add", .filetype = "directory",
                    .permissions = "493"};
    BomLine latest{.relativepath = "Latest", .operation = "add", .filetype = "link",
                   .link = "Resources/new.txt"};
    return {stagedFile("MacOS/HalcyonPlayer", "payload/HalcyonPlayer", "replace"),
            {.relativepath = "Resources/old.txt", .operation = "remove"},
            stagedFile("Resources/new.txt", "payload/new.txt", "add"),
            plugIns,
            stagedFile("PlugIns/Tool.hcplugin", "payload/Tool.hcplugin", "add"),
            latest,
            {.relativepath = "Info.plist", .operation = "unchanged"},
            stagedFile("Contents.catalog", "payload/Contents.catalog", "replace")};
  }
};

TEST_F(InstallerRunTest, InstallsExactlyTheListedChangesAndReportsSuccess) {
  makeApplication();
  makePackage(stageFullUpdate());
  const fs::path definition = writeDefinition();

  EXPECT_EQ(0, runInstaller({definition}));

  std::string differences;
  EXPECT_TRUE(sameTree(root_ / "expected", installBase_, &differences)) << differences;
  EXPECT_EQ("0\n\n", statusOf(definition));
  EXPECT_FALSE(fs::exists(definition));
  EXPECT_FALSE(fs::exists(root_ / "Update.tgz"));
  expectNoLeftovers();
  struct stat info;
  ASSERT_EQ(0, ::stat((installBase_ / "PlugIns").c_str(), &info));
  EXPECT_EQ(0755u, info.st_mode & 07777);
  ASSERT_EQ(0, ::stat((installBase_ / "PlugIns" / "Tool.hcplugin").c_str(), &info));
  EXPECT_EQ(0640u, info.st_mode & 07777);
}

TEST_F(InstallerRunTest, OnlyUnchangedEntriesSwapInAnIdenticalCopy) {
  makeApplication();
  const fs::path before = snapshot();
  makePackage({{.relativepath = "Info.plist", .operation = "unchanged"}});
  const fs::path definition = writeDefinition();
  struct stat original, installed;
  ASSERT_EQ(0, ::stat(installBase_.c_str(), &original));

  EXPECT_EQ(0, runInstaller({definition}));
  ASSERT_EQ(0, ::stat(installBase_.c_str(), &installed));
  EXPECT_NE(original.st_ino, installed.st_ino);  // the copy took the tree's place
  EXPECT_TRUE(sameTree(before, installBase_));
  EXPECT_EQ("0\n\n", statusOf(definition));
  expectNoLeftovers();
}

TEST_F(InstallerRunTest, CatalogCheckRunsOnTheCopyEvenWithoutChanges) {
  makeApplication();
  // The installed file no longer matches its catalog.
  writeFile(installBase_ / "Resources" / "a.txt", "ALPHA\n");
  const fs::path before = snapshot();
  makePackage({{.relativepath = "Info.plist", .operation = "unchanged"}});
  expectRefused(writeDefinition(), KsFileVerifyFingerprintMismatch, "has had its contents changed",
                before);
}

TEST_F(InstallerRunTest, ApplicationWithoutCatalogPassesTheCatalogCheck) {
  makeApplication();
  fs::remove(installBase_ / "Contents.catalog");
  makePackage({{.relativepath = "Info.plist", .operation = "unchanged"}});
  const fs::path definition = writeDefinition();
  EXPECT_EQ(0, runInstaller({definition}));
  EXPECT_EQ("0\n\n", statusOf(definition));
}

// A socket, a device node and a FIFO in the installed tree outlive an
// update as the same files: a program listening on the socket is still
// reached through it afterwards.
TEST_F(InstallerRunTest, SocketsDevicesAndFifosInTheApplicationAreKept) {
  makeApplication();
  const fs::path socketPath = installBase_ / "Resources" / "player.sock";
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.string().size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, socketPath.c_str());
  const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_LE(0, listener);
  ASSERT_EQ(0, ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address));
  ASSERT_EQ(0, ::listen(listener, 1));
  const fs::path devicePath = installBase_ / "null";
  const bool madeDevice = ::mknod(devicePath.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  ASSERT_EQ(0, ::mkfifo((installBase_ / "pipe").c_str(), 0640));
  struct stat socketBefore;
  ASSERT_EQ(0, ::lstat(socketPath.c_str(), &socketBefore));

  writeFile(stage_ / "new.txt", "new\n");
  makePackage({stagedFile("new.txt", "new.txt", "add")});
  const fs::path definition = writeDefinition();
  EXPECT_EQ(0, runInstaller({definition})) << statusOf(definition);
  EXPECT_EQ("new\n", readFile(installBase_ / "new.txt"));

  struct stat info;
  ASSERT_EQ(0, ::lstat(socketPath.c_str(), &info));
  EXPECT_TRUE(S_ISSOCK(info.st_mode));
  EXPECT_EQ(socketBefore.st_ino, info.st_ino);
  const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  EXPECT_EQ(0, ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address));
  ::close(client);
  ::close(listener);
  ASSERT_EQ(0, ::lstat((installBase_ / "pipe").c_str(), &info));
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_EQ(0640u, info.st_mode & 07777);
  if (madeDevice) {
    ASSERT_EQ(0, ::lstat(devicePath.c_str(), &info));
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_EQ(makedev(1, 3), info.st_rdev);
  }
  expectNoLeftovers();
}

TEST_F(InstallerRunTest, UnknownFileTypeStopsLaterAdditionsAndKeepsTheApplication) {
  for (const char* operation : {"replace", "add"}) {
    SCOPED_TRACE(operation);
    fs::remove_all(appWrapper_);
    fs::remove_all(stage_);
    makeApplication();
    const fs::path before = snapshot(std::string("before-") + operation);
    writeFile(stage_ / "late.txt", "late\n");
    makePackage({{.relativepath = "Info.plist", .operation = operation, .filetype = "socket"},
                 stagedFile("late.txt", "late.txt", "add")});
    const fs::path definition = writeDefinition(std::string(operation) + ".plist");
    const int code = std::string(operation) == "replace" ? KsInstallReplaceUnknownFileType
                                                        : KsInstallAddUnknownFileType;
    expectRefused(definition, code, "Unknown file type \"socket\"", before);
  }
}

TEST_F(InstallerRunTest, PackageThatDoesNotDecompressToItsTarNameIsRefused) {
  makeApplication();
  const fs::path before = snapshot();
  // gunzip makes "Update.v2" of "Update.v2-gz", whose base name asks for "Update.tar".
  makePackage({{.relativepath = "Info.plist", .operation = "unchanged"}}, "Update.v2-gz");
  expectRefused(writeDefinition("Update.plist", "Update.v2-gz"), KsPackageMoveFailed,
                "does not decompress to Update.tar", before);
  // A package named Update.gz decompresses onto its own unpacking folder.
  makePackage({{.relativepath = "Info.plist", .operation = "unchanged"}}, "Update.gz");
  expectRefused(writeDefinition("Update.plist", "Update.gz"), KsPackageDecompressFailed,
                "File exists", before);
  writeFile(root_ / "Update.zip", "PK");
  expectRefused(writeDefinition("Update.plist", "Update.zip"), KsPackageDecompressFailed,
                "has no suffix of a gzip-compressed file", before);
}

TEST_F(InstallerRunTest, PackageThatIsNotGzipIsRefused) {
  makeApplication();
  const fs::path before = snapshot();
  writeFile(root_ / "Update.tgz", "plain text, no gzip\n");
  expectRefused(writeDefinition(), KsPackageDecompressFailed, "not gzip", before);
}

TEST_F(InstallerRunTest, LeftoverTemporaryFolderStopsTheDuplicate) {
  makeApplication();
  fs::create_directory(appWrapper_ / ".kstltmp");
  const fs::path before = snapshot();
  makePackage({{.relativepath = "Info.plist", .operation = "unchanged"}});
  const fs::path definition = writeDefinition();
  EXPECT_EQ(KsDuplicateOriginalMakeTempDirectoryFailed, runInstaller({definition}));
  EXPECT_TRUE(fs::exists(appWrapper_ / ".kstltmp"));  // not ours: left alone
  EXPECT_TRUE(sameTree(before, installBase_));
  EXPECT_EQ("19\n", statusOf(definition).substr(0, 3));
}

TEST_F(InstallerRunTest, LaterDefinitionsAfterAFailureOnlyGetTheirStatus) {
  makeApplication();
  writeFile(stage_ / "first.txt", "first\n");
  makePackage({stagedFile("first.txt", "first.txt", "add")}, "First.tgz");
  const fs::path first = writeDefinition("First.plist", "First.tgz");
  // The second package does not exist; the third would install.
  const fs::path second = writeDefinition("Second.plist", "Missing.tgz");
  fs::remove_all(stage_);
  writeFile(stage_ / "third.txt", "third\n");
  makePackage({stagedFile("third.txt", "third.txt", "add")}, "Third.tgz");
  const fs::path third = writeDefinition("Third.plist", "Third.tgz");

  EXPECT_EQ(KsPackageNotFound, runInstaller({first, second, third}));

  EXPECT_EQ("0\n\n", statusOf(first));
  EXPECT_EQ("first\n", readFile(installBase_ / "first.txt"));
  EXPECT_EQ("15\n", statusOf(second).substr(0, 3));
  EXPECT_NE(std::string::npos, statusOf(second).find("Internal Installer Error (KsPackageNotFound)"));
  EXPECT_EQ("-1\n\n", statusOf(third));
  EXPECT_FALSE(fs::exists(installBase_ / "third.txt"));
  EXPECT_FALSE(fs::exists(root_ / "Third.tgz"));  // its package is removed all the same
  expectNoLeftovers();
}

TEST_F(InstallerRunTest, DefinitionIsCheckedBeforeTheFirstStep) {
  makeApplication();
  const fs::path before = snapshot();
  makePackage({{.relativepath = "Info.plist", .operation = "unchanged"}});
  struct Case {
    const char* name;
    std::string content;
    std::string reason;
  };
  const std::string package = (root_ / "Update.tgz").string();
  const std::vector<Case> cases = {
      {"not-a-plist", "this is not a property list", "cannot be read"},
      {"no-install-base",
       "<plist><dict><key>KsUpdateUpdatePath</key><string>" + package +
           "</string><key>KsUpdateInstallPath</key><string>" + installBase_.string() +
           "</string><key>KsUpdateAppDefinitions</key><dict><key>KsUpdatePathDefinitions</key>"
           "<dict><key>AppWrapper</key><string>/x</string></dict></dict></dict></plist>",
       "\"InstallBase\""},
      {"no-package",
       "<plist><dict><key>InstallBase</key><string>Contents</string>"
       "<key>KsUpdateInstallPath</key><string>" + installBase_.string() +
           "</string><key>KsUpdateAppDefinitions</key><dict><key>KsUpdatePathDefinitions</key>"
           "<dict><key>AppWrapper</key><string>/x</string></dict></dict></dict></plist>",
       "\"KsUpdateUpdatePath\""},
      {"no-path-for-key",
       "<plist><dict><key>InstallBase</key><string>Contents</string>"
       "<key>KsUpdateUpdatePath</key><string>" + package +
           "</string><key>KsUpdateAppDefinitions</key><dict><key>KsUpdatePathDefinitions</key>"
           "<dict><key>AppWrapper</key><string>/x</string></dict></dict></dict></plist>",
       "\"Contents\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path definition = root_ / (std::string(c.name) + ".plist");
    writeFile(definition, c.content);
    expectRefused(definition, KsPackageNotFound, c.reason, before);
  }
  // A definition that does not exist still gets its status file.
  const fs::path missing = root_ / "Missing.plist";
  EXPECT_EQ(KsPackageNotFound, runInstaller({missing}));
  EXPECT_EQ("15\n", statusOf(missing).substr(0, 3));
}

TEST_F(InstallerRunTest, PackageFilesAreVerifiedAgainstTheBill) {
  makeApplication();
  const fs::path before = snapshot();
  writeFile(stage_ / "new.txt", "brand new\n");
  struct Case {
    const char* name;
    BomLine line;
    int code;
    std::string reason;
  };
  BomLine good = stagedFile("Resources/new.txt", "new.txt", "add");
  BomLine wrongSize = good, wrongFingerprint = good, missing = good, noDigest = good;
  wrongSize.size = "11";
  wrongFingerprint.fingerprint = std::string(64, '0');
  missing.packagepath = "absent.txt";
  noDigest.fingerprinttype = "no-such-digest";
  const std::vector<Case> cases = {
      {"size", wrongSize, KsFileVerifyFileSizeMismatch, "is 10 installer expected 11."},
      {"fingerprint", wrongFingerprint, KsFileVerifyFingerprintMismatch, "contents changed"},
      {"missing", missing, KsFileVerifyFileMissing, "absent.txt missing!"},
      {"digest", noDigest, KsFileVerifyFingerprintMismatch, "contents changed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    makePackage({c.line});
    expectRefused(writeDefinition(), c.code, c.reason, before);
  }
}

TEST_F(InstallerRunTest, BillOrCatalogWithoutItsRootElementIsAnError) {
  makeApplication();
  const fs::path before = snapshot();
  writeFile(stage_ / "Update.xml", "<file><relativepath>x</relativepath></file>\n");
  ASSERT_EQ(0, runTool({"tar", "czf", (root_ / "Update.tgz").string(), "-C", stage_.string(), "."})
                   .status);
  expectRefused(writeDefinition(), KsPackageBOMNotFound, "has no \"billofmaterials\" element",
                before);

  writeFile(installBase_ / "Contents.catalog", "<catalg></catalg>\n");
  const fs::path brokenCatalog = snapshot("broken-catalog");
  makePackage({{.relativepath = "Info.plist", .operation = "unchanged"}});
  expectRefused(writeDefinition(), KsPackageBOMNotFound, "has no \"catalog\" element",
                brokenCatalog);
}

TEST_F(InstallerRunTest, ProgramPrintsUsageWithoutArguments) {
  ToolResult result = runTool({UPDATE_INSTALLER_PROGRAM});
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("usage: UpdateInstaller path-to-update-definition\n", result.output);
}

TEST_F(InstallerRunTest, ProgramTreatsShellCharactersAsPlainNames) {
  appWrapper_ = root_ / "it's \"$HOME\" `id` !x; rm -rf" / "Halcyon Player.app";
  installBase_ = appWrapper_ / "Contents";
  makeApplication();
  writeFile(stage_ / "odd $(name) 'q'.txt", "odd\n");
  makePackage({stagedFile("Resources/odd $(name) 'q'.txt", "odd $(name) 'q'.txt", "add")},
              "Up $date `x`.tgz");
  const fs::path definition = writeDefinition("Def 'x' $y.plist", "Up $date `x`.tgz");

  ToolResult quiet = runTool({UPDATE_INSTALLER_PROGRAM, definition.string()});
  EXPECT_EQ(0, quiet.status) << quiet.output;
  EXPECT_EQ("", quiet.output);  // no debug mode: nothing logged
  EXPECT_EQ("odd\n", readFile(installBase_ / "Resources" / "odd $(name) 'q'.txt"));
  EXPECT_EQ("0\n\n", statusOf(definition));
  expectNoLeftovers();
}

TEST_F(InstallerRunTest, DebugModeLogsEveryStep) {
  makeApplication();
  makePackage({{.relativepath = "Info.plist", .operation = "unchanged"}});
  const fs::path definition = writeDefinition();
  ToolResult result = runTool({UPDATE_INSTALLER_PROGRAM, "--debug-mode", definition.string()});
  EXPECT_EQ(0, result.status) << result.output;
  // The environment variable turns it on as well.
  ::setenv("UPDATE_INSTALLER_DEBUG_MODE", "YES", 1);
  ToolResult fromEnvironment = runTool({UPDATE_INSTALLER_PROGRAM, (root_ / "absent.plist").string()});
  ::unsetenv("UPDATE_INSTALLER_DEBUG_MODE");
  EXPECT_EQ(KsPackageNotFound, fromEnvironment.status);
  EXPECT_NE(std::string::npos, fromEnvironment.output.find("UpdateInstaller result: 15"));
  for (const char* line :
       {"- (id)initWithUpdateDefinition:(NSString *)updateDefinitionPath;",
        "- (BOOL)unpackageAndVerify; result = 0", "- (BOOL)duplicateOriginalAndVerify; result = 0",
        "- (BOOL)installAndVerify; result = 0", "- (BOOL)replaceOriginal; result = 0",
        "- (BOOL)cleanup; result = 0", "UpdateInstaller result: 0"}) {
    EXPECT_NE(std::string::npos, result.output.find(line)) << line;
  }
}

}  // namespace
}  // namespace hc::installer::test
