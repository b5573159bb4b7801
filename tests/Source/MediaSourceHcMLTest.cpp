#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "FileTestSupport.h"
#include "General/ObjectCollection.h"
#include "Projection/CylindricalProj.h"
#include "Projection/PlanarProjection.h"
#include "QuickTime/QTMovieArbiter.h"
#include "QuickTime/QTMovieToken.h"
#include "QuickTime/QTTimeBase.h"
#include "RegisterAllClasses.h"
#include "Security/Base64.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Source/ImageWithDataSource.h"
#include "Source/MultiplexerSource.h"
#include "Source/QTMovieSource.h"
#include "Source/QTMovieTrackSource.h"
#include "Source/QTVisualContextSource.h"
#include "Source/QTSequenceSource.h"
#include "Source/QTStillImageSource.h"
#include "Source/SourceCollection.h"
#include "StillImageTestTools.h"
#include "HcMLRoundTrip.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/XMLStringEmitter.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/ImageDescriptionWriter.h"
#include "platform/movfile/MovFourCC.h"
#include "tests/platform/movfile/MovTestTools.h"

namespace {

using hcmlroundtrip::RoundTrip;

class MediaSourceHcML : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }
  movtest::TempDir folder;
};

TEST_F(MediaSourceHcML, StillImageKeepsItsPathAndProjection) {
  const std::string path = folder.File("still.png");
  stilltest::MakePicture(path, "300x100", "rgb24");
  auto source = KsMakeRef<QTStillImageSource>();
  auto projection = KsMakeRef<CylindricalProj>();
  projection->SetTiltMaxDeg(33.0f);
  source->SetProjection(projection);
  ASSERT_EQ(0, source->SetPath(path.c_str()));
  std::string text;
  auto back = RoundTrip<SourceCollection>(source, "source", &text).DynamicCast<QTStillImageSource>();
  ASSERT_TRUE(back) << text;
  PWStringRef backPath;
  ASSERT_EQ(0, back->GetPath(&backPath)) << text;
  EXPECT_EQ(path, backPath.Str());
  EXPECT_TRUE(back->GetHasData()) << "loading the path drew the image";
  ASSERT_TRUE(back->GetProjection().DynamicCast<CylindricalProj>()) << text;
  EXPECT_FLOAT_EQ(33.0f, back->GetProjection()->GetTiltMaxDeg());
  EXPECT_EQ(std::string::npos, text.find("<URL")) << text;
}

TEST_F(MediaSourceHcML, InlineImageKeepsItsBase64AndNothingElse) {
  const std::string path = folder.File("inline.png");
  stilltest::MakePicture(path, "32x16", "rgba");
  const std::vector<uint8_t> bytes = movtest::ReadBytes(path);
  std::vector<uint8_t> descriptionBytes;
  hc::movfile::ImageDescriptionWriter::Write({hc::movfile::MovFourCC("png "), 32, 16, 32, 0, "PNG"},
                                             descriptionBytes);
  hc::foundation::ByteHandle data, description;
  data.Assign(bytes.data(), bytes.size());
  description.Assign(descriptionBytes.data(), descriptionBytes.size());

  auto source = KsMakeRef<ImageWithDataSource>();
  source->SetHasAlpha(true);
  source->SetMapFullFrame(true);
  source->SetProjection(KsMakeRef<PlanarProjection>());
  ASSERT_EQ(0, source->SetImageDescriptionDataBEHandle(&description));
  ASSERT_EQ(0, source->SetImageDataBEHandle(&data));
  std::string text;
  auto back = RoundTrip<SourceCollection>(source, "source", &text).DynamicCast<ImageWithDataSource>();
  ASSERT_TRUE(back) << text;
  EXPECT_TRUE(back->GetHasAlpha());
  EXPECT_TRUE(back->GetMapFullFrame());
  EXPECT_TRUE(back->GetIsPlanarSource());
  EXPECT_TRUE(back->GetHasData()) << text;
  ASSERT_TRUE(back->GetImageDataBEHandle());
  EXPECT_EQ(data, *static_cast<hc::foundation::ByteHandle*>(back->GetImageDataBEHandle()));
  for (const char* hidden : {"BEHandle", "ImagePath", "ImageDescription>", "<Data>", "AsyncCompletionProc"}) {
    EXPECT_EQ(std::string::npos, text.find(hidden)) << hidden << " in " << text;
  }
}

TEST_F(MediaSourceHcML, SequenceSourceWritesNoPointers) {
  auto source = KsMakeRef<QTSequenceSource>();
  source->SetForceWidth(64);
  source->SetImageDescriptionSeed(7);
  std::string text;
  auto back = RoundTrip<SourceCollection>(source, "source", &text).DynamicCast<QTSequenceSource>();
  ASSERT_TRUE(back) << text;
  EXPECT_EQ(64, back->GetForceWidth());
  EXPECT_EQ(0u, back->GetImageDescriptionSeed()) << "not serialised";
}

