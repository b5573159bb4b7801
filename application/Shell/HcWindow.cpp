#include "HcWindow.h"

#include <QCloseEvent>
#include <QPalette>

#include "HcViewerWindowController.h"

HcWindow::HcWindow(HcViewerWindowController* controller) : m_controller(controller) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(kBackgroundGrey, kBackgroundGrey, kBackgroundGrey));
  setPalette(palette);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus);
}

void HcWindow::setAcceptsMouseMovedEvents(bool accepts) {
  m_acceptsMouseMoved = accepts;
  if (m_controller) m_controller->windowAcceptsMouseMovedEventsChanged(accepts);
}

void HcWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (m_controller) m_controller->windowWillClose();
}

void HcWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_controller) {
    m_controller->windowDidBecomeMain();
  }
}
