// The window controller's movie and view commands: transport, loop and
// selection, volume and mute, seeking from the time line, the control timer,
// zoom, automatic rotation, the viewsets menu and the validation of the
// menu items.
#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "HcHalcyonView.h"
#include "HcMovie.h"
#include "HcProxyCalls.h"
#include "HcTimeFormatter.h"
#include "HcTimelineView.h"
#include "HcUserDefaults.h"
#include "HcViewerApplicationDelegate.h"
#include "HcViewerDocument.h"
#include "HcViewerWindowController.h"
#include "HcWindow.h"

namespace rt = hc::runtime;
using HcProxyCalls::Call;
using HcProxyCalls::SendForObject;

namespace {

constexpr int kVolumeSliderSteps = 100;

QString Key(const char* key) { return QString::fromUtf8(key); }

HcUserDefaults& Defaults() { return HcUserDefaults::standardUserDefaults(); }

}  // namespace

QAction* HcViewerWindowController::AddCommand(QMenu* menu, const QString& title, const char* command,
                                              void (HcViewerWindowController::*slot)(), const QKeySequence& shortcut,
                                              bool checkable) {
  QAction* action = menu->addAction(title);
  action->setObjectName(QString::fromUtf8(command));
  action->setCheckable(checkable);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  if (slot) connect(action, &QAction::triggered, this, slot);
  // Shortcuts work also while the menus are put away (full screen).
  m_window->addAction(action);
  return action;
}

void HcViewerWindowController::BuildMenus() {
  QMenuBar* bar = m_window->menuBar();
  QMenu* file = bar->addMenu(tr("&File"));
  QAction* close = file->addAction(tr("Close"));
  close->setShortcut(QKeySequence::Close);
  m_window->addAction(close);
  connect(close, &QAction::triggered, this, [this] { closeWindow(); });

  QMenu* movieMenu = bar->addMenu(tr("&Movie"));
  AddCommand(movieMenu, tr("Play"), "playToggle:", &HcViewerWindowController::playToggle, {}, false);
  AddCommand(movieMenu, tr("Go to Beginning"), "gotoBeginning:", &HcViewerWindowController::gotoBeginning, {}, false);
  AddCommand(movieMenu, tr("Go to End"), "gotoEnd:", &HcViewerWindowController::gotoEnd, {}, false);
  AddCommand(movieMenu, tr("Step Forward"), "stepForward:", &HcViewerWindowController::stepForward, {}, false);
  AddCommand(movieMenu, tr("Step Backward"), "stepBackward:", &HcViewerWindowController::stepBackward, {}, false);
  movieMenu->addSeparator();
  AddCommand(movieMenu, tr("Loop"), "toggleLoop:", &HcViewerWindowController::toggleLoop, QKeySequence(tr("Ctrl+L")),
             true);
  AddCommand(movieMenu, tr("Play Selection Only"), "togglePlaySelectionOnly:",
             &HcViewerWindowController::togglePlaySelectionOnly, {}, true);
  movieMenu->addSeparator();
  AddCommand(movieMenu, tr("Increase Volume"), "increaseVolume:", &HcViewerWindowController::increaseVolume, {}, false);
  AddCommand(movieMenu, tr("Decrease Volume"), "decreaseVolume:", &HcViewerWindowController::decreaseVolume, {}, false);
  AddCommand(movieMenu, tr("Mute"), "toggleMute:", &HcViewerWindowController::toggleMute, {}, true);

  QMenu* view = bar->addMenu(tr("&View"));
  AddCommand(view, tr("Actual Size"), "normalSize:", &HcViewerWindowController::normalSize, QKeySequence(tr("Ctrl+0")),
             false);
  AddCommand(view, tr("Double Size"), "doubleSize:", &HcViewerWindowController::doubleSize, QKeySequence(tr("Ctrl+2")),
             false);
  AddCommand(view, tr("Fill Screen"), "maximumSize:", &HcViewerWindowController::maximumSize,
             QKeySequence(tr("Ctrl+3")), false);
  AddCommand(view, tr("Full Screen"), "toggleFullScreen:", &HcViewerWindowController::toggleFullScreen,
             QKeySequence(tr("Ctrl+F")), true);
  AddCommand(view, tr("Hide Controls"), "toggleThinMode:", &HcViewerWindowController::toggleThinMode,
             QKeySequence(tr("Ctrl+T")), true);
  view->addSeparator();
  AddCommand(view, tr("Zoom In"), "zoomIn:", &HcViewerWindowController::zoomIn, QKeySequence(tr("Ctrl+=")), false);
  AddCommand(view, tr("Zoom Out"), "zoomOut:", &HcViewerWindowController::zoomOut, QKeySequence(tr("Ctrl+-")), false);
  AddCommand(view, tr("Auto Rotate"), "toggleAutoRotate:", &HcViewerWindowController::toggleAutoRotate, {}, true);
  QAction* cancelAction = new QAction(m_window.get());
  cancelAction->setObjectName(QStringLiteral("cancel:"));
  cancelAction->setShortcut(QKeySequence(Qt::Key_Escape));
  connect(cancelAction, &QAction::triggered, this, &HcViewerWindowController::cancel);
  m_window->addAction(cancelAction);

  m_viewsetsMenu = bar->addMenu(tr("View&sets"));
  m_viewsetsMarker = m_viewsetsMenu->addSection(tr("Viewsets"));
  m_viewsetsMarker->setData(kViewsetsMenuTag);

  QMenu* help = bar->addMenu(tr("&Help"));
  if (auto* delegate = QCoreApplication::instance()
                           ? QCoreApplication::instance()->findChild<HcViewerApplicationDelegate*>()
                           : nullptr) {
    connect(help->addAction(tr("Send Feedback…")), &QAction::triggered, delegate,
            &HcViewerApplicationDelegate::showFeedbackWindow);
    connect(help->addAction(tr("About HalcyonPlayer")), &QAction::triggered, delegate,
            &HcViewerApplicationDelegate::showSplashWindow);
    connect(help->addAction(tr("Check for Updates…")), &QAction::triggered, delegate,
            &HcViewerApplicationDelegate::checkForUpdates);
    connect(help->addAction(tr("Halcyon Creator Documentation")), &QAction::triggered, delegate,
            &HcViewerApplicationDelegate::showHalcyonCreatorDocumentation);
    connect(help->addAction(tr("Kestrel Web Site")), &QAction::triggered, delegate,
            &HcViewerApplicationDelegate::gotoKestrel);
    connect(help->addAction(tr("Kestrel Forums")), &QAction::triggered, delegate,
            &HcViewerApplicationDelegate::gotoKestrelForums);
  }
  for (QMenu* menu : {file, movieMenu, view, m_viewsetsMenu, help}) {
    connect(menu, &QMenu::aboutToShow, this, &HcViewerWindowController::validateAllMenuItems);
  }
}

