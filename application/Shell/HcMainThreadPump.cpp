#include "HcMainThreadPump.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include "platform/runtime/MainThreadQueue.h"
#include "platform/system/RunLoop.h"

namespace rt = hc::runtime;

HcMainThreadPump::HcMainThreadPump(QObject* parent) : QObject(parent) {
  rt::MainThreadQueue::MarkMainThread();
  QPointer<HcMainThreadPump> self(this);
  const auto wake = [self] {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self] {
          if (self) self->drain();
        },
        Qt::QueuedConnection);
  };
  rt::MainThreadQueue::SetWakeHandler(wake);
  hc::system::RunLoop::Current()->SetWakeHandler(wake);
  drain();
}

HcMainThreadPump::~HcMainThreadPump() {
  rt::MainThreadQueue::SetWakeHandler({});
  hc::system::RunLoop::Current()->SetWakeHandler({});
  drain();
}

void HcMainThreadPump::drain() {
  hc::system::RunLoop::Current()->RunPending();
  rt::MainThreadQueue::Drain();
}
