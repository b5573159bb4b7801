#include "HcApplicationResources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <mutex>

namespace {

std::mutex gFolderLock;
QString gFolder;

bool IsResourceFolder(const QString& candidate) {
  return !candidate.isEmpty() && QFileInfo(QDir(candidate).filePath("Viewsets")).isDir();
}

QString LookUpFolder() {
  const QString named = qEnvironmentVariable("HC_RESOURCE_DIR");
  if (IsResourceFolder(named)) return QDir(named).absolutePath();
  if (QCoreApplication::instance()) {
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {programDir.filePath("Resources"), programDir.filePath("../share/halcyon-player")}) {
      if (IsResourceFolder(candidate)) return QDir(candidate).absolutePath();
    }
  }
  return QStringLiteral(HC_SOURCE_RESOURCE_DIR);
}

}  // namespace

QString HcApplicationResources::folder() {
  std::lock_guard lock(gFolderLock);
  if (gFolder.isEmpty()) gFolder = LookUpFolder();
  return gFolder;
}

void HcApplicationResources::setFolder(const QString& folder) {
  std::lock_guard lock(gFolderLock);
  gFolder = folder;
}

QString HcApplicationResources::path(const QString& relative) { return QDir(folder()).filePath(relative); }
