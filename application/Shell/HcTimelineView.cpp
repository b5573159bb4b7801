#include "HcTimelineView.h"

#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "HcImageCache.h"

namespace {

const QColor kDarkGray(85, 85, 85);
const QColor kShadow(128, 128, 128);
const QColor kGray(128, 128, 128);
const QColor kLightGray(170, 170, 170);

}  // namespace

HcTimelineView::HcTimelineView(QWidget* parent, QSize size) : QWidget(parent) {
  resize(size);
  m_playheadImage = HcImageCache::playheadImageOfHeight(std::max(1, size.height()));
  m_inPointMarkerImage = HcImageCache::inPointMarker();
  m_outPointMarkerImage = HcImageCache::outPointMarker();
  setMinimumHeight(15);
}

int HcTimelineView::span() const { return std::max(1, width() - 2 * kInset - 1); }

int HcTimelineView::mapToX(double time) const {
  if (m_length <= 0.0) return 0;
  return static_cast<int>(std::lround(span() * time / m_length));
}

int HcTimelineView::playheadX() const { return mapToX(m_position) + 5; }
int HcTimelineView::inMarkerX() const { return mapToX(m_inPoint) + 3; }
int HcTimelineView::outMarkerX() const { return mapToX(m_outPoint) + 10; }

double HcTimelineView::timeAtX(double x) const {
  const double along = std::clamp(x - kInset, 0.0, static_cast<double>(span()));
  return along / span() * m_length;
}

// Images stand on the bottom edge.
QRect HcTimelineView::imageRect(int x, const QImage& image) const {
  return QRect(x, height() - image.height(), image.width(), image.height());
}

void HcTimelineView::invalidate(const QRect& before, const QRect& after) {
  if (before.intersects(after)) {
    update(before.united(after));
  } else {
    update(before);
    update(after);
  }
}

void HcTimelineView::setLength(double length) {
  if (length == m_length) return;
  m_length = length;
  if (m_outPoint > m_length) m_outPoint = m_length;
  update();
}

void HcTimelineView::setLoaded(double loaded) {
  if (loaded == m_loaded) return;
  m_loaded = loaded;
  update();
}

void HcTimelineView::setShowInOutPoints(bool show) {
  if (show == m_showInOutPoints) return;
  m_showInOutPoints = show;
  update();
}

void HcTimelineView::setPosition(double position) {
  const double clamped = std::clamp(position, 0.0, std::max(0.0, m_length));
  if (clamped == m_position) return;
  if (m_length <= 0.0) {
    m_position = 0.0;
    return;
  }
  const QSize size(m_playheadImage.width() + 1, m_playheadImage.height());
  const QRect before(QPoint(playheadX(), height() - size.height()), size);
  m_position = clamped;
  const QRect after(QPoint(playheadX(), height() - size.height()), size);
  invalidate(before, after);
}

void HcTimelineView::setInPoint(double time) {
  if (time == m_inPoint) return;
  const QRect before = imageRect(inMarkerX(), m_inPointMarkerImage);
  m_inPoint = time;
  invalidate(before, imageRect(inMarkerX(), m_inPointMarkerImage));
}

void HcTimelineView::setOutPoint(double time) {
  if (time == m_outPoint) return;
  const QRect before = imageRect(outMarkerX(), m_outPointMarkerImage);
  m_outPoint = time;
  invalidate(before, imageRect(outMarkerX(), m_outPointMarkerImage));
}

bool HcTimelineView::targetAnswers(const QByteArray& method) const {
  if (!m_target || method.isEmpty()) return false;
  const QByteArray signature = QMetaObject::normalizedSignature(method + "(HcTimelineView*)");
  return m_target->metaObject()->indexOfMethod(signature.constData()) >= 0;
}

void HcTimelineView::setTarget(QObject* target) {
  m_target = target;
  m_targetRespondsMask = 0;
  if (targetAnswers(m_positionAction)) m_targetRespondsMask |= kPosition;
  if (targetAnswers(m_inPointAction)) m_targetRespondsMask |= kInPoint;
  if (targetAnswers(m_outPointAction)) m_targetRespondsMask |= kOutPoint;
}

void HcTimelineView::setPositionAction(const QByteArray& method) {
  m_positionAction = method;
  m_targetRespondsMask &= ~kPosition;
  if (targetAnswers(method)) m_targetRespondsMask |= kPosition;
}

void HcTimelineView::setInPointAction(const QByteArray& method) {
  m_inPointAction = method;
  m_targetRespondsMask &= ~kInPoint;
  if (targetAnswers(method)) m_targetRespondsMask |= kInPoint;
}

