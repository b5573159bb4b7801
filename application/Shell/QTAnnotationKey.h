#pragma once

#include <QString>
#include <QVector>
#include <cstdint>
#include <vector>

// The key of one movie metadata item: a four-character code for the key
// formats 'comn' (common keys), 'udta' (user-data items) and 'itsk', else the
// key's bytes (such as a reverse-DNS name), with a display title.
class QTAnnotationKey {
 public:
  static constexpr uint32_t kCommonFormat = 0x636F6D6E;    // 'comn'
  static constexpr uint32_t kUserDataFormat = 0x75647461;  // 'udta'
  static constexpr uint32_t kShortFormat = 0x6974736B;     // 'itsk'

  QTAnnotationKey() = default;
  static QTAnnotationKey withOSType(uint32_t code, uint32_t format, const QString& title);
  static QTAnnotationKey withBytes(std::vector<uint8_t> key, uint32_t format);

  // The twenty common keys ('auth' "Author" … 'wrtr' "Writer"), in order.
  static const QVector<QTAnnotationKey>& commonKeys();
  static const QStringList& commonKeyStrings();
  // The common key for a code, or none.
  static const QTAnnotationKey* commonKeyForCode(uint32_t code);

  bool isOSTypeKeyFormat() const;
  uint32_t keyFormat() const { return m_keyFormat; }
  uint32_t osType() const { return m_keyOSType; }
  // The key bytes: the byte key, else the code's four bytes (big-endian).
  std::vector<uint8_t> key() const;
  uint32_t keySize() const;
  // The title when set; otherwise the key's text looked up in the
  // "MetaDataKeys" table of the resources (the text itself when absent).
  QString title() const;
  // Same format and size and the same bytes, compared up to a zero byte.
  bool isEqualTo(const QTAnnotationKey& other) const;

 private:
  QString m_keyTitle;
  uint32_t m_keyOSType = 0;
  std::vector<uint8_t> m_keyUInt8;
  uint32_t m_keyFormat = 0;
};
