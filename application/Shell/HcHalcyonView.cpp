#include "HcHalcyonView.h"

HcHalcyonView::HcHalcyonView(QWidget* parent) : QWidget(parent) {}
HcHalcyonView::~HcHalcyonView() { stopTimer(); }

bool HcHalcyonView::convertToNSCursor(int code, QCursor* cursor) {
  switch (code) {
    case 1: *cursor = QCursor(Qt::ArrowCursor); return true;
    case 2:
    case 3: *cursor = QCursor(Qt::PointingHandCursor); return true;
    case 4: *cursor = QCursor(Qt::OpenHandCursor); return true;
    case 5: *cursor = QCursor(Qt::ClosedHandCursor); return true;
    case 6: *cursor = QCursor(Qt::IBeamCursor); return true;
    case 7: *cursor = QCursor(Qt::CrossCursor); return true;
    default: return false;
  }
}

void HcHalcyonView::startTimer() { m_running = true; }
void HcHalcyonView::stopTimer() { m_running = false; }
void HcHalcyonView::lockDisplay() { m_displayLock.lock(); }
bool HcHalcyonView::tryLockDisplay() { return m_displayLock.try_lock(); }
void HcHalcyonView::unlockDisplay() { m_displayLock.unlock(); }
