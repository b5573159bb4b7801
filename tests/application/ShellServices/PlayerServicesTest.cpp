#include <gtest/gtest.h>

#include <QUrl>
#include <QWidget>
#include <filesystem>
#include <string>

#include "FileTestSupport.h"
#include "HcDocumentController.h"
#include "HcViewerApplicationDelegate.h"
#include "KsBugReporter.h"
#include "KsPlayerServices.h"
#include "KsPlugInController.h"
#include "KsRecentDocuments.h"
#include "QtTestEnvironment.h"
#include "platform/runtime/MainThreadQueue.h"

namespace fs = std::filesystem;

TEST(KsPlayerServices, TheDelegateReachesThePlugInsThePanelsAndTheCrashCheck) {
  hc::runtime::MainThreadQueue::MarkMainThread();
  // An updating plug-in in the user's plug-ins folder ($XDG_DATA_HOME).
  const std::string bundle = QtTestEnvironment::Path("data/Kestrel/Halcyon/PlugIns/Updating.hcplugin");
  fs::create_directories(bundle);
  WriteText(bundle + "/Info.plist",
            "<plist version=\"1.0\"><dict><key>CFBundleExecutable</key><string>plugin.so</string>"
            "<key>NSPrincipalClass</key><string>TestUpdatingPrincipal</string></dict></plist>");
  fs::copy_file(HC_TEST_PLUGIN_UPDATING, bundle + "/plugin.so", fs::copy_options::overwrite_existing);
  KsRecentDocuments::noteNewRecentDocumentURL(QUrl::fromLocalFile(QStringLiteral("/movies/a.mov")));

  HcViewerApplicationDelegate delegate;
  HcDocumentController documents(&delegate);
  {
    KsPlayerServices services(&documents);
    const HcViewerApplicationDelegate::LaunchServices& hooks = HcViewerApplicationDelegate::GetLaunchServices();
    ASSERT_TRUE(hooks.loadPlugIns && hooks.showSplashWindow && hooks.showFeedbackWindow && hooks.checkForCrash);

    delegate.loadPlugIns();
    EXPECT_EQ(std::vector<std::string>{bundle},
              KsPlugInController::SharedPlugInController()->GetLoadedBundlePaths());

    delegate.showSplashWindow();
    EXPECT_TRUE(services.isSplashShowing());
    delegate.showFeedbackWindow();
    ASSERT_NE(nullptr, KsBugReporter::defaultBugReporter()->feedbackWindow());
    EXPECT_TRUE(KsBugReporter::defaultBugReporter()->feedbackWindow()->isVisible());
    KsBugReporter::defaultBugReporter()->cancel();
    hooks.checkForCrash();
  }
  EXPECT_FALSE(HcViewerApplicationDelegate::GetLaunchServices().showSplashWindow);
  KsRecentDocuments::clearRecentDocuments();
}
