#include "General/ProgramStartUp.h"

#include <atomic>

#include "KsTrace.h"
#include "RegisterAllClasses.h"

namespace {

std::atomic<std::thread::id> g_mainThread;

}  // namespace

void StartUpProcess() {
  g_mainThread.store(std::this_thread::get_id());
  KsTrace::LoadSettings("sampleTraceSettings.xml", false);
  RegisterAllClasses();
}

std::thread::id MainThreadId() { return g_mainThread.load(); }
