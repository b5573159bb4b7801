#pragma once

#include <memory>

namespace hc::gl {
class GlContext;
}
namespace hc::playback {
class VisualContext;
}

// Visual contexts hold textures of one OpenGL context and free them only on
// a thread where that context is current. A source that lets go of its
// visual context elsewhere stops its decoding at once and leaves the rest to
// the next drawing-thread call of a source of the same context.
class VisualContextDisposal {
 public:
  // The shared form the visual-context sources hand out: when its last
  // holder lets go, the context is disposed as Retire says.
  static std::shared_ptr<hc::playback::VisualContext> Share(std::unique_ptr<hc::playback::VisualContext> context,
                                                            hc::gl::GlContext* glContext);
  // Disposes now when glContext is current on this thread, else stops the
  // decoding and keeps the rest for DisposeRetired.
  static void Retire(std::unique_ptr<hc::playback::VisualContext> context, hc::gl::GlContext* glContext);
  // Disposes what was retired for the context current on this thread.
  static void DisposeRetired();
  // Retired contexts waiting for their OpenGL context.
  static size_t PendingCount();
};
