#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "QTAnnotationKey.h"
#include "platform/movfile/MovMetadataItem.h"

// One metadata item of a movie, read through its key and text value. The
// items are held in a shared list (the movie's metadata as read); edits
// change that list, not the file.
class QTAnnotation {
 public:
  using MetaData = std::shared_ptr<std::vector<hc::movfile::MovMetadataItem>>;

  // The item at `index` of the list, keyed by its own key (or `key` when given).
  QTAnnotation(MetaData metaData, size_t index, const QTAnnotationKey& key);
  // A new text item appended to the list under the key.
  static std::unique_ptr<QTAnnotation> annotationWithMetaData(const MetaData& metaData, const QTAnnotationKey& key,
                                                             const QString& stringValue);

  uint32_t dataType() const;
  bool isStringDataType() const;
  // The value of a text item (UTF-8, UTF-16 big-endian or Mac-encoded); "" otherwise.
  QString stringValue() const;
  // Stored as Mac-encoded text (type 3) when every character has a Mac
  // encoding, else as UTF-8 (type 1).
  void setStringValue(const QString& value);
  const QTAnnotationKey& key() const { return m_annotationKey; }
  void setKey(const QTAnnotationKey& key);
  // Appends a copy of this item (key and current text) to another list.
  bool copyToMetaData(const MetaData& other) const;
  // Takes the item out of the list; later calls do nothing.
  void remove();
  bool isRemoved() const { return !m_mdRef; }

  // Text and its Mac-encoded bytes, when it has them.
  static bool macEncoded(const QString& text, std::vector<uint8_t>* bytes);

 private:
  hc::movfile::MovMetadataItem* item() const;

  MetaData m_mdRef;
  size_t m_mdItem = 0;
  QTAnnotationKey m_annotationKey;
};
