#include "HcViewerWindowController.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <mutex>

#include "HcHalcyonView.h"
#include "HcMovie.h"
#include "HcProxyCalls.h"
#include "HcTimeFormatter.h"
#include "HcTimelineView.h"
#include "HcUserDefaults.h"
#include "HcViewerDocument.h"
#include "HcWindow.h"
#include "QuickTime/MovieAutoPlay.h"
#include "platform/runtime/KeyValueCoding.h"

namespace rt = hc::runtime;
using HcProxyCalls::Call;
using HcProxyCalls::SendForObject;

namespace {

constexpr int kVolumeSliderSteps = 100;

QString Key(const char* key) { return QString::fromUtf8(key); }

}  // namespace

void HcViewerWindowController::registerDefaults() {
  static std::once_flag once;
  std::call_once(once, [] {
    HcUserDefaults::standardUserDefaults().registerDefaults({
        {Key(kPanRateKey), 5.0},
        {Key(kFirstPersonMouseScaleKey), 0.1},
        {Key(kFirstPersonFullScreenKey), false},
        {Key(kZoomRateKey), 1.0},
    });
  });
}

HcViewerWindowController::HcViewerWindowController(HcViewerDocument* document)
    : m_document(document), m_timeFormatter(std::make_unique<HcTimeFormatter>()) {
  registerDefaults();
  BuildWindow();
  BuildMenus();
  ObserveMovie();
  if (QCoreApplication* application = QCoreApplication::instance()) {
    if (auto* gui = qobject_cast<QGuiApplication*>(application)) {
      connect(gui, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive) applicationWillResignActive();
      });
    }
  }
}

HcViewerWindowController::~HcViewerWindowController() {
  UnbindAutoPanDelay();
  if (m_observedMovie) disconnect(m_observedMovie, nullptr, this, nullptr);
  stopFullScreen();
  if (_timeSensitiveDisplayInformationTimer) _timeSensitiveDisplayInformationTimer->stop();
  if (iHalcyonView) iHalcyonView->stopTimer();
  if (m_window) {
    m_window->removeEventFilter(this);
    if (iHalcyonView) iHalcyonView->removeEventFilter(this);
  }
  // The window takes the player view with it; the view drops the scene's
  // drawing resources with its own context current.
  m_window.reset();
}

