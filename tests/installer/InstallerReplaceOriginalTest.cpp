#include "tests/installer/InstallerFixture.h"

#include "installer/Source/InstallerController.h"

namespace hc::installer::test {
namespace {

class InstallerReplaceOriginalTest : public InstallerFixture {
 protected:
  // A controller whose steps up to the swap succeeded, adding one file.
  std::unique_ptr<InstallerController> preparedController(bool atomicExchange) {
    fs::remove_all(stage_);
    writeFile(stage_ / "new.txt", "new\n");
    makePackage({stagedFile("new.txt", "new.txt", "add")});
    auto controller = std::make_unique<InstallerController>(writeDefinition().string(), false);
    controller->setAtomicExchangeAllowed(atomicExchange);
    EXPECT_TRUE(controller->unpackageAndVerify());
    EXPECT_TRUE(controller->duplicateOriginalAndVerify());
    EXPECT_TRUE(controller->installAndVerify());
    return controller;
  }
};

TEST_F(InstallerReplaceOriginalTest, SwapsTheCopyInWithOrWithoutAnAtomicExchange) {
  makeApplication();
  for (bool atomicExchange : {true, false}) {
    SCOPED_TRACE(atomicExchange ? "exchange" : "two renames");
    fs::remove(installBase_ / "new.txt");
    auto controller = preparedController(atomicExchange);
    EXPECT_TRUE(controller->replaceOriginal());
    EXPECT_EQ("new\n", readFile(installBase_ / "new.txt"));
    EXPECT_TRUE(controller->cleanup());
    controller->removeWorkingDirectory();
    expectNoLeftovers();
  }
}

TEST_F(InstallerReplaceOriginalTest, FailedSwapLeavesTheOldApplicationUnderItsName) {
  makeApplication();
  const fs::path before = snapshot();
  for (bool atomicExchange : {true, false}) {
    SCOPED_TRACE(atomicExchange ? "exchange" : "two renames");
    auto controller = preparedController(atomicExchange);
    fs::remove_all(controller->installBaseDuplicatePath());  // the new tree is gone
    EXPECT_FALSE(controller->replaceOriginal());
    EXPECT_EQ(KsReplaceOriginalMoveNewFailed, controller->returnCode());
    EXPECT_TRUE(sameTree(before, installBase_));
    EXPECT_FALSE(fs::exists(installBase_.string() + " Old"));
    controller->cleanup();
    controller->removeWorkingDirectory();
  }
}

}  // namespace
}  // namespace hc::installer::test
