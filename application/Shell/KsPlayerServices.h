#pragma once

#include <QObject>
#include <QPointer>

#include "KsSplashController.h"

class HcDocumentController;

// The application services the delegate calls at launch and from its menu
// commands, installed as its launch services for the life of this object:
// the plug-in controller loads the bundles (with the application's built-in
// plug-ins folder), the splash panel offers the Open panel and the recent
// documents of the document controller, and the feedback reporter shows its
// window and makes its crash check. Every document opened is noted as
// recent. With no document open, the splash panel comes back after a choice
// that opened nothing, and closing it ends the player.
class KsPlayerServices : public QObject {
  Q_OBJECT
 public:
  explicit KsPlayerServices(HcDocumentController* documents, QObject* parent = nullptr);
  ~KsPlayerServices() override;

  void loadPlugIns();
  void showSplashWindow();
  // The splash panel is up.
  bool isSplashShowing() const;

 private:
  KsSplashController::DocumentController SplashDocuments() const;
  bool AnyDocumentOpen() const;

  HcDocumentController* m_documents;
  QPointer<KsSplashController> m_splash;
};
