#include "HcApplicationResources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <mutex>

#ifndef HC_SOURCE_RESOURCE_DIR
#define HC_SOURCE_RESOURCE_DIR ""
#endif

namespace {

std::mutex gFolderLock;
QString gFolder;

// HC_RESOURCE_DIR when set; else "Resources" beside the program; else the
// resources of the source tree the program was built from.
QString LookUpFolder() {
  const QString fromEnvironment = qEnvironmentVariable("HC_RESOURCE_DIR");
  if (!fromEnvironment.isEmpty()) return QDir(fromEnvironment).absolutePath();
  const QString programDir = QCoreApplication::applicationDirPath();
  const QString beside = (programDir.isEmpty() ? QDir::currentPath() : programDir) + QStringLiteral("/Resources");
  if (QFileInfo(beside).isDir()) return beside;
  return QString::fromUtf8(HC_SOURCE_RESOURCE_DIR);
}

}  // namespace

QString HcApplicationResources::folder() {
  {
    std::lock_guard lock(gFolderLock);
    if (!gFolder.isEmpty()) return gFolder;
  }
  return LookUpFolder();
}

void HcApplicationResources::setFolder(const QString& folder) {
  std::lock_guard lock(gFolderLock);
  gFolder = folder;
}

QString HcApplicationResources::path(const QString& relative) { return QDir(folder()).filePath(relative); }
