#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "General/ObjectCollection.h"
#include "Projection/PlanarProjection.h"
#include "RegisterAllClasses.h"
#include "Security/Base64.h"
#include "Source/ImageWithDataSource.h"
#include "Source/QTSequenceSource.h"
#include "Source/SourceCollection.h"
#include "Source/SourceErr.h"
#include "StillImageTestTools.h"
#include "Utilities/FileAccessPolicy.h"
#include "Utilities/HcMLLoader.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/ImageDescriptionWriter.h"
#include "platform/movfile/MovFourCC.h"
#include "tests/platform/movfile/MovTestTools.h"

namespace {

using hc::foundation::ByteHandle;

ByteHandle HandleOf(const std::vector<uint8_t>& bytes) {
  ByteHandle handle;
  handle.Assign(bytes.data(), bytes.size());
  return handle;
}

// A PNG made by ffmpeg and the big-endian description of it.
struct InlinePicture {
  ByteHandle data;
  ByteHandle description;
};

InlinePicture MakePng(const movtest::TempDir& folder, const std::string& size, int width, int height) {
  const std::string path = folder.File("picture-" + size + ".png");
  stilltest::MakePicture(path, size, "rgb24");
  std::vector<uint8_t> description;
  hc::movfile::ImageDescriptionWriter::Write(
      {hc::movfile::MovFourCC("png "), static_cast<uint32_t>(width), static_cast<uint32_t>(height), 24, 0, "PNG"},
      description);
  return {HandleOf(movtest::ReadBytes(path)), HandleOf(description)};
}

int16_t ClutId(const ByteHandle& description) {
  return static_cast<int16_t>(description.GetBytes()[84] << 8 | description.GetBytes()[85]);
}

class InlineImage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }
  movtest::TempDir folder;
};

TEST_F(InlineImage, DrawsOnceBothPartsAreThereInEitherOrder) {
  InlinePicture picture = MakePng(folder, "64x32", 64, 32);
  for (bool dataFirst : {true, false}) {
    auto source = KsMakeRef<ImageWithDataSource>();
    if (dataFirst) {
      ASSERT_EQ(0, source->SetImageDataBEHandle(&picture.data));
      EXPECT_FALSE(source->GetHasData()) << "not sized yet";
      ASSERT_EQ(0, source->SetImageDescriptionDataBEHandle(&picture.description));
    } else {
      ASSERT_EQ(0, source->SetImageDescriptionDataBEHandle(&picture.description));
      EXPECT_EQ(AppErr::kNotReady, source->Update()) << "no data yet";
      ASSERT_EQ(0, source->SetImageDataBEHandle(&picture.data));
    }
    EXPECT_TRUE(source->GetHasData());
    EXPECT_EQ(64, source->GetWidth());
    EXPECT_EQ(32, source->GetHeight());
    EXPECT_NE(static_cast<void*>(&picture.data), source->GetImageDataBEHandle()) << "the source keeps a copy";
    EXPECT_EQ(picture.data, *static_cast<ByteHandle*>(source->GetImageDataBEHandle()));

    // The picture is kept: further updates decode nothing, new bytes do.
    const uint32_t frames = source->GetFrameCount();
    EXPECT_EQ(0, source->Update());
    EXPECT_EQ(0, source->Update());
    EXPECT_EQ(frames, source->GetFrameCount());
    ASSERT_EQ(0, source->SetImageDataBEHandle(&picture.data));
    EXPECT_EQ(frames + 1, source->GetFrameCount());
  }
}

TEST_F(InlineImage, Base64TextAndHandlesStandForTheSameBytes) {
  InlinePicture picture = MakePng(folder, "48x24", 48, 24);
  auto given = KsMakeRef<ImageWithDataSource>();
  ASSERT_EQ(0, given->SetImageDataBEHandle(&picture.data));
  const PWStringRef text = given->GetImageDataBEBase64();
  ASSERT_TRUE(text);
  EXPECT_EQ(text.Str(), Base64EncodeHandle(&picture.data).Str());
  EXPECT_EQ(text.Str(), given->GetImageDataBEBase64().Str());

  // A source loaded from HcML with only the two texts draws on its first update.
  const std::string hcml =
      "<source xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
      "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"ImageWithDataSource\">"
      "<ImageDataBEBase64>" + text.Str() + "</ImageDataBEBase64>"
      "<ImageDescriptionDataBEBase64>" + Base64EncodeHandle(&picture.description).Str() +
      "</ImageDescriptionDataBEBase64><ImageDataBEHandle>1234</ImageDataBEHandle></source>";
  auto list = KsMakeRef<SourceCollection>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(list);
  loader->SetHcMLToLoad(hcml.c_str());
  loader->LoadHcML();
  ASSERT_EQ(1u, list->GetCount());
  auto loaded = list->GetByIndex(0).DynamicCast<ImageWithDataSource>();
  ASSERT_TRUE(loaded);
  EXPECT_EQ(0, loaded->Update());
  EXPECT_TRUE(loaded->GetHasData());
  ASSERT_TRUE(loaded->GetImageDataBEHandle());
  EXPECT_EQ(picture.data, *static_cast<ByteHandle*>(loaded->GetImageDataBEHandle()));

  auto undecodable = KsMakeRef<ImageWithDataSource>();
  undecodable->SetImageDataBEBase64("!!!");
  undecodable->SetImageDescriptionDataBEHandle(&picture.description);
  EXPECT_EQ(nullptr, undecodable->GetImageDataBEHandle());
  EXPECT_EQ(AppErr::kNotReady, undecodable->Update());
}

