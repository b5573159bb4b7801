#include "HcPlayerApplication.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "General/ProgramStartUp.h"
#include "HcDocumentController.h"
#include "HcMainThreadPump.h"
#include "HcViewerApplicationDelegate.h"
#include "HcViewerDocument.h"
#include "KsPlayerServices.h"

HcPlayerApplication::HcPlayerApplication() : m_pump(std::make_unique<HcMainThreadPump>()) {
  m_delegate = new HcViewerApplicationDelegate(QCoreApplication::instance());
  m_documents = new HcDocumentController(m_delegate, this);
  // Plug-ins, the splash panel and the feedback reporter, for the delegate.
  m_services = new KsPlayerServices(m_documents, this);
}

HcPlayerApplication::~HcPlayerApplication() {
  delete m_services;
  m_services = nullptr;
  delete m_documents;
  m_documents = nullptr;
}

void HcPlayerApplication::launch(const QStringList& files) {
  m_delegate->applicationWillFinishLaunching();
  m_documents->openFiles(files);
  m_delegate->applicationDidFinishLaunching();
  // With no window at all (not even the splash panel) the player has
  // nothing to show; it offers the Open panel and ends when that is
  // cancelled.
  connect(m_documents, &HcDocumentController::lastDocumentClosed, this, &HcPlayerApplication::OfferOpenPanel,
          Qt::QueuedConnection);
  if (m_documents->documents().empty() && !m_services->isSplashShowing()) {
    QTimer::singleShot(0, this, &HcPlayerApplication::OfferOpenPanel);
  }
}

void HcPlayerApplication::OfferOpenPanel() {
  if (!m_documents->documents().empty()) return;
  m_documents->openDocument();
  if (m_documents->documents().empty()) QCoreApplication::quit();
}

int HcPlayerMain(int argc, char** argv) {
  StartUpProcess();
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrel"));
  QCoreApplication::setApplicationName(QStringLiteral("HalcyonPlayer"));
  application.setQuitOnLastWindowClosed(false);

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Plays panoramic movies."));
  parser.addHelpOption();
  parser.addPositionalArgument(QStringLiteral("movie"), QStringLiteral("Movies to open."), QStringLiteral("[movie…]"));
  parser.process(application);

  int status = 0;
  {
    HcPlayerApplication player;
    player.launch(parser.positionalArguments());
    status = application.exec();
  }
  return status;
}
