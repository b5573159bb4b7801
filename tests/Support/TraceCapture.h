#pragma once

#include <string>

#include "KsTrace.h"
#include "PWString.h"

// Collects every trace line, with all categories on, for as long as it lives;
// the trace settings go back to their defaults afterwards.
class TraceCapture {
 public:
  TraceCapture() {
    KsTrace::ResetSettings();
    KsTrace::LoadSettings(PWStringRef(), true);
    KsTrace::SetOutputSink([this](const std::string& line) { text += line + "\n"; });
  }
  ~TraceCapture() {
    KsTrace::SetOutputSink({});
    KsTrace::ResetSettings();
  }
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::string text;
};
