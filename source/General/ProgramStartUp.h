#pragma once

#include <thread>

// What the player's main prepares before the desktop shell takes over: the
// main thread's identity, the trace settings read from
// "sampleTraceSettings.xml" in the working directory (a missing file leaves
// every category silent), and every class registered by name.
void StartUpProcess();

// The thread that ran StartUpProcess.
std::thread::id MainThreadId();
