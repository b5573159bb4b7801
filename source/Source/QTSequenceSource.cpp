#include "Source/QTSequenceSource.h"

#include <array>

#include "QuickTime/MovieLayerErr.h"
#include "Source/InlineImageDescription.h"
#include "Source/SourceErr.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/MovImageDescription.h"

namespace {

std::array<char, 5> CodecText(uint32_t codec) {
  return {static_cast<char>(codec >> 24), static_cast<char>(codec >> 16), static_cast<char>(codec >> 8),
          static_cast<char>(codec), '\0'};
}

std::span<const uint8_t> BytesOf(const hc::foundation::ByteHandle* handle) {
  return handle ? handle->View() : std::span<const uint8_t>();
}

}  // namespace

QTSequenceSource::QTSequenceSource() : m_link(std::make_shared<Link>()) { m_link->source = this; }

QTSequenceSource::~QTSequenceSource() {
  {
    std::lock_guard lock(m_link->mutex);
    m_link->source = nullptr;
  }
  m_sequence.End(hc::playback::DecompressionSequence::EndMode::Cancel);
}

bool QTSequenceSource::IsWellFormedDescription(std::span<const uint8_t> description) {
  return InlineImageDescription::Parse(description, nullptr);
}

eAppErr QTSequenceSource::SetPixelAspectRatio(float) { return KS_TRACE_ERR(AppErr::kUnsupportedType, "SetPixelAspectRatio"); }

eAppErr QTSequenceSource::Initialize(int32_t, int32_t) { return KS_TRACE_ERR(AppErr::kUnsupportedType, "Initialize"); }

void QTSequenceSource::DisposeBuffer() {
  m_sequence.End(hc::playback::DecompressionSequence::EndMode::Cancel);
  QTBufferSource::DisposeBuffer();
}

eAppErr QTSequenceSource::SetImageDescriptionSeed(uint32_t seed) {
  m_descriptionSeed = seed;
  return AppErr::kNoErr;
}

eAppErr QTSequenceSource::SetDataSize(uint32_t size) {
  m_dataSize = size;
  return AppErr::kNoErr;
}

eAppErr QTSequenceSource::SetFrameTime(void* frameTime) {
  m_frameTime = frameTime;
  return AppErr::kNoErr;
}

eAppErr QTSequenceSource::SetAsyncCompletionProc(void* completion) {
  m_completion = completion;
  return AppErr::kNoErr;
}

eAppErr QTSequenceSource::SetImageDescription(void* description) {
  m_description = static_cast<hc::foundation::ByteHandle*>(description);
  if (!m_description) return AppErr::kNoErr;
  const std::span<const uint8_t> bytes = m_description->View();
  InlineImageDescription parsed;
  if (!InlineImageDescription::Parse(bytes, &parsed)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetImageDescription");
  KS_TRACE(KsTrace::kVerbose, "Got imageDescription; cType=%4s", CodecText(parsed.codecType).data());
  if (GetHasDimensions()) return AppErr::kNoErr;
  KS_TRACE(KsTrace::kVerbose, "Initializing");
  SetUpFromDescription(bytes);
  return AppErr::kNoErr;
}

void QTSequenceSource::SetUpFromDescription(std::span<const uint8_t> description) {
  DisposeBuffer();
  InlineImageDescription parsed;
  InlineImageDescription::Parse(description, &parsed);
  int32_t width = parsed.width;
  int32_t height = parsed.height;
  float ratio = GetPixelAspectRatioForDescription(description, 0, 0);
  if (GetUseForcedDimensions() && GetForceWidth() != 0 && GetForceHeight() != 0 && width != 0 && height != 0) {
    ratio *= GetAspectScale(width, height, GetForceWidth(), GetForceHeight());
    width = GetForceWidth();
    height = GetForceHeight();
  }
  if (ratio != 1.0f) PanoSource::SetPixelAspectRatio(ratio);
  m_sourceRectBottom = height;
  m_sourceRectRight = width;
  SetDimensions(width, height);
}

eAppErr QTSequenceSource::SetData(void* data) {
  m_data = data;
  if (!m_data) return AppErr::kNoErr;
  return SequenceFrame();
}

eAppErr QTSequenceSource::SequenceFrame() {
  const std::span<const uint8_t> description = BytesOf(m_description);
  // Without a description there is nothing to open a sequence for.
  if (description.empty()) return KS_TRACE_ERR(AppErr::kNotReady, "SequenceFrame");
  if (!m_sequence.IsOpen()) {
    if (!GetBaseAddress()) {
      const eAppErr err = CreateBuffer(m_sourceRectRight, m_sourceRectBottom);
      if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SequenceFrame");
    }
    InlineImageDescription parsed;
    InlineImageDescription::Parse(description, &parsed);
    KS_TRACE(KsTrace::kVerbose, "Creating new sequence; imageDesc.ctype=%4s", CodecText(parsed.codecType).data());
    const hc::playback::PlaybackErr err = m_sequence.Begin(description, *GetImageBuffer());
    if (err != hc::playback::PlaybackErr::Ok) {
      KS_TRACE(KsTrace::kError, "OSErr %i on DecompressSequenceBegin", hc::playback::PlaybackErrCode(err));
      return KS_TRACE_ERR(AppErrFromPlaybackErr(err), "SequenceFrame");
    }
  }
  const std::span<const uint8_t> frame(static_cast<const uint8_t*>(m_data), m_dataSize);
  const auto* client = static_cast<const CompletionProc*>(m_completion);
  if (!client) {
    const hc::playback::PlaybackErr err = m_sequence.DecompressFrame(frame);
    FrameCompleted(AppErrFromPlaybackErr(err));
    if (err != hc::playback::PlaybackErr::Ok) return KS_TRACE_ERR(AppErrFromPlaybackErr(err), "SequenceFrame");
    return AppErr::kNoErr;
  }
  // The completion holds what it needs by value: nothing is left to free
  // whether the frame is queued or refused.
  const CompletionProc proc = *client;
  std::shared_ptr<Link> link = m_link;
  const hc::playback::PlaybackErr err =
      m_sequence.DecompressFrame(frame, [link, proc](const hc::playback::DecompressionFrameResult& result) {
        std::lock_guard lock(link->mutex);
        if (!link->source) return;
        const eAppErr code = result.cancelled ? AppErr::kCancelled : AppErrFromPlaybackErr(result.error);
        link->source->FrameCompleted(code);
        if (proc.procedure) proc.procedure(code, proc.refCon);
      });
  if (err != hc::playback::PlaybackErr::Ok) {
    KS_TRACE(KsTrace::kError, "OSErr %i on DecompressSequenceWhen", hc::playback::PlaybackErrCode(err));
    return KS_TRACE_ERR(AppErrFromPlaybackErr(err), "SequenceFrame");
  }
  return AppErr::kNoErr;
}

void QTSequenceSource::FrameCompleted(eAppErr result) {
  if (result == AppErr::kNoErr) {
    FrameReady();
    return;
  }
  KS_TRACE(KsTrace::kError, "Saw error %i in decomp seq (source=0x%p)", result, static_cast<void*>(this));
}
