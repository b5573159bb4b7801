#include "platform/playback/GraphicsImporter.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <thread>

#include "StillImageTestTools.h"
#include "platform/playback/InlineImageData.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/movfile/MovImageDescription.h"

using namespace hc::movfile;
using namespace hc::playback;
using movtest::TempDir;

namespace {

struct StillCase {
  const char* file;
  const char* ffmpegFormat;
  uint32_t codecType;
  uint16_t depth;
  int tolerance;  // against ffmpeg's own decoding and conversion
};

const StillCase kStillCases[] = {
    {"rgb.png", "rgb24", MovFourCC("png "), 24, 0},
    {"alpha.png", "rgba", MovFourCC("png "), 32, 0},
    {"grey.png", "gray", MovFourCC("png "), 40, 0},
    {"deep.png", "rgb48be", MovFourCC("png "), 24, 0},
    {"grey.tif", "gray", MovFourCC("tiff"), 40, 0},
    {"palette.bmp", "pal8", MovFourCC("WRLE"), 24, 0},
    {"rgb.bmp", "bgr24", MovFourCC("WRLE"), 24, 0},
    {"rgb.tif", "rgb24", MovFourCC("tiff"), 24, 0},
    {"alpha.tif", "rgba", MovFourCC("tiff"), 32, 0},
    {"photo.jpg", "yuvj420p", MovFourCC("jpeg"), 24, 2},
};

class GraphicsImporterTest : public ::testing::TestWithParam<StillCase> {};

// Each file opens with its codec type, size and depth, carries a matching
// image description, and draws the same pixels as ffmpeg decodes.
TEST_P(GraphicsImporterTest, OpensDescribesAndDrawsLikeFfmpeg) {
  const StillCase& still = GetParam();
  TempDir dir;
  const std::string path = dir.File(still.file);
  stilltest::MakePicture(path, "33x17", still.ffmpegFormat);

  GraphicsImporter importer;
  ASSERT_EQ(importer.OpenFile(path), PlaybackErr::Ok);
  EXPECT_EQ(importer.CodecType(), still.codecType);
  EXPECT_EQ(importer.Width(), 33);
  EXPECT_EQ(importer.Height(), 17);
  EXPECT_EQ(importer.Depth(), still.depth);
  EXPECT_EQ(importer.ImageData(), movtest::ReadBytes(path));

  MovImageDescription description;
  ASSERT_EQ(importer.ImageDescription().size(), 86u);
  ASSERT_EQ(MovImageDescription::Parse(importer.ImageDescription(), description), MovErr::Ok);
  EXPECT_EQ(description.CodecType(), still.codecType);
  EXPECT_EQ(description.Width(), 33);
  EXPECT_EQ(description.Height(), 17);
  EXPECT_EQ(description.Depth(), still.depth);
  EXPECT_EQ(description.ClutId(), -1);

  for (auto [width, height] : {std::pair{33, 17}, std::pair{20, 40}}) {
    stilltest::GuardedBuffer buffer(width, height, 32);
    ASSERT_EQ(importer.Draw(buffer.View()), PlaybackErr::Ok);
    EXPECT_TRUE(buffer.GuardsIntact());
    EXPECT_LE(stilltest::MaxDifference(buffer.Pixels(), stilltest::FfmpegPixels(path, width, height, "argb")),
              still.tolerance + (width == 33 ? 0 : 2))
        << still.file << " at " << width << "x" << height;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, GraphicsImporterTest, ::testing::ValuesIn(kStillCases),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           for (char& c : name) if (c == '.') c = '_';
                           return name;
                         });

TEST(GraphicsImporterUrlTest, FileUrlsOpenAndOtherSchemesAreRefused) {
  TempDir dir;
  const std::string path = dir.File("with space.png");
  stilltest::MakePicture(path, "16x8", "rgb24");
  GraphicsImporter importer;
  std::string url = "file://" + dir.Path() + "/with%20space.png";
  EXPECT_EQ(importer.OpenUrl(url), PlaybackErr::Ok);
  EXPECT_EQ(importer.Width(), 16);
  EXPECT_EQ(importer.OpenUrl("file://localhost" + dir.Path() + "/with%20space.png"), PlaybackErr::Ok);
  EXPECT_EQ(importer.OpenUrl("file://elsewhere" + dir.Path() + "/with%20space.png"), PlaybackErr::BadArgument);
  EXPECT_EQ(importer.OpenUrl("file://" + dir.Path() + "/with%2"), PlaybackErr::BadArgument);
  EXPECT_EQ(importer.OpenUrl("file://" + dir.Path() + "/a%00b.png"), PlaybackErr::BadArgument);
  EXPECT_EQ(importer.OpenUrl("ftp://example.invalid/a.png"), PlaybackErr::BadArgument);
  EXPECT_EQ(importer.OpenUrl("concat:" + path), PlaybackErr::BadArgument);
  EXPECT_FALSE(importer.IsOpen());
  EXPECT_EQ(importer.OpenUrl("file://" + dir.Path() + "/missing.png"), PlaybackErr::FileNotFound);
}

// Serves one HTTP response per connection on a loopback port, for as many
// connections as it is told.
class LoopbackHttpServer {
 public:
  LoopbackHttpServer(std::string response, int connections) : response_(std::move(response)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 4) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw std::runtime_error("no loopback socket");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, connections] {
      for (int i = 0; i < connections; ++i) Serve();
    });
  }
  ~LoopbackHttpServer() {
    thread_.join();
    ::close(listener_);
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  void Serve() {
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) return;
    char request[4096];
    std::string received;
    while (received.find("\r\n\r\n") == std::string::npos) {
      const ssize_t got = ::recv(connection, request, sizeof request, 0);
      if (got <= 0) break;
      received.append(request, static_cast<size_t>(got));
    }
    for (size_t sent = 0; sent < response_.size();) {
      const ssize_t wrote = ::send(connection, response_.data() + sent, response_.size() - sent, MSG_NOSIGNAL);
      if (wrote <= 0) break;
      sent += static_cast<size_t>(wrote);
    }
    ::close(connection);
  }

  std::string response_;
  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
};

