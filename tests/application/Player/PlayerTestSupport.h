#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "HcAlert.h"

namespace PlayerTestSupport {

void InstallAlertRecorder();
void RemoveAlertRecorder();
// The alerts shown since the last call, taken away.
std::vector<HcAlert::Request> TakeAlerts();

// A small H.264 movie (2 s, 10 frames a second, 256 x 128), made once per run.
const std::string& SampleMovie();
// Files that are no movies.
const std::string& TextFileNamedMov();

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
// Runs the event loop for a while.
void Spin(std::chrono::milliseconds duration);

// Forgets every user default the suite set.
void ClearUserDefaults();

}  // namespace PlayerTestSupport
