#include "tests/installer/InstallerFixture.h"

#include "installer/Source/InstallerErrors.h"

namespace hc::installer::test {
namespace {

class InstallerVerifyFileTest : public InstallerFixture {};

TEST_F(InstallerVerifyFileTest, OnlyRegularFilesListedAsFilesAreChecked) {
  makeApplication();
  // The catalog lists a folder and a link as files, and a missing link.
  writeCatalog({"MacOS/HalcyonPlayer", "Resources/a.txt", "Info.plist"},
               {{.relativepath = "Resources", .size = "1", .fingerprint = "0"},
                {.relativepath = "Current", .size = "1", .fingerprint = "0"},
                {.relativepath = "Missing", .filetype = "link", .link = "x"}});
  // A bill of removals only: nothing in the package is verified.
  makePackage({{.relativepath = "Resources/old.txt", .operation = "remove"},
               {.relativepath = "Never/There", .operation = "remove"}});
  const fs::path definition = writeDefinition();
  EXPECT_EQ(0, runInstaller({definition})) << statusOf(definition);
  EXPECT_FALSE(fs::exists(installBase_ / "Resources" / "old.txt"));
}

TEST_F(InstallerVerifyFileTest, ExitStatusCarriesACleanupFailureAfterASuccessfulInstall) {
  makeApplication();
  writeFile(stage_ / "new.txt", "new\n");
  makePackage({stagedFile("new.txt", "new.txt", "add")});
  const fs::path definition = writeDefinition();
  // Something that is not a file stands where the status file goes.
  writeFile(root_ / "Update.plist.status" / "keep", "keep\n");
  EXPECT_EQ(KsInstallerUnableToRenameStatusFile, runInstaller({definition}));
  EXPECT_EQ("new\n", readFile(installBase_ / "new.txt"));
  EXPECT_EQ("keep\n", readFile(root_ / "Update.plist.status" / "keep"));
  EXPECT_TRUE(fs::exists(definition));
  expectNoLeftovers();
}

}  // namespace
}  // namespace hc::installer::test
