#include "platform/playback/VisualContext.h"

#include <GL/gl.h>
#include <GL/glext.h>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cmath>
#include <new>

#include "platform/gl/GlContext.h"
#include "platform/playback/Movie.h"
#include "platform/playback/VideoDecoder.h"
#include "platform/playback/VideoTexturePool.h"

namespace hc::playback {
namespace {

// Times closer than this are the same instant (well below any frame length).
constexpr double kTimeEpsilon = 1e-6;
constexpr size_t kMinReverseSegment = 8;

// The converter's codes in playback's terms; the shared ones keep their values.
PlaybackErr PlaybackErrOfConversion(PlaybackErr err) {
  switch (err) {
    case PlaybackErr::Ok: return PlaybackErr::Ok;
    case PlaybackErr::OutOfMemory: return PlaybackErr::OutOfMemory;
    case PlaybackErr::SizeLimitExceeded: return PlaybackErr::SizeLimitExceeded;
    case PlaybackErr::FeatureUnsupported: return PlaybackErr::UnsupportedCodec;
    case PlaybackErr::CodecDataCorrupt: return PlaybackErr::InvalidMovie;
    default: return PlaybackErr::BadArgument;
  }
}

bool UploadFormat(VideoPixelFormat format, GLenum* layout, GLenum* type) {
  switch (format) {
    case VideoPixelFormat::BGRA32: *layout = GL_BGRA; *type = GL_UNSIGNED_BYTE; return true;
    case VideoPixelFormat::ARGB32: *layout = GL_BGRA; *type = GL_UNSIGNED_INT_8_8_8_8; return true;
    case VideoPixelFormat::RGBA32: *layout = GL_RGBA; *type = GL_UNSIGNED_BYTE; return true;
    case VideoPixelFormat::ABGR32: *layout = GL_RGBA; *type = GL_UNSIGNED_INT_8_8_8_8; return true;
    default: return false;
  }
}

struct PlaneSet {
  VideoFrameLayout layout = VideoFrameLayout::Planar;
  int count = 0;
  int chromaShiftX = 0;
  int chromaShiftY = 0;
};

// The decoder layouts the drawing side takes as planes.
bool PlanesOf(AVPixelFormat format, bool* fullRange, PlaneSet* planes) {
  switch (format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P: *fullRange = true; [[fallthrough]];
    case AV_PIX_FMT_YUV420P:
    case AV_PIX_FMT_YUV422P:
    case AV_PIX_FMT_YUV444P:
    case AV_PIX_FMT_YUV440P:
    case AV_PIX_FMT_YUV411P:
    case AV_PIX_FMT_YUV410P: planes->layout = VideoFrameLayout::Planar; planes->count = 3; break;
    case AV_PIX_FMT_NV12: planes->layout = VideoFrameLayout::BiPlanar; planes->count = 2; break;
    default: return false;
  }
  const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
  if (descriptor == nullptr) return false;
  planes->chromaShiftX = descriptor->log2_chroma_w;
  planes->chromaShiftY = descriptor->log2_chroma_h;
  return true;
}

// BT.601 and BT.709 pictures, and those that don't say (BT.601, as FFmpeg
// converts them); others are left to the converter, which knows more matrices.
bool MatrixOf(AVColorSpace colorspace, VideoMatrix* matrix) {
  switch (colorspace) {
    case AVCOL_SPC_BT709: *matrix = VideoMatrix::BT709; return true;
    case AVCOL_SPC_UNSPECIFIED:
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M: *matrix = VideoMatrix::BT601; return true;
    default: return false;
  }
}

int PlaneWidth(int width, int plane, const PlaneSet& planes) {
  return plane == 0 ? width : -((-width) >> planes.chromaShiftX);
}

int PlaneHeight(int height, int plane, const PlaneSet& planes) {
  return plane == 0 ? height : -((-height) >> planes.chromaShiftY);
}

VideoPlaneFormat PlaneFormatOf(VideoFrameLayout layout, int plane) {
  if (layout == VideoFrameLayout::Packed) return VideoPlaneFormat::Rgba32;
  return layout == VideoFrameLayout::BiPlanar && plane == 1 ? VideoPlaneFormat::LumaAlpha8 : VideoPlaneFormat::Luma8;
}

int TexelBytes(VideoPlaneFormat format) {
  switch (format) {
    case VideoPlaneFormat::Luma8: return 1;
    case VideoPlaneFormat::LumaAlpha8: return 2;
    case VideoPlaneFormat::Rgba32: break;
  }
  return 4;
}

GLenum GlFormatOf(VideoPlaneFormat format) {
  return format == VideoPlaneFormat::Luma8 ? GL_LUMINANCE : GL_LUMINANCE_ALPHA;
}

// Luma is filtered; each chroma sample covers its block of pixels whole, as
// FFmpeg's own conversion of a frame to RGB does.
void SetPlaneFilter(int plane) {
  const GLint filter = plane == 0 ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, filter);
}

// The planes of a picture as the drawing side takes them, with the rows the
// decoder wrote; false for layouts, matrices or rows it can't take as they are.
bool DescribePlanes(const AVFrame& picture, PlaneSet* planes, VideoMatrix* matrix, bool* fullRange) {
  *fullRange = picture.color_range == AVCOL_RANGE_JPEG;
  if (!PlanesOf(static_cast<AVPixelFormat>(picture.format), fullRange, planes)) return false;
  if (!MatrixOf(picture.colorspace, matrix)) return false;
  for (int i = 0; i < planes->count; ++i) {
    const int texelBytes = TexelBytes(PlaneFormatOf(planes->layout, i));
    if (picture.data[i] == nullptr || picture.linesize[i] <= 0 || picture.linesize[i] % texelBytes != 0 ||
        picture.linesize[i] / texelBytes < PlaneWidth(picture.width, i, *planes)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::shared_ptr<VisualContext::PixelBuffer> VisualContext::BufferPool::Take(size_t size, bool* made) {
  *made = false;
  std::unique_ptr<PixelBuffer> buffer;
  {
    std::lock_guard lock(mutex_);
    size_ = size;
    for (auto it = spare_.begin(); it != spare_.end(); ++it) {
      if ((*it)->size == size) {
        buffer = std::move(*it);
        spare_.erase(it);
        break;
      }
    }
  }
  if (!buffer) {
    buffer.reset(new (std::nothrow) PixelBuffer);
    if (!buffer) return nullptr;
    buffer->bytes.reset(new (std::nothrow) uint8_t[size]);
    if (!buffer->bytes) return nullptr;
    buffer->size = size;
    *made = true;
  }
  std::weak_ptr<BufferPool> pool = weak_from_this();
  return {buffer.release(), [pool](PixelBuffer* returned) {
            if (auto owner = pool.lock()) {
              owner->Return(returned);
            } else {
              delete returned;
            }
          }};
}

void VisualContext::BufferPool::SetLimit(size_t buffers) {
  std::lock_guard lock(mutex_);
  limit_ = buffers;
  spare_.reserve(limit_);
  while (spare_.size() > limit_) spare_.pop_back();
}

void VisualContext::BufferPool::Return(PixelBuffer* buffer) {
  std::unique_ptr<PixelBuffer> owned(buffer);
  std::lock_guard lock(mutex_);
  if (owned->size == size_ && spare_.size() < limit_) spare_.push_back(std::move(owned));
  // A buffer the pool doesn't keep is freed here, after the lock is left.
}

PlaybackErr VisualContext::Create(hc::gl::GlContext* context, const Options& options,
                                  std::unique_ptr<VisualContext>* out) {
  GLenum layout = 0;
  GLenum type = 0;
  if (out == nullptr || context == nullptr || !UploadFormat(options.pixelFormat, &layout, &type) ||
      !std::isfinite(options.expectedReadAhead) || options.expectedReadAhead < 0.0) {
    return PlaybackErr::BadArgument;
  }
  out->reset(new VisualContext(context, options));
  return PlaybackErr::Ok;
}

VisualContext::VisualContext(hc::gl::GlContext* context, const Options& options)
    : context_(context), options_(options), pool_(std::make_shared<VideoTexturePool>(context)),
      readAhead_(options.expectedReadAhead) {
  converter_.SetThreadCount(0);
}

VisualContext::~VisualContext() {
  SetImageAvailableCallback(nullptr);
  StopThread();
}

PlaybackErr VisualContext::SetMovie(const Movie* movie) {
  Source source;
  if (movie != nullptr) {
    if (movie->Reference().IsEmpty() || !movie->FirstVisualTrack(true, &source.track)) {
      return PlaybackErr::InvalidTrack;
    }
    source.reference = movie->Reference();
    source.timeBase = movie->GetTimeBase();
  }
  StopThread();
  {
    std::lock_guard lock(mutex_);
    ClearQueueLocked();
    decodeError_ = PlaybackErr::Ok;
    shownSerial_ = 0;
    signalledSerial_ = 0;
    shownTexture_.reset();
  }
  if (movie != nullptr) StartThread(source);
  return PlaybackErr::Ok;
}

bool VisualContext::HasMovie() const {
  std::lock_guard lock(mutex_);
  return attached_;
}

PlaybackErr VisualContext::DecodeError() const {
  std::lock_guard lock(mutex_);
  return decodeError_;
}

void VisualContext::StartThread(const Source& source) {
  {
    std::lock_guard lock(mutex_);
    source_ = source;
    attached_ = true;
    stop_ = false;
    direction_ = source.timeBase->Rate() < 0.0 ? -1 : 1;
  }
  std::weak_ptr<std::condition_variable> wake = wake_;
  observer_ = source.timeBase->AddChangeObserver([wake] {
    if (auto cv = wake.lock()) cv->notify_all();
  });
  thread_ = std::thread(&VisualContext::DecodeLoop, this, source);
}

void VisualContext::StopThread() {
  std::shared_ptr<TimeBase> timeBase;
  {
    std::lock_guard lock(mutex_);
    if (!attached_) return;
    stop_ = true;
    if (decoder_ != nullptr) decoder_->Abort();
    timeBase = source_.timeBase;
  }
  wake_->notify_all();
  if (thread_.joinable()) thread_.join();
  if (timeBase) timeBase->RemoveChangeObserver(observer_);
  std::lock_guard lock(mutex_);
  source_ = {};
  attached_ = false;
  queued_.notify_all();
}

void VisualContext::SetExpectedReadAhead(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0.0) return;
  {
    std::lock_guard lock(mutex_);
    readAhead_ = seconds;
    capacity_ = CapacityLocked();
    buffers_->SetLimit(capacity_ + 2);
  }
  wake_->notify_all();
}

double VisualContext::ExpectedReadAhead() const {
  std::lock_guard lock(mutex_);
  return readAhead_;
}

size_t VisualContext::QueueCapacity() const {
  std::lock_guard lock(mutex_);
  return capacity_;
}

size_t VisualContext::CapacityLocked() const {
  const double frames = std::ceil(readAhead_ / frameDuration_ - kTimeEpsilon) + 1.0;
  size_t capacity = frames >= static_cast<double>(kMaxQueuedFrames) ? kMaxQueuedFrames
                                                                    : static_cast<size_t>(std::max(frames, 0.0));
  capacity = std::clamp(capacity, kMinQueuedFrames, kMaxQueuedFrames);
  if (frameBytes_ > 0) capacity = std::min(capacity, std::max<size_t>(options_.maxQueuedBytes / frameBytes_, 2));
  return capacity;
}

// Converted pictures need a buffer each in the queue, one on its way to the
// card, and one being converted.
void VisualContext::SetFrameBytesLocked(size_t bytes) {
  if (bytes == frameBytes_) return;
  frameBytes_ = bytes;
  capacity_ = CapacityLocked();
  buffers_->SetLimit(capacity_ + 2);
}

void VisualContext::ClearQueueLocked() {
  for (const QueuedFrame& frame : queue_) {
    if (frame.serial != shownSerial_) ++statistics_.framesSkipped;
  }
  queue_.clear();
}

bool VisualContext::ReachedLocked(const QueuedFrame& frame, const TimeBase::Position& position) const {
  if (direction_ > 0) {
    return frame.lap < position.lap || (frame.lap == position.lap && frame.seconds <= position.seconds + kTimeEpsilon);
  }
  return frame.lap > position.lap ||
         (frame.lap == position.lap && frame.seconds + frame.duration > position.seconds + kTimeEpsilon);
}

void VisualContext::TrimLocked(const TimeBase::Position& position) {
  bool trimmed = false;
  while (queue_.size() >= 2 && ReachedLocked(queue_[1], position)) {
    if (queue_.front().serial != shownSerial_) ++statistics_.framesSkipped;
    queue_.pop_front();
    trimmed = true;
  }
  if (trimmed) wake_->notify_all();
}

TimeBase::Position VisualContext::PositionFor(const hc::gl::DisplayTimeStamp* time) const {
  std::shared_ptr<TimeBase> timeBase;
  {
    std::lock_guard lock(mutex_);
    timeBase = source_.timeBase;
  }
  if (!timeBase) return {};
  if (time != nullptr && time->videoTimeScale != 0 && (time->flags & hc::gl::DisplayTimeStamp::kHostTimeValid)) {
    return timeBase->PositionAt(time->hostTime);
  }
  return timeBase->PositionNow();
}

std::chrono::nanoseconds VisualContext::TimeUntilNextFrameLocked(const TimeBase::Position& position,
                                                                  double rate) const {
  if (rate == 0.0 || queue_.size() < 2) return std::chrono::nanoseconds(0);
  const QueuedFrame& next = queue_[1];
  double seconds = frameDuration_ / std::fabs(rate);
  if (next.lap == position.lap) {
    const double at = direction_ > 0 ? next.seconds : next.seconds + next.duration;
    seconds = (at - position.seconds) / rate;
  }
  seconds = std::clamp(seconds, 0.0005, 1.0);
  return std::chrono::nanoseconds(static_cast<int64_t>(seconds * 1e9));
}

void VisualContext::DecodeLoop(Source source) {
  std::unique_ptr<VideoDecoder> decoder;
  const PlaybackErr opened =
      VideoDecoder::Open(source.reference, source.track.trackId, &decoder, options_.decodeThreads);
  std::unique_lock lock(mutex_);
  if (decoder) statistics_.inputOpenSeconds = decoder->InputOpenSeconds();
  if (PlaybackFailed(opened)) {
    decodeError_ = opened;
    queued_.notify_all();
    wake_->wait(lock, [this] { return stop_; });
    return;
  }
  decoder_ = decoder.get();
  frameDuration_ = decoder->FrameDuration();
  // Until the first picture tells, reckon with the converted size.
  SetFrameBytesLocked(VideoPixelFormatRowBytes(options_.pixelFormat, decoder->Width()) *
                      static_cast<size_t>(decoder->Height()));

  TimeBase& timeBase = *source.timeBase;
  uint64_t generation = 0;
  bool ended = false;
  bool needSeek = true;
  int64_t lap = 0;
  int64_t reverseLap = 0;
  double reverseTarget = 0.0;
  std::deque<std::pair<int64_t, DecodedFrame>> pendingReverse;
  while (!stop_) {
    const double rate = timeBase.Rate();
    const uint64_t current = timeBase.Generation();
    const TimeBase::Position position = timeBase.PositionNow();
    const int direction = rate < 0.0 ? -1 : (rate > 0.0 ? 1 : direction_);
    if (current != generation || direction != direction_) {
      generation = current;
      direction_ = direction;
      ClearQueueLocked();
      queueGeneration_ = current;
      pendingReverse.clear();
      ended = false;
      decodeEnded_ = false;
      needSeek = true;
    }
    TrimLocked(position);
    lock.unlock();
    SignalIfDueChanged();
    lock.lock();
    if (stop_) break;
    if (timeBase.Generation() != generation) continue;
    if ((ended && pendingReverse.empty()) || queue_.size() >= capacity_) {
      const std::chrono::nanoseconds wait = TimeUntilNextFrameLocked(position, rate);
      if (wait.count() > 0 && timeBase.UsesMonotonicClock()) {
        wake_->wait_for(lock, wait);
      } else {
        wake_->wait(lock);
      }
      continue;
    }
    const double start = timeBase.StartSeconds();
    const double stop = std::max(start, timeBase.StopSeconds());
    const bool looping = timeBase.IsLooping() && stop > start;
    lock.unlock();

    DecodedFrame frame;
    bool have = false;
    PlaybackErr error = PlaybackErr::Ok;
    if (direction_ > 0) {
      if (needSeek) {
        error = decoder->SeekTo(position.seconds);
        lap = position.lap;
        needSeek = false;
      }
      const PlaybackErr read = PlaybackFailed(error) ? error : decoder->ReadFrame(frame);
      if (read == PlaybackErr::Ok && frame.seconds < stop - kTimeEpsilon) {
        have = frame.seconds + frame.duration > start + kTimeEpsilon;
      } else if (read == PlaybackErr::Ok || read == PlaybackErr::EndOfMedia) {
        if (looping) {
          error = decoder->SeekTo(start);
          ++lap;
        } else {
          ended = true;
        }
      } else {
        error = read;
      }
    } else {
      if (pendingReverse.empty() && !ended) {
        if (needSeek) {
          reverseTarget = position.seconds;
          reverseLap = position.lap;
          needSeek = false;
        }
        const double nudge = std::min(frameDuration_ / 2, 1e-3);
        const bool more = DecodeReverseSegment(*decoder, reverseTarget, start, reverseLap, pendingReverse);
        if (!pendingReverse.empty() && pendingReverse.back().second.seconds > start + kTimeEpsilon && more) {
          reverseTarget = pendingReverse.back().second.seconds - nudge;
        } else if (looping) {
          --reverseLap;
          reverseTarget = stop - nudge;
        } else {
          ended = true;
        }
      }
      if (!pendingReverse.empty()) {
        lap = pendingReverse.front().first;
        frame = std::move(pendingReverse.front().second);
        pendingReverse.pop_front();
        have = true;
      }
    }
    if (PlaybackFailed(error)) ended = true;
    if (have) PushFrame(frame, lap, generation);
    lock.lock();
    if (PlaybackFailed(error)) decodeError_ = error;
    if ((ended && pendingReverse.empty()) != decodeEnded_) {
      decodeEnded_ = ended && pendingReverse.empty();
      queued_.notify_all();
    }
  }
  decoder_ = nullptr;
  lock.unlock();
  decoder.reset();
}

bool VisualContext::DecodeReverseSegment(VideoDecoder& decoder, double target, double start, int64_t lap,
                                         std::deque<std::pair<int64_t, DecodedFrame>>& out) {
  size_t frames = 0;
  {
    std::lock_guard lock(mutex_);
    frames = std::max(capacity_, kMinReverseSegment);
  }
  const double segmentStart = std::max(start, target - static_cast<double>(frames - 1) * frameDuration_);
  if (PlaybackFailed(decoder.SeekTo(segmentStart))) return false;
  std::deque<DecodedFrame> segment;
  for (;;) {
    DecodedFrame frame;
    if (decoder.ReadFrame(frame) != PlaybackErr::Ok) break;
    if (frame.seconds > target + kTimeEpsilon) break;
    if (frame.seconds + frame.duration <= start + kTimeEpsilon) continue;
    segment.push_back(std::move(frame));
    if (segment.size() > kMaxQueuedFrames) segment.pop_front();
  }
  for (auto it = segment.rbegin(); it != segment.rend(); ++it) out.emplace_back(lap, std::move(*it));
  return !segment.empty();
}

bool VisualContext::QueuePlanes(DecodedFrame& frame, QueuedFrame& queued) {
  PlaneSet planes;
  const AVFrame& picture = *frame.frame;
  if (!options_.keepDecoderLayout || !DescribePlanes(picture, &planes, &queued.matrix, &queued.fullRange)) {
    return false;
  }
  size_t bytes = 0;
  for (int i = 0; i < planes.count; ++i) {
    bytes += static_cast<size_t>(picture.linesize[i]) * static_cast<size_t>(PlaneHeight(picture.height, i, planes));
  }
  queued.layout = planes.layout;
  queued.planes = std::shared_ptr<const AVFrame>(frame.frame.release(), AVFrameDeleter());
  std::lock_guard lock(mutex_);
  SetFrameBytesLocked(bytes);
  return true;
}

bool VisualContext::QueueConverted(DecodedFrame& frame, QueuedFrame& queued) {
  const AVFrame* picture = frame.frame.get();
  const size_t rowBytes = VideoPixelFormatRowBytes(options_.pixelFormat, picture->width);
  const uint64_t size = static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(picture->height);
  if (rowBytes == 0 || size > SIZE_MAX) {
    std::lock_guard lock(mutex_);
    decodeError_ = PlaybackErr::SizeLimitExceeded;
    return false;
  }
  {
    std::lock_guard lock(mutex_);
    SetFrameBytesLocked(static_cast<size_t>(size));
  }
  bool made = false;
  std::shared_ptr<PixelBuffer> buffer = buffers_->Take(static_cast<size_t>(size), &made);
  if (!buffer) {
    std::lock_guard lock(mutex_);
    decodeError_ = PlaybackErr::OutOfMemory;
    return false;
  }
  // The converter sets itself up again for a picture whose size or layout
  // differs from the one before, and the buffer was taken for this one.
  const PlaybackErr converted = PlaybackErrOfConversion(
      converter_.ConvertFrame(picture, options_.pixelFormat, buffer->bytes.get(), buffer->size, rowBytes));
  std::lock_guard lock(mutex_);
  if (made) ++statistics_.buffersMade;
  if (PlaybackFailed(converted)) {
    decodeError_ = converted;
    return false;
  }
  ++statistics_.framesConverted;
  queued.rowBytes = rowBytes;
  queued.pixels = std::move(buffer);
  queued.layout = VideoFrameLayout::Packed;
  return true;
}

bool VisualContext::PushFrame(DecodedFrame& frame, int64_t lap, uint64_t generation) {
  QueuedFrame queued;
  queued.width = frame.frame->width;
  queued.height = frame.frame->height;
  if (!QueuePlanes(frame, queued) && !QueueConverted(frame, queued)) return false;
  std::lock_guard lock(mutex_);
  if (stop_ || source_.timeBase->Generation() != generation) return false;
  queued.lap = lap;
  queued.seconds = frame.seconds;
  queued.duration = frame.duration > 0.0 ? frame.duration : frameDuration_;
  queued.serial = nextSerial_++;
  queue_.push_back(std::move(queued));
  ++statistics_.framesDecoded;
  statistics_.peakQueued = std::max(statistics_.peakQueued, queue_.size());
  queued_.notify_all();
  return true;
}

void VisualContext::SetImageAvailableCallback(ImageAvailableCallback callback) {
  std::unique_lock lock(callbackMutex_);
  callback_ = std::move(callback);
  if (callback_) return;
  const std::thread::id self = std::this_thread::get_id();
  callbackDone_.wait(lock, [&] {
    return std::all_of(callbackThreads_.begin(), callbackThreads_.end(),
                       [self](std::thread::id id) { return id == self; });
  });
}

void VisualContext::InvokeCallback(const hc::gl::DisplayTimeStamp& stamp) {
  ImageAvailableCallback callback;
  {
    std::lock_guard lock(callbackMutex_);
    if (!callback_) return;
    callback = callback_;
    callbackThreads_.push_back(std::this_thread::get_id());
  }
  callback(stamp);
  std::lock_guard lock(callbackMutex_);
  callbackThreads_.erase(std::find(callbackThreads_.begin(), callbackThreads_.end(), std::this_thread::get_id()));
  callbackDone_.notify_all();
}

void VisualContext::SignalIfDueChanged() {
  hc::gl::DisplayTimeStamp stamp;
  {
    std::lock_guard lock(mutex_);
    if (!QueueIsCurrentLocked()) return;
    const uint64_t now = source_.timeBase->HostNow();
    TrimLocked(source_.timeBase->PositionAt(now));
    if (queue_.empty() || !ReachedLocked(queue_.front(), source_.timeBase->PositionAt(now))) return;
    if (queue_.front().serial == signalledSerial_) return;
    signalledSerial_ = queue_.front().serial;
    stamp.version = hc::gl::DisplayTimeStamp::kCurrentVersion;
    stamp.videoTimeScale = 1000000000;
    stamp.videoTime = static_cast<int64_t>(now);
    stamp.hostTime = now;
    stamp.flags = hc::gl::DisplayTimeStamp::kHostTimeValid | hc::gl::DisplayTimeStamp::kVideoTimeValid;
  }
  InvokeCallback(stamp);
}

// Pictures read before the time base last jumped belong to another position:
// they are not handed out while the decode thread starts over.
bool VisualContext::QueueIsCurrentLocked() const {
  return attached_ && source_.timeBase && queueGeneration_ == source_.timeBase->Generation();
}

void VisualContext::Task() { SignalIfDueChanged(); }

bool VisualContext::IsNewImageAvailable(const hc::gl::DisplayTimeStamp* time) {
  const TimeBase::Position position = PositionFor(time);
  std::lock_guard lock(mutex_);
  if (!QueueIsCurrentLocked()) return false;
  TrimLocked(position);
  return !queue_.empty() && ReachedLocked(queue_.front(), position) && queue_.front().serial != shownSerial_;
}

std::array<VideoTexture::Point, 4> VisualContext::CleanCoords(int width, int height) const {
  double cleanWidth = width;
  double cleanHeight = height;
  const MovieTrackInfo& track = source_.track;
  if (track.width > 0 && track.cleanWidth > 0 && track.cleanWidth < track.width) {
    cleanWidth = width * track.cleanWidth / track.width;
  }
  if (track.height > 0 && track.cleanHeight > 0 && track.cleanHeight < track.height) {
    cleanHeight = height * track.cleanHeight / track.height;
  }
  const auto left = static_cast<float>((width - cleanWidth) / 2);
  const auto top = static_cast<float>((height - cleanHeight) / 2);
  const auto right = static_cast<float>(left + cleanWidth);
  const auto bottom = static_cast<float>(top + cleanHeight);
  return {{{left, bottom}, {right, bottom}, {right, top}, {left, top}}};
}

PlaybackErr VisualContext::CopyImageForTime(const hc::gl::DisplayTimeStamp* time,
                                            std::shared_ptr<VideoTexture>* out) {
  if (out == nullptr) return PlaybackErr::BadArgument;
  if (hc::gl::GlContext::Current() != context_) return PlaybackErr::WrongContext;
  const TimeBase::Position position = PositionFor(time);
  QueuedFrame frame;
  VideoTexture::Description description;
  {
    std::lock_guard lock(mutex_);
    if (!QueueIsCurrentLocked()) return PlaybackErr::NoImage;
    TrimLocked(position);
    if (queue_.empty() || !ReachedLocked(queue_.front(), position)) return PlaybackErr::NoImage;
    if (queue_.front().serial == shownSerial_) {
      if (auto texture = shownTexture_.lock()) {
        *out = std::move(texture);
        return PlaybackErr::Ok;
      }
    }
    frame = queue_.front();
    description.cleanCoords = CleanCoords(frame.width, frame.height);
  }
  description.layout = frame.layout;
  description.matrix = frame.matrix;
  description.fullRange = frame.fullRange;
  description.movieSeconds = frame.seconds;
  while (glGetError() != GL_NO_ERROR) {
  }
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const PlaybackErr uploaded =
      frame.layout == VideoFrameLayout::Packed ? UploadPacked(frame, description) : UploadPlanes(frame, description);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  glBindTexture(GL_TEXTURE_RECTANGLE, 0);
  const bool failed = glGetError() != GL_NO_ERROR;
  // The textures go back to the pool with it, also when the upload failed.
  auto texture = std::make_shared<VideoTexture>(pool_, description);
  if (PlaybackFailed(uploaded)) return uploaded;
  if (failed) return PlaybackErr::DeviceError;
  {
    std::lock_guard lock(mutex_);
    shownSerial_ = frame.serial;
    shownTexture_ = texture;
    ++statistics_.framesShown;
  }
  *out = std::move(texture);
  return PlaybackErr::Ok;
}

PlaybackErr VisualContext::UploadPacked(const QueuedFrame& frame, VideoTexture::Description& description) {
  VideoTexture::Plane& plane = description.planes[0];
  plane = {0, frame.width, frame.height, VideoPlaneFormat::Rgba32};
  if (PlaybackErr e = pool_->Acquire(frame.width, frame.height, plane.format, &plane.name); PlaybackFailed(e)) {
    return e;
  }
  description.planeCount = 1;
  GLenum layout = 0;
  GLenum type = 0;
  UploadFormat(options_.pixelFormat, &layout, &type);
  glBindTexture(GL_TEXTURE_RECTANGLE, plane.name);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(frame.rowBytes / 4));
  glTexSubImage2D(GL_TEXTURE_RECTANGLE, 0, 0, 0, frame.width, frame.height, layout, type, frame.pixels->bytes.get());
  return PlaybackErr::Ok;
}

// Each plane goes up from the decoder's own rows, at the size this picture
// has: a picture of another size or layout than the one before gets textures
// of its own shape.
PlaybackErr VisualContext::UploadPlanes(const QueuedFrame& frame, VideoTexture::Description& description) {
  const AVFrame& picture = *frame.planes;
  PlaneSet planes;
  bool fullRange = false;
  VideoMatrix matrix = VideoMatrix::BT601;
  if (!DescribePlanes(picture, &planes, &matrix, &fullRange)) return PlaybackErr::BadArgument;
  for (int i = 0; i < planes.count; ++i) {
    VideoTexture::Plane& plane = description.planes[static_cast<size_t>(i)];
    plane.width = PlaneWidth(picture.width, i, planes);
    plane.height = PlaneHeight(picture.height, i, planes);
    plane.format = PlaneFormatOf(planes.layout, i);
    if (PlaybackErr e = pool_->Acquire(plane.width, plane.height, plane.format, &plane.name); PlaybackFailed(e)) {
      return e;
    }
    description.planeCount = i + 1;
    glBindTexture(GL_TEXTURE_RECTANGLE, plane.name);
    SetPlaneFilter(i);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, picture.linesize[i] / TexelBytes(plane.format));
    glTexSubImage2D(GL_TEXTURE_RECTANGLE, 0, 0, 0, plane.width, plane.height, GlFormatOf(plane.format),
                    GL_UNSIGNED_BYTE, picture.data[i]);
  }
  return PlaybackErr::Ok;
}

PlaybackErr VisualContext::WaitForImage(const hc::gl::DisplayTimeStamp* time, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  for (;;) {
    const TimeBase::Position position = PositionFor(time);
    std::unique_lock lock(mutex_);
    if (!attached_) return PlaybackErr::NoImage;
    if (PlaybackFailed(decodeError_)) return decodeError_;
    if (QueueIsCurrentLocked()) {
      TrimLocked(position);
      // The due frame is known once the one after it is queued too, or decoding ended.
      if (!queue_.empty() && ReachedLocked(queue_.front(), position) && (queue_.size() >= 2 || decodeEnded_)) {
        return PlaybackErr::Ok;
      }
    }
    if (queued_.wait_until(lock, deadline) == std::cv_status::timeout) return PlaybackErr::NoImage;
  }
}

VisualContext::Statistics VisualContext::GetStatistics() const {
  std::lock_guard lock(mutex_);
  return statistics_;
}

}  // namespace hc::playback