TEST_F(InlineImage, OnlyA86ByteDescriptionWithClutZeroGetsClutMinusOne) {
  InlinePicture picture = MakePng(folder, "16x16", 16, 16);
  ByteHandle exact = picture.description;
  exact.GetBytes()[84] = exact.GetBytes()[85] = 0;
  ImageWithDataSource::ConvertDescriptionByteOrder(exact);
  EXPECT_EQ(-1, ClutId(exact));

  ByteHandle longer = picture.description;
  longer.GetBytes()[84] = longer.GetBytes()[85] = 0;
  longer.Resize(102);
  ImageWithDataSource::ConvertDescriptionByteOrder(longer);
  EXPECT_EQ(0, ClutId(longer));
}

TEST_F(InlineImage, HostileDescriptionsAreRefused) {
  InlinePicture picture = MakePng(folder, "16x8", 16, 8);
  auto withDescription = [&](const ByteHandle& description) {
    auto source = KsMakeRef<ImageWithDataSource>();
    source->SetImageDataBEHandle(&picture.data);
    source->SetImageDescriptionDataBEHandle(const_cast<ByteHandle*>(&description));
    return source->Update();
  };
  ByteHandle shortOne = picture.description;
  shortOne.Resize(60);
  EXPECT_EQ(AppErr::kBadArgument, withDescription(shortOne));
  ByteHandle badSize = picture.description;
  badSize.GetBytes()[3] = 200;  // says 200 bytes, holds 86
  EXPECT_EQ(AppErr::kBadArgument, withDescription(badSize));
  ByteHandle zeroSize = picture.description;
  zeroSize.GetBytes()[0] = zeroSize.GetBytes()[1] = zeroSize.GetBytes()[2] = zeroSize.GetBytes()[3] = 0;
  EXPECT_EQ(AppErr::kBadArgument, withDescription(zeroSize));
  ByteHandle wrongCodec = picture.description;
  wrongCodec.GetBytes()[4] = 'j';  // 'jng ': no decoder for it
  EXPECT_LT(withDescription(wrongCodec), 0);
}

TEST_F(InlineImage, ImagePathFillsBothPartsFromAFile) {
  const std::string png = folder.File("path.png");
  stilltest::MakePicture(png, "32x16", "rgb24");
  auto source = KsMakeRef<ImageWithDataSource>();
  ASSERT_EQ(0, source->SetImagePath(png.c_str()));
  EXPECT_TRUE(source->GetHasData());
  EXPECT_EQ(32, source->GetWidth());
  ASSERT_TRUE(source->GetImageDataBEHandle());
  EXPECT_EQ(movtest::ReadBytes(png), std::vector<uint8_t>(static_cast<ByteHandle*>(source->GetImageDataBEHandle())
                                                               ->View()
                                                               .begin(),
                                                           static_cast<ByteHandle*>(source->GetImageDataBEHandle())
                                                               ->View()
                                                               .end()));

  const std::string sound = folder.File("sound.mov");
  ASSERT_EQ(0, movtest::RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                 "sine=duration=0.2", "-c:a", "aac", sound})
                   .status);
  void* before = source->GetImageDataBEHandle();
  EXPECT_EQ(AppErr::kBadArgument, source->SetImagePath(sound.c_str()));
  EXPECT_EQ(before, source->GetImageDataBEHandle()) << "both parts stay as they were";
  EXPECT_LT(source->SetImagePath(folder.File("missing.png").c_str()), 0);
}

