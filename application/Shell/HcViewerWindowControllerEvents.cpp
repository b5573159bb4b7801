// The window controller's event handling: the window's mouse, scroll and key
// events go to the scene through the context's view helper; keys the scene
// leaves alone fall back to a few movie commands; in full screen the mouse
// turns the main panoramic view directly.
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "HcEventTranslation.h"
#include "HcHalcyonView.h"
#include "HcMovie.h"
#include "HcProxyCalls.h"
#include "HcUserDefaults.h"
#include "HcViewerDocument.h"
#include "HcViewerWindowController.h"
#include "HcWindow.h"

namespace rt = hc::runtime;
namespace et = HcEventTranslation;
using HcProxyCalls::Call;
using HcProxyCalls::SendForObject;

bool HcViewerWindowController::eventFilter(QObject* watched, QEvent* event) {
  const bool fromView = watched == iHalcyonView;
  const bool fromWindow = watched == m_window.get();
  if (!fromView && !fromWindow) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
      if (!fromView) return false;
      auto* mouse = static_cast<QMouseEvent*>(event);
      // Right and middle buttons are swallowed here.
      if (event->type() != QEvent::MouseMove && mouse->button() != Qt::LeftButton) return true;
      if (event->type() == QEvent::MouseButtonRelease) {
        mouseUp(mouse);
      } else if (event->type() == QEvent::MouseMove) {
        if (mouse->buttons() & Qt::LeftButton) {
          mouseDragged(mouse);
        } else if (mouse->buttons() == Qt::NoButton) {
          mouseMoved(mouse);
        }
      } else {
        mouseDown(mouse);
      }
      return true;
    }
    case QEvent::Wheel:
      if (!fromView) return false;
      scrollWheel(static_cast<QWheelEvent*>(event));
      return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      // Keys count only while the player view or the window itself has the
      // focus (not while a text field has); the view's keys that travel on
      // up to the window are not seen twice.
      QWidget* focus = QApplication::focusWidget();
      const bool viewHasFocus = focus == iHalcyonView || (focus && iHalcyonView->isAncestorOf(focus));
      if (fromWindow && focus && focus != m_window.get()) return false;
      if (fromView && focus && !viewHasFocus) return false;
      auto* key = static_cast<QKeyEvent*>(event);
      // A held key repeats as further key-downs only.
      if (event->type() == QEvent::KeyRelease && key->isAutoRepeat()) return true;
      if (key->key() == Qt::Key_CapsLock && event->type() == QEvent::KeyPress && !key->isAutoRepeat()) {
        m_capsLock = !m_capsLock;
      }
      if (et::ModifierBitOfKey(key->key()) != 0) {
        flagsChanged(et::ModifierMaskAfter(*key, m_capsLock));
        return true;
      }
      return event->type() == QEvent::KeyPress ? keyDown(key) : keyUp(key);
    }
    case QEvent::ShortcutOverride:
      return false;
    default:
      return false;
  }
}

QPointF HcViewerWindowController::ViewPointOf(const QPointF& widgetPoint) const {
  return et::ViewPoint(widgetPoint, iHalcyonView->height());
}

void HcViewerWindowController::ApplyCursorCode(uint32_t cursorCode) {
  if (cursorCode == 0) return;
  const std::optional<QCursor> cursor = HcHalcyonView::convertToCursor(static_cast<int>(cursorCode));
  if (!cursor) return;
  if (iHalcyonView->cursor().shape() == cursor->shape() && cursor->shape() != Qt::BitmapCursor) return;
  iHalcyonView->setCursor(*cursor);
}

void HcViewerWindowController::SendMouse(const char* selector, QMouseEvent* event) {
  const rt::ObjectRef helper = viewHelper();
  if (!helper) return;
  const QPointF point = ViewPointOf(event->position());
  uint32_t cursorCode = 0;
  Call(helper.Get(), selector,
       {rt::Value::MakePoint({static_cast<float>(point.x()), static_cast<float>(point.y())}),
        rt::Value::OutPointer(&cursorCode)});
  ApplyCursorCode(cursorCode);
}

void HcViewerWindowController::mouseDown(QMouseEvent* event) {
  if (!isFullScreenMode()) iHalcyonView->setFocus(Qt::MouseFocusReason);
  SendMouse("mouseDownAt:outCursor:", event);
}

void HcViewerWindowController::mouseDragged(QMouseEvent* event) { SendMouse("mouseMovedTo:outCursor:", event); }

void HcViewerWindowController::mouseUp(QMouseEvent* event) { SendMouse("mouseUpAt:outCursor:", event); }

void HcViewerWindowController::mouseMoved(QMouseEvent* event) {
  if (!m_window || !m_window->acceptsMouseMovedEvents()) return;
  if (isFullScreenMode()) {
    FirstPersonLook(event);
    return;
  }
  if (!iHalcyonView->rect().contains(event->position().toPoint())) return;
  SendMouse("mouseMovedTo:outCursor:", event);
}

