#include "KsPlayerServices.h"

#include <QCoreApplication>
#include <QTimer>

#include "HcDocumentController.h"
#include "HcError.h"
#include "HcMainBundle.h"
#include "HcViewerApplicationDelegate.h"
#include "HcViewerDocument.h"
#include "KsBugReporter.h"
#include "KsPlugInController.h"
#include "KsRecentDocuments.h"

KsPlayerServices::KsPlayerServices(HcDocumentController* documents, QObject* parent)
    : QObject(parent), m_documents(documents) {
  HcViewerApplicationDelegate::SetLaunchServices({
      [this] { loadPlugIns(); },
      [this] { showSplashWindow(); },
      [] { KsBugReporter::showBugReporter(); },
      [] { KsBugReporter::checkForCrash(); },
  });
  connect(m_documents, &HcDocumentController::documentOpened, this, [](HcViewerDocument* document) {
    if (document) KsRecentDocuments::noteNewRecentDocumentURL(document->fileURL());
  });
}

KsPlayerServices::~KsPlayerServices() {
  HcViewerApplicationDelegate::SetLaunchServices({});
  delete m_splash;
}

void KsPlayerServices::loadPlugIns() {
  KsPlugInController* controller = KsPlugInController::SharedPlugInController();
  controller->SetBuiltInPlugInsPath(HcMainBundle::builtInPlugInsPath().toStdString());
  controller->LoadPlugIns();
}

bool KsPlayerServices::AnyDocumentOpen() const { return m_documents && !m_documents->documents().empty(); }

KsSplashController::DocumentController KsPlayerServices::SplashDocuments() const {
  KsSplashController::DocumentController hooks;
  hooks.hasOpenDocuments = [this] { return AnyDocumentOpen(); };
  hooks.recentDocumentURLs = [] { return KsRecentDocuments::recentDocumentURLs(); };
  // The player makes no new documents: the panel shows no New button.
  hooks.openDocument = [this] { m_documents->openDocument(); };
  hooks.openDocumentWithContentsOfURL = [this](const QUrl& url) {
    HcError error;
    return m_documents->openDocumentWithContentsOfURL(url, true, &error) != nullptr;
  };
  return hooks;
}

void KsPlayerServices::showSplashWindow() {
  if (m_splash) {
    if (!AnyDocumentOpen()) {
      m_splash->panel()->show();
      m_splash->panel()->raise();
      m_splash->panel()->activateWindow();
    }
    return;
  }
  m_splash = KsSplashController::showSplashWindowForNibNamed(QString::fromLatin1(KsSplashController::kSplashWindowName),
                                                             SplashDocuments(), this);
  if (!m_splash) return;
  // Without any window the player could not be reached: the panel comes
  // back when a choice opened nothing, and closing it ends the player.
  connect(m_splash, &KsSplashController::panelHidden, this, [this] {
    QTimer::singleShot(0, this, [this] {
      if (!AnyDocumentOpen()) showSplashWindow();
    });
  });
  connect(m_splash, &KsSplashController::panelClosed, this, [this] {
    if (!AnyDocumentOpen()) QCoreApplication::quit();
  });
}

bool KsPlayerServices::isSplashShowing() const { return m_splash && m_splash->panel()->isVisible(); }
