#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

class HcDocumentController;
class HcMainThreadPump;
class HcViewerApplicationDelegate;
class KsPlayerServices;

// The player's launch on a running QApplication: the delegate's steps before
// and after documents open, the movies named on the command line, and the
// Open panel when none was named or the last window closed. Closing every
// document on destruction.
class HcPlayerApplication : public QObject {
  Q_OBJECT
 public:
  HcPlayerApplication();
  ~HcPlayerApplication() override;

  // Launches with the files given; refusing to launch ends the process.
  void launch(const QStringList& files);
  HcViewerApplicationDelegate* delegate() const { return m_delegate; }
  HcDocumentController* documentController() const { return m_documents; }

 private:
  void OfferOpenPanel();

  std::unique_ptr<HcMainThreadPump> m_pump;
  HcViewerApplicationDelegate* m_delegate = nullptr;
  HcDocumentController* m_documents = nullptr;
  KsPlayerServices* m_services = nullptr;
};

// The program: start-up of the process (trace settings, classes), the
// application object, launch, event loop. Answers the exit status.
int HcPlayerMain(int argc, char** argv);
