#pragma once

#include <QObject>

// Drives the main thread's run loop and the object run time's main-thread
// queue from Qt's event loop: work posted from any thread wakes the event
// loop, which runs it on the main thread. The destructor unhooks both.
class HcMainThreadPump : public QObject {
  Q_OBJECT
 public:
  // Makes the calling thread the main thread; needs the application object.
  explicit HcMainThreadPump(QObject* parent = nullptr);
  ~HcMainThreadPump() override;

  // Runs what is queued now (also run on every wake).
  void drain();
};