// The mouse's own movement, not the pointer's: the pointer is put back in
// the middle of the view after each move, so it never meets the screen's
// edge.
void HcViewerWindowController::FirstPersonLook(QMouseEvent* event) {
  const QPoint position = event->globalPosition().toPoint();
  const QPoint centre = iHalcyonView->mapToGlobal(iHalcyonView->rect().center());
  if (m_warpingCursor && position == centre) {
    m_warpingCursor = false;
    m_lastMousePosition = centre;
    m_haveLastMousePosition = true;
    return;
  }
  const QPoint delta = m_haveLastMousePosition ? position - m_lastMousePosition : QPoint();
  m_lastMousePosition = position;
  m_haveLastMousePosition = true;
  if (HcUserDefaults::standardUserDefaults().boolForKey(QString::fromUtf8(kFirstPersonFullScreenKey))) {
    m_warpingCursor = true;
    QCursor::setPos(iHalcyonView->screen(), centre);
  }
  if (delta.isNull()) return;
  const rt::ObjectRef context = contextHelper();
  const rt::ObjectRef mainView = SendForObject(context.Get(), "mainView");
  if (!HcProxyCalls::IsKindOfProxyClass(mainView.Get(), "C_PanoView")) return;
  const float panRate = HcUserDefaults::standardUserDefaults().floatForKey(QString::fromUtf8(kPanRateKey));
  const et::LookDirection look = et::FirstPersonLook(
      {HcProxyCalls::SendForFloat(mainView.Get(), "panAngle"), HcProxyCalls::SendForFloat(mainView.Get(), "tiltAngle")},
      delta.x(), delta.y(), panRate);
  Call(context.Get(), "resetIdle");
  Call(mainView.Get(), "setPanAngle:", {rt::Value::Float(look.pan)});
  Call(mainView.Get(), "setTiltAngle:", {rt::Value::Float(look.tilt)});
  MarkNeedsDisplay();
}

void HcViewerWindowController::scrollWheel(QWheelEvent* event) {
  const rt::ObjectRef helper = viewHelper();
  if (!helper) return;
  // One notch of the wheel is one line, positive away from the user.
  const QPoint angle = event->angleDelta();
  const double delta = !angle.isNull() ? angle.y() / 120.0 : event->pixelDelta().y() / 10.0;
  const QPointF point = ViewPointOf(event->position());
  Call(helper.Get(), "mouseScrolledBy:at:",
       {rt::Value::Float(static_cast<float>(delta)),
        rt::Value::MakePoint({static_cast<float>(point.x()), static_cast<float>(point.y())})});
}

namespace {

// Hands a key to the view helper: code, modifier mask and scan code, as
// unsigned numbers, or as ints where the helper takes those. Answers whether
// the scene took the key.
bool SendKeyToHelper(rt::Id helper, const char* selector, uint32_t code, uint32_t modifiers) {
  if (!helper) return false;
  rt::Value handled;
  rt::RuntimeErr err = HcProxyCalls::CallChecked(
      helper, selector, {rt::Value::UInt(code), rt::Value::UInt(modifiers), rt::Value::UInt(0)}, &handled);
  if (err == rt::RuntimeErr::ArgumentMismatch) {
    err = HcProxyCalls::CallChecked(helper, selector,
                                    {rt::Value::Int(static_cast<int32_t>(code)),
                                     rt::Value::Int(static_cast<int32_t>(modifiers)), rt::Value::Int(0)},
                                    &handled);
  }
  return !rt::RuntimeFailed(err) && handled.BoolValue();
}

}  // namespace

void HcViewerWindowController::cancel() {
  if (isFullScreenMode()) stopFullScreen();
}

void HcViewerWindowController::flagsChanged(uint32_t modifierMask) {
  const rt::ObjectRef helper = viewHelper();
  if (helper) {
    const et::ModifierChange change = et::ModifierChangeFrom(_lastCarbonModifierFlags, modifierMask);
    if (change.sendKeyDown) {
      SendKeyToHelper(helper.Get(), "keyDownCode:withModifiers:scanCode:", 0, change.keyDownModifiers);
    }
    if (change.sendKeyUp) {
      SendKeyToHelper(helper.Get(), "keyUpCode:withModifiers:scanCode:", 0, change.keyUpModifiers);
    }
  }
  _lastCarbonModifierFlags = modifierMask;
}

namespace {

bool SendKey(rt::Id helper, const char* selector, const QKeyEvent& event, bool capsLock) {
  const uint16_t code = et::KeyCodeForCharacter(et::Characters(event));
  return SendKeyToHelper(helper, selector, code, et::ModifierMask(event.modifiers(), capsLock));
}

}  // namespace

bool HcViewerWindowController::keyDown(QKeyEvent* event) {
  const rt::ObjectRef helper = viewHelper();
  if (SendKey(helper.Get(), "keyDownCode:withModifiers:scanCode:", *event, m_capsLock)) return true;
  const bool command = event->modifiers() & Qt::ControlModifier;
  switch (et::CharactersIgnoringModifiers(*event)) {
    case u'.':
    case u'>':
      stepForward();
      return true;
    case u',':
    case u'<':
      stepBackward();
      return true;
    case et::kUpArrowFunctionKey:
      if (!command) return false;
      if (HcMovie* theMovie = movie()) SetMovieVolume(theMovie->volume() + kKeyVolumeStep, true);
      return true;
    case et::kDownArrowFunctionKey:
      if (!command) return false;
      if (HcMovie* theMovie = movie()) SetMovieVolume(theMovie->volume() - kKeyVolumeStep, true);
      return true;
    case et::kLeftArrowFunctionKey:
      if (!command) return false;
      rewind(TransportEvent::kOther, false);
      return true;
    case et::kRightArrowFunctionKey:
      if (!command) return false;
      fastForward(TransportEvent::kOther, false);
      return true;
    default:
      return false;
  }
}

bool HcViewerWindowController::keyUp(QKeyEvent* event) {
  const rt::ObjectRef helper = viewHelper();
  if (SendKey(helper.Get(), "keyUpCode:withModifiers:scanCode:", *event, m_capsLock)) return true;
  switch (et::CharactersIgnoringModifiers(*event)) {
    case et::kHomeFunctionKey:
      gotoBeginning();
      return true;
    case et::kEndFunctionKey:
      gotoEnd();
      return true;
    case u' ':
      playToggle();
      return true;
    default:
      return false;
  }
}
