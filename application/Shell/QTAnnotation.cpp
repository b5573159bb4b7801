#include "QTAnnotation.h"

#include <iconv.h>

#include <QByteArray>
#include <cerrno>

using hc::movfile::MovMetadataItem;

namespace {

// Converts between UTF-8 and the Mac OS Roman encoding with the C library.
bool Convert(const char* to, const char* from, const std::vector<uint8_t>& in, std::vector<uint8_t>* out) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  std::vector<uint8_t> result(in.size() * 4 + 4);
  char* input = const_cast<char*>(reinterpret_cast<const char*>(in.data()));
  size_t inputLeft = in.size();
  char* output = reinterpret_cast<char*>(result.data());
  size_t outputLeft = result.size();
  const size_t converted = iconv(converter, &input, &inputLeft, &output, &outputLeft);
  iconv_close(converter);
  if (converted == static_cast<size_t>(-1) || inputLeft != 0) return false;
  result.resize(result.size() - outputLeft);
  if (out) *out = std::move(result);
  return true;
}

std::vector<uint8_t> Utf8Bytes(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return std::vector<uint8_t>(utf8.begin(), utf8.end());
}

void StoreText(MovMetadataItem& item, const QString& value) {
  std::vector<uint8_t> mac;
  if (QTAnnotation::macEncoded(value, &mac)) {
    item.value = std::move(mac);
    item.dataType = MovMetadataItem::kMacText;
  } else {
    item.value = Utf8Bytes(value);
    item.dataType = MovMetadataItem::kUtf8;
  }
}

}  // namespace

bool QTAnnotation::macEncoded(const QString& text, std::vector<uint8_t>* bytes) {
  return Convert("MACINTOSH", "UTF-8", Utf8Bytes(text), bytes);
}

QTAnnotation::QTAnnotation(MetaData metaData, size_t index, const QTAnnotationKey& key)
    : m_mdRef(std::move(metaData)), m_mdItem(index), m_annotationKey(key) {}

std::unique_ptr<QTAnnotation> QTAnnotation::annotationWithMetaData(const MetaData& metaData,
                                                                  const QTAnnotationKey& key,
                                                                  const QString& stringValue) {
  if (!metaData) return nullptr;
  MovMetadataItem item;
  item.keyFormat = key.keyFormat();
  item.key = key.key();
  StoreText(item, stringValue);
  metaData->push_back(std::move(item));
  return std::make_unique<QTAnnotation>(metaData, metaData->size() - 1, key);
}

MovMetadataItem* QTAnnotation::item() const {
  if (!m_mdRef || m_mdItem >= m_mdRef->size()) return nullptr;
  return &(*m_mdRef)[m_mdItem];
}

uint32_t QTAnnotation::dataType() const {
  const MovMetadataItem* found = item();
  return found ? found->dataType : 0;
}

bool QTAnnotation::isStringDataType() const {
  const uint32_t type = dataType();
  return type == MovMetadataItem::kUtf8 || type == MovMetadataItem::kUtf16 || type == MovMetadataItem::kMacText;
}

QString QTAnnotation::stringValue() const {
  const MovMetadataItem* found = item();
  if (!found || !isStringDataType()) return QString();
  const auto* bytes = reinterpret_cast<const char*>(found->value.data());
  const auto size = static_cast<qsizetype>(found->value.size());
  switch (found->dataType) {
    case MovMetadataItem::kUtf8: return QString::fromUtf8(bytes, size);
    case MovMetadataItem::kUtf16: {
      QString text;
      for (qsizetype i = 0; i + 1 < size; i += 2) {
        text.append(QChar(static_cast<char16_t>((uint8_t(bytes[i]) << 8) | uint8_t(bytes[i + 1]))));
      }
      return text;
    }
    default: {
      std::vector<uint8_t> utf8;
      if (!Convert("UTF-8", "MACINTOSH", found->value, &utf8)) return QString();
      return QString::fromUtf8(reinterpret_cast<const char*>(utf8.data()), static_cast<qsizetype>(utf8.size()));
    }
  }
}

void QTAnnotation::setStringValue(const QString& value) {
  if (MovMetadataItem* found = item()) StoreText(*found, value);
}

void QTAnnotation::setKey(const QTAnnotationKey& key) {
  m_annotationKey = key;
  if (MovMetadataItem* found = item()) {
    found->key = key.key();
    found->keyFormat = key.keyFormat();
  }
}

bool QTAnnotation::copyToMetaData(const MetaData& other) const {
  if (!other) return false;
  MovMetadataItem copy;
  copy.keyFormat = m_annotationKey.keyFormat();
  copy.key = m_annotationKey.key();
  StoreText(copy, stringValue());
  other->push_back(std::move(copy));
  return true;
}

void QTAnnotation::remove() {
  if (!m_mdRef) return;
  if (m_mdItem < m_mdRef->size()) m_mdRef->erase(m_mdRef->begin() + static_cast<std::ptrdiff_t>(m_mdItem));
  m_mdRef.reset();
  m_mdItem = 0;
}
