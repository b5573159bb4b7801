#include <gtest/gtest.h>

#include <vector>

#include "General/CocoaBridge.h"
#include "General/CocoaMethod.h"
#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "View/PerspectiveViewOpenGL.h"
#include "ViewTestSupport.h"
#include "platform/runtime/MessageSend.h"

namespace {

namespace rt = hc::runtime;

rt::Value SendTo(KsObject* object, const char* selector, const std::vector<rt::Value>& arguments) {
  rt::Value result;
  EXPECT_EQ(rt::RuntimeErr::Ok, rt::Send(GetCocoaObject(object).Get(), rt::RegisterSelector(selector), arguments,
                                         &result))
      << selector;
  return result;
}

TEST(ViewBridge, LookDirectionSelectorsReachTheView) {
  RegisterAllClasses();
  auto view = KsMakeRef<PerspectiveViewOpenGL>();
  EXPECT_EQ(rt::Value::Int(0), SendTo(view.Get(), "setLookDirectionPan:tilt:vfov:skew:",
                                    {rt::Value::Float(-30), rt::Value::Float(10), rt::Value::Float(70),
                                     rt::Value::Float(2)}));
  float out[4] = {0, 0, 0, 0};
  EXPECT_EQ(rt::Value::Int(0),
            SendTo(view.Get(), "getLookDirectionPan:tilt:vfov:skew:",
                 {rt::Value::OutPointer(&out[0]), rt::Value::OutPointer(&out[1]), rt::Value::OutPointer(&out[2]),
                  rt::Value::OutPointer(&out[3])}));
  EXPECT_FLOAT_EQ(330.0f, out[0]);
  EXPECT_FLOAT_EQ(10.0f, out[1]);
  EXPECT_FLOAT_EQ(70.0f, out[2]);
  EXPECT_FLOAT_EQ(2.0f, out[3]);
  view->SetVFOVMax(60);
  view->SetLookConstraints(0);
  view->SetVFOV(80);
  EXPECT_EQ(rt::Value::Int(0), SendTo(view.Get(), "getConstrainedLookDirectionPan:tilt:vfov:skew:",
                                    {rt::Value::Pointer(nullptr, 'f'), rt::Value::Pointer(nullptr, 'f'),
                                     rt::Value::OutPointer(&out[2]), rt::Value::Pointer(nullptr, 'f')}));
  EXPECT_FLOAT_EQ(60.0f, out[2]);
}

TEST(ViewBridge, DrawRendererCallsDraw) {
  RegisterAllClasses();
  auto view = KsMakeRef<TestView>();
  view->drawResult = 3000;
  KsRef<PanoRenderer> renderer = KsMakeRef<AppleOpenGLRenderer>();
  EXPECT_EQ(rt::Value::Int(3000), SendTo(view.Get(), "drawrenderer:", {cocoa_method::ToValue(renderer)}));
  EXPECT_EQ(1, view->draws);
  // Without a source a panoramic view can't draw.
  auto perspective = KsMakeRef<PerspectiveViewOpenGL>();
  EXPECT_EQ(rt::Value::Int(-903), SendTo(perspective.Get(), "drawrenderer:", {cocoa_method::ToValue(renderer)}));
}

}  // namespace