QAction* HcViewerWindowController::actionForCommand(const QString& command) const {
  if (!m_window) return nullptr;
  for (QAction* action : m_window->actions()) {
    if (action->objectName() == command) return action;
  }
  for (QAction* action : m_viewsetsMenu->actions()) {
    if (action->objectName() == command) return action;
  }
  return nullptr;
}

void HcViewerWindowController::synchronizeControls() {
  iTimelineView->setTarget(this);
  iTimelineView->setAction("changeTime");
  updateTimeSensitiveDisplayInformation();
  HcMovie* theMovie = movie();
  if (!theMovie) return;
  iPlayButton->setChecked(theMovie->isPlaying());
  iMuteButton->setChecked(theMovie->muted());
  iVolumeSlider->setEnabled(!theMovie->muted());
  const QSignalBlocker quiet(iVolumeSlider);
  iVolumeSlider->setValue(qRound(theMovie->volume() * kVolumeSliderSteps));
}

void HcViewerWindowController::SetTimeField(double seconds) {
  iTimeIndexTextField->setText(m_timeFormatter->stringForSeconds(seconds));
}

void HcViewerWindowController::updateTimeSensitiveDisplayInformation() {
  if (HcMovie* theMovie = movie()) {
    const double current = theMovie->currentTime();
    SetTimeField(current);
    iTimelineView->setLength(theMovie->duration());
    iTimelineView->setLoaded(theMovie->maxLoaded());
    iTimelineView->setPosition(current);
  }
  if (!_timeSensitiveDisplayInformationTimer && !m_closing) {
    _timeSensitiveDisplayInformationTimer = new QTimer(this);
    _timeSensitiveDisplayInformationTimer->setInterval(static_cast<int>(kControlTimerInterval * 1000));
    connect(_timeSensitiveDisplayInformationTimer, &QTimer::timeout, this,
            &HcViewerWindowController::updateTimeSensitiveDisplayInformation);
    _timeSensitiveDisplayInformationTimer->start();
  }
}

void HcViewerWindowController::movieDidEnd() {
  if (HcMovie* theMovie = movie()) SetTimeField(theMovie->currentTime());
}

void HcViewerWindowController::movieRateDidChange() {
  if (HcMovie* theMovie = movie()) iPlayButton->setChecked(theMovie->isPlaying());
}

void HcViewerWindowController::playToggle() {
  HcMovie* theMovie = movie();
  if (!theMovie) return;
  theMovie->setRate(theMovie->isPlaying() ? 0.0f : kPlayRate);
}

void HcViewerWindowController::gotoBeginning() {
  if (HcMovie* theMovie = movie()) theMovie->gotoBeginning();
}

