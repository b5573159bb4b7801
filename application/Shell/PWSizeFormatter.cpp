#include "PWSizeFormatter.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace {

bool IsSkipped(QChar c) { return c == ' ' || c == ',' || c == 'x' || c == 'X'; }

// Reads one number at `at` after skipping separators; advances past it.
std::optional<double> ScanNumber(const QString& text, qsizetype& at) {
  while (at < text.size() && IsSkipped(text[at])) ++at;
  static const QRegularExpression number(R"([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)");
  const QRegularExpressionMatch match =
      number.match(text, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
  if (!match.hasMatch()) return std::nullopt;
  bool ok = false;
  const double value = QLocale::c().toDouble(match.captured(0), &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  at = match.capturedEnd(0);
  return value;
}

}  // namespace

QString PWSizeFormatter::stringForSize(QSizeF size) {
  return QString::asprintf("%.0f x %.0f", size.width(), size.height());
}

std::optional<QSizeF> PWSizeFormatter::sizeForString(const QString& text) {
  qsizetype at = 0;
  const auto width = ScanNumber(text, at);
  if (!width) return std::nullopt;
  const auto height = ScanNumber(text, at);
  if (!height) return std::nullopt;
  // Only separators may follow, as a scanner that skips them reaches the end.
  while (at < text.size() && IsSkipped(text[at])) ++at;
  if (at != text.size()) return std::nullopt;
  return QSizeF(*width, *height);
}

std::optional<QSizeF> PWSizeFormatter::sizeForString(const QString& text, QString* errorDescription) {
  if (errorDescription) *errorDescription = QCoreApplication::translate("PWSizeFormatter", "Couldn't convert to float");
  return sizeForString(text);
}
