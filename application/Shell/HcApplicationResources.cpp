#include "HcApplicationResources.h"

#include <QDir>
#include <mutex>

#include "HcMainBundle.h"

namespace {

std::mutex gFolderLock;
QString gFolder;

}  // namespace

QString HcApplicationResources::folder() {
  std::lock_guard lock(gFolderLock);
  return gFolder.isEmpty() ? HcMainBundle::resourcePath() : gFolder;
}

void HcApplicationResources::setFolder(const QString& folder) {
  std::lock_guard lock(gFolderLock);
  gFolder = folder;
}

QString HcApplicationResources::path(const QString& relative) { return QDir(folder()).filePath(relative); }
