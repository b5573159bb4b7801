#pragma once

#include <memory>

#include "Source/QTSequenceSource.h"
#include "Utilities/FileAccessPolicy.h"
#include "platform/foundation/ByteHandle.h"

// One still image carried inside the presentation: its compressed bytes and
// big-endian image description, as byte handles or as Base64 text in HcML.
// An update decompresses the image into the buffer through the inherited
// sequence; the picture is then kept, and decompressed again only when the
// bytes or the description change. "ImagePath" fills both from a file.
class ImageWithDataSource : public QTSequenceSource {
  HC_CLASS_HEADER(ImageWithDataSource)
 public:
  enum : int32_t {
    kImageDataBEHandleId = 600,
    kImageDataBEBase64Id = 601,
    kImageDescriptionDataBEHandleId = 602,
    kImageDescriptionDataBEBase64Id = 603,
    kImagePathId = 604,
  };

  ImageWithDataSource();
  ~ImageWithDataSource() override;

  eAppErr DoUpdate() override;

  // The handles (hc::foundation::ByteHandle) are copied in and lent out.
  void* GetImageDataBEHandle();
  eAppErr SetImageDataBEHandle(void* handle);
  PWStringRef GetImageDataBEBase64();
  eAppErr SetImageDataBEBase64(const PWStringRef& text);
  void* GetImageDescriptionDataBEHandle();
  eAppErr SetImageDescriptionDataBEHandle(void* handle);
  PWStringRef GetImageDescriptionDataBEBase64();
  eAppErr SetImageDescriptionDataBEBase64(const PWStringRef& text);
  // The first picture of an image file, or the first sample of a movie's
  // first visual track; -2 for a movie without one, or for a file the
  // file-access policy in force when the source was made does not allow.
  eAppErr SetImagePath(const PWStringRef& path);

  // The one rule of converting a description between big-endian and host
  // order (the record stays big-endian here): an 86-byte description whose
  // clutID is 0 gets clutID -1.
  static void ConvertDescriptionByteOrder(hc::foundation::ByteHandle& description);

 private:
  // One of the two parts: a handle and its Base64 text, either derived from
  // the other on demand.
  struct Part {
    std::unique_ptr<hc::foundation::ByteHandle> handle;
    PWStringRef text;
    void Clear() {
      handle.reset();
      text = nullptr;
    }
    void DecodeText();
    void EncodeHandle();
  };

  eAppErr StoreHandleCopy(Part& part, const void* handle, const char* method);
  void PartChanged();
  void UpdateIfComplete();

  Part m_description;
  Part m_data;
  // Counts changes of either part; the picture in the buffer is of m_drawn.
  uint64_t m_changes = 1;
  uint64_t m_drawn = 0;
  FileAccessPolicy m_fileAccess = FileAccessPolicy::Current();
};
HC_CLASS_OBJECT(ImageWithDataSource, QTSequenceSource)
