// libFuzzer target over movie playback: the bytes are opened as a movie
// through FFmpeg, and its first video and sound tracks are decoded a little,
// forwards and after a seek, with every picture converted for upload.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/playback/AudioDecoder.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/ImagePixelConverter.h"
#include "platform/playback/Movie.h"
#include "platform/playback/VideoDecoder.h"

extern "C" {
#include <libavutil/frame.h>
}

using namespace hc::playback;

namespace {

constexpr int kFramesRead = 6;

void DecodePictures(const DataReference& reference) {
  std::unique_ptr<VideoDecoder> decoder;
  if (VideoDecoder::Open(reference, 0, &decoder) != PlaybackErr::Ok) return;
  ImagePixelConverter converter;
  converter.SetThreadCount(1);
  std::vector<uint8_t> pixels;
  for (double seek : {-1.0, decoder->StreamDuration() / 2}) {
    if (seek >= 0.0 && decoder->SeekTo(seek) != PlaybackErr::Ok) return;
    for (int i = 0; i < kFramesRead; ++i) {
      DecodedFrame frame;
      if (decoder->ReadFrame(frame) != PlaybackErr::Ok) break;
      const size_t rowBytes = VideoPixelFormatRowBytes(VideoPixelFormat::BGRA32, frame.frame->width);
      pixels.resize(rowBytes * static_cast<size_t>(frame.frame->height));
      converter.ConvertFrame(frame.frame.get(), VideoPixelFormat::BGRA32, pixels.data(), pixels.size(), rowBytes);
    }
  }
}

void DecodeSound(const DataReference& reference) {
  std::unique_ptr<AudioDecoder> decoder;
  if (AudioDecoder::Open(reference, 0, 48000, 2, &decoder) != PlaybackErr::Ok) return;
  for (double seek : {-1.0, 0.5}) {
    if (seek >= 0.0 && decoder->SeekTo(seek) != PlaybackErr::Ok) return;
    for (int i = 0; i < kFramesRead; ++i) {
      AudioChunk chunk;
      if (decoder->ReadChunk(chunk) != PlaybackErr::Ok) break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = ::memfd_create("movie", 0);
  if (fd < 0) return 0;
  if (::write(fd, data, size) == static_cast<ssize_t>(size)) {
    DataReference reference;
    if (DataReference::FromPath("/proc/self/fd/" + std::to_string(fd), &reference) == PlaybackErr::Ok) {
      std::unique_ptr<Movie> movie;
      if (Movie::Open(reference, &movie) == PlaybackErr::Ok) {
        movie->Tracks();
        movie->SetTime(movie->Duration() / 2);
        movie->StepFrames(1);
        DecodePictures(reference);
        DecodeSound(reference);
      }
    }
  }
  ::close(fd);
  return 0;
}