void HcViewerWindowController::BuildWindow() {
  m_window = std::make_unique<HcWindow>(this);
  if (m_document && !m_document->fileURL().isEmpty()) {
    m_window->setWindowTitle(QFileInfo(m_document->fileURL().toLocalFile()).fileName());
  }
  auto* content = new QWidget(m_window.get());
  auto* column = new QVBoxLayout(content);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  iHalcyonView = new HcHalcyonView(content);
  iHalcyonView->setContextHelperSource([this] { return contextHelper(); });
  iHalcyonView->setFocusPolicy(Qt::StrongFocus);
  column->addWidget(iHalcyonView, 1);

  m_controlsBar = new QWidget(content);
  auto* row = new QHBoxLayout(m_controlsBar);
  row->setContentsMargins(4, 2, 4, 2);
  iPlayButton = new QToolButton(m_controlsBar);
  iPlayButton->setText(tr("Play"));
  iPlayButton->setCheckable(true);
  m_rewindButton = new QToolButton(m_controlsBar);
  m_rewindButton->setText(QStringLiteral("<<"));
  m_fastForwardButton = new QToolButton(m_controlsBar);
  m_fastForwardButton->setText(QStringLiteral(">>"));
  iTimelineView = new HcTimelineView(m_controlsBar);
  iTimelineView->setMinimumHeight(20);
  iTimeIndexTextField = new QLineEdit(m_controlsBar);
  iTimeIndexTextField->setReadOnly(true);
  iTimeIndexTextField->setFocusPolicy(Qt::ClickFocus);
  iTimeIndexTextField->setFixedWidth(iTimeIndexTextField->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00:00")) + 12);
  iMuteButton = new QToolButton(m_controlsBar);
  iMuteButton->setText(tr("Mute"));
  iMuteButton->setCheckable(true);
  iVolumeSlider = new QSlider(Qt::Horizontal, m_controlsBar);
  iVolumeSlider->setRange(0, kVolumeSliderSteps);
  iVolumeSlider->setFixedWidth(50);
  iTimelineView->setMinimumWidth(40);
  iVolumeSlider->setFocusPolicy(Qt::NoFocus);
  for (QWidget* control : {static_cast<QWidget*>(iPlayButton), static_cast<QWidget*>(m_rewindButton),
                           static_cast<QWidget*>(m_fastForwardButton), static_cast<QWidget*>(iMuteButton)}) {
    control->setFocusPolicy(Qt::NoFocus);
  }
  row->addWidget(m_rewindButton);
  row->addWidget(iPlayButton);
  row->addWidget(m_fastForwardButton);
  row->addWidget(iTimelineView, 1);
  row->addWidget(iTimeIndexTextField);
  row->addWidget(iMuteButton);
  row->addWidget(iVolumeSlider);
  column->addWidget(m_controlsBar, 0);
  m_window->setCentralWidget(content);

  connect(iPlayButton, &QToolButton::clicked, this, [this] { playToggle(); });
  connect(iMuteButton, &QToolButton::clicked, this, [this] { toggleMute(); });
  connect(iVolumeSlider, &QSlider::valueChanged, this, [this] { changeVolume(); });
  // The transport buttons run the movie fast while they are held.
  connect(m_fastForwardButton, &QToolButton::pressed, this, [this] {
    fastForward(TransportEvent::kMouseDown, QApplication::keyboardModifiers() & Qt::AltModifier);
  });
  connect(m_fastForwardButton, &QToolButton::released, this, [this] { fastForward(TransportEvent::kMouseUp, false); });
  connect(m_rewindButton, &QToolButton::pressed, this, [this] {
    rewind(TransportEvent::kMouseDown, QApplication::keyboardModifiers() & Qt::AltModifier);
  });
  connect(m_rewindButton, &QToolButton::released, this, [this] { rewind(TransportEvent::kMouseUp, false); });

  iHalcyonView->installEventFilter(this);
  m_window->installEventFilter(this);
  m_window->setAcceptsMouseMovedEvents(true);
  m_window->resize(640, 480 + m_controlsBar->sizeHint().height());
}

HcViewerDocument* HcViewerWindowController::document() const { return m_document; }

HcMovie* HcViewerWindowController::movie() const { return m_document ? m_document->movie() : nullptr; }

rt::ObjectRef HcViewerWindowController::contextHelper() const {
  return m_document ? m_document->contextHelper() : rt::ObjectRef();
}

rt::ObjectRef HcViewerWindowController::viewHelper() const {
  const rt::ObjectRef context = contextHelper();
  return SendForObject(context.Get(), "viewHelper");
}

void HcViewerWindowController::showWindow() {
  if (!m_window) return;
  m_window->show();
  if (!m_pendingDisplaySize.isEmpty()) sizeWindowForDisplaySize(m_pendingDisplaySize, false);
  m_window->raise();
  m_window->activateWindow();
  iHalcyonView->setFocus();
}

void HcViewerWindowController::closeWindow() {
  if (m_window && m_window->isVisible()) {
    m_window->close();
  } else {
    windowWillClose();
  }
}

void HcViewerWindowController::ObserveMovie() {
  HcMovie* current = movie();
  if (current == m_observedMovie) return;
  if (m_observedMovie) disconnect(m_observedMovie, nullptr, this, nullptr);
  m_observedMovie = current;
  if (!current) return;
  // Only this document's movie: other windows' movies say nothing here.
  connect(current, &HcMovie::didEnd, this, &HcViewerWindowController::movieDidEnd);
  connect(current, &HcMovie::rateChanged, this, &HcViewerWindowController::movieRateDidChange);
}

void HcViewerWindowController::updatePresentation() {
  HcMovie* theMovie = movie();
  if (!theMovie || theMovie->loadState() < HcViewerDocument::kLoadStateLoaded) return;
  ObserveMovie();
  const rt::Id presentation = m_document ? m_document->presentation() : nullptr;
  const rt::ObjectRef context = contextHelper();
  rt::ObjectRef realtimeClock = SendForObject(context.Get(), "realtimeClock");
  if (m_window && presentation) {
    const rt::Value displaySize = Call(presentation, "displaySize");
    QSizeF size(displaySize.GetSize().width, displaySize.GetSize().height);
    if (size.width() == 0) size.setWidth(640);
    if (size.height() == 0) size.setHeight(480);
    setOriginalSize(size);
    sizeWindowForDisplaySize(size, false);
    if (HcProxyCalls::SendForBool(presentation, "hideControls")) {
      QTimer::singleShot(0, this, [this] { startThinMode(); });
    }
    if (HcProxyCalls::SendForBool(presentation, "openFullScreen")) {
      QTimer::singleShot(0, this, [this] { startFullScreen(); });
    }
    BindAutoPanDelay(std::move(realtimeClock));
  }
  if (theMovie->loadState() >= HcViewerDocument::kLoadStatePlaythroughOK &&
      GetMovieAutoPlayFlag(theMovie->movie().get()) == 1) {
    theMovie->setRate(kPlayRate);
  }
  iHalcyonView->startTimer();
  synchronizeControls();
  windowDidBecomeMain();
}

// The real-time clock's idle time-out follows the "autoPanDelay" default
// from now on.
void HcViewerWindowController::BindAutoPanDelay(rt::ObjectRef realtimeClock) {
  UnbindAutoPanDelay();
  if (!realtimeClock) return;
  m_boundRealtimeClock = std::move(realtimeClock);
  const auto apply = [this] {
    const double delay = HcUserDefaults::standardUserDefaults().floatForKey(Key(kAutoPanDelayKey));
    rt::SetValueForKey(m_boundRealtimeClock.Get(), "idleTimeout", rt::Value::Double(delay));
  };
  apply();
  m_autoPanBinding = connect(&HcUserDefaults::standardUserDefaults(), &HcUserDefaults::valueChanged, this,
                             [apply](const QString& key) {
                               if (key == Key(kAutoPanDelayKey)) apply();
                             });
}

void HcViewerWindowController::UnbindAutoPanDelay() {
  if (m_autoPanBinding) disconnect(m_autoPanBinding);
  m_autoPanBinding = {};
  m_boundRealtimeClock = {};
}

// The player view gets exactly the size; the window keeps its horizontal
// centre and its top edge and is moved, never shrunk, into the screen's
// available area.
void HcViewerWindowController::sizeWindowForDisplaySize(QSizeF size, bool) {
  if (!m_window) return;
  // The parts of a window are laid out once it is on screen.
  if (!m_window->isVisible()) {
    m_pendingDisplaySize = size;
    return;
  }
  m_pendingDisplaySize = {};
  const QRect window = m_window->geometry();
  const QSize view = iHalcyonView->size();
  const int width = window.width() - view.width() + qRound(size.width());
  const int height = window.height() - view.height() + qRound(size.height());
  int x = qRound(window.x() + 0.5 * window.width() - 0.5 * width);
  int y = window.y();
  if (QScreen* screen = m_window->screen()) {
    const QRect available = screen->availableGeometry();
    if (x < available.x()) {
      x = available.x();
    } else if (x + width > available.x() + available.width()) {
      x = available.x() + available.width() - width;
    }
    if (y < available.y()) {
      y = available.y();
    } else if (y + height > available.y() + available.height()) {
      y = available.y() + available.height() - height;
    }
  }
  m_window->setGeometry(x, y, width, height);
}

void HcViewerWindowController::normalSize() { sizeWindowForDisplaySize(_originalSize, true); }

void HcViewerWindowController::doubleSize() { sizeWindowForDisplaySize(_originalSize * 2.0, true); }

void HcViewerWindowController::maximumSize() {
  if (!m_window || !m_window->screen()) return;
  const QRect available = m_window->screen()->availableGeometry();
  const QRect window = m_window->geometry();
  const QSize view = iHalcyonView->size();
  if (view.height() <= 0) return;
  const int chromeWidth = window.width() - view.width();
  const int chromeHeight = window.height() - view.height();
  const double aspect = static_cast<double>(view.width()) / view.height();
  QRect frame(available.x(), available.y(), qRound(aspect * (available.height() - chromeHeight)) + chromeWidth,
              available.height());
  if (!available.contains(frame)) {
    const int height = qRound((available.width() - chromeWidth) / aspect) + chromeHeight;
    frame = QRect(available.x(), available.y(), available.width(), height);
  }
  m_window->setGeometry(frame);
}

void HcViewerWindowController::startThinMode() {
  if (isThinMode() || isFullScreenMode() || !m_window) return;
  _originalContentViewSize = m_window->size();
  const QPoint topLeft = m_window->pos();
  iHalcyonView->lockDisplay();
  _originalContentView = true;
  m_controlsBar->hide();
  m_window->resize(_originalContentViewSize);
  m_window->move(topLeft);
  iHalcyonView->unlockDisplay();
  m_window->update();
}

void HcViewerWindowController::stopThinMode() {
  if (!isThinMode() || isFullScreenMode() || !m_window) return;
  const QPoint topLeft = m_window->pos();
  iHalcyonView->lockDisplay();
  m_controlsBar->show();
  m_window->resize(_originalContentViewSize);
  m_window->move(topLeft);
  _originalContentView = false;
  iHalcyonView->unlockDisplay();
  _originalContentViewSize = {};
  m_window->update();
}

void HcViewerWindowController::toggleThinMode() {
  if (isThinMode()) {
    stopThinMode();
  } else {
    startThinMode();
  }
}

// The player view covers the screen: the window goes full screen with the
// menus and the controls put away.
void HcViewerWindowController::startFullScreen() {
  if (isFullScreenMode() || !m_window) return;
  _originalWindowFrame = m_window->geometry();
  m_wasMaximized = m_window->isMaximized();
  _isFullScreen = true;
  m_window->menuBar()->hide();
  m_controlsBar->hide();
  m_window->showFullScreen();
  // Without a window manager to honour the request, the frame is set here.
  if (QScreen* screen = m_window->screen()) m_window->setGeometry(screen->geometry());
  const bool firstPerson =
      HcUserDefaults::standardUserDefaults().boolForKey(Key(kFirstPersonFullScreenKey));
  m_window->setAcceptsMouseMovedEvents(firstPerson);
  m_haveLastMousePosition = false;
  if (firstPerson) iHalcyonView->setCursor(Qt::BlankCursor);
}

void HcViewerWindowController::stopFullScreen() {
  if (!isFullScreenMode() || !m_window) return;
  if (HcUserDefaults::standardUserDefaults().boolForKey(Key(kFirstPersonFullScreenKey))) {
    iHalcyonView->unsetCursor();
  }
  m_window->showNormal();
  if (m_wasMaximized) m_window->showMaximized();
  m_window->setGeometry(_originalWindowFrame);
  m_window->menuBar()->show();
  if (!isThinMode()) m_controlsBar->show();
  _isFullScreen = false;
  _originalWindowFrame = {};
  m_window->setAcceptsMouseMovedEvents(false);
}

void HcViewerWindowController::toggleFullScreen() {
  if (isFullScreenMode()) {
    stopFullScreen();
  } else {
    startFullScreen();
  }
}

void HcViewerWindowController::applicationWillResignActive() { stopFullScreen(); }

void HcViewerWindowController::windowWillClose() {
  if (m_closing) return;
  m_closing = true;
  iHalcyonView->stopTimer();
  if (_timeSensitiveDisplayInformationTimer) {
    _timeSensitiveDisplayInformationTimer->stop();
    _timeSensitiveDisplayInformationTimer->deleteLater();
    _timeSensitiveDisplayInformationTimer = nullptr;
  }
  if (m_document && !m_document->isClosed()) m_document->close();
}

void HcViewerWindowController::windowAcceptsMouseMovedEventsChanged(bool accepts) {
  if (iHalcyonView) iHalcyonView->setMouseTracking(accepts);
}
