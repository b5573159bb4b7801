#include "HcSlider.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

QImage Filled(QSize size, const std::function<void(QPainter&)>& draw) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  draw(painter);
  return image;
}

HcSlider::Images MakeImages() {
  const QColor groove(60, 60, 60);
  const QColor edge(30, 30, 30);
  HcSlider::Images images;
  images.left = Filled(QSize(4, 15), [&](QPainter& p) {
    p.setPen(edge);
    p.setBrush(groove);
    p.drawRoundedRect(QRectF(0.5, 5.5, 6, 4), 2, 2);
  });
  images.right = Filled(QSize(4, 15), [&](QPainter& p) {
    p.setPen(edge);
    p.setBrush(groove);
    p.drawRoundedRect(QRectF(-3.5, 5.5, 7, 4), 2, 2);
  });
  images.middle = Filled(QSize(1, 15), [&](QPainter& p) {
    p.fillRect(QRect(0, 6, 1, 3), groove);
    p.fillRect(QRect(0, 5, 1, 1), edge);
    p.fillRect(QRect(0, 9, 1, 1), edge);
  });
  images.knob = Filled(QSize(11, 11), [&](QPainter& p) {
    p.setPen(edge);
    p.setBrush(QColor(220, 220, 220));
    p.drawEllipse(QRectF(0.5, 0.5, 10, 10));
  });
  return images;
}

}  // namespace

const HcSlider::Images& HcSlider::images() {
  static const Images made = MakeImages();
  return made;
}

HcSlider::HcSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setMinimumSize(kMinimumWidth, kHeight);
  setMaximumSize(100000, kHeight);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize HcSlider::sizeHint() const { return QSize(kMinimumWidth, kHeight); }
QSize HcSlider::minimumSizeHint() const { return QSize(kMinimumWidth, kHeight); }

QRect HcSlider::knobRect() const {
  const double range = maximum() - minimum();
  const double fraction = range > 0 ? (value() - minimum()) / range : 0.0;
  const int offset = static_cast<int>(std::lround((width() - kKnobThickness) * fraction));
  return QRect(QPoint(2 + offset, 2), images().knob.size());
}

void HcSlider::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const Images& art = images();
  const int w = width();
  painter.drawImage(QPoint(0, 0), art.left);
  const int middleWidth = std::max(0, w - art.left.width() - art.right.width());
  painter.drawImage(QRect(art.left.width(), 0, middleWidth, art.middle.height()), art.middle);
  painter.drawImage(QPoint(w - art.right.width(), 0), art.right);
  painter.drawImage(knobRect(), art.knob);
}

void HcSlider::setValueAtX(double x) {
  const double usable = std::max(1, width() - kKnobThickness);
  const double fraction = std::clamp((x - 2.0 - images().knob.width() / 2.0) / usable, 0.0, 1.0);
  setSliderPosition(minimum() + static_cast<int>(std::lround(fraction * (maximum() - minimum()))));
}

void HcSlider::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QSlider::mousePressEvent(event);
  setSliderDown(true);
  setValueAtX(event->position().x());
}

void HcSlider::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) setValueAtX(event->position().x());
}

void HcSlider::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QSlider::mouseReleaseEvent(event);
  setSliderDown(false);
}
