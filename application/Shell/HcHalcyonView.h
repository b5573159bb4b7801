#pragma once

#include <QCursor>
#include <QImage>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/gl/DisplayTimeStamp.h"
#include "platform/runtime/ObjectRef.h"

class QOpenGLContext;
class HcHalcyonSurface;
namespace hc::gl {
class DisplayLink;
class GlContext;
}  // namespace hc::gl

// The drawing surface of a player window. Once started it runs a display
// link: a thread of its own paced at the display's refresh that, on each
// refresh, idles the scene's clocks and, when anything changed, draws the
// scene through the view helper with the view's OpenGL context current on
// that thread. The main thread never waits for a frame: moves of the view
// take the display lock and a refresh that finds it held is skipped, and a
// redraw the window system asks for only marks the next refresh to draw.
//
// The scene is reached through proxies: the context ("C_HcContextHelper")
// that the window controller answers, the view helper ("C_HcViewHelper")
// made by the first start, and the renderer the helper makes.
class HcHalcyonView : public QWidget {
  Q_OBJECT
 public:
  // Asked for the context proxy while the view keeps none (the window
  // controller's `contextHelper`).
  using ContextHelperSource = std::function<hc::runtime::ObjectRef()>;

  explicit HcHalcyonView(QWidget* parent = nullptr);
  // Stops the display link, then drops the scene's OpenGL resources with the
  // view's context current here.
  ~HcHalcyonView() override;

  void setContextHelperSource(ContextHelperSource source);
  // The context proxy: asked of the source until it answers one, then kept.
  hc::runtime::ObjectRef contextHelper();
  // The context's view helper; nil before the first start.
  hc::runtime::ObjectRef viewHelper();

  void lockDisplay();
  bool tryLockDisplay();
  void unlockDisplay();

  // Binds a view helper (a new one with the default renderer the first
  // time, the existing one again after a stop) and starts the display link.
  // A second start while running does nothing.
  void startTimer();
  // Stops the display link and waits for a running frame to end; the view
  // helper stays bound. Stopping a stopped view does nothing.
  void stopTimer();
  bool isRunning() const;
  // stopTimer, then clears the scene's OpenGL resources with this view's
  // context current on the calling thread (the main thread). Later starts
  // do nothing. Called by the destructor when nobody did before.
  void shutDown();

  // Refreshes per second of the display link (60 unless set; only while
  // stopped).
  void setRefreshRate(double hertz);

  // Frames the display link drew, refreshes it skipped for the display lock
  // and refreshes it ran; for tests and figures.
  uint64_t framesDrawn() const { return m_framesDrawn.load(); }
  uint64_t framesSkipped() const { return m_framesSkipped.load(); }
  uint64_t refreshesRun() const { return m_refreshesRun.load(); }
  // The native window the scene is drawn into (to grab it).
  WId surfaceWindowId() const;

  // The cursor of a responder's cursor code: the standard shapes for 1 to 7,
  // the custom cursor table for 0 and codes above 7 (none when it lacks one).
  static std::optional<QCursor> convertToCursor(int code);
  // The same: false when there is none.
  static bool convertToNSCursor(int code, QCursor* cursor);

 signals:
  // Emitted (queued to the main thread) after the first frame was drawn.
  void firstFrameDrawn();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct FrameRecord;

  void reshape();
  bool ensureGlContext();
  void bindNewViewHelper(hc::runtime::Id context);
  void frameStep(const hc::gl::DisplayTimeStamp& outputTime);
  void drawFrame(FrameRecord& record);
  void applyPendingFrame(FrameRecord& record);
  void requestRedraw();

  std::mutex m_displayLock;
  std::unique_ptr<hc::gl::DisplayLink> m_displayLink;
  std::unique_ptr<FrameRecord> m_frameRecord;
  hc::runtime::ObjectRef m_contextHelper;
  ContextHelperSource m_contextHelperSource;
  HcHalcyonSurface* m_surface = nullptr;
  QWidget* m_surfaceContainer = nullptr;
  QOpenGLContext* m_qtContext = nullptr;
  std::unique_ptr<hc::gl::GlContext> m_glContext;
  double m_refreshRate = 60.0;
  bool m_shutDown = false;

  // Handed from the main thread to the next refresh.
  std::atomic<bool> m_redrawRequested{false};
  std::mutex m_pendingFrameLock;
  std::optional<QSize> m_pendingFrame;

  std::atomic<uint64_t> m_framesDrawn{0};
  std::atomic<uint64_t> m_framesSkipped{0};
  std::atomic<uint64_t> m_refreshesRun{0};
};
