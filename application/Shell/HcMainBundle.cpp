#include "HcMainBundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "HcApplicationResources.h"

namespace HcMainBundle {

QString bundlePath() {
  const QString dir = QCoreApplication::applicationDirPath();
  return dir.isEmpty() ? QDir::currentPath() : dir;
}

QString resourcePath() { return HcApplicationResources::folder(); }

QString builtInPlugInsPath() { return bundlePath() + QStringLiteral("/PlugIns"); }

QString pathForResource(const QString& name, const QString& type) {
  if (name.contains('/') || name == QStringLiteral("..")) return {};
  const QString path = resourcePath() + '/' + name + '.' + type;
  return QFileInfo(path).isFile() ? path : QString();
}

QString processName() {
  const QString name = QCoreApplication::applicationName();
  return name.isEmpty() ? QStringLiteral("HalcyonPlayer") : name;
}

}  // namespace HcMainBundle
