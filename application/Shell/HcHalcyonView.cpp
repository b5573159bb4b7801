#include "HcHalcyonView.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QResizeEvent>
#include <QSurfaceFormat>
#include <QVBoxLayout>

#include "HcCursorTable.h"
#include "HcHalcyonSurface.h"
#include "HcProxyMessenger.h"
#include "KsTrace.h"
#include "platform/gl/DisplayLink.h"
#include "platform/gl/GlContext.h"

namespace rt = hc::runtime;
using Msg = HcProxyMessenger;

// What one refresh needs, taken once at start: the display lock, the
// context, its renderer, the view, the view helper and the OpenGL context.
// The record keeps its own references to the proxies, so a frame never
// meets a half-released object.
struct HcHalcyonView::FrameRecord {
  std::mutex* displayLock = nullptr;
  rt::ObjectRef context;
  rt::ObjectRef renderer;
  HcHalcyonView* view = nullptr;
  rt::ObjectRef viewHelper;
  hc::gl::GlContext* glContext = nullptr;
};

namespace {

constexpr int kIdleNothingToDo = 2;

QSurfaceFormat PlayerSurfaceFormat() {
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setDepthBufferSize(16);
  format.setRedBufferSize(8);
  format.setGreenBufferSize(8);
  format.setBlueBufferSize(8);
  format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  // The display link paces the frames; a swap that also waited for the
  // vertical blank would halve the rate whenever a frame runs late.
  format.setSwapInterval(0);
  return format;
}

rt::Value RectValue(QSize size) {
  return rt::Value::MakeRect(
      rt::Rect{{0.0f, 0.0f}, {static_cast<float>(size.width()), static_cast<float>(size.height())}});
}

}  // namespace

HcHalcyonView::HcHalcyonView(QWidget* parent) : QWidget(parent) {
  // The context is made here and made current on the display link's thread.
  QCoreApplication::setAttribute(Qt::AA_DontCheckOpenGLContextThreadAffinity);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  m_surface = new HcHalcyonSurface(this);
  m_surface->setFormat(PlayerSurfaceFormat());
  m_surfaceContainer = QWidget::createWindowContainer(m_surface, this);
  // Events a test sends to the view land on the view itself, not on the
  // container above it; the window system's reach the surface, which hands
  // them on.
  m_surfaceContainer->setAttribute(Qt::WA_TransparentForMouseEvents);
  m_surfaceContainer->setFocusPolicy(Qt::NoFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_surfaceContainer);
  connect(m_surface, &HcHalcyonSurface::exposed, this, &HcHalcyonView::requestRedraw);
}

HcHalcyonView::~HcHalcyonView() { shutDown(); }

void HcHalcyonView::setContextHelperSource(ContextHelperSource source) { m_contextHelperSource = std::move(source); }

rt::ObjectRef HcHalcyonView::contextHelper() {
  if (!m_contextHelper && m_contextHelperSource) m_contextHelper = m_contextHelperSource();
  return m_contextHelper;
}

rt::ObjectRef HcHalcyonView::viewHelper() { return Msg::SendForObject(contextHelper().Get(), "viewHelper"); }

void HcHalcyonView::lockDisplay() { m_displayLock.lock(); }
bool HcHalcyonView::tryLockDisplay() { return m_displayLock.try_lock(); }
void HcHalcyonView::unlockDisplay() { m_displayLock.unlock(); }

bool HcHalcyonView::isRunning() const { return m_displayLink && m_displayLink->IsRunning(); }

void HcHalcyonView::setRefreshRate(double hertz) {
  if (isRunning() || hertz <= 0.0) return;
  m_refreshRate = hertz;
}

WId HcHalcyonView::surfaceWindowId() const { return m_surface->winId(); }