void HcViewerWindowController::gotoEnd() {
  if (HcMovie* theMovie = movie()) theMovie->gotoEnd();
}

void HcViewerWindowController::stepForward() {
  if (HcMovie* theMovie = movie()) theMovie->stepForward();
}

void HcViewerWindowController::stepBackward() {
  if (HcMovie* theMovie = movie()) theMovie->stepBackward();
}

void HcViewerWindowController::toggleLoop() {
  if (HcMovie* theMovie = movie()) theMovie->setLooping(!theMovie->isLooping());
}

void HcViewerWindowController::togglePlaySelectionOnly() {
  if (HcMovie* theMovie = movie()) theMovie->setPlaySelectionOnly(!theMovie->playSelectionOnly());
}

// Pressed: fast; released: stopped. A drag over the button while stopped
// starts it again, one while running stops it.
void HcViewerWindowController::Transport(TransportEvent event, float rate) {
  HcMovie* theMovie = movie();
  if (!theMovie) return;
  const bool running = theMovie->isPlaying();
  switch (event) {
    case TransportEvent::kMouseDown: theMovie->setRate(rate); break;
    case TransportEvent::kMouseDragged: theMovie->setRate(running ? 0.0f : rate); break;
    case TransportEvent::kMouseUp:
      if (running) theMovie->setRate(0.0f);
      break;
    case TransportEvent::kOther: break;
  }
}

void HcViewerWindowController::fastForward(TransportEvent event, bool optionHeld) {
  Transport(event, optionHeld ? kSlowForwardRate : kFastForwardRate);
}

void HcViewerWindowController::rewind(TransportEvent event, bool optionHeld) {
  Transport(event, optionHeld ? -kSlowForwardRate : -kFastForwardRate);
}

void HcViewerWindowController::toggleMute() {
  HcMovie* theMovie = movie();
  if (!theMovie) return;
  const bool mute = !theMovie->muted();
  theMovie->setMuted(mute);
  iMuteButton->setChecked(mute);
  iVolumeSlider->setEnabled(!mute);
}

// Dragging the play head pauses the movie and puts the rate back when the
// head is let go; the movie follows the head all along.
void HcViewerWindowController::changeTime(HcTimelineView* sender) {
  HcMovie* theMovie = movie();
  if (!theMovie || !sender) return;
  const double target = sender->position();
  if (sender->eventType() == kTimelinePressEvent) {
    _savedRate = static_cast<float>(theMovie->rate());
    theMovie->setRate(0.0f);
  } else if (sender->eventType() == kTimelineReleaseEvent) {
    theMovie->setRate(_savedRate);
  }
  theMovie->setCurrentTime(target);
  SetTimeField(target);
}

void HcViewerWindowController::changeVolume() {
  if (HcMovie* theMovie = movie()) {
    theMovie->setVolume(static_cast<float>(iVolumeSlider->value()) / kVolumeSliderSteps);
  }
}

void HcViewerWindowController::SetMovieVolume(float volume, bool updateSlider) {
  HcMovie* theMovie = movie();
  if (!theMovie) return;
  theMovie->setVolume(std::clamp(volume, 0.0f, 1.0f));
  if (updateSlider) {
    const QSignalBlocker quiet(iVolumeSlider);
    iVolumeSlider->setValue(qRound(theMovie->volume() * kVolumeSliderSteps));
  }
}

void HcViewerWindowController::increaseVolume() {
  if (HcMovie* theMovie = movie()) SetMovieVolume(theMovie->volume() + kMenuVolumeStep, true);
}

void HcViewerWindowController::decreaseVolume() {
  if (HcMovie* theMovie = movie()) SetMovieVolume(theMovie->volume() - kMenuVolumeStep, true);
}

void HcViewerWindowController::MarkNeedsDisplay() {
  if (iHalcyonView) iHalcyonView->update();
}

void HcViewerWindowController::zoomIn() {
  const rt::ObjectRef context = contextHelper();
  const rt::ObjectRef mainView = SendForObject(context.Get(), "mainView");
  const float vfov = HcProxyCalls::SendForFloat(mainView.Get(), "VFOV");
  const float rate = Defaults().floatForKey(Key(kZoomRateKey));
  Call(context.Get(), "resetIdle");
  if (mainView && vfov > kSmallestZoomedVFOV) Call(mainView.Get(), "setVFOV:", {rt::Value::Float(vfov - rate)});
  MarkNeedsDisplay();
}

void HcViewerWindowController::zoomOut() {
  const rt::ObjectRef context = contextHelper();
  const rt::ObjectRef mainView = SendForObject(context.Get(), "mainView");
  const float vfov = HcProxyCalls::SendForFloat(mainView.Get(), "VFOV");
  const float rate = Defaults().floatForKey(Key(kZoomRateKey));
  Call(context.Get(), "resetIdle");
  if (mainView) Call(mainView.Get(), "setVFOV:", {rt::Value::Float(vfov + rate)});
  MarkNeedsDisplay();
}

