#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FrameComparison.h"
#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/KestrelProj.h"
#include "Projection/PlanarProjection.h"
#include "Renderer/HcTextureSet.h"
#include "RendererTestSupport.h"
#include "Source/PanoramaMakerNote.h"
#include "Source/QTStillImageSource.h"
#include "Source/SourceErr.h"
#include "StillImageTestTools.h"
#include "Utilities/FileAccessPolicy.h"
#include "tests/platform/movfile/MovTestTools.h"

namespace {

std::string Note(const std::string& fields, const std::string& version = "3") {
  return "<lumisfera version=\"" + version + "\">" + fields + "</lumisfera>";
}

std::string Field(const std::string& name, const std::string& value) {
  return "<field name=\"" + name + "\" value=\"" + value + "\"/>";
}

std::string AllFields(const std::string& code, const std::string& tiltMin = "-30", const std::string& tiltMax = "45") {
  return Field("Projection", code) + Field("PanMin", "0") + Field("PanMax", "360") + Field("TiltMin", tiltMin) +
         Field("TiltMax", tiltMax);
}

bool ParseText(const std::string& text, PanoramaMakerNote* out) {
  return PanoramaMakerNote::Parse(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), out);
}

TEST(PanoramaMakerNote, NeedsTheMarkerAndAllFiveFields) {
  PanoramaMakerNote note;
  ASSERT_TRUE(ParseText("ignored " + Note(AllFields("equi")), &note));
  EXPECT_EQ("equi", note.projection);
  EXPECT_FLOAT_EQ(-30.0f, note.tiltMinDeg);
  EXPECT_FLOAT_EQ(45.0f, note.tiltMaxDeg);

  const struct {
    const char* what;
    std::string text;
  } refused[] = {
      {"no PanMax", Note(Field("Projection", "equi") + Field("PanMin", "0") + Field("TiltMin", "1") +
                         Field("TiltMax", "2"))},
      {"version 2", Note(AllFields("equi"), "2")},
      {"fields before the marker", AllFields("equi") + "<lumisfera version=\"3\">"},
      {"a zero byte ends the text", Note(Field("Projection", "equi") + std::string(1, '\0') + AllFields("cyli"))},
      {"name without value=", "<lumisfera version=\"3\">\"Projection\" \"PanMin\" \"PanMax\" \"TiltMin\" \"TiltMax\""},
      {"empty", ""},
  };
  for (const auto& c : refused) EXPECT_FALSE(ParseText(c.text, &note)) << c.what;
}

TEST(PanoramaMakerNote, ValuesAreReadWithinTheText) {
  PanoramaMakerNote note;
  // A value at the very end of the text: the code is what is left, the number 0.
  ASSERT_TRUE(ParseText("<lumisfera version=\"3\">\"PanMin\" value=\"\"PanMax\" value=\"\"TiltMin\" value=\" -7.5e1\""
                        "\"TiltMax\" value=\"\"Projection\" value=\"eq",
                        &note));
  EXPECT_EQ("eq", note.projection);
  EXPECT_FLOAT_EQ(-75.0f, note.tiltMinDeg);
  EXPECT_FLOAT_EQ(0.0f, note.tiltMaxDeg);

  const struct {
    const char* text;
    float value;
  } numbers[] = {{"12.5\"", 12.5f}, {"  +3", 3.0f}, {"-0.25xyz", -0.25f}, {"abc", 0.0f}, {"", 0.0f},
                 {"--1", 0.0f},     {"1e-60", 0.0f}, {"5e2\"", 500.0f}};
  for (const auto& n : numbers) EXPECT_FLOAT_EQ(n.value, PanoramaMakerNote::ReadNumber(n.text)) << n.text;
}

class StillImageSource : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }

  std::string Picture(const std::string& name, const std::string& size, const std::string& format = "rgb24",
                      const std::string& note = "") {
    const std::string path = folder.File(name);
    stilltest::MakePicture(path, size, format);
    if (!note.empty()) {
      const std::string noteFile = folder.File(name + ".note");
      movtest::WriteBytes(noteFile, movtest::Bytes(note));
      EXPECT_EQ(0, movtest::RunTool({"exiftool", "-q", "-overwrite_original",
                                     "-ExifIFD:MakerNoteUnknownText<=" + noteFile, path})
                       .status);
    }
    return path;
  }

  movtest::TempDir folder;
};

