#pragma once

#include <QString>
#include <QUrl>
#include <memory>

// An error shown to the user: its domain and code, the text to show, the
// file it concerns, and the error it wraps, if any.
struct HcError {
  static constexpr const char* kHalcyonErrorDomain = "HalcyonErrorDomain";

  QString domain;
  int code = 0;
  QString localizedDescription;
  QUrl url;
  // What went wrong underneath, shown under the message.
  QString failureReason;
  std::shared_ptr<const HcError> underlyingError;

  bool isEmpty() const { return domain.isEmpty() && localizedDescription.isEmpty(); }
};
