#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

#include "Source/QTBufferSource.h"
#include "platform/playback/DecompressionSequence.h"

namespace hc::foundation {
class ByteHandle;
}

// A buffer source whose frames arrive compressed: a client gives it an image
// description, then frame by frame the compressed bytes, and each frame is
// decompressed into the source's buffer. Every input is a property:
// "ImageDescription" first, then per frame "DataSize", optionally
// "FrameTime" and "AsyncCompletionProc", and last "Data".
//
// A frame with a completion is decompressed on the sequence's own thread; the
// completion then marks the new frame and calls the client. Once the source
// starts to die no completion runs any more.
class QTSequenceSource : public QTBufferSource {
  HC_CLASS_HEADER(QTSequenceSource)
 public:
  enum : int32_t {
    kImageDescriptionSeedId = 500,
    kImageDescriptionId = 501,
    kDataSizeId = 502,
    kDataId = 503,
    kFrameTimeId = 504,
    kAsyncCompletionProcId = 505,
  };

  // What "AsyncCompletionProc" points to: called once per frame with the
  // frame's result (0 when it was drawn) on the sequence's thread. It must
  // not drop the source's last reference.
  struct CompletionProc {
    using Procedure = void (*)(eAppErr result, void* refCon);
    Procedure procedure = nullptr;
    void* refCon = nullptr;
  };

  QTSequenceSource();
  ~QTSequenceSource() override;

  // Set from outside: -102. The source takes its ratio from the description.
  eAppErr SetPixelAspectRatio(float ratio) override;
  eAppErr Initialize(int32_t width, int32_t height) override;
  // Ends an open sequence first: it draws into the buffer.
  void DisposeBuffer() override;

  uint32_t GetImageDescriptionSeed() const { return m_descriptionSeed; }
  eAppErr SetImageDescriptionSeed(uint32_t seed);
  // A ByteHandle holding a big-endian image description (the 86-byte record
  // and its extensions), kept by the client. Sizes the source while it has
  // no dimensions; -2 for a description that is not well formed.
  void* GetImageDescription() const { return m_description; }
  eAppErr SetImageDescription(void* description);
  uint32_t GetDataSize() const { return m_dataSize; }
  eAppErr SetDataSize(uint32_t size);
  // The compressed bytes of one frame (DataSize of them); decompresses it.
  void* GetData() const { return m_data; }
  eAppErr SetData(void* data);
  // Kept for the client; frames are decompressed in order as they come.
  void* GetFrameTime() const { return m_frameTime; }
  eAppErr SetFrameTime(void* frameTime);
  void* GetAsyncCompletionProc() const { return m_completion; }
  eAppErr SetAsyncCompletionProc(void* completion);

  // Frames queued or being decompressed.
  size_t PendingFrames() const { return m_sequence.PendingFrames(); }
  // Whether a description is a well-formed big-endian image description.
  static bool IsWellFormedDescription(std::span<const uint8_t> description);

 private:
  // What a completion reaches the source through; cleared when it dies.
  struct Link {
    std::mutex mutex;
    QTSequenceSource* source = nullptr;
  };

  void SetUpFromDescription(std::span<const uint8_t> description);
  eAppErr SequenceFrame();
  void FrameCompleted(eAppErr result);

  uint32_t m_descriptionSeed = 0;
  hc::foundation::ByteHandle* m_description = nullptr;
  uint32_t m_dataSize = 0;
  void* m_data = nullptr;
  void* m_frameTime = nullptr;
  void* m_completion = nullptr;
  int32_t m_sourceRectBottom = 0;
  int32_t m_sourceRectRight = 0;
  std::shared_ptr<Link> m_link;
  hc::playback::DecompressionSequence m_sequence;
};
HC_CLASS_OBJECT(QTSequenceSource, QTBufferSource)