void HcTimelineView::setOutPointAction(const QByteArray& method) {
  m_outPointAction = method;
  m_targetRespondsMask &= ~kOutPoint;
  if (targetAnswers(method)) m_targetRespondsMask |= kOutPoint;
}

void HcTimelineView::sendAction(Handle handle) {
  if (handle == kPosition) emit positionMoved();
  if (handle == kInPoint) emit inPointMoved();
  if (handle == kOutPoint) emit outPointMoved();
  const QByteArray& method = handle == kPosition ? m_positionAction
                             : handle == kInPoint ? m_inPointAction
                                                  : m_outPointAction;
  if (!m_target || method.isEmpty() || !(m_targetRespondsMask & handle)) return;
  QMetaObject::invokeMethod(m_target, method.constData(), Qt::DirectConnection, Q_ARG(HcTimelineView*, this));
}

void HcTimelineView::post(Handle handle, bool start) {
  const char* name = nullptr;
  switch (handle) {
    case kPosition: name = start ? kPositionScrubbingStart : kPositionScrubbingEnd; break;
    case kInPoint: name = start ? kInPointScrubbingStart : kInPointScrubbingEnd; break;
    case kOutPoint: name = start ? kOutPointScrubbingStart : kOutPointScrubbingEnd; break;
    default: return;
  }
  emit notificationPosted(QString::fromLatin1(name));
}

void HcTimelineView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect bounds = rect();
  painter.fillRect(bounds, kDarkGray);
  painter.setPen(kShadow);
  painter.drawRect(bounds.adjusted(-1, 0, 0, -1));
  const QRect track(kInset, 0, width() - 2 * kInset, height());
  painter.fillRect(track, kGray);
  painter.drawRect(track.adjusted(0, 0, -1, -1));
  if (m_length <= 0.0) return;
  if (m_loaded != m_length) {
    const int loadedWidth = static_cast<int>(std::clamp(m_loaded / m_length, 0.0, 1.0) * span());
    const QRect unloaded(track.x() + loadedWidth, 0, track.width() - loadedWidth, height());
    painter.fillRect(unloaded, kDarkGray);
    painter.setPen(kLightGray);
    painter.drawRect(unloaded.adjusted(0, 0, -1, -1));
  }
  if (m_showInOutPoints) {
    painter.drawImage(imageRect(inMarkerX(), m_inPointMarkerImage).topLeft(), m_inPointMarkerImage);
    painter.drawImage(imageRect(outMarkerX(), m_outPointMarkerImage).topLeft(), m_outPointMarkerImage);
  }
  painter.drawImage(imageRect(playheadX(), m_playheadImage).topLeft(), m_playheadImage);
}

void HcTimelineView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  m_eventType = kMouseDown;
  const QPointF point = event->position();
  const QPoint at(static_cast<int>(std::floor(point.x())), static_cast<int>(std::floor(point.y())));
  // The marker tests run whether or not the markers are shown.
  if (imageRect(inMarkerX(), m_inPointMarkerImage).contains(at)) {
    m_draggedHandle = kInPoint;
  } else if (imageRect(outMarkerX(), m_outPointMarkerImage).contains(at)) {
    m_draggedHandle = kOutPoint;
  } else if (point.x() >= kInset && point.x() <= width() - kInset) {
    m_draggedHandle = kPosition;
    setPosition(timeAtX(point.x()));
    sendAction(kPosition);
  } else {
    m_draggedHandle = kNoHandle;
  }
  post(static_cast<Handle>(m_draggedHandle), true);
}

void HcTimelineView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  m_eventType = kMouseDragged;
  const double x = event->position().x();
  switch (m_draggedHandle) {
    case kInPoint: {
      double t = static_cast<float>(timeAtX(x));
      // An unset out point (-1) bounds nothing: the in point stays within the movie.
      const double upper = m_outPoint >= 0.0 ? m_outPoint : m_length;
      t = std::clamp(t, 0.0, std::max(0.0, upper));
      setInPoint(t);
      sendAction(kInPoint);
      break;
    }
    case kOutPoint: {
      double t = static_cast<float>(timeAtX(x));
      const double lower = m_inPoint >= 0.0 ? m_inPoint : 0.0;
      t = std::clamp(t, std::min(lower, m_length), std::max(0.0, m_length));
      setOutPoint(t);
      sendAction(kOutPoint);
      break;
    }
    case kPosition:
      setPosition(timeAtX(x));
      sendAction(kPosition);
      break;
    default:
      break;
  }
}

void HcTimelineView::mouseReleaseEvent(QMouseEvent*) {
  m_eventType = kMouseUp;
  post(static_cast<Handle>(m_draggedHandle), false);
  if (m_draggedHandle == kPosition) sendAction(kPosition);
}