TEST(GraphicsImporterUrlTest, HttpUrlsAreReadThroughFfmpeg) {
  TempDir dir;
  stilltest::MakePicture(dir.File("a.png"), "16x8", "rgb24");
  const std::vector<uint8_t> png = movtest::ReadBytes(dir.File("a.png"));
  const std::string body(png.begin(), png.end());
  {
    LoopbackHttpServer server("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: " +
                                  std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body,
                              1);
    GraphicsImporter importer;
    ASSERT_EQ(importer.OpenUrl(server.Url("/a.png")), PlaybackErr::Ok);
    EXPECT_EQ(importer.Width(), 16);
    EXPECT_EQ(importer.ImageData(), png);
  }
  {
    LoopbackHttpServer server("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n", 1);
    GraphicsImporter importer;
    EXPECT_EQ(importer.OpenUrl(server.Url("/missing.png")), PlaybackErr::FileNotFound);
  }
  {
    const std::string half = body.substr(0, body.size() / 2);
    LoopbackHttpServer server("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(half.size()) +
                                  "\r\nConnection: close\r\n\r\n" + half,
                              1);
    GraphicsImporter importer;
    EXPECT_EQ(importer.OpenUrl(server.Url("/half.png")), PlaybackErr::CodecDataCorrupt);
  }
}

TEST(GraphicsImporterUrlTest, NamedPipesAndFoldersAreRefusedWithoutWaiting) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("pipe.png").c_str(), 0600), 0);
  GraphicsImporter importer;
  EXPECT_EQ(importer.OpenFile(dir.File("pipe.png")), PlaybackErr::BadArgument);
  EXPECT_EQ(importer.OpenFile(dir.Path()), PlaybackErr::BadArgument);
  EXPECT_EQ(importer.OpenUrl("file://" + dir.File("pipe.png")), PlaybackErr::BadArgument);
  InlineImage image;
  EXPECT_EQ(InlineImageData::ReadFirstPicture(dir.File("pipe.png"), image), PlaybackErr::BadArgument);
}

