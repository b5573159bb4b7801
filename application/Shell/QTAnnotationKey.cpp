#include "QTAnnotationKey.h"

#include <QFile>
#include <QHash>
#include <cstring>

#include "HcApplicationResources.h"
#include "platform/foundation/PlistXml.h"

namespace {

constexpr uint32_t Code(const char (&text)[5]) {
  return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) | (uint32_t(uint8_t(text[2])) << 8) |
         uint32_t(uint8_t(text[3]));
}

struct CommonKey {
  uint32_t code;
  const char* title;
};

constexpr CommonKey kCommonKeys[] = {
    {Code("auth"), "Author"},       {Code("cmmt"), "Comment"},      {Code("cprt"), "Copyright"},
    {Code("dtor"), "Director"},     {Code("name"), "Display Name"}, {Code("info"), "Information"},
    {Code("keyw"), "Keywords"},     {Code("prod"), "Producer"},     {Code("albm"), "Album"},
    {Code("arts"), "Artist"},       {Code("artw"), "Artwork"},      {Code("chap"), "Chapter Name"},
    {Code("comp"), "Composer"},     {Code("desc"), "Description"},  {Code("genr"), "Genre"},
    {Code("orif"), "Original Format"}, {Code("oris"), "Original Source"}, {Code("perf"), "Performers"},
    {Code("soft"), "Software"},     {Code("wrtr"), "Writer"},
};

// The "MetaDataKeys" table: a property-list dictionary of key texts to titles.
const QHash<QString, QString>& MetaDataKeysTable() {
  static const QHash<QString, QString> table = [] {
    QHash<QString, QString> read;
    QFile file(HcApplicationResources::path("MetaDataKeys.plist"));
    if (!file.open(QIODevice::ReadOnly) || file.size() > (1 << 20)) return read;
    const QByteArray text = file.readAll();
    hc::foundation::PlistValue list;
    if (hc::foundation::PlistXml::Read(std::string_view(text.constData(), text.size()), &list) !=
        hc::foundation::FoundationErr::Ok) {
      return read;
    }
    if (const auto* items = list.AsDictionary()) {
      for (const auto& [key, value] : *items) {
        if (const std::string* title = value.AsString()) {
          read.insert(QString::fromStdString(key), QString::fromStdString(*title));
        }
      }
    }
    return read;
  }();
  return table;
}

}  // namespace

QTAnnotationKey QTAnnotationKey::withOSType(uint32_t code, uint32_t format, const QString& title) {
  QTAnnotationKey key;
  key.m_keyOSType = code;
  key.m_keyFormat = format;
  key.m_keyTitle = title;
  return key;
}

QTAnnotationKey QTAnnotationKey::withBytes(std::vector<uint8_t> bytes, uint32_t format) {
  QTAnnotationKey key;
  key.m_keyFormat = format;
  if (key.isOSTypeKeyFormat() && bytes.size() == 4) {
    key.m_keyOSType = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
  } else {
    key.m_keyUInt8 = std::move(bytes);
  }
  for (const QTAnnotationKey& common : commonKeys()) {
    if (common.isEqualTo(key)) key.m_keyTitle = common.m_keyTitle;
  }
  return key;
}

const QVector<QTAnnotationKey>& QTAnnotationKey::commonKeys() {
  static const QVector<QTAnnotationKey> keys = [] {
    QVector<QTAnnotationKey> made;
    for (const CommonKey& common : kCommonKeys) made.push_back(withOSType(common.code, kCommonFormat, common.title));
    return made;
  }();
  return keys;
}

const QStringList& QTAnnotationKey::commonKeyStrings() {
  static const QStringList titles = [] {
    QStringList made;
    for (const CommonKey& common : kCommonKeys) made << QString::fromLatin1(common.title);
    return made;
  }();
  return titles;
}

const QTAnnotationKey* QTAnnotationKey::commonKeyForCode(uint32_t code) {
  for (const QTAnnotationKey& key : commonKeys()) {
    if (key.m_keyOSType == code) return &key;
  }
  return nullptr;
}

bool QTAnnotationKey::isOSTypeKeyFormat() const {
  return m_keyFormat == kShortFormat || m_keyFormat == kUserDataFormat || m_keyFormat == kCommonFormat;
}

std::vector<uint8_t> QTAnnotationKey::key() const {
  if (!m_keyUInt8.empty()) return m_keyUInt8;
  return {uint8_t(m_keyOSType >> 24), uint8_t(m_keyOSType >> 16), uint8_t(m_keyOSType >> 8), uint8_t(m_keyOSType)};
}

uint32_t QTAnnotationKey::keySize() const {
  return m_keyUInt8.empty() ? 4u : static_cast<uint32_t>(m_keyUInt8.size());
}

QString QTAnnotationKey::title() const {
  if (!m_keyTitle.isEmpty()) return m_keyTitle;
  QString text;
  if (!m_keyUInt8.empty()) {
    text = QString::fromUtf8(reinterpret_cast<const char*>(m_keyUInt8.data()), static_cast<qsizetype>(m_keyUInt8.size()));
  } else if (m_keyOSType != 0) {
    const std::vector<uint8_t> bytes = key();
    text = QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), 4);
  } else {
    return QString();
  }
  return MetaDataKeysTable().value(text, text);
}

bool QTAnnotationKey::isEqualTo(const QTAnnotationKey& other) const {
  if (other.m_keyFormat != m_keyFormat || other.keySize() != keySize()) return false;
  const std::vector<uint8_t> mine = key();
  const std::vector<uint8_t> theirs = other.key();
  // Compared as text: equal up to the first zero byte.
  for (size_t i = 0; i < mine.size(); ++i) {
    if (mine[i] != theirs[i]) return false;
    if (mine[i] == 0) break;
  }
  return true;
}
