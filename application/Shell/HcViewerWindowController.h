#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <memory>

#include "platform/runtime/ObjectRef.h"

class HcHalcyonView;
class HcMovie;
class HcTimeFormatter;
class HcTimelineView;
class HcViewerDocument;
class HcWindow;
class QAction;
class QEvent;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QSlider;
class QToolButton;
class QTimer;
class QWheelEvent;
class QWidget;

// The controller of a player window. It applies the document's presentation
// to the window (size, thin mode, full screen, auto-play, the auto-pan
// delay, the player view's display link), passes the window's mouse and key
// events to the scene through the context's view helper (first-person look
// in full screen), and carries the movie and view commands, the controls,
// their 0.1 s timer and the viewsets menu. It reaches the model only through
// proxies: the presentation, the context, its real-time clock, view helper
// and main view.
class HcViewerWindowController : public QObject {
  Q_OBJECT
 public:
  // Defaults registered on first use.
  static constexpr const char* kPanRateKey = "panRate";
  static constexpr const char* kFirstPersonMouseScaleKey = "firstPersonMouseScale";
  static constexpr const char* kFirstPersonFullScreenKey = "firstPersonFullScreen";
  static constexpr const char* kZoomRateKey = "zoomRate";
  // Not registered: 0 (off) until set.
  static constexpr const char* kAutoPanDelayKey = "autoPanDelay";
  static constexpr const char* kPreviousAutoPanDelayKey = "previousAutoPanDelay";

  static constexpr double kControlTimerInterval = 0.1;
  static constexpr float kPlayRate = 1.0f;
  static constexpr float kFastForwardRate = 2.0f;
  static constexpr float kSlowForwardRate = 0.5f;
  static constexpr float kMenuVolumeStep = 0.05f;
  static constexpr float kKeyVolumeStep = 0.1f;
  static constexpr float kSmallestZoomedVFOV = 10.0f;
  static constexpr float kDefaultAutoRotateDelay = 15.0f;
  static constexpr int kViewsetsMenuTag = 15;
  static constexpr int kTimelinePressEvent = 1;
  static constexpr int kTimelineReleaseEvent = 3;

  // The event a transport button reports.
  enum class TransportEvent { kMouseDown, kMouseDragged, kMouseUp, kOther };

  static void registerDefaults();

  explicit HcViewerWindowController(HcViewerDocument* document);
  ~HcViewerWindowController() override;

  HcViewerDocument* document() const;
  HcWindow* window() const { return m_window.get(); }
  HcHalcyonView* halcyonView() const { return iHalcyonView; }
  HcTimelineView* timelineView() const { return iTimelineView; }
  QSlider* volumeSlider() const { return iVolumeSlider; }
  QToolButton* playButton() const { return iPlayButton; }
  QToolButton* muteButton() const { return iMuteButton; }
  QLineEdit* timeIndexTextField() const { return iTimeIndexTextField; }
  QMenu* viewsetsMenu() const { return m_viewsetsMenu; }
  QTimer* controlTimer() const { return _timeSensitiveDisplayInformationTimer; }

  HcMovie* movie() const;
  hc::runtime::ObjectRef contextHelper() const;
  hc::runtime::ObjectRef viewHelper() const;

  QSizeF originalSize() const { return _originalSize; }
  void setOriginalSize(QSizeF size) { _originalSize = size; }

  void showWindow();
  void closeWindow();

  // Presentation display.
  void updatePresentation();
  void sizeWindowForDisplaySize(QSizeF size, bool animate);
  void normalSize();
  void doubleSize();
  void maximumSize();
  void startThinMode();
  void stopThinMode();
  void toggleThinMode();
  bool isThinMode() const { return _originalContentView; }
  void startFullScreen();
  void stopFullScreen();
  void toggleFullScreen();
  bool isFullScreenMode() const { return _isFullScreen; }
  void applicationWillResignActive();
  void windowWillClose();
  void windowDidBecomeMain();
  void windowAcceptsMouseMovedEventsChanged(bool accepts);

