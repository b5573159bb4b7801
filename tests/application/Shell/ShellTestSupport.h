#pragma once

#include <QImage>
#include <QWidget>
#include <chrono>
#include <functional>

// Runs the event loop until the condition holds or the time is up; answers
// the condition's last value.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(20));

// What the X server shows of a native window (the player view's surface).
QImage GrabNativeWindow(WId window);
