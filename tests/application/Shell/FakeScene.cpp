#include "FakeScene.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include "platform/gl/DisplayTimeStamp.h"
#include "platform/gl/GlContext.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/NativeObject.h"

namespace rt = hc::runtime;

namespace {

struct FakeObject : rt::NativeObject {
  FakeObject(rt::Class* cls, FakeSceneLog* log) : rt::NativeObject(cls), log(log) {}
  FakeSceneLog* log;
  rt::ObjectRef helper;
  rt::ObjectRef renderer;
};

FakeObject* Self(rt::Id self) { return static_cast<FakeObject*>(rt::NativeObject::From(self)); }

rt::Method M(const char* selector, const char* types, rt::Imp imp) {
  return rt::Method{rt::RegisterSelector(selector), types, imp, {}};
}

using Args = std::span<const rt::Value>;
constexpr auto kOk = rt::RuntimeErr::Ok;

rt::RuntimeErr Nothing(rt::Id, const rt::Method&, Args, rt::Value&) { return kOk; }

rt::Class* MakeFakeClass(const char* name, rt::MethodList methods) {
  if (rt::Class* existing = rt::LookUpClass(name)) return existing;
  rt::Class* made = nullptr;
  rt::MakeClass(name, rt::RootClass(), &made);
  made->AddMethods(std::move(methods));
  return made;
}

rt::Class* ContextClass() {
  static rt::Class* cls = MakeFakeClass(
      "FakeShellContext",
      {M("viewHelper", "@@:",
         [](rt::Id self, const rt::Method&, Args, rt::Value& r) {
           r = rt::Value::Object(Self(self)->helper);
           return kOk;
         }),
       M("setViewHelper:", "v@:@",
         [](rt::Id self, const rt::Method&, Args a, rt::Value&) {
           Self(self)->helper = a[0].GetObjectRef();
           return kOk;
         }),
       M("viewProxy", "@@:", Nothing), M("setViewProxy:", "v@:@", Nothing),
       M("renderer", "@@:",
         [](rt::Id self, const rt::Method&, Args, rt::Value& r) {
           r = rt::Value::Object(Self(self)->renderer);
           return kOk;
         }),
       M("idleClocks", "i@:",
         [](rt::Id self, const rt::Method&, Args, rt::Value& r) {
           FakeSceneLog* log = Self(self)->log;
           if (log->drawLockHeld.load() != 1) log->drawLockMismatch++;
           log->idles++;
           r = rt::Value::Int(log->idleAnswer.load());
           return kOk;
         }),
       M("clearContext", "v@:", [](rt::Id self, const rt::Method&, Args, rt::Value&) {
         FakeSceneLog* log = Self(self)->log;
         log->clearContexts++;
         if (!hc::gl::GlContext::Current()) log->clearedWithoutContext++;
         return kOk;
       })});
  return cls;
}

rt::Class* HelperClass() {
  static rt::Class* cls = MakeFakeClass(
      "FakeShellViewHelper",
      {M("setContext:", "v@:@", Nothing), M("setActive:", "v@:B", Nothing), M("makeDefaultRenderer", "v@:", Nothing),
       M("renderer", "@@:",
         [](rt::Id self, const rt::Method&, Args, rt::Value& r) {
           r = rt::Value::Object(Self(self)->renderer);
           return kOk;
         }),
       M("setFrame:", "v@:{_NSRect={_NSPoint=ff}{_NSSize=ff}}",
         [](rt::Id self, const rt::Method&, Args a, rt::Value&) {
           Self(self)->log->frames++;
           Self(self)->log->frameWidth = a[0].GetRect().size.width;
           return kOk;
         }),
       M("sourceCollection", "@@:", Nothing),
       M("postflight:", "v@:@",
         [](rt::Id self, const rt::Method&, Args, rt::Value&) {
           Self(self)->log->postflights++;
           return kOk;
         }),
       M("draw", "v@:", [](rt::Id self, const rt::Method&, Args, rt::Value&) {
         FakeSceneLog* log = Self(self)->log;
         log->draws++;
         if (std::this_thread::get_id() == log->mainThread) log->drawsOnMainThread++;
         QOpenGLContext* current = QOpenGLContext::currentContext();
         if (!current || !hc::gl::GlContext::Current()) {
           log->drawsWithoutContext++;
           return kOk;
         }
         const uint32_t c = log->colour.load();
         QOpenGLFunctions* gl = current->functions();
         gl->glClearColor(((c >> 16) & 0xff) / 255.0f, ((c >> 8) & 0xff) / 255.0f, (c & 0xff) / 255.0f, 1.0f);
         gl->glClear(GL_COLOR_BUFFER_BIT);
         return kOk;
       })});
  return cls;
}

rt::Class* RendererClass() {
  static rt::Class* cls = MakeFakeClass(
      "FakeShellRenderer",
      {M("acquireDrawLock", "v@:",
         [](rt::Id self, const rt::Method&, Args, rt::Value&) {
           Self(self)->log->drawLockHeld++;
           return kOk;
         }),
       M("releaseDrawLock", "v@:",
         [](rt::Id self, const rt::Method&, Args, rt::Value&) {
           Self(self)->log->drawLockHeld--;
           return kOk;
         }),
       M("setDisplayLinkNextOutputTime:", "v@:^v",
         [](rt::Id self, const rt::Method&, Args a, rt::Value&) {
           const auto* stamp = static_cast<const hc::gl::DisplayTimeStamp*>(a[0].GetPointer().pointer);
           if (stamp && stamp->hostTime != 0) Self(self)->log->stampsSeen++;
           return kOk;
         }),
       M("setCGLContext:", "v@:^v", Nothing), M("setCGLPixelFormat:", "v@:^v", Nothing),
       M("setSwapInterval:", "v@:i", Nothing)});
  return cls;
}

rt::ObjectRef Make(rt::Class* cls, FakeSceneLog* log) { return rt::ObjectRef::Adopt(new FakeObject(cls, log)); }

}  // namespace

FakeScene FakeScene::Make(FakeSceneLog* log) {
  FakeScene scene;
  scene.context = ::Make(ContextClass(), log);
  scene.helper = ::Make(HelperClass(), log);
  scene.renderer = ::Make(RendererClass(), log);
  Self(scene.context.Get())->helper = scene.helper;
  Self(scene.context.Get())->renderer = scene.renderer;
  Self(scene.helper.Get())->renderer = scene.renderer;
  return scene;
}
