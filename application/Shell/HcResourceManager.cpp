#include "HcResourceManager.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>
#include <algorithm>

#include "HcApplicationResources.h"
#include "HcProxyMessenger.h"
#include "KsTrace.h"

namespace rt = hc::runtime;

namespace {

// Resource files are small; anything larger is not one of ours.
constexpr qint64 kLargestResourceFile = 16 << 20;

QString XmlEscaped(const QString& text) {
  QString escaped = text.toHtmlEscaped();  // & < > "
  return escaped.replace('\'', QStringLiteral("&apos;"));
}

void LoadEntries(const QVector<HcResourceManager::Entry>& entries, rt::Id context, const char* root) {
  for (const HcResourceManager::Entry& entry : entries) {
    HcProxyMessenger::Send(context, "loadHcML:atRoot:",
                           {rt::Value::String(entry.hcml.toStdString()), rt::Value::String(root)});
  }
}

}  // namespace

HcResourceManager& HcResourceManager::defaultResourceManager() {
  static HcResourceManager shared(HcApplicationResources::folder());
  return shared;
}

HcResourceManager::HcResourceManager(const QString& resourceFolder)
    : m_projections(loadResourceFolder(QDir(resourceFolder).filePath("Projections"))),
      m_viewsets(loadResourceFolder(QDir(resourceFolder).filePath("Viewsets"))) {}

QString HcResourceManager::nameForRelativePath(const QString& relativePath) {
  static const QRegularExpression leadingNumber(R"(^\s*[+-]?\d+)");
  QString rest = relativePath;
  rest.remove(leadingNumber);
  const qsizetype extension = rest.indexOf(QStringLiteral(".hcml"));
  if (extension >= 0) rest.truncate(extension);
  return rest.trimmed();
}

QVector<HcResourceManager::Entry> HcResourceManager::loadResourceFolder(const QString& folder) {
  const QDir root(folder);
  QStringList relativePaths;
  QDirIterator files(folder, QDir::Files | QDir::Readable | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (files.hasNext()) {
    const QString path = files.next();
    if (QFileInfo(path).suffix() == QStringLiteral("hcml")) relativePaths << root.relativeFilePath(path);
  }
  std::sort(relativePaths.begin(), relativePaths.end());
  QVector<Entry> entries;
  for (const QString& relative : relativePaths) {
    const QString path = root.filePath(relative);
    QFile file(path);
    if (file.size() > kLargestResourceFile || !file.open(QIODevice::ReadOnly)) {
      KS_TRACE(KsTrace::kWarning, "Resource file %s could not be read; skipped", qPrintable(path));
      continue;
    }
    Entry entry;
    entry.name = nameForRelativePath(relative);
    if (entry.name.isEmpty()) {
      KS_TRACE(KsTrace::kWarning, "Resource file %s has no name; skipped", qPrintable(path));
      continue;
    }
    entry.path = path;
    entry.hcml = QString::fromUtf8(file.readAll());
    entry.hcml.replace(QStringLiteral("&ViewsetDir;"), XmlEscaped(QFileInfo(path).absolutePath()));
    entries.push_back(std::move(entry));
  }
  return entries;
}

void HcResourceManager::loadProjectionsIntoContext(rt::Id context) const {
  LoadEntries(m_projections, context, "hc://Projections");
}

void HcResourceManager::loadViewsetsIntoContext(rt::Id context) const {
  LoadEntries(m_viewsets, context, "hc://Viewsets");
}

QString HcResourceManager::defaultViewsetName() const {
  return m_viewsets.isEmpty() ? QString() : m_viewsets.front().name;
}

void HcResourceManager::populateProjectionMenu(QMenu* menu) const {
  if (!menu) return;
  menu->clear();
  for (qsizetype i = 0; i < m_projections.size(); ++i) {
    QAction* item = menu->addAction(m_projections[i].name);
    item->setData(QVariant::fromValue(static_cast<qlonglong>(i)));
  }
}

const HcResourceManager::Entry* HcResourceManager::entryForMenuItem(const QAction* item) const {
  if (!item || item->data().typeId() != QMetaType::LongLong) return nullptr;
  const qlonglong index = item->data().toLongLong();
  if (index < 0 || index >= m_projections.size()) return nullptr;
  return &m_projections[index];
}

QString HcResourceManager::hcmlForMenuItem(const QAction* item) const {
  const Entry* entry = entryForMenuItem(item);
  return entry ? entry->hcml : QString();
}

QString HcResourceManager::pathForMenuItem(const QAction* item) const {
  const Entry* entry = entryForMenuItem(item);
  return entry ? entry->path : QString();
}

QString HcResourceManager::nameForMenuItem(const QAction* item) const {
  const Entry* entry = entryForMenuItem(item);
  return entry ? entry->name : QString();
}
