#pragma once

// Run-time objects that answer the shell's messages in place of the scene:
// a presentation, its context, the context's view helper, viewsets and
// real-time clock. They record what the shell sends them.

#include <string>
#include <vector>

#include "platform/runtime/NativeObject.h"
#include "platform/runtime/ObjectRef.h"
#include "platform/runtime/Value.h"

struct FakeCall {
  std::string selector;
  uint32_t code = 0;
  uint32_t modifiers = 0;
  float x = 0, y = 0;
  float delta = 0;
};

class FakeViewHelper : public hc::runtime::NativeObject {
 public:
  static hc::runtime::ObjectRef Make();
  static FakeViewHelper& From(hc::runtime::Id object) { return *static_cast<FakeViewHelper*>(object); }
  std::vector<FakeCall> calls;
  bool handlesKeys = false;
  uint32_t cursorCode = 0;

 private:
  using NativeObject::NativeObject;
};

class FakeClock : public hc::runtime::NativeObject {
 public:
  static hc::runtime::ObjectRef Make();
  static FakeClock& From(hc::runtime::Id object) { return *static_cast<FakeClock*>(object); }
  double idleTimeout = 10.0;

 private:
  using NativeObject::NativeObject;
};

class FakeContext : public hc::runtime::NativeObject {
 public:
  static hc::runtime::ObjectRef Make();
  static FakeContext& From(hc::runtime::Id object) { return *static_cast<FakeContext*>(object); }
  hc::runtime::ObjectRef viewHelper;
  hc::runtime::ObjectRef mainView;
  hc::runtime::ObjectRef realtimeClock;
  std::vector<std::string> viewsets;
  std::string viewsetName;
  int resetIdleCount = 0;

 private:
  using NativeObject::NativeObject;
};

class FakePresentation : public hc::runtime::NativeObject {
 public:
  static hc::runtime::ObjectRef Make();
  static FakePresentation& From(hc::runtime::Id object) { return *static_cast<FakePresentation*>(object); }
  hc::runtime::ObjectRef context;
  hc::runtime::Size displaySize{480, 270};
  bool hideControls = false;
  bool openFullScreen = false;

 private:
  using NativeObject::NativeObject;
};

// A presentation with a context, a view helper, a real-time clock, a real
// perspective view as main view and the named viewsets ("one" current).
struct FakeScene {
  FakeScene();
  hc::runtime::ObjectRef presentation;
  FakePresentation& Presentation() const { return FakePresentation::From(presentation.Get()); }
  FakeContext& Context() const { return FakeContext::From(Presentation().context.Get()); }
  FakeViewHelper& Helper() const { return FakeViewHelper::From(Context().viewHelper.Get()); }
  FakeClock& Clock() const { return FakeClock::From(Context().realtimeClock.Get()); }
};
