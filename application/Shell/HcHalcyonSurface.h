#pragma once

#include <QWindow>
#include <atomic>

class QWidget;

// The native window the player view draws into from its display-link
// thread: an OpenGL surface embedded in the view. Input that the window
// system delivers to it is handed on to the view, so the view (a widget) sees
// every mouse, wheel and key event whether it came from the window system or
// from a test.
class HcHalcyonSurface : public QWindow {
  Q_OBJECT
 public:
  explicit HcHalcyonSurface(QWidget* eventTarget);

  // Whether the window system shows the window now; read on any thread.
  bool IsShown() const { return m_shown.load(std::memory_order_acquire); }

 signals:
  // The window system asked for its contents again (main thread).
  void exposed();

 protected:
  void exposeEvent(QExposeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QWidget* m_eventTarget;
  std::atomic<bool> m_shown{false};
};
