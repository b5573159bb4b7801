#pragma once

#include <cstdint>

#include "InterfaceCommon/SourceDescription.h"

// The source description of an authoring project: it names the movie the
// source is made from and carries that path to and from the live source's
// "Path" property.
class HcProjectSource : public SourceDescription {
  HC_CLASS_HEADER(HcProjectSource)
 public:
  enum : int32_t {
    kCopySoundTrackId = 300,
    kEmbedDataInSampleId = 301,
    kSourceMoviePathId = 302,
    kSourceNameId = 303,
  };

  HcProjectSource();
  ~HcProjectSource() override;

  bool GetCopySoundTrack() const { return m_copySoundTrack; }
  eAppErr SetCopySoundTrack(bool copy);
  bool GetEmbedDataInSample() const { return m_embedDataInSample; }
  eAppErr SetEmbedDataInSample(bool embed);
  PWStringRef GetSourceMoviePath() const { return m_sourceMoviePath; }
  eAppErr SetSourceMoviePath(const PWStringRef& path);
  uint32_t GetSourceName() const { return m_sourceName; }
  eAppErr SetSourceName(uint32_t name);

  // The description's texts, then SourceMoviePath as the live source's "Path".
  eAppErr SetInitSourceFromHcML(bool apply) override;
  // The description's texts, then the live source's "Path" as SourceMoviePath.
  eAppErr SetInitHcMLFromSource(bool write) override;

 private:
  bool m_copySoundTrack = true;
  bool m_embedDataInSample = false;
  PWStringRef m_sourceMoviePath;
  uint32_t m_sourceName = 0;
};
HC_CLASS_OBJECT(HcProjectSource, SourceDescription)
