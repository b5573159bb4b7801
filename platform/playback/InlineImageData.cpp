#include "platform/playback/InlineImageData.h"

#include <sys/stat.h>

#include "platform/playback/GraphicsImporter.h"
#include "platform/playback/ImageDecoder.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFileIo.h"

namespace hc::playback {

namespace {

constexpr size_t kSniffBytes = 32;  // enough for every signature ImageDecoder knows

PlaybackErr SniffFile(const std::string& path, uint32_t& codecType) {
  // Opening a named pipe or a device for reading could wait for ever.
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return PlaybackErr::BadArgument;
  movfile::MovFileIo file;
  PlaybackErr err = PlaybackErrFromMovErr(file.Open(path, movfile::MovFileIo::Mode::Read));
  uint64_t size = 0;
  if (err == PlaybackErr::Ok) err = PlaybackErrFromMovErr(file.Size(size));
  if (err != PlaybackErr::Ok) return err;
  uint8_t head[kSniffBytes] = {};
  const size_t count = size < kSniffBytes ? static_cast<size_t>(size) : kSniffBytes;
  if (count > 0) err = PlaybackErrFromMovErr(file.ReadAt(0, head, count));
  codecType = err == PlaybackErr::Ok ? ImageDecoder::SniffCodecType({head, count}) : 0;
  return err;
}

PlaybackErr ReadMovieFirstPicture(const std::string& path, InlineImage& image) {
  movfile::MovFile movie;
  PlaybackErr err = PlaybackErrFromMovErr(movie.OpenForRead(path));
  if (err == PlaybackErr::Ok) err = PlaybackErrFromMovErr(movie.LoadTracks());
  if (err != PlaybackErr::Ok) return err;
  for (size_t i = 0; i < movie.TrackCount(); ++i) {
    const movfile::MovTrack& track = movie.Track(i);
    if (!track.HasVisualCharacteristic()) continue;
    if (track.Samples().SampleCount() == 0) return PlaybackErr::InvalidTrack;
    uint32_t descriptionIndex = 0;
    err = PlaybackErrFromMovErr(movie.ReadSample(track, 1, image.data, &descriptionIndex));
    if (err != PlaybackErr::Ok) return err;
    const auto description = track.SampleDescription(descriptionIndex);
    if (description.empty()) return PlaybackErr::InvalidSampleDescIndex;
    image.description.assign(description.begin(), description.end());
    return PlaybackErr::Ok;
  }
  return PlaybackErr::InvalidTrack;
}

}  // namespace

PlaybackErr InlineImageData::ReadFirstPicture(const std::string& path, InlineImage& image) {
  InlineImage read;
  uint32_t codecType = 0;
  PlaybackErr err = SniffFile(path, codecType);
  if (err != PlaybackErr::Ok) return err;
  if (codecType == 0) {
    err = ReadMovieFirstPicture(path, read);
  } else {
    GraphicsImporter importer;
    err = importer.OpenFile(path);
    if (err == PlaybackErr::Ok) read = {importer.ImageDescription(), importer.ImageData()};
  }
  if (err == PlaybackErr::Ok) image = std::move(read);
  return err;
}

}  // namespace hc::playback
