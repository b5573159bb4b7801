#pragma once

// Stand-in until the time line lands: the calls the window controller
// makes of it.
#include <QWidget>

class HcTimelineView : public QWidget {
  Q_OBJECT
 public:
  explicit HcTimelineView(QWidget* parent = nullptr) : QWidget(parent) {}
  double length() const { return m_length; }
  void setLength(double length) { m_length = length; }
  double loaded() const { return m_loaded; }
  void setLoaded(double loaded) { m_loaded = loaded; }
  double position() const { return m_position; }
  void setPosition(double position) { m_position = position < 0 ? 0 : (position > m_length ? m_length : position); }
  int eventType() const { return m_eventType; }

 signals:
  void positionAction();

 private:
  double m_length = 60.0;
  double m_loaded = 60.0;
  double m_position = 0.0;
  int m_eventType = 0;
};
