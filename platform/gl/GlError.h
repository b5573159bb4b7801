#pragma once

namespace hc::gl {

// Result codes of the OpenGL layer: 0 is success, failures are negative.
enum class GlError : int {
  None = 0,
  BadArgument = -1,            // null pointer, size out of range, unknown attribute value
  NoDisplay = -2,              // no EGL display could be opened or initialised
  NoMatchingFormat = -3,       // no configuration offers the requested attributes
  ContextCreationFailed = -4,
  MakeCurrentFailed = -5,
  NoCurrentContext = -6,       // the call needs a context current on the calling thread
  FramebufferIncomplete = -7,
  BufferTooSmall = -8,         // a read-back would run past the end of the caller's buffer
  AlreadyRunning = -9,
  NotRunning = -10,
  ThreadStartFailed = -11,
  CalledFromLinkThread = -12,  // the call would wait for the very thread it runs on
  WrongMode = -13,             // a manual-clock call on a real-time link, or the reverse
  DriverError = -14,           // OpenGL reported an error
};

// Short English description of a result, for logs.
const char* GlErrorText(GlError error);

}  // namespace hc::gl