TEST_F(InlineImage, ImagePathOfAnUntrustedSourceStaysInsideItsFolders) {
  const std::string inside = folder.File("movie");
  std::filesystem::create_directory(inside);
  stilltest::MakePicture(inside + "/button.png", "16x16", "rgb24");
  stilltest::MakePicture(folder.File("secret.png"), "16x16", "rgb24");
  KsRef<ImageWithDataSource> source;
  {
    FileAccessPolicy::Scope scope(FileAccessPolicy::InsideFolders({inside}));
    source = KsMakeRef<ImageWithDataSource>();
  }
  EXPECT_EQ(AppErr::kBadArgument, source->SetImagePath(folder.File("secret.png").c_str()));
  EXPECT_EQ(nullptr, source->GetImageDataBEHandle());
  EXPECT_EQ(0, source->SetImagePath("button.png"));
  EXPECT_TRUE(source->GetHasData());
}

TEST_F(InlineImage, SequenceSizesFromTheFirstDescriptionWithForcedDimensions) {
  InlinePicture picture = MakePng(folder, "720x480", 720, 480);
  auto source = KsMakeRef<QTSequenceSource>();
  source->SetForceWidth(1024);
  source->SetForceHeight(512);
  source->SetUseForcedDimensions(true);
  EXPECT_EQ(AppErr::kUnsupportedType, source->SetPixelAspectRatio(2.0f));
  EXPECT_EQ(AppErr::kUnsupportedType, source->Initialize(8, 8));

  std::vector<uint8_t> bytes(picture.data.View().begin(), picture.data.View().end());
  source->SetDataSize(static_cast<uint32_t>(bytes.size()));
  EXPECT_EQ(AppErr::kNotReady, source->SetData(bytes.data())) << "data before any description";

  ASSERT_EQ(0, source->SetImageDescription(&picture.description));
  EXPECT_EQ(1024, source->GetWidth());
  EXPECT_EQ(512, source->GetHeight());
  EXPECT_NEAR(1.1f * 2.0f / 1.5f, source->GetPixelAspectRatio(), 1e-5) << "720 x 480 pixels are NTSC-shaped";
  ASSERT_EQ(0, source->SetData(bytes.data()));
  EXPECT_TRUE(source->GetHasData());
  EXPECT_EQ(uint64_t{1024} * 512 * 2, source->GetBufferSize());

  InlinePicture other = MakePng(folder, "32x32", 32, 32);
  ASSERT_EQ(0, source->SetImageDescription(&other.description));
  EXPECT_EQ(1024, source->GetWidth()) << "a later description does not resize";
}

struct CompletionLog {
  std::atomic<int> calls{0};
  std::atomic<eAppErr> last{1};
  static void Record(eAppErr result, void* refCon) {
    auto* log = static_cast<CompletionLog*>(refCon);
    log->last = result;
    ++log->calls;
  }
};

TEST_F(InlineImage, AsynchronousFramesCompleteOnceAndNeverAfterTheSourceDies) {
  InlinePicture picture = MakePng(folder, "64x64", 64, 64);
  std::vector<uint8_t> bytes(picture.data.View().begin(), picture.data.View().end());
  CompletionLog log;
  QTSequenceSource::CompletionProc proc{&CompletionLog::Record, &log};

  auto source = KsMakeRef<QTSequenceSource>();
  ASSERT_EQ(0, source->SetImageDescription(&picture.description));
  source->SetAsyncCompletionProc(&proc);
  source->SetDataSize(static_cast<uint32_t>(bytes.size()));
  ASSERT_EQ(0, source->SetData(bytes.data()));
  for (int i = 0; i < 500 && log.calls == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(1, log.calls);
  EXPECT_EQ(0, log.last);
  EXPECT_TRUE(source->GetHasData());

  // A frame that fails still completes, with its error, and shows nothing.
  const uint32_t frames = source->GetFrameCount();
  std::vector<uint8_t> damaged(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 3));
  source->SetDataSize(static_cast<uint32_t>(damaged.size()));
  ASSERT_EQ(0, source->SetData(damaged.data()));
  for (int i = 0; i < 500 && log.calls == 1; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(2, log.calls);
  EXPECT_LT(log.last, 0);
  EXPECT_EQ(frames, source->GetFrameCount());

  // Frames still queued when the source dies are not completed.
  source->SetDataSize(static_cast<uint32_t>(bytes.size()));
  for (int i = 0; i < 20; ++i) source->SetData(bytes.data());
  source = nullptr;
  const int settled = log.calls;
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(settled, log.calls);
  EXPECT_LE(settled, 2 + 20);
}

}  // namespace
