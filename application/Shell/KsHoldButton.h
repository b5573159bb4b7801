#pragma once

#include <QPushButton>

// A button that reports both ends of a press: `action` is emitted at once
// when the press starts and again when it ends (released, or the press
// ended otherwise); `isHeld` tells the two apart.
class KsHoldButton : public QPushButton {
  Q_OBJECT
 public:
  explicit KsHoldButton(QWidget* parent = nullptr);
  bool isHeld() const { return isDown(); }

 signals:
  void action(KsHoldButton* sender);
};