void HcViewerWindowController::changeViewset(const QString& name) {
  const rt::ObjectRef context = contextHelper();
  Call(context.Get(), "setViewsetName:", {rt::Value::String(name.toStdString())});
  MarkNeedsDisplay();
}

bool HcViewerWindowController::isAutoRotate() const { return Defaults().floatForKey(Key(kAutoPanDelayKey)) != 0.0f; }

void HcViewerWindowController::toggleAutoRotate() {
  const float delay = Defaults().floatForKey(Key(kAutoPanDelayKey));
  if (delay == 0.0f) {
    float previous = Defaults().floatForKey(Key(kPreviousAutoPanDelayKey));
    if (previous == 0.0f) previous = kDefaultAutoRotateDelay;
    Defaults().setFloat(previous, Key(kAutoPanDelayKey));
  } else {
    Defaults().setFloat(delay, Key(kPreviousAutoPanDelayKey));
    Defaults().setFloat(0.0f, Key(kAutoPanDelayKey));
  }
}

// The viewsets of the context after the marker, the first nine on the keys
// 1 to 9; rebuilt, not appended to, each time.
void HcViewerWindowController::windowDidBecomeMain() {
  if (!m_viewsetsMenu) return;
  QList<QAction*> actions = m_viewsetsMenu->actions();
  const qsizetype marker = actions.indexOf(m_viewsetsMarker);
  for (qsizetype index = actions.size() - 1; index > marker; --index) {
    QAction* stale = actions[index];
    m_viewsetsMenu->removeAction(stale);
    m_window->removeAction(stale);
    stale->deleteLater();
  }
  const rt::ObjectRef context = contextHelper();
  const rt::Value viewsets = Call(context.Get(), "arrayOfViewsets");
  if (viewsets.GetType() != rt::Value::Type::kArray) return;
  int index = 0;
  for (const rt::Value& viewset : viewsets.GetArray()) {
    const rt::Value name = Call(viewset.GetObject(), "name");
    const QString title = QString::fromStdString(name.GetString());
    QAction* item = m_viewsetsMenu->addAction(title);
    item->setObjectName(QStringLiteral("changeViewset:"));
    item->setCheckable(true);
    ++index;
    if (index <= 9) {
      item->setShortcut(QKeySequence(QString::number(index)));
      m_window->addAction(item);
    }
    connect(item, &QAction::triggered, this, [this, title] { changeViewset(title); });
  }
}

bool HcViewerWindowController::validateMenuItem(QAction* item) {
  if (!item) return false;
  const QString command = item->objectName();
  HcMovie* theMovie = movie();
  bool enabled = true;
  if (command == QStringLiteral("playToggle:")) {
    item->setText(theMovie && theMovie->isPlaying() ? tr("Pause") : tr("Play"));
  } else if (command == QStringLiteral("toggleLoop:")) {
    item->setChecked(theMovie && theMovie->isLooping());
  } else if (command == QStringLiteral("togglePlaySelectionOnly:")) {
    item->setChecked(theMovie && theMovie->playSelectionOnly());
  } else if (command == QStringLiteral("increaseVolume:")) {
    enabled = !(theMovie && (theMovie->volume() >= 1.0f || theMovie->muted()));
  } else if (command == QStringLiteral("decreaseVolume:")) {
    enabled = !(theMovie && (theMovie->volume() <= 0.0f || theMovie->muted()));
  } else if (command == QStringLiteral("toggleMute:")) {
    item->setChecked(theMovie && theMovie->muted());
  } else if (command == QStringLiteral("toggleFullScreen:")) {
    item->setChecked(isFullScreenMode());
  } else if (command == QStringLiteral("toggleThinMode:")) {
    item->setChecked(isThinMode());
  } else if (command == QStringLiteral("toggleAutoRotate:")) {
    item->setChecked(isAutoRotate());
  } else if (command == QStringLiteral("changeViewset:")) {
    const rt::ObjectRef context = contextHelper();
    const rt::Value current = Call(context.Get(), "viewsetName");
    item->setChecked(current.GetType() == rt::Value::Type::kString &&
                     item->text() == QString::fromStdString(current.GetString()));
  }
  item->setEnabled(enabled);
  return enabled;
}

void HcViewerWindowController::validateAllMenuItems() {
  if (!m_window) return;
  for (QAction* action : m_window->menuBar()->actions()) {
    if (QMenu* menu = action->menu()) {
      for (QAction* item : menu->actions()) {
        if (!item->objectName().isEmpty()) validateMenuItem(item);
      }
    }
  }
}