TEST(GraphicsImporterUrlTest, DrawingBeforeOpeningIsRefused) {
  GraphicsImporter importer;
  stilltest::GuardedBuffer buffer(4, 4, 32);
  EXPECT_EQ(importer.Draw(buffer.View()), PlaybackErr::BadArgument);
  std::vector<uint8_t> note;
  EXPECT_EQ(importer.ExifMakerNote(note), PlaybackErr::BadArgument);
}

}  // namespace

namespace {

std::vector<uint8_t> Truncated(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(std::min(bytes.size(), size));
  return bytes;
}

// A PNG whose header claims another size, with the header's CRC made right
// again so that only the size is wrong.
std::vector<uint8_t> PngClaimingSize(std::vector<uint8_t> png, uint32_t width, uint32_t height) {
  auto put = [&png](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) png[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
  };
  put(16, width);
  put(20, height);
  put(29, static_cast<uint32_t>(crc32(0, png.data() + 12, 17)));
  return png;
}

TEST(GraphicsImporterHostileTest, DamagedAndUnsupportedFilesAnswerClearErrors) {
  TempDir dir;
  std::map<std::string, std::vector<uint8_t>> files;
  for (const char* name : {"a.png", "a.jpg", "a.tif", "a.bmp"}) {
    stilltest::MakePicture(dir.File(name), "64x48", name == std::string("a.jpg") ? "yuvj420p" : "rgb24");
    files[name] = movtest::ReadBytes(dir.File(name));
  }
  std::vector<uint8_t> flippedPng = files["a.png"];
  flippedPng[flippedPng.size() / 2] ^= 0x5A;

  struct Case {
    std::string what;
    std::vector<uint8_t> bytes;
    PlaybackErr expected;
  };
  std::vector<Case> cases = {
      {"empty file", {}, PlaybackErr::UnsupportedCodec},
      {"text", movtest::Bytes("just some text, no picture"), PlaybackErr::UnsupportedCodec},
      {"GIF", movtest::Bytes("GIF89a\x01\x00\x01\x00"), PlaybackErr::UnsupportedCodec},
      {"PNG with a damaged byte", flippedPng, PlaybackErr::CodecDataCorrupt},
      {"PNG claiming 20000 x 20000", PngClaimingSize(files["a.png"], 20000, 20000), PlaybackErr::SizeLimitExceeded},
      {"PNG claiming 70000 x 1", PngClaimingSize(files["a.png"], 70000, 1), PlaybackErr::SizeLimitExceeded},
      {"PNG claiming 0 x 0", PngClaimingSize(files["a.png"], 0, 0), PlaybackErr::CodecDataCorrupt},
  };
  for (const auto& [name, bytes] : files) {
    for (size_t size : {size_t{3}, size_t{30}, bytes.size() / 2}) {
      cases.push_back({name + " cut to " + std::to_string(size), Truncated(bytes, size), PlaybackErr::CodecDataCorrupt});
    }
  }
  // A JPEG without the last byte of its end marker, or a TIFF without the
  // padding after its last directory, still holds the whole picture.
  for (const char* name : {"a.png", "a.bmp"}) {
    cases.push_back({std::string(name) + " short of its last byte", Truncated(files[name], files[name].size() - 1),
                     PlaybackErr::CodecDataCorrupt});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.File("damaged");
    movtest::WriteBytes(path, c.bytes);
    GraphicsImporter importer;
    PlaybackErr err = importer.OpenFile(path);
    if (c.bytes.size() < 8 && c.expected == PlaybackErr::CodecDataCorrupt && err == PlaybackErr::UnsupportedCodec) continue;
    EXPECT_EQ(err, c.expected);
    EXPECT_FALSE(importer.IsOpen());
    EXPECT_EQ(importer.OpenBytes(c.bytes), err);
  }
}

}  // namespace
