#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/gl/DisplayTimeStamp.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/DecodedFrame.h"
#include "platform/playback/ImagePixelConverter.h"
#include "platform/playback/MovieTrackInfo.h"
#include "platform/playback/PlaybackErr.h"
#include "platform/playback/TimeBase.h"
#include "platform/playback/VideoTexture.h"

namespace hc::gl {
class GlContext;
}

struct AVFrame;

namespace hc::playback {

class Movie;
class VideoDecoder;
class VideoTexturePool;

// Pictures of one movie for one OpenGL context. A decode thread reads the
// movie's first enabled video track ahead of its time base (the expected
// read-ahead, at least a few frames) into a bounded queue, starts over when
// the time base jumps or turns round, and signals when the frame due now
// changes. The drawing thread asks for the frame due at a display time stamp
// and gets it uploaded into pooled rectangle textures; that call never waits
// for decoding.
//
// Pictures in an 8-bit planar Y'CbCr layout (4:2:0, 4:2:2, 4:4:4 and their
// kin, or Y with interleaved CbCr) with a BT.601 or BT.709 matrix are queued
// as the decoder made them and uploaded plane by plane, for the drawing side
// to turn into RGB; any other picture is converted into the packed pixel
// format first, into frame buffers the context keeps for the queue. Every
// picture carries its own size and layout, so a stream that changes either
// midway is shown as it comes.
class VisualContext : public std::enable_shared_from_this<VisualContext> {
 public:
  struct Options {
    // BGRA32, ARGB32, RGBA32 or ABGR32: the layouts OpenGL takes directly,
    // for pictures that are converted.
    VideoPixelFormat pixelFormat = VideoPixelFormat::BGRA32;
    // Planar Y'CbCr pictures go up unconverted (false: every picture is converted).
    bool keepDecoderLayout = true;
    double expectedReadAhead = 0.1;        // seconds of pictures decoded ahead
    size_t maxQueuedBytes = size_t{256} << 20;  // the queue's pictures at most
    int decodeThreads = 0;                 // the decoder's threads (0: one per processor)
  };
  struct Statistics {
    uint64_t framesDecoded = 0;    // pictures put into the queue
    uint64_t framesConverted = 0;  // of those, converted into the packed format
    uint64_t framesShown = 0;      // pictures uploaded
    uint64_t framesSkipped = 0;    // pictures passed by before they were shown
    uint64_t buffersMade = 0;      // frame buffers allocated for converted pictures
    size_t peakQueued = 0;
    double inputOpenSeconds = 0.0;  // opening the file and reading its stream facts
  };
  // timeStamp: when the new frame is due (host time of the time base's clock).
  using ImageAvailableCallback = std::function<void(const hc::gl::DisplayTimeStamp& timeStamp)>;

  static constexpr size_t kMinQueuedFrames = 3;
  static constexpr size_t kMaxQueuedFrames = 32;

  // context: the OpenGL context the textures belong to (current on the drawing thread).
  static PlaybackErr Create(hc::gl::GlContext* context, const Options& options, std::unique_ptr<VisualContext>* out);
  VisualContext(const VisualContext&) = delete;
  VisualContext& operator=(const VisualContext&) = delete;
  // Stops decoding; frees pooled textures when the context is current here.
  ~VisualContext();

  // Attaches a movie (null detaches). The movie's file is opened on the
  // decode thread; a failure there shows in DecodeError. Refuses a movie
  // without an enabled visual track.
  PlaybackErr SetMovie(const Movie* movie);
  bool HasMovie() const;
  PlaybackErr DecodeError() const;

  void SetExpectedReadAhead(double seconds);
  double ExpectedReadAhead() const;
  size_t QueueCapacity() const;

  // An empty callback clears it, waiting for a running call to return
  // (unless called from that call).
  void SetImageAvailableCallback(ImageAvailableCallback callback);

  // Whether a frame other than the one last handed out is due at the stamp
  // (null or a stamp without host time: now).
  bool IsNewImageAvailable(const hc::gl::DisplayTimeStamp* time);
  // The frame due at the stamp, uploaded now; NoImage while none is decoded
  // yet. Needs the context current on the calling thread.
  PlaybackErr CopyImageForTime(const hc::gl::DisplayTimeStamp* time, std::shared_ptr<VideoTexture>* out);
  // Signals a change of the frame due now; the drawing thread calls it once per drawn frame.
  void Task();
  // Waits at most timeoutMs for the frame due at the stamp to be decoded
  // (known once the frame after it is decoded too, or the movie ended).
  // For preparing and tests; the drawing thread never needs it.
  PlaybackErr WaitForImage(const hc::gl::DisplayTimeStamp* time, int timeoutMs);

