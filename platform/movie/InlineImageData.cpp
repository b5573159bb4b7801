#include "platform/movie/InlineImageData.h"

#include <sys/stat.h>

#include "platform/movie/GraphicsImporter.h"
#include "platform/movie/ImageDecoder.h"
#include "platform/movie/MovFile.h"
#include "platform/movie/MovFileIo.h"

namespace hc::movie {

namespace {

constexpr size_t kSniffBytes = 32;  // enough for every signature ImageDecoder knows

MovErr SniffFile(const std::string& path, uint32_t& codecType) {
  // Opening a named pipe or a device for reading could wait for ever.
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return MovErr::BadArgument;
  MovFileIo file;
  MovErr err = file.Open(path, MovFileIo::Mode::Read);
  uint64_t size = 0;
  if (err == MovErr::Ok) err = file.Size(size);
  if (err != MovErr::Ok) return err;
  uint8_t head[kSniffBytes] = {};
  const size_t count = size < kSniffBytes ? static_cast<size_t>(size) : kSniffBytes;
  if (count > 0) err = file.ReadAt(0, head, count);
  codecType = err == MovErr::Ok ? ImageDecoder::SniffCodecType({head, count}) : 0;
  return err;
}

MovErr ReadMovieFirstPicture(const std::string& path, InlineImage& image) {
  MovFile movie;
  MovErr err = movie.OpenForRead(path);
  if (err != MovErr::Ok) return err;
  for (size_t i = 0; i < movie.TrackCount(); ++i) {
    const MovTrack& track = movie.Track(i);
    if (!track.HasVisualCharacteristic()) continue;
    if (track.Samples().SampleCount() == 0) return MovErr::InvalidTrack;
    uint32_t descriptionIndex = 0;
    err = movie.ReadSample(track, 1, image.data, &descriptionIndex);
    if (err != MovErr::Ok) return err;
    const auto description = track.SampleDescription(descriptionIndex);
    if (description.empty()) return MovErr::InvalidSampleDescIndex;
    image.description.assign(description.begin(), description.end());
    return MovErr::Ok;
  }
  return MovErr::InvalidTrack;
}

}  // namespace

MovErr InlineImageData::ReadFirstPicture(const std::string& path, InlineImage& image) {
  InlineImage read;
  uint32_t codecType = 0;
  MovErr err = SniffFile(path, codecType);
  if (err != MovErr::Ok) return err;
  if (codecType == 0) {
    err = ReadMovieFirstPicture(path, read);
  } else {
    GraphicsImporter importer;
    err = importer.OpenFile(path);
    if (err == MovErr::Ok) read = {importer.ImageDescription(), importer.ImageData()};
  }
  if (err == MovErr::Ok) image = std::move(read);
  return err;
}

}  // namespace hc::movie
