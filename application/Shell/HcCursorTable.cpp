#include "HcCursorTable.h"

#include <QDir>
#include <QFile>
#include <QPixmap>

#include "HcApplicationResources.h"
#include "KsTrace.h"
#include "platform/foundation/PlistXml.h"

namespace {

constexpr qint64 kLargestTable = 1 << 20;

std::optional<int64_t> IntegerItem(const hc::foundation::PlistValue& entry, const char* key) {
  const hc::foundation::PlistValue* item = entry.GetItem(key);
  if (!item) return std::nullopt;
  if (const int64_t* value = item->AsInteger()) return *value;
  if (const double* value = item->AsReal()) return static_cast<int64_t>(*value);
  return std::nullopt;
}

}  // namespace

std::map<int, QCursor> HcCursorTable::load(const QString& cursorsFolder) {
  std::map<int, QCursor> table;
  QFile file(QDir(cursorsFolder).filePath("ArrowCursors.plist"));
  if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestTable) return table;
  const QByteArray text = file.readAll();
  hc::foundation::PlistValue list;
  if (hc::foundation::PlistXml::Read(std::string_view(text.constData(), text.size()), &list) !=
      hc::foundation::FoundationErr::Ok) {
    KS_TRACE(KsTrace::kWarning, "The cursor table could not be read");
    return table;
  }
  const auto* entries = list.AsArray();
  if (!entries) return table;
  for (const hc::foundation::PlistValue& entry : *entries) {
    const hc::foundation::PlistValue* name = entry.GetItem("name");
    const auto id = IntegerItem(entry, "id");
    if (!name || !name->AsString() || !id) continue;
    QPixmap image(QDir(cursorsFolder).filePath(QString::fromStdString(*name->AsString()) + ".png"));
    if (image.isNull()) continue;
    const int x = static_cast<int>(IntegerItem(entry, "x").value_or(0));
    const int y = static_cast<int>(IntegerItem(entry, "y").value_or(0));
    table.insert_or_assign(static_cast<int>(*id), QCursor(image, x, y));
  }
  return table;
}

std::optional<QCursor> HcCursorTable::hcCursor(int code) {
  static const std::map<int, QCursor> table = load(HcApplicationResources::path("Cursors"));
  auto found = table.find(code);
  if (found == table.end()) return std::nullopt;
  return found->second;
}
