#include "platform/playback/GraphicsImporter.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <mutex>

extern "C" {
#include <libavformat/avio.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

#include "platform/playback/ExifMakerNoteReader.h"
#include "platform/movfile/ImageDescriptionWriter.h"
#include "platform/movfile/MovFileIo.h"

namespace hc::playback {

namespace {

constexpr uint16_t kColourDepth = 24;
constexpr uint16_t kAlphaDepth = 32;
constexpr uint16_t kGreyDepth = 40;

bool StartsWithText(const std::string& text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(),
                                                    [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The local path of a "file:" URL ("file:///a%20b.png", "file://localhost/x"),
// or false when it names another host or has a broken escape.
bool PathOfFileUrl(const std::string& url, std::string& path) {
  std::string rest = url.substr(5);
  if (rest.rfind("//", 0) == 0) {
    rest.erase(0, 2);
    const size_t slash = rest.find('/');
    if (slash == std::string::npos) return false;
    const std::string host = rest.substr(0, slash);
    if (!host.empty() && host != "localhost") return false;
    rest.erase(0, slash);
  }
  path.clear();
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] != '%') {
      path += rest[i];
      continue;
    }
    if (i + 2 >= rest.size() || HexValue(rest[i + 1]) < 0 || HexValue(rest[i + 2]) < 0) return false;
    const char decoded = static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
    if (decoded == '\0') return false;
    path += decoded;
    i += 2;
  }
  return !path.empty() && path[0] == '/';
}

PlaybackErr ReadNetworkUrl(const std::string& url, std::vector<uint8_t>& bytes) {
  static std::once_flag networkReady;
  std::call_once(networkReady, [] { avformat_network_init(); });
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "http,https,tcp,tls,crypto", 0);
  av_dict_set(&options, "rw_timeout", "15000000", 0);  // microseconds
  AVIOContext* io = nullptr;
  const int opened = avio_open2(&io, url.c_str(), AVIO_FLAG_READ, nullptr, &options);
  av_dict_free(&options);
  if (opened < 0) return opened == AVERROR(ENOENT) || opened == AVERROR_HTTP_NOT_FOUND ? PlaybackErr::FileNotFound
                                                                                       : PlaybackErr::IoError;
  PlaybackErr err = PlaybackErr::Ok;
  uint8_t chunk[64 * 1024];
  for (;;) {
    const int got = avio_read(io, chunk, sizeof chunk);
    if (got == AVERROR_EOF || got == 0) break;
    if (got < 0) {
      err = PlaybackErr::IoError;
      break;
    }
    if (bytes.size() + static_cast<size_t>(got) > kMaxImageDataBytes) {
      err = PlaybackErr::SizeLimitExceeded;
      break;
    }
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  avio_closep(&io);
  return err;
}

bool PaletteHasTransparency(const AVFrame& picture) {
  if (!picture.data[1]) return false;
  const auto* palette = reinterpret_cast<const uint32_t*>(picture.data[1]);
  for (int i = 0; i < 256; ++i) {
    if ((palette[i] >> 24) != 0xFF) return true;
  }
  return false;
}

uint16_t DepthOf(const AVFrame& picture) {
  const auto format = static_cast<AVPixelFormat>(picture.format);
  const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
  if (!descriptor) return kColourDepth;
  if (format == AV_PIX_FMT_PAL8) return PaletteHasTransparency(picture) ? kAlphaDepth : kColourDepth;
  if (descriptor->nb_components == 1) return kGreyDepth;
  if (descriptor->nb_components == 2 || (descriptor->flags & AV_PIX_FMT_FLAG_ALPHA)) return kAlphaDepth;
  return kColourDepth;
}

}  // namespace

PlaybackErr GraphicsImporter::OpenFile(const std::string& path) {
  Close();
  // Opening a named pipe or a device for reading could wait for ever.
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return PlaybackErr::BadArgument;
  movfile::MovFileIo file;
  PlaybackErr err = PlaybackErrFromMovErr(file.Open(path, movfile::MovFileIo::Mode::Read));
  uint64_t size = 0;
  if (err == PlaybackErr::Ok) err = PlaybackErrFromMovErr(file.Size(size));
  if (err != PlaybackErr::Ok) return err;
  if (size > kMaxImageDataBytes) return PlaybackErr::SizeLimitExceeded;
  bytes_.resize(size);
  if (size > 0) err = PlaybackErrFromMovErr(file.ReadAt(0, bytes_.data(), bytes_.size()));
  if (err != PlaybackErr::Ok) {
    Close();
    return err == PlaybackErr::InvalidMovie ? PlaybackErr::CodecDataCorrupt : err;  // shrank while read
  }
  return DecodeBytes();
}

PlaybackErr GraphicsImporter::OpenUrl(const std::string& url) {
  Close();
  if (StartsWithText(url, "file:")) {
    std::string path;
    if (!PathOfFileUrl(url, path)) return PlaybackErr::BadArgument;
    return OpenFile(path);
  }
  if (!StartsWithText(url, "http://") && !StartsWithText(url, "https://")) return PlaybackErr::BadArgument;
  PlaybackErr err = ReadNetworkUrl(url, bytes_);
  if (err != PlaybackErr::Ok) {
    Close();
    return err;
  }
  return DecodeBytes();
}

PlaybackErr GraphicsImporter::OpenBytes(std::span<const uint8_t> bytes) {
  Close();
  if (bytes.size() > kMaxImageDataBytes) return PlaybackErr::SizeLimitExceeded;
  bytes_.assign(bytes.begin(), bytes.end());
  return DecodeBytes();
}

void GraphicsImporter::Close() {
  decoder_.Close();
  picture_ = nullptr;
  bytes_.clear();
  description_.clear();
  width_ = height_ = 0;
  depth_ = 0;
}

PlaybackErr GraphicsImporter::DecodeBytes() {
  const uint32_t codecType = ImageDecoder::SniffCodecType(bytes_);
  PlaybackErr err = codecType ? decoder_.Open(codecType) : PlaybackErr::UnsupportedCodec;
  if (err == PlaybackErr::Ok) err = decoder_.Decode(bytes_, picture_);
  if (err == PlaybackErr::Ok) {
    movfile::ImageDescriptionFields fields;
    fields.codecType = codecType;
    fields.width = static_cast<uint32_t>(picture_->width);
    fields.height = static_cast<uint32_t>(picture_->height);
    fields.depth = DepthOf(*picture_);
    fields.dataSize = static_cast<uint32_t>(bytes_.size());
    fields.compressorName = ImageDecoder::CompressorName(codecType);
    err = PlaybackErrFromMovErr(movfile::ImageDescriptionWriter::Write(fields, description_));
    width_ = picture_->width;
    height_ = picture_->height;
    depth_ = fields.depth;
  }
  if (err != PlaybackErr::Ok) Close();
  return err;
}

PlaybackErr GraphicsImporter::ExifMakerNote(std::vector<uint8_t>& note) const {
  note.clear();
  if (!IsOpen()) return PlaybackErr::BadArgument;
  return ExifMakerNoteReader::Read(CodecType(), bytes_, note);
}

PlaybackErr GraphicsImporter::Draw(const ImageBuffer& destination) {
  if (!IsOpen() || !picture_) return PlaybackErr::BadArgument;
  return converter_.Convert(*picture_, destination);
}

}  // namespace hc::playback
