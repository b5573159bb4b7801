#pragma once

// Stand-in until the player's OpenGL view lands: the calls the window
// controller makes of it.
#include <QCursor>
#include <QWidget>
#include <mutex>

class HcHalcyonView : public QWidget {
  Q_OBJECT
 public:
  explicit HcHalcyonView(QWidget* parent = nullptr);
  ~HcHalcyonView() override;

  static bool convertToNSCursor(int code, QCursor* cursor);
  void startTimer();
  void stopTimer();
  void lockDisplay();
  bool tryLockDisplay();
  void unlockDisplay();
  bool isRunning() const { return m_running; }

 private:
  std::mutex m_displayLock;
  bool m_running = false;
};
