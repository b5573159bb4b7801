#pragma once

#include <cstdint>
#include <optional>

#include "KsAppErr.h"
#include "PWString.h"
#include "platform/playback/DataReference.h"

// Keeps a movie data reference together with the path or URL it was made from.
// Held by value inside its users.
class DataRefMgr {
 public:
  enum SourceTypes { kSourceTypeNone = 0, kSourceTypePath = 1, kSourceTypeURL = 2 };

  DataRefMgr() = default;

  // Replaces the source string (null allowed) and its type; nothing else changes.
  void SetSourceString(const PWStringRef& string, SourceTypes type);
  // Stores the path first, then makes its data reference; when that fails the
  // previous reference stays.
  eAppErr SetPath(const PWStringRef& path);
  // Stores the URL and a reference holding its UTF-8 text (none for a URL the
  // movie layer cannot read); always 0 for a non-null URL.
  eAppErr SetURL(const PWStringRef& url);
  // The path (URL) when the source is one, else -902 with a null output.
  eAppErr GetPath(PWStringRef* path) const;
  eAppErr GetURL(PWStringRef* url) const;

  // The data reference, or null when there is none.
  const hc::playback::DataReference* GetDataRef() const { return m_dataRef ? &*m_dataRef : nullptr; }
  // The reference's type; 0 when there is none.
  uint32_t GetDataRefType() const { return m_dataRefType; }
  SourceTypes GetSourceType() const { return m_sourceType; }

 private:
  PWStringRef m_sourceString;
  SourceTypes m_sourceType = kSourceTypeNone;
  std::optional<hc::playback::DataReference> m_dataRef;
  uint32_t m_dataRefType = 0;
};
