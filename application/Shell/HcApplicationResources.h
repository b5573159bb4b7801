#pragma once

#include <QString>

// The application's resource folder (the main bundle's, see HcMainBundle),
// which tests may replace.
class HcApplicationResources {
 public:
  static QString folder();
  // A folder to use from now on (empty: the main bundle's again).
  static void setFolder(const QString& folder);
  static QString path(const QString& relative);
};
