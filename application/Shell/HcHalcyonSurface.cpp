#include "HcHalcyonSurface.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

HcHalcyonSurface::HcHalcyonSurface(QWidget* eventTarget) : m_eventTarget(eventTarget) {
  setSurfaceType(QSurface::OpenGLSurface);
}

void HcHalcyonSurface::exposeEvent(QExposeEvent*) {
  m_shown.store(isExposed(), std::memory_order_release);
  if (isExposed()) emit exposed();
}

bool HcHalcyonSurface::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      // The surface fills the view, so its coordinates are the view's.
      if (m_eventTarget) return QCoreApplication::sendEvent(m_eventTarget, event);
      return false;
    default:
      return QWindow::event(event);
  }
}
