#pragma once

#include <QString>

// Where the application's own data lives: the "Viewsets" and "Projections"
// folders of HcML files, "Public Certificates", "Cursors". Looked up once:
// the folder named by HC_RESOURCE_DIR, else "Resources" beside the program,
// else "../share/halcyon-player" from it, else the source tree's copy.
class HcApplicationResources {
 public:
  static QString folder();
  // For tests: a folder to use from now on (empty: look it up again).
  static void setFolder(const QString& folder);
  static QString path(const QString& relative);
};
