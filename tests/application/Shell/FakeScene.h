#pragma once

#include <atomic>
#include <mutex>
#include <thread>

#include "platform/runtime/ObjectRef.h"

// A stand-in scene on the object run time: a context, a view helper and a
// renderer answering the selectors the player view sends, recording what
// happened. The helper's "draw" clears the view's current OpenGL context to
// the scene's colour.
struct FakeSceneLog {
  std::atomic<int> idleAnswer{0};
  std::atomic<int> idles{0};
  std::atomic<int> draws{0};
  std::atomic<int> drawsWithoutContext{0};
  std::atomic<int> drawsOnMainThread{0};
  std::atomic<int> postflights{0};
  std::atomic<int> drawLockHeld{0};  // acquire minus release
  std::atomic<int> drawLockMismatch{0};
  std::atomic<int> frames{0};        // setFrame: calls
  std::atomic<int> clearContexts{0};
  std::atomic<int> clearedWithoutContext{0};
  std::atomic<int> stampsSeen{0};
  std::atomic<float> frameWidth{0};
  std::atomic<uint32_t> colour{0xff2080c0};  // 0xAARRGGBB
  std::thread::id mainThread = std::this_thread::get_id();
};

struct FakeScene {
  // A context with a view helper already bound (as after an earlier start)
  // and the helper's renderer.
  static FakeScene Make(FakeSceneLog* log);

  hc::runtime::ObjectRef context;
  hc::runtime::ObjectRef helper;
  hc::runtime::ObjectRef renderer;
};
