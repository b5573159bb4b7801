#include "platform/gl/GlError.h"

namespace hc::gl {

const char* GlErrorText(GlError error) {
  switch (error) {
    case GlError::None: return "no error";
    case GlError::BadArgument: return "bad argument";
    case GlError::NoDisplay: return "no EGL display available";
    case GlError::NoMatchingFormat: return "no pixel format matches the attributes";
    case GlError::ContextCreationFailed: return "OpenGL context creation failed";
    case GlError::MakeCurrentFailed: return "making the context current failed";
    case GlError::NoCurrentContext: return "no OpenGL context is current on this thread";
    case GlError::FramebufferIncomplete: return "framebuffer incomplete";
    case GlError::BufferTooSmall: return "buffer too small for the read-back";
    case GlError::AlreadyRunning: return "display link already running";
    case GlError::NotRunning: return "display link not running";
    case GlError::ThreadStartFailed: return "display-link thread could not be started";
    case GlError::CalledFromLinkThread: return "call not allowed on the display-link thread";
    case GlError::WrongMode: return "call does not fit the display link's timing mode";
    case GlError::DriverError: return "OpenGL reported an error";
  }
  return "unknown error";
}

}  // namespace hc::gl