bool HcHalcyonView::ensureGlContext() {
  if (m_glContext) return true;
  m_surface->create();
  auto* qtContext = new QOpenGLContext();
  qtContext->setFormat(m_surface->requestedFormat());
  if (!qtContext->create()) {
    KS_TRACE(KsTrace::kError, "The player view's OpenGL context could not be made");
    delete qtContext;
    return false;
  }
  hc::gl::GlContext::ExternalCalls calls{
      [qtContext, surface = m_surface] { return qtContext->makeCurrent(surface); },
      [qtContext] { qtContext->doneCurrent(); },
      [qtContext, surface = m_surface] { qtContext->swapBuffers(surface); }};
  if (hc::gl::GlContext::CreateExternal(std::move(calls), &m_glContext) != hc::gl::GlError::None) {
    delete qtContext;
    return false;
  }
  m_qtContext = qtContext;
  return true;
}

void HcHalcyonView::bindNewViewHelper(rt::Id context) {
  rt::ObjectRef helper = Msg::NewProxy("C_HcViewHelper");
  Msg::Send(helper.Get(), "makeDefaultRenderer");
  rt::ObjectRef renderer = Msg::SendForObject(helper.Get(), "renderer");
  Msg::Send(renderer.Get(), "setCGLContext:", {rt::Value::Pointer(m_glContext.get())});
  // The window's context has no pixel-format object of the OpenGL layer.
  Msg::Send(renderer.Get(), "setCGLPixelFormat:", {rt::Value::Pointer(nullptr)});
  Msg::Send(renderer.Get(), "setSwapInterval:", {rt::Value::Int(1)});
  Msg::Send(helper.Get(), "setContext:", {rt::Value::Object(context)});
  Msg::Send(helper.Get(), "setActive:", {rt::Value::Bool(true)});
  Msg::Send(context, "setViewHelper:", {rt::Value::Object(helper.Get())});
  Msg::Send(context, "setViewProxy:", {Msg::Send(context, "viewProxy")});
  // The context keeps the helper from here on.
  helper = {};
  reshape();
}

void HcHalcyonView::startTimer() {
  if (m_shutDown || isRunning()) return;
  if (!ensureGlContext()) return;
  rt::ObjectRef context = contextHelper();
  rt::ObjectRef helper = Msg::SendForObject(context.Get(), "viewHelper");
  // Binding may make OpenGL objects: this view's context is current meanwhile.
  m_glContext->MakeCurrent();
  if (helper) {
    Msg::Send(helper.Get(), "setContext:", {rt::Value::Object(context.Get())});
    Msg::Send(context.Get(), "setViewHelper:", {rt::Value::Object(helper.Get())});
    Msg::Send(context.Get(), "setViewProxy:", {Msg::Send(context.Get(), "viewProxy")});
    reshape();
  } else if (context) {
    bindNewViewHelper(context.Get());
    helper = Msg::SendForObject(context.Get(), "viewHelper");
  }
  hc::gl::GlContext::ClearCurrent();

  auto record = std::make_unique<FrameRecord>();
  record->displayLock = &m_displayLock;
  record->context = context;
  record->renderer = Msg::SendForObject(context.Get(), "renderer");
  record->view = this;
  record->viewHelper = helper;
  record->glContext = m_glContext.get();
  m_frameRecord = std::move(record);

  KS_TRACE(KsTrace::kVerbose, "Starting the display link: context %p, helper %p, renderer %p",
           static_cast<void*>(context.Get()), static_cast<void*>(helper.Get()),
           static_cast<void*>(m_frameRecord->renderer.Get()));
  m_displayLink = std::make_unique<hc::gl::DisplayLink>();
  m_displayLink->SetRefreshRate(m_refreshRate);
  m_redrawRequested.store(true);
  const hc::gl::GlError started = m_displayLink->Start(
      [this](const hc::gl::DisplayTimeStamp&, const hc::gl::DisplayTimeStamp& outputTime) { frameStep(outputTime); });
  if (started != hc::gl::GlError::None) {
    KS_TRACE(KsTrace::kError, "The display link did not start: %s", hc::gl::GlErrorText(started));
    m_displayLink.reset();
    m_frameRecord.reset();
  }
}

void HcHalcyonView::stopTimer() {
  if (!m_displayLink) return;
  // Waits for a running frame: nothing touches the record afterwards.
  m_displayLink->Stop();
  m_displayLink.reset();
  m_frameRecord.reset();
}