  // Events (the filter on the player view and the window sends them here).
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseDown(QMouseEvent* event);
  void mouseDragged(QMouseEvent* event);
  void mouseUp(QMouseEvent* event);
  void mouseMoved(QMouseEvent* event);
  void scrollWheel(QWheelEvent* event);
  void flagsChanged(uint32_t modifierMask);
  // True when the key was taken.
  bool keyDown(QKeyEvent* event);
  bool keyUp(QKeyEvent* event);
  void cancel();
  uint32_t lastModifierMask() const { return _lastCarbonModifierFlags; }

  // Movie and view commands.
  void synchronizeControls();
  void updateTimeSensitiveDisplayInformation();
  void playToggle();
  void gotoBeginning();
  void gotoEnd();
  void stepForward();
  void stepBackward();
  void toggleLoop();
  void togglePlaySelectionOnly();
  void fastForward(TransportEvent event, bool optionHeld);
  void rewind(TransportEvent event, bool optionHeld);
  void toggleMute();
  // The time line's action.
  Q_INVOKABLE void changeTime(HcTimelineView* sender);
  void changeVolume();
  void increaseVolume();
  void decreaseVolume();
  void zoomIn();
  void zoomOut();
  void changeViewset(const QString& name);
  bool isAutoRotate() const;
  void toggleAutoRotate();
  // Sets the action's title, check state and enabled state as the movie and
  // the context stand; answers whether it is enabled.
  bool validateMenuItem(QAction* item);
  void validateAllMenuItems();
  // The menu actions by command name ("playToggle:", "toggleLoop:" …).
  QAction* actionForCommand(const QString& command) const;

 private slots:
  void movieDidEnd();
  void movieRateDidChange();

 private:
  void BuildWindow();
  void BuildMenus();
  QAction* AddCommand(QMenu* menu, const QString& title, const char* command, void (HcViewerWindowController::*slot)(),
                      const QKeySequence& shortcut, bool checkable);
  void ObserveMovie();
  void BindAutoPanDelay(hc::runtime::ObjectRef realtimeClock);
  void UnbindAutoPanDelay();
  void ApplyCursorCode(uint32_t cursorCode);
  void SendMouse(const char* selector, QMouseEvent* event);
  QPointF ViewPointOf(const QPointF& widgetPoint) const;
  void FirstPersonLook(QMouseEvent* event);
  void Transport(TransportEvent event, float rate);
  void SetTimeField(double seconds);
  void SetMovieVolume(float volume, bool updateSlider);
  void MarkNeedsDisplay();

  QPointer<HcViewerDocument> m_document;
  std::unique_ptr<HcWindow> m_window;
  HcHalcyonView* iHalcyonView = nullptr;
  QLineEdit* iTimeIndexTextField = nullptr;
  HcTimelineView* iTimelineView = nullptr;
  QToolButton* iMuteButton = nullptr;
  QSlider* iVolumeSlider = nullptr;
  QToolButton* iPlayButton = nullptr;
  QToolButton* m_rewindButton = nullptr;
  QToolButton* m_fastForwardButton = nullptr;
  QWidget* m_controlsBar = nullptr;
  QMenu* m_viewsetsMenu = nullptr;
  QAction* m_viewsetsMarker = nullptr;
  QTimer* _timeSensitiveDisplayInformationTimer = nullptr;
  QSizeF _originalSize;
  QSizeF m_pendingDisplaySize;  // sized once the window is on screen
  uint32_t _lastCarbonModifierFlags = 0;
  bool m_capsLock = false;
  bool _originalContentView = false;  // thin mode: the controls are put away
  QSize _originalContentViewSize;
  bool _isFullScreen = false;
  QRect _originalWindowFrame;
  bool m_wasMaximized = false;
  float _savedRate = 0.0f;
  bool m_closing = false;
  QPoint m_lastMousePosition;
  bool m_haveLastMousePosition = false;
  bool m_warpingCursor = false;
  hc::runtime::ObjectRef m_boundRealtimeClock;
  QMetaObject::Connection m_autoPanBinding;
  QPointer<HcMovie> m_observedMovie;
  std::unique_ptr<HcTimeFormatter> m_timeFormatter;
};