TEST_F(MediaSourceHcML, ArbitersTokensAndTimeBasesKeepTheirFlagsOnly) {
  auto arbiter = KsMakeRef<QTMovieArbiter>();
  arbiter->SetAttachesToThread(true);
  arbiter->SetOwnMovie(true);
  std::string text;
  auto back = RoundTrip<ObjectCollection>(arbiter, "entry", &text).DynamicCast<QTMovieArbiter>();
  ASSERT_TRUE(back) << text;
  EXPECT_TRUE(back->GetAttachesToThread());
  EXPECT_TRUE(back->GetOwnMovie());
  EXPECT_EQ(nullptr, back->GetMovie());
  EXPECT_EQ(std::string::npos, text.find("QuickTimeMovie")) << text;

  auto token = KsMakeRef<QTMovieToken>();
  token->SetAttachesToThread(true);
  auto tokenBack = RoundTrip<ObjectCollection>(token, "entry", &text).DynamicCast<QTMovieToken>();
  ASSERT_TRUE(tokenBack) << text;
  EXPECT_TRUE(tokenBack->GetAttachesToThread());

  auto timeBase = RoundTrip<ObjectCollection>(KsMakeRef<QTTimeBase>(), "entry", &text).DynamicCast<QTTimeBase>();
  ASSERT_TRUE(timeBase) << text;
  EXPECT_EQ(nullptr, timeBase->GetTimeBase());

  // Pointer properties in text set nothing.
  const char* hostile =
      "<entry xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
      "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"QTMovieArbiter\">"
      "<QuickTimeMovie>4096</QuickTimeMovie><OwnMovie>true</OwnMovie></entry>";
  auto list = KsMakeRef<ObjectCollection>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(list);
  loader->SetHcMLToLoad(hostile);
  loader->LoadHcML();
  ASSERT_EQ(1u, list->GetCount());
  auto loaded = list->GetByIndex(0).DynamicCast<QTMovieArbiter>();
  ASSERT_TRUE(loaded);
  EXPECT_EQ(nullptr, loaded->GetMovie());
  EXPECT_TRUE(loaded->GetOwnMovie());
}

TEST_F(MediaSourceHcML, MultiplexerKeepsItsMembersInOrder) {
  auto first = KsMakeRef<BufferSource>();
  first->SetForceWidth(11);
  auto second = KsMakeRef<QTMovieTrackSource>();
  second->SetTrackID(3);
  second->SetProjection(KsMakeRef<CylindricalProj>());
  auto list = KsMakeRef<SourceCollection>();
  list->Add(first);
  list->Add(second);
  auto mux = KsMakeRef<MultiplexerSource>();
  mux->SetSourceList(list);
  std::string text;
  auto back = RoundTrip<SourceCollection>(mux, "source", &text).DynamicCast<MultiplexerSource>();
  ASSERT_TRUE(back) << text;
  ASSERT_TRUE(back->GetSourceList()) << text;
  ASSERT_EQ(2u, back->GetSourceList()->GetCount()) << text;
  auto backFirst = back->GetSourceList()->GetByIndex(0).DynamicCast<BufferSource>();
  auto backSecond = back->GetSourceList()->GetByIndex(1).DynamicCast<QTMovieTrackSource>();
  ASSERT_TRUE(backFirst && backSecond) << text;
  EXPECT_EQ(11, backFirst->GetForceWidth());
  EXPECT_EQ(3u, backSecond->GetTrackID());
  EXPECT_TRUE(backSecond->GetProjection().DynamicCast<CylindricalProj>());
  EXPECT_EQ(std::string::npos, text.find("ActiveSource")) << text;
  EXPECT_EQ(std::string::npos, text.find("MovieArb")) << text;
}

TEST_F(MediaSourceHcML, MovieAndVisualContextSourcesWriteNoPointers) {
  auto movie = KsMakeRef<QTMovieSource>();
  movie->SetPanAngle(90.0f);
  std::string text;
  auto movieBack = RoundTrip<SourceCollection>(movie, "source", &text).DynamicCast<QTMovieSource>();
  ASSERT_TRUE(movieBack) << text;
  EXPECT_EQ(movieBack->GetClassObject(), QTMovieSource::ClassGetClassObject());
  EXPECT_FLOAT_EQ(90.0f, movieBack->GetPanAngle());

  auto visual = KsMakeRef<QTVisualContextSource>();
  auto renderer = KsMakeRef<AppleOpenGLRenderer>();
  visual->SetRendererForVisualContext(renderer);
  auto visualBack = RoundTrip<SourceCollection>(visual, "source", &text).DynamicCast<QTVisualContextSource>();
  ASSERT_TRUE(visualBack) << text;
  EXPECT_NE(std::string::npos, text.find("RendererForVisualContext")) << text;
  for (const char* hidden : {"VisualContextPtr", "VCTextureSet", "CGLContext"}) {
    EXPECT_EQ(std::string::npos, text.find(hidden)) << hidden << " in " << text;
  }
  EXPECT_EQ(nullptr, visualBack->GetVisualContextPtr());
}

}  // namespace
