#pragma once

// Stand-in until the time formatter lands.
#include <QString>

class HcTimeFormatter {
 public:
  QString stringForObjectValue(double seconds) const {
    const int whole = static_cast<int>(seconds);
    return QString::asprintf("%02d:%02d:%02d", whole / 3600, (whole % 3600) / 60, whole % 60);
  }
};
