#include "KsHoldButton.h"

KsHoldButton::KsHoldButton(QWidget* parent) : QPushButton(parent) {
  setAutoRepeat(false);
  connect(this, &QPushButton::pressed, this, [this] { emit action(this); });
  connect(this, &QPushButton::released, this, [this] { emit action(this); });
}
