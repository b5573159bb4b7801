#pragma once

#include <QByteArray>
#include <QImage>
#include <QPointer>
#include <QWidget>

// The movie's time line under the picture: its length, how much is loaded,
// the play head and optional in and out points, each of which the user can
// drag. Values are seconds.
//
// Geometry (W the width): the track runs from x 10 to W - 10; times map to x
// and back through the span W - 21, for drawing and for the mouse alike.
//
// Actions go to a target as calls of its invokable methods by name, taking
// this view (`positionMoved(HcTimelineView*)` …), and only when the target
// has the method. Drags of each handle post start and end notifications.
class HcTimelineView : public QWidget {
  Q_OBJECT
 public:
  enum EventType { kNoEvent = 0, kMouseDown = 1, kMouseDragged = 2, kMouseUp = 3 };
  enum Handle : uint8_t { kNoHandle = 0, kPosition = 1, kInPoint = 2, kOutPoint = 4 };
  static constexpr int kInset = 10;

  static constexpr const char* kPositionScrubbingStart = "HcTimelineViewPositionScrubbingStartNotification";
  static constexpr const char* kPositionScrubbingEnd = "HcTimelineViewPositionScrubbingEndNotification";
  static constexpr const char* kInPointScrubbingStart = "HcTimelineViewInPointScrubbingStartNotification";
  static constexpr const char* kInPointScrubbingEnd = "HcTimelineViewInPointScrubbingEndNotification";
  static constexpr const char* kOutPointScrubbingStart = "HcTimelineViewOutPointScrubbingStartNotification";
  static constexpr const char* kOutPointScrubbingEnd = "HcTimelineViewOutPointScrubbingEndNotification";

  explicit HcTimelineView(QWidget* parent = nullptr, QSize size = QSize(300, 20));

  double length() const { return m_length; }
  void setLength(double length);
  double loaded() const { return m_loaded; }
  void setLoaded(double loaded);
  double position() const { return m_position; }
  void setPosition(double position);
  bool showInOutPoints() const { return m_showInOutPoints; }
  void setShowInOutPoints(bool show);
  // -1 means not set.
  double inPoint() const { return m_inPoint; }
  void setInPoint(double time);
  double outPoint() const { return m_outPoint; }
  void setOutPoint(double time);

  QObject* target() const { return m_target; }
  void setTarget(QObject* target);
  QByteArray action() const { return m_positionAction; }
  void setAction(const QByteArray& method) { setPositionAction(method); }
  QByteArray positionAction() const { return m_positionAction; }
  void setPositionAction(const QByteArray& method);
  QByteArray inPointAction() const { return m_inPointAction; }
  void setInPointAction(const QByteArray& method);
  QByteArray outPointAction() const { return m_outPointAction; }
  void setOutPointAction(const QByteArray& method);
  int targetRespondsToActionMask() const { return m_targetRespondsMask; }

  // The kind of the last mouse event, for an action's receiver.
  int eventType() const { return m_eventType; }
  int draggedHandle() const { return m_draggedHandle; }

  // Geometry, for drawing, hit testing and tests.
  int span() const;
  int playheadX() const;
  int inMarkerX() const;
  int outMarkerX() const;
  double timeAtX(double x) const;

 signals:
  // One of the scrubbing notification names above.
  void notificationPosted(const QString& name);
  // Each time the handle's action is due, whether or not a target takes it.
  void positionMoved();
  void inPointMoved();
  void outPointMoved();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int mapToX(double time) const;
  QRect imageRect(int x, const QImage& image) const;
  void invalidate(const QRect& before, const QRect& after);
  bool targetAnswers(const QByteArray& method) const;
  void sendAction(Handle handle);
  void post(Handle handle, bool start);

  double m_length = 60.0;
  double m_loaded = 60.0;
  double m_position = 0.0;
  QPointer<QObject> m_target;
  QByteArray m_positionAction;
  QByteArray m_inPointAction;
  QByteArray m_outPointAction;
  int m_targetRespondsMask = 0;
  int m_eventType = kNoEvent;
  uint8_t m_draggedHandle = kNoHandle;
  bool m_showInOutPoints = false;
  double m_inPoint = -1.0;
  double m_outPoint = -1.0;
  QImage m_playheadImage;
  QImage m_inPointMarkerImage;
  QImage m_outPointMarkerImage;
};
