#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <string>
#include <vector>

#include "KsRecentDocuments.h"
#include "KsSplashController.h"
#include "QtTestEnvironment.h"

namespace {

// A document controller over the recent documents in the settings that
// records what the panel asks of it.
struct Documents {
  bool open = false;
  std::vector<std::string> calls;
  bool openSucceeds = true;

  KsSplashController::DocumentController Hooks() {
    return {[this] { return open; },
            [] { return KsRecentDocuments::recentDocumentURLs(); },
            [this] { calls.push_back("new"); },
            [this] { calls.push_back("open panel"); },
            [this](const QUrl& url) {
              calls.push_back("open " + url.toString().toStdString());
              return openSucceeds;
            }};
  }
};

class SplashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    KsRecentDocuments::clearRecentDocuments();
    for (const char* path : {"/movies/c.mov", "/movies/b.mov", "/movies/Tour of Paris.mov"}) {
      KsRecentDocuments::noteNewRecentDocumentURL(QUrl::fromLocalFile(QString::fromLatin1(path)));
    }
  }
  void TearDown() override {
    delete m_splash;
    KsRecentDocuments::clearRecentDocuments();
  }

  KsSplashController* Show() {
    m_splash = KsSplashController::showSplashWindowForNibNamed(QStringLiteral("HcViewerSplashWindow"), m_documents.Hooks());
    if (m_splash) {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(m_splash->panel()));
    }
    return m_splash;
  }

  Documents m_documents;
  KsSplashController* m_splash = nullptr;
};

}  // namespace

TEST_F(SplashTest, RecentDocumentsAreListedNewestFirstAndOpenedFromTheTable) {
  ASSERT_NE(nullptr, Show());
  QTableWidget* table = m_splash->recentDocsTable();
  ASSERT_EQ(3, table->rowCount());
  EXPECT_EQ("Tour of Paris.mov", table->item(0, 0)->text().toStdString());
  EXPECT_EQ("b.mov", table->item(1, 0)->text().toStdString());
  EXPECT_EQ("c.mov", table->item(2, 0)->text().toStdString());
  const QList<QVariantMap> recent = m_splash->recentDocuments();
  EXPECT_EQ(QUrl::fromLocalFile(QStringLiteral("/movies/b.mov")), recent[1].value(QStringLiteral("URL")).toUrl());

  // Choosing the second row opens that document and hides the panel.
  table->setFocus();
  table->setCurrentCell(1, 0);
  QTest::keyClick(table, Qt::Key_Return);
  EXPECT_EQ(std::vector<std::string>{"open file:///movies/b.mov"}, m_documents.calls);
  EXPECT_FALSE(m_splash->panel()->isVisible());
}

TEST_F(SplashTest, AFailedOpenLeavesThePanelHiddenWithoutAMessage) {
  m_documents.openSucceeds = false;
  ASSERT_NE(nullptr, Show());
  const auto windows = [] { return QApplication::topLevelWidgets().size(); };
  const qsizetype before = windows();
  m_splash->openDocument(QUrl::fromLocalFile(QStringLiteral("/movies/removed.mov")));
  EXPECT_FALSE(m_splash->panel()->isVisible());
  EXPECT_EQ(before, windows());
}

TEST_F(SplashTest, TheButtonsStartANewDocumentOrTheOpenPanel) {
  ASSERT_NE(nullptr, Show());
  QTest::mouseClick(m_splash->panel()->findChild<QPushButton*>(QStringLiteral("newFile")), Qt::LeftButton);
  EXPECT_FALSE(m_splash->panel()->isVisible());
  m_splash->panel()->show();
  QTest::mouseClick(m_splash->panel()->findChild<QPushButton*>(QStringLiteral("openFile")), Qt::LeftButton);
  EXPECT_FALSE(m_splash->panel()->isVisible());
  EXPECT_EQ((std::vector<std::string>{"new", "open panel"}), m_documents.calls);
}

TEST_F(SplashTest, ThePanelStaysUpWhenLeftWithoutADocument) {
  ASSERT_NE(nullptr, Show());
  m_splash->windowDidResignKey();
  EXPECT_TRUE(m_splash->panel()->isVisible());
  m_documents.open = true;
  m_splash->windowDidResignKey();
  EXPECT_FALSE(m_splash->panel()->isVisible());
}

TEST_F(SplashTest, NothingIsShownWhileADocumentIsOpen) {
  m_documents.open = true;
  EXPECT_EQ(nullptr, Show());
}

TEST_F(SplashTest, WithoutRecentDocumentsTheTableIsEmpty) {
  KsRecentDocuments::clearRecentDocuments();
  ASSERT_NE(nullptr, Show());
  EXPECT_EQ(0, m_splash->recentDocsTable()->rowCount());
}

TEST_F(SplashTest, ThePanelTellsWhenItWentAwayAndIsHiddenWhenClosed) {
  ASSERT_NE(nullptr, Show());
  std::vector<std::string> heard;
  QObject::connect(m_splash, &KsSplashController::panelHidden, [&heard] { heard.push_back("hidden"); });
  QObject::connect(m_splash, &KsSplashController::panelClosed, [&heard] { heard.push_back("closed"); });
  m_splash->openFile();
  m_splash->panel()->show();
  m_splash->panel()->close();
  EXPECT_FALSE(m_splash->panel()->isVisible());
  m_splash->panel()->show();
  EXPECT_TRUE(m_splash->panel()->isVisible());
  EXPECT_EQ((std::vector<std::string>{"hidden", "closed"}), heard);
  // Without a way to make a document there is no New button.
  KsSplashController::DocumentController readOnly = m_documents.Hooks();
  readOnly.newDocument = nullptr;
  delete m_splash;
  m_splash = KsSplashController::showSplashWindowForNibNamed(QStringLiteral("HcViewerSplashWindow"), readOnly);
  ASSERT_NE(nullptr, m_splash);
  EXPECT_FALSE(m_splash->panel()->findChild<QPushButton*>(QStringLiteral("newFile"))->isVisible());
  EXPECT_TRUE(m_splash->panel()->findChild<QPushButton*>(QStringLiteral("openFile"))->isVisible());
}
