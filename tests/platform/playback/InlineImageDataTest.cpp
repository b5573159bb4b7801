#include "platform/playback/InlineImageData.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "StillImageTestTools.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/movfile/MovImageDescription.h"

using namespace hc::movfile;
using namespace hc::playback;
using movtest::TempDir;

namespace {

void Ffmpeg(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y"});
  ASSERT_EQ(movtest::RunTool(arguments).status, 0);
}

// A still image gives its own bytes and a description that agrees with the
// one ffmpeg writes when it puts the same picture into a movie; the movie
// gives its first sample.
TEST(InlineImageDataTest, StillImageAgreesWithFfmpegsMovieOfIt) {
  TempDir dir;
  const std::string bmp = dir.File("picture.bmp");  // its signature is the shortest
  stilltest::MakePicture(bmp, "48x30", "bgr24");
  InlineImage fromBmp;
  ASSERT_EQ(InlineImageData::ReadFirstPicture(bmp, fromBmp), PlaybackErr::Ok);
  EXPECT_EQ(fromBmp.data, movtest::ReadBytes(bmp));

  for (const char* pixelFormat : {"rgb24", "rgba", "gray"}) {
    SCOPED_TRACE(pixelFormat);
    const std::string png = dir.File(std::string(pixelFormat) + ".png");
    const std::string movie = dir.File(std::string(pixelFormat) + ".mov");
    stilltest::MakePicture(png, "48x30", pixelFormat);
    Ffmpeg({"-i", png, "-c:v", "png", movie});

    InlineImage fromPicture, fromMovie;
    ASSERT_EQ(InlineImageData::ReadFirstPicture(png, fromPicture), PlaybackErr::Ok);
    ASSERT_EQ(InlineImageData::ReadFirstPicture(movie, fromMovie), PlaybackErr::Ok);
    EXPECT_EQ(fromPicture.data, movtest::ReadBytes(png));
    EXPECT_GT(fromMovie.data.size(), 8u);
    EXPECT_TRUE(std::equal(fromMovie.data.begin(), fromMovie.data.begin() + 8, fromPicture.data.begin()));

    MovImageDescription ours, ffmpegs;
    ASSERT_EQ(MovImageDescription::Parse(fromPicture.description, ours), MovErr::Ok);
    ASSERT_EQ(MovImageDescription::Parse(fromMovie.description, ffmpegs), MovErr::Ok);
    EXPECT_EQ(ours.CodecType(), ffmpegs.CodecType());
    EXPECT_EQ(ours.Width(), ffmpegs.Width());
    EXPECT_EQ(ours.Height(), ffmpegs.Height());
    EXPECT_EQ(ours.Depth(), ffmpegs.Depth());
  }
}

TEST(InlineImageDataTest, FilesWithoutAPictureAreRefusedAndChangeNothing) {
  TempDir dir;
  Ffmpeg({"-f", "lavfi", "-i", "sine=duration=0.2", "-c:a", "pcm_s16le", dir.File("sound.mov")});
  movtest::WriteBytes(dir.File("text.txt"), movtest::Bytes("not a picture and not a movie"));

  InlineImage image{{1, 2, 3}, {4, 5}};
  EXPECT_EQ(InlineImageData::ReadFirstPicture(dir.File("sound.mov"), image), PlaybackErr::InvalidTrack);
  EXPECT_NE(InlineImageData::ReadFirstPicture(dir.File("text.txt"), image), PlaybackErr::Ok);
  EXPECT_EQ(InlineImageData::ReadFirstPicture(dir.File("missing.png"), image), PlaybackErr::FileNotFound);
  EXPECT_EQ(image.description, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(image.data, (std::vector<uint8_t>{4, 5}));
}

}  // namespace