TEST_F(StillImageSource, ChoosesItsProjectionByAspectWithoutMetadata) {
  const struct {
    const char* size;
    KsRef<KsClassObject> projection;
  } cases[] = {{"400x200", EquirectangularProj::ClassGetClassObject()},
               {"300x100", CylindricalProj::ClassGetClassObject()},
               {"160x100", CylindricalProj::ClassGetClassObject()},
               {"128x96", KestrelProj::ClassGetClassObject()}};
  for (const auto& c : cases) {
    auto source = KsMakeRef<QTStillImageSource>();
    ASSERT_EQ(0, source->SetPath(Picture(std::string(c.size) + ".png", c.size).c_str())) << c.size;
    ASSERT_TRUE(source->GetProjection()) << c.size;
    EXPECT_EQ(c.projection, source->GetProjection()->GetClassObject()) << c.size;
    EXPECT_TRUE(source->GetHasData());
    EXPECT_EQ(source->GetImageAspect(), source->GetProjection()->GetImageAspect());
    PWStringRef path;
    EXPECT_EQ(0, source->GetPath(&path));
    EXPECT_EQ(AppErr::kNoValue, source->GetURL(&path));
    EXPECT_EQ(AppErr::kNotReady, source->SetPath(path)) << "the image is drawn already";
  }
}

TEST_F(StillImageSource, TakesTheProjectionItsMakerNoteNames) {
  if (!movtest::HaveTool("exiftool")) GTEST_SKIP() << "exiftool is missing";
  auto source = KsMakeRef<QTStillImageSource>();
  ASSERT_EQ(0, source->SetPath(Picture("equi.jpg", "128x96", "yuvj420p", Note(AllFields("equi"))).c_str()));
  auto projection = source->GetProjection().DynamicCast<EquirectangularProj>();
  ASSERT_TRUE(projection) << "the note wins over the aspect";
  EXPECT_FLOAT_EQ(-30.0f, projection->GetTiltMinDeg());
  EXPECT_FLOAT_EQ(45.0f, projection->GetTiltMaxDeg());

  for (const std::string& note : {Note(AllFields("plan")), Note(AllFields("cyli"), "2")}) {
    auto other = KsMakeRef<QTStillImageSource>();
    ASSERT_EQ(0, other->SetPath(Picture("other.jpg", "128x96", "yuvj420p", note).c_str()));
    EXPECT_TRUE(other->GetProjection().DynamicCast<KestrelProj>()) << note;
  }
}

TEST_F(StillImageSource, KeepsAGivenProjectionUnlessItIsPlanar) {
  const std::string path = Picture("wide.png", "300x100");
  auto kept = KsMakeRef<QTStillImageSource>();
  auto cylinder = KsMakeRef<CylindricalProj>();
  kept->SetProjection(cylinder);
  ASSERT_EQ(0, kept->SetPath(path.c_str()));
  EXPECT_EQ(cylinder, kept->GetProjection());

  auto replaced = KsMakeRef<QTStillImageSource>();
  replaced->SetProjection(KsMakeRef<PlanarProjection>());
  ASSERT_EQ(0, replaced->SetPath(path.c_str()));
  EXPECT_TRUE(replaced->GetProjection().DynamicCast<CylindricalProj>());
}

TEST_F(StillImageSource, ForcedDimensionsScaleTheImageIntoTheBuffer) {
  auto source = KsMakeRef<QTStillImageSource>();
  source->SetForceWidth(200);
  source->SetForceHeight(100);
  source->SetUseForcedDimensions(true);
  ASSERT_EQ(0, source->SetPath(Picture("square.png", "100x100").c_str()));
  EXPECT_EQ(200, source->GetWidth());
  EXPECT_EQ(100, source->GetHeight());
  EXPECT_FLOAT_EQ(2.0f, source->GetPixelAspectRatio());
  EXPECT_EQ(uint64_t{200} * 100 * 2, source->GetBufferSize());
  EXPECT_TRUE(source->GetProjection().DynamicCast<KestrelProj>()) << "the image's own aspect decides";
}

TEST_F(StillImageSource, ReportsWhatItCannotOpen) {
  auto source = KsMakeRef<QTStillImageSource>();
  EXPECT_EQ(-301, source->SetPath(folder.File("missing.png").c_str()));
  EXPECT_FALSE(source->GetHasData());
  const std::string text = folder.File("text.png");
  movtest::WriteBytes(text, movtest::Bytes("not a picture"));
  EXPECT_EQ(-301, source->SetPath(text.c_str()));
  EXPECT_EQ(AppErr::kUnsupportedType, source->Initialize(10, 10));
  auto empty = KsMakeRef<QTStillImageSource>();
  EXPECT_EQ(0, empty->Update()) << "nothing to draw yet";
}

