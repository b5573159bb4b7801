#pragma once

#include <QString>
#include <optional>

// The text of the time fields: "hh:mm:ss", or "hh:mm:ss:ff/dd" with the
// frame within the second when the user default "TimeIndicatorFrameDivisions"
// (read on first use, kept) is not 0. Reading takes ":"-separated base-60
// places and, in its own form with frames, the frame as part of a second.
class HcTimeFormatter {
 public:
  // Divisions given here are used instead of the user default.
  explicit HcTimeFormatter(std::optional<int> frameDivisions = std::nullopt);

  QString stringForSeconds(double seconds) const;
  QString stringForObjectValue(double seconds) const { return stringForSeconds(seconds); }
  // False for text that has no parts; otherwise the seconds.
  bool secondsForString(const QString& text, double* seconds) const;
  int frameDivisions() const;

 private:
  mutable int m_timeIndicatorFrameDivisions = -1;
};
