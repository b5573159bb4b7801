#include "HcTimeFormatter.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSettings>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

// Times beyond this (about 114 years) are shown as this.
constexpr double kLargestShown = 3.6e9;
constexpr int kLargestDivisions = 100000;

// The number a text starts with, as a lenient reader of numbers takes it:
// leading blanks skipped, 0 when there is none. Always in the C locale.
double LeadingNumber(const QString& text) {
  static const QRegularExpression number(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)");
  const QRegularExpressionMatch match = number.match(text);
  if (!match.hasMatch()) return 0.0;
  bool ok = false;
  const double value = QLocale::c().toDouble(match.captured(0).trimmed(), &ok);
  return ok && std::isfinite(value) ? value : 0.0;
}

}  // namespace

HcTimeFormatter::HcTimeFormatter(std::optional<int> frameDivisions) {
  if (frameDivisions) m_timeIndicatorFrameDivisions = std::clamp(*frameDivisions, 0, kLargestDivisions);
}

int HcTimeFormatter::frameDivisions() const {
  if (m_timeIndicatorFrameDivisions < 0) {
    const int stored = QSettings().value("TimeIndicatorFrameDivisions", 0).toInt();
    m_timeIndicatorFrameDivisions = std::clamp(stored, 0, kLargestDivisions);
  }
  return m_timeIndicatorFrameDivisions;
}

QString HcTimeFormatter::stringForSeconds(double seconds) const {
  const double v = std::isfinite(seconds) ? std::clamp(seconds, -kLargestShown, kLargestShown) : 0.0;
  const auto hours = static_cast<long long>(std::floor(v / 3600.0));
  const auto minutes = static_cast<long long>(std::floor(std::fmod(v, 3600.0) / 60.0));
  const auto secs = static_cast<long long>(std::floor(std::fmod(v, 60.0)));
  const int divisions = frameDivisions();
  if (divisions == 0) return QString::asprintf("%02lld:%02lld:%02lld", hours, minutes, secs);
  const auto frames = static_cast<long long>(std::floor(std::fmod(v, 1.0) * divisions));
  return QString::asprintf("%02lld:%02lld:%02lld:%02lld/%02d", hours, minutes, secs, frames, divisions);
}

bool HcTimeFormatter::secondsForString(const QString& text, double* seconds) const {
  const QStringList parts = text.split(':');
  if (parts.isEmpty()) return false;
  double value = 0.0;
  for (const QString& part : parts) {
    const qsizetype slash = part.indexOf('/');
    if (slash >= 0) {
      // "ff/dd": a frame of a second divided into dd.
      const double divisions = LeadingNumber(part.mid(slash + 1));
      if (divisions > 0.0) value += LeadingNumber(part.left(slash)) / divisions;
      continue;
    }
    value = value * 60.0 + LeadingNumber(part);
  }
  if (seconds) *seconds = value;
  return true;
}
