#pragma once

#include <QSizeF>
#include <QString>
#include <optional>

// Sizes written as "width x height": shown rounded to whole numbers, read
// from two numbers separated by blanks, commas or x (either case) with
// nothing after them.
class PWSizeFormatter {
 public:
  static QString stringForSize(QSizeF size);
  static std::optional<QSizeF> sizeForString(const QString& text);
  // As sizeForString; the description is set whatever the outcome.
  static std::optional<QSizeF> sizeForString(const QString& text, QString* errorDescription);
};
