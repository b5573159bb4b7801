#pragma once

#include <QImage>
#include <QSlider>

// A horizontal slider drawn from four images: the track's left cap, middle
// (stretched) and right cap, and the knob. 15 high, at least 50 wide. The
// images are drawn once per run.
class HcSlider : public QSlider {
  Q_OBJECT
 public:
  static constexpr int kKnobThickness = 15;
  static constexpr int kHeight = 15;
  static constexpr int kMinimumWidth = 50;

  explicit HcSlider(QWidget* parent = nullptr);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  // Where the knob is drawn for the current value.
  QRect knobRect() const;

  struct Images {
    QImage left, right, middle, knob;
  };
  static const Images& images();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void setValueAtX(double x);
};