void HcHalcyonView::shutDown() {
  if (m_shutDown) return;
  m_shutDown = true;
  stopTimer();
  rt::ObjectRef context = contextHelper();
  if (m_glContext && context) {
    // The scene's OpenGL objects go while the context they belong to is
    // current; then the renderer forgets the context that is about to go.
    m_glContext->MakeCurrent();
    rt::ObjectRef renderer = Msg::SendForObject(context.Get(), "renderer");
    Msg::Send(context.Get(), "clearContext");
    Msg::Send(renderer.Get(), "setCGLContext:", {rt::Value::Pointer(nullptr)});
    hc::gl::GlContext::ClearCurrent();
  }
  m_glContext.reset();
  delete m_qtContext;
  m_qtContext = nullptr;
  m_contextHelper = {};
}

void HcHalcyonView::requestRedraw() { m_redrawRequested.store(true); }

void HcHalcyonView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  reshape();
}

void HcHalcyonView::reshape() {
  if (isRunning()) {
    // The next refresh hands the helper its frame under the display lock.
    std::lock_guard lock(m_pendingFrameLock);
    m_pendingFrame = size();
    requestRedraw();
    return;
  }
  rt::ObjectRef helper = viewHelper();
  if (helper) Msg::Send(helper.Get(), "setFrame:", {RectValue(size())});
}

void HcHalcyonView::applyPendingFrame(FrameRecord& record) {
  std::optional<QSize> frame;
  {
    std::lock_guard lock(m_pendingFrameLock);
    frame.swap(m_pendingFrame);
  }
  if (frame) Msg::Send(record.viewHelper.Get(), "setFrame:", {RectValue(*frame)});
}

void HcHalcyonView::frameStep(const hc::gl::DisplayTimeStamp& outputTime) {
  FrameRecord& record = *m_frameRecord;
  std::unique_lock lock(*record.displayLock, std::try_to_lock);
  if (!lock.owns_lock()) {
    m_framesSkipped.fetch_add(1);
    return;
  }
  m_refreshesRun.fetch_add(1);
  // Idling may upload movie frames: the context is current from here on.
  const bool current = record.glContext->MakeCurrent() == hc::gl::GlError::None;
  applyPendingFrame(record);

  Msg::Send(record.renderer.Get(), "acquireDrawLock");
  hc::gl::DisplayTimeStamp stamp = outputTime;
  Msg::Send(record.renderer.Get(), "setDisplayLinkNextOutputTime:", {rt::Value::Pointer(&stamp)});
  const int idled = Msg::SendForInt(record.context.Get(), "idleClocks", {}, kIdleNothingToDo);
  Msg::Send(record.renderer.Get(), "releaseDrawLock");

  const bool redrawAsked = m_redrawRequested.exchange(false);
  if (idled == 0 || redrawAsked) {
    if (current && m_surface->IsShown()) drawFrame(record);
    if (idled == 0) {
      rt::ObjectRef sources = Msg::SendForObject(record.viewHelper.Get(), "sourceCollection");
      Msg::Send(record.viewHelper.Get(), "postflight:", {rt::Value::Object(sources.Get())});
    }
  }
  if (current) hc::gl::GlContext::ClearCurrent();
}

void HcHalcyonView::drawFrame(FrameRecord& record) {
  Msg::Send(record.viewHelper.Get(), "draw");
  record.glContext->FlushBuffer();
  if (m_framesDrawn.fetch_add(1) == 0) {
    KS_TRACE(KsTrace::kVerbose, "First frame drawn");
    emit firstFrameDrawn();
  }
}

std::optional<QCursor> HcHalcyonView::convertToCursor(int code) {
  switch (code) {
    case 1: return QCursor(Qt::ArrowCursor);
    case 2:
    case 3: return QCursor(Qt::PointingHandCursor);
    case 4: return QCursor(Qt::OpenHandCursor);
    case 5: return QCursor(Qt::ClosedHandCursor);
    case 6: return QCursor(Qt::IBeamCursor);
    case 7: return QCursor(Qt::CrossCursor);
    default: return HcCursorTable::hcCursor(code);
  }
}

bool HcHalcyonView::convertToNSCursor(int code, QCursor* cursor) {
  const std::optional<QCursor> found = convertToCursor(code);
  if (found && cursor) *cursor = *found;
  return found.has_value();
}