TEST_F(StillImageSource, AnUntrustedSourceReadsOnlyWhereItsPolicyAllows) {
  const std::string inside = folder.File("inside");
  movtest::TempDir outside;
  std::filesystem::create_directory(inside);
  stilltest::MakePicture(inside + "/pano.png", "300x100", "rgb24");
  stilltest::MakePicture(outside.File("pano.png"), "300x100", "rgb24");
  KsRef<QTStillImageSource> allowed, refused, url;
  {
    FileAccessPolicy::Scope scope(FileAccessPolicy::InsideFolders({inside}));
    allowed = KsMakeRef<QTStillImageSource>();
    refused = KsMakeRef<QTStillImageSource>();
    url = KsMakeRef<QTStillImageSource>();
  }
  EXPECT_EQ(0, allowed->SetPath("pano.png")) << "relative to the movie's folder";
  EXPECT_EQ(300, allowed->GetWidth());
  EXPECT_EQ(-301, refused->SetPath(outside.File("pano.png").c_str()));
  EXPECT_EQ(-301, refused->SetPath((inside + "/../" + std::filesystem::path(outside.Path()).filename().string() +
                                    "/pano.png").c_str()));
  EXPECT_LT(url->SetURL("http://127.0.0.1:9/pano.png"), 0);
  EXPECT_FALSE(url->GetHasData());
}

struct PixelCase {
  const char* file;
  const char* ffmpegFormat;
  bool alpha;
  bool colour;
};

class StillImagePixels : public ::testing::TestWithParam<PixelCase> {};

// The picture drawn flat through the renderer against ffmpeg's own
// conversion of the same file to RGB.
TEST_P(StillImagePixels, DrawnImageMatchesFfmpegsConversion) {
  constexpr int kWidth = 256;
  constexpr int kHeight = 128;
  const PixelCase& c = GetParam();
  movtest::TempDir folder;
  const std::string path = folder.File(c.file);
  stilltest::MakePicture(path, "256x128", c.ffmpegFormat, "testsrc2");
  // ffmpeg's plain conversion of the file to RGB, with its default scaler settings.
  const movtest::ToolResult converted = movtest::RunTool(
      {"ffmpeg", "-hide_banner", "-loglevel", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
  ASSERT_EQ(0, converted.status);
  const std::vector<uint8_t> reference(converted.out.begin(), converted.out.end());
  ASSERT_EQ(size_t{kWidth} * kHeight * 3, reference.size());

  DrawingRenderer drawing;
  ASSERT_TRUE(drawing.Make(kWidth, kHeight));
  auto source = KsMakeRef<QTStillImageSource>();
  source->SetHasAlpha(c.alpha);
  source->SetRenderer(drawing.renderer);
  ASSERT_EQ(0, source->SetPath(path.c_str()));
  EXPECT_EQ(c.alpha ? 32u : PixelFormatCode("2vuy"), source->GetPixelFormat());
  source->SetProjection(KsMakeRef<PlanarProjection>());

  ASSERT_EQ(0, drawing.renderer->BeginUpdate());
  KsRef<HcTextureSet> set;
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  KsRef<HcTexture> texture;
  ASSERT_EQ(0, set->GetTextureForQuadrant(15, texture));
  ASSERT_EQ(0, DrawTextureFlat(*drawing.renderer, *texture, kWidth, kHeight));
  ASSERT_EQ(0, drawing.renderer->EndUpdate());
  const std::vector<uint8_t> drawn = drawing.ReadARGB();

  for (int channel = 0; channel < 3; ++channel) {
    EXPECT_LE(framecompare::ChannelDifference(drawn, reference, kWidth, kHeight, channel + 1, channel), 2.0f)
        << c.file << " channel " << channel;
  }
  if (c.colour) {
    EXPECT_GT(framecompare::ChannelDifference(drawn, reference, kWidth, kHeight, 1, 2), 10.0f)
        << c.file << ": red and blue look alike";
  }
}

INSTANTIATE_TEST_SUITE_P(Files, StillImagePixels,
                         ::testing::Values(PixelCase{"rgb.png", "rgb24", false, true},
                                           PixelCase{"yuv.jpg", "yuvj420p", false, true},
                                           PixelCase{"yuv422.jpg", "yuvj422p", false, true},
                                           PixelCase{"grey.png", "gray", false, false},
                                           PixelCase{"rgba.png", "rgba", true, true},
                                           PixelCase{"bgr.bmp", "bgr24", false, true}),
                         [](const ::testing::TestParamInfo<PixelCase>& info) {
                           std::string name = info.param.file;
                           for (char& ch : name) {
                             if (ch == '.') ch = '_';
                           }
                           return name;
                         });

}  // namespace