  Statistics GetStatistics() const;

 private:
  struct PixelBuffer {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
  };
  // Frame buffers of converted pictures: a buffer goes back to the pool when
  // its last holder lets go, and the pool keeps as many as the queue holds,
  // so that steady playback allocates none.
  class BufferPool : public std::enable_shared_from_this<BufferPool> {
   public:
    std::shared_ptr<PixelBuffer> Take(size_t size, bool* made);
    void SetLimit(size_t buffers);
    void Return(PixelBuffer* buffer);

   private:
    std::mutex mutex_;
    std::vector<std::unique_ptr<PixelBuffer>> spare_;
    size_t limit_ = kMinQueuedFrames + 1;
    size_t size_ = 0;  // the size last asked for; others are freed
  };
  struct QueuedFrame {
    int64_t lap = 0;
    double seconds = 0.0;
    double duration = 0.0;
    uint64_t serial = 0;
    int width = 0;
    int height = 0;
    size_t rowBytes = 0;
    std::shared_ptr<PixelBuffer> pixels;   // a converted picture
    std::shared_ptr<const AVFrame> planes;  // or the decoder's own
    VideoFrameLayout layout = VideoFrameLayout::Packed;
    VideoMatrix matrix = VideoMatrix::BT601;
    bool fullRange = false;
  };
  struct Source {
    DataReference reference;
    MovieTrackInfo track;
    std::shared_ptr<TimeBase> timeBase;
  };

  VisualContext(hc::gl::GlContext* context, const Options& options);
  void StartThread(const Source& source);
  void StopThread();
  void DecodeLoop(Source source);
  bool PushFrame(DecodedFrame& frame, int64_t lap, uint64_t generation);
  bool QueuePlanes(DecodedFrame& frame, QueuedFrame& queued);
  bool QueueConverted(DecodedFrame& frame, QueuedFrame& queued);
  void SetFrameBytesLocked(size_t bytes);
  PlaybackErr UploadPlanes(const QueuedFrame& frame, VideoTexture::Description& description);
  PlaybackErr UploadPacked(const QueuedFrame& frame, VideoTexture::Description& description);
  void ClearQueueLocked();
  bool QueueIsCurrentLocked() const;
  void TrimLocked(const TimeBase::Position& position);
  bool ReachedLocked(const QueuedFrame& frame, const TimeBase::Position& position) const;
  TimeBase::Position PositionFor(const hc::gl::DisplayTimeStamp* time) const;
  void SignalIfDueChanged();
  void InvokeCallback(const hc::gl::DisplayTimeStamp& stamp);
  std::chrono::nanoseconds TimeUntilNextFrameLocked(const TimeBase::Position& position, double rate) const;
  size_t CapacityLocked() const;
  bool DecodeReverseSegment(VideoDecoder& decoder, double target, double start, int64_t lap,
                            std::deque<std::pair<int64_t, DecodedFrame>>& out);
  std::array<VideoTexture::Point, 4> CleanCoords(int width, int height) const;

  hc::gl::GlContext* const context_;
  const Options options_;
  std::shared_ptr<VideoTexturePool> pool_;
  std::shared_ptr<BufferPool> buffers_ = std::make_shared<BufferPool>();
  ImagePixelConverter converter_;  // decode thread only

  mutable std::mutex mutex_;
  std::shared_ptr<std::condition_variable> wake_ = std::make_shared<std::condition_variable>();
  std::condition_variable queued_;  // a frame was queued (WaitForImage)
  std::deque<QueuedFrame> queue_;
  bool attached_ = false;
  Source source_;
  int observer_ = 0;
  double readAhead_;
  double frameDuration_ = 1.0 / 25;
  size_t capacity_ = kMinQueuedFrames;
  size_t frameBytes_ = 0;
  int direction_ = 1;
  uint64_t queueGeneration_ = 0;
  bool decodeEnded_ = false;  // the decode thread reached the end of what it plays
  uint64_t nextSerial_ = 1;
  uint64_t shownSerial_ = 0;
  uint64_t signalledSerial_ = 0;
  std::weak_ptr<VideoTexture> shownTexture_;
  PlaybackErr decodeError_ = PlaybackErr::Ok;
  Statistics statistics_;
  bool stop_ = false;
  VideoDecoder* decoder_ = nullptr;  // for aborting a blocked read
  std::thread thread_;

  std::mutex callbackMutex_;
  std::condition_variable callbackDone_;
  ImageAvailableCallback callback_;
  std::vector<std::thread::id> callbackThreads_;  // calls running now
};

}  // namespace hc::playback
