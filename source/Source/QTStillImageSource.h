#pragma once

#include <memory>
#include <optional>

#include "QuickTime/DataRefMgr.h"
#include "Source/QTBufferSource.h"
#include "Utilities/FileAccessPolicy.h"
#include "platform/playback/DataReference.h"

namespace hc::playback {
class GraphicsImporter;
}

// One still image, named by a path or a URL, shown as a panoramic frame: the
// image is decoded once into the source's buffer and handed on like any
// buffer source's frame. Given an image, the source also chooses its
// projection: from panorama metadata in the image's EXIF maker note, else
// from the image's aspect ratio.
//
// A source made while a restricted file-access policy is in force (an
// untrusted presentation) reads only files that policy allows, and no URLs.
class QTStillImageSource : public QTBufferSource {
  HC_CLASS_HEADER(QTStillImageSource)
 public:
  enum : int32_t { kPathId = 500, kURLId = 501 };

  QTStillImageSource();
  ~QTStillImageSource() override;

  eAppErr DoUpdate() override;
  // A still image is sized by its image: -102.
  eAppErr Initialize(int32_t width, int32_t height) override;
  // Opens the image at the data reference, sets size, pixel aspect and
  // projection, and draws it.
  eAppErr Initialize(const hc::playback::DataReference& reference);

  // -903 once the image is drawn.
  virtual eAppErr SetPath(const PWStringRef& path);
  eAppErr SetURL(const PWStringRef& url);
  eAppErr GetPath(PWStringRef* path) { return m_mgr.GetPath(path); }
  eAppErr GetURL(PWStringRef* url) { return m_mgr.GetURL(url); }
  eAppErr InitFromMgr();

 private:
  std::unique_ptr<hc::playback::GraphicsImporter> OpenImporter() const;
  void ApplyMakerNote(const hc::playback::GraphicsImporter& importer);
  void ApplyProjectionByAspect(int32_t imageWidth, int32_t imageHeight);
  bool MayChooseProjection();

  std::optional<hc::playback::DataReference> m_dataRef;
  DataRefMgr m_mgr;
  FileAccessPolicy m_fileAccess = FileAccessPolicy::Current();
  // The image opened by Initialize, kept until it is drawn.
  std::unique_ptr<hc::playback::GraphicsImporter> m_importer;
};
HC_CLASS_OBJECT(QTStillImageSource, QTBufferSource)
