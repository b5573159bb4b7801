#pragma once

#include <QMainWindow>

class HcViewerWindowController;

// A player window: the picture with the controls under it on a dark grey
// ground (93, 93, 93). It tells its controller when it closes, becomes the
// active window or changes its state, and keeps its controller at hand for
// the views inside it.
class HcWindow : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kBackgroundGrey = 93;

  explicit HcWindow(HcViewerWindowController* controller);

  HcViewerWindowController* windowController() const { return m_controller; }
  // Whether mouse movement without a button reaches the controller.
  bool acceptsMouseMovedEvents() const { return m_acceptsMouseMoved; }
  void setAcceptsMouseMovedEvents(bool accepts);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  HcViewerWindowController* m_controller;
  bool m_acceptsMouseMoved = true;
};
