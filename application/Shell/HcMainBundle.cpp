#include "HcMainBundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef HC_SOURCE_RESOURCE_DIR
#define HC_SOURCE_RESOURCE_DIR ""
#endif

namespace HcMainBundle {

QString bundlePath() {
  const QString dir = QCoreApplication::applicationDirPath();
  return dir.isEmpty() ? QDir::currentPath() : dir;
}

QString resourcePath() {
  const QString fromEnvironment = qEnvironmentVariable("HC_RESOURCE_DIR");
  if (!fromEnvironment.isEmpty()) return QDir(fromEnvironment).absolutePath();
  const QString beside = bundlePath() + QStringLiteral("/Resources");
  if (QFileInfo(beside).isDir()) return beside;
  return QString::fromUtf8(HC_SOURCE_RESOURCE_DIR);
}

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
