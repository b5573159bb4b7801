#include <gtest/gtest.h>

#include <QFileInfo>

#include "HcDocumentController.h"
#include "HcViewerApplicationDelegate.h"
#include "HcViewerDocument.h"
#include "PlayerTestSupport.h"

using namespace PlayerTestSupport;

namespace {

QUrl UrlOf(const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)); }

class ViewerDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override { TakeAlerts(); }
  HcViewerApplicationDelegate delegate;
  HcDocumentController documents{&delegate};
};

}  // namespace

TEST_F(ViewerDocumentTest, FilesThatAreNoMoviesAreRefusedWithTheLoadMessage) {
  const std::string missing = SampleMovie() + ".missing";
  for (const std::string& path : {TextFileNamedMov(), missing}) {
    HcViewerDocument document;
    HcError error;
    EXPECT_FALSE(document.readFromURL(UrlOf(path), HcViewerDocument::typeForURL(UrlOf(path)), &error)) << path;
    EXPECT_EQ(error.domain, QStringLiteral("HalcyonErrorDomain"));
    EXPECT_EQ(error.code, -1);
    EXPECT_EQ(error.localizedDescription, QStringLiteral("An error occured while attempting to load the movie."));
    EXPECT_EQ(error.url, UrlOf(path));
    EXPECT_FALSE(error.failureReason.isEmpty());
    EXPECT_EQ(document.movie(), nullptr);
  }
}

TEST_F(ViewerDocumentTest, AFailedOpenShowsItsMessageOnceAndThePlayerGoesOn) {
  documents.openFiles({QString::fromStdString(TextFileNamedMov())});
  std::vector<HcAlert::Request> alerts = TakeAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0].message, QStringLiteral("An error occured while attempting to load the movie."));
  EXPECT_EQ(alerts[0].buttons, QStringList{QStringLiteral("OK")});
  EXPECT_TRUE(documents.documents().empty());
}

TEST_F(ViewerDocumentTest, OnlyMovieTypesAreRead) {
  HcViewerDocument document;
  HcError error;
  EXPECT_FALSE(document.readFromURL(UrlOf(SampleMovie()), QStringLiteral("Text"), &error));
  EXPECT_EQ(document.movie(), nullptr);
  EXPECT_EQ(HcViewerDocument::typeForURL(UrlOf("/a/b.mov")), QStringLiteral("QuickTime Movie"));
  EXPECT_EQ(HcViewerDocument::typeForURL(UrlOf("/a/b.hcmov")), QStringLiteral("Halcyon Movie"));
}

TEST_F(ViewerDocumentTest, ErrorsAreShownByTheirCause) {
  HcError outer = HcViewerDocument::errorWithDescriptionKey(QStringLiteral("outer"), {});
  EXPECT_EQ(delegate.willPresentError(outer).localizedDescription, QStringLiteral("outer"));
  outer.underlyingError = std::make_shared<const HcError>(HcViewerDocument::errorWithDescriptionKey("inner", {}));
  EXPECT_EQ(delegate.willPresentError(outer).localizedDescription, QStringLiteral("inner"));
  EXPECT_FALSE(delegate.applicationIsEditor());
  EXPECT_FALSE(delegate.applicationShouldOpenUntitledFile());
  EXPECT_FALSE(delegate.applicationShouldTerminateAfterLastWindowClosed());
}
