#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "BridgedMethodTable.h"
#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Source/BufferSource.h"
#include "platform/runtime/ClassRegistry.h"

using namespace bridged_test;

TEST(BridgedSourceRendererMethodsTest, CreatorModeSetsTheDefaultOfNewSources) {
  RegisterAllClasses();
  rt::Value result;
  ASSERT_EQ(rt::Send(rt::ClassAsId(BufferSource::ClassGetClassObject()->GetCocoaClass()), "creatorMode:",
                     {rt::Value::Bool(true)}, &result),
            rt::RuntimeErr::Ok);
  EXPECT_EQ(rt::Value::Int(0), result);
  EXPECT_TRUE(KsMakeRef<BufferSource>()->GetMapFullFrame());
  ASSERT_EQ(rt::Send(rt::ClassAsId(BufferSource::ClassGetClassObject()->GetCocoaClass()), "creatorMode:",
                     {rt::Value::Bool(false)}, &result),
            rt::RuntimeErr::Ok);
  EXPECT_FALSE(KsMakeRef<BufferSource>()->GetMapFullFrame());

  auto source = KsMakeRef<BufferSource>();
  ASSERT_EQ(rt::Send(GetCocoaObject(source.Get()).Get(), "finishedDrawCycle", {}, &result), rt::RuntimeErr::Ok);
  EXPECT_EQ(rt::Value::Int(0), result);
}

TEST(BridgedSourceRendererMethodsTest, DrawLockIsTakenAndLeftThroughTheBridge) {
  RegisterAllClasses();
  auto renderer = KsMakeRef<AppleOpenGLRenderer>();
  rt::Value result;
  ASSERT_EQ(rt::Send(GetCocoaObject(renderer.Get()).Get(), "acquireDrawLock", {}, &result), rt::RuntimeErr::Ok);
  std::atomic<bool> entered{false};
  std::thread other([&] {
    renderer->AcquireDrawLock();
    entered = true;
    renderer->ReleaseDrawLock();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(entered);
  ASSERT_EQ(rt::Send(GetCocoaObject(renderer.Get()).Get(), "releaseDrawLock", {}, &result), rt::RuntimeErr::Ok);
  other.join();
  EXPECT_TRUE(entered);
}
