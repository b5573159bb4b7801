#include "HcMainBundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "HcApplicationResources.h"

#ifndef HC_SOURCE_RESOURCE_DIR
#define HC_SOURCE_RESOURCE_DIR ""
#endif

namespace HcMainBundle {

QString bundlePath() {
  const QString dir = QCoreApplication::applicationDirPath();
  return dir.isEmpty() ? QDir::currentPath() : dir;
}

// The folder named by HC_RESOURCE_DIR, else "Resources" beside the program,
// else "../share/halcyon-player" from it, else the source tree's copy.
QString resourcePath() {
  const QString named = qEnvironmentVariable("HC_RESOURCE_DIR");
  if (!named.isEmpty() && QFileInfo(named).isDir()) return QDir(named).absolutePath();
  const QDir programDir(bundlePath());
  for (const QString& candidate : {programDir.filePath("Resources"), programDir.filePath("../share/halcyon-player")}) {
    if (QFileInfo(QDir(candidate).filePath("Viewsets")).isDir()) return QDir(candidate).absolutePath();
  }
  return QString::fromUtf8(HC_SOURCE_RESOURCE_DIR);
}

QString builtInPlugInsPath() { return bundlePath() + QStringLiteral("/PlugIns"); }

QString pathForResource(const QString& name, const QString& type) {
  if (name.contains('/') || name == QStringLiteral("..")) return {};
  const QString path = HcApplicationResources::path(name + '.' + type);
  return QFileInfo(path).isFile() ? path : QString();
}

QString processName() {
  const QString name = QCoreApplication::applicationName();
  return name.isEmpty() ? QStringLiteral("HalcyonPlayer") : name;
}

}  // namespace HcMainBundle
