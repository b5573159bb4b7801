#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "General/CocoaBridge.h"
#include "InterfaceCommon/CompressedUserDataItem.h"
#include "InterfaceCommon/MovieSerializer.h"
#include "InterfaceCommon/SourceDescriptionCollection.h"
#include "KsTrace.h"
#include "MovFixtures.h"
#include "MovTestTools.h"
#include "RegisterAllClasses.h"
#include "TraceCapture.h"
#include "Source/QTMovieSource.h"
#include "Source/QTMovieTrackSource.h"
#include "Time/HcClock.h"
#include "Utilities/AtomEmitter.h"
#include "Utilities/AtomLexer.h"
#include "Utilities/Chameleon.h"
#include "Utilities/Parser.h"
#include "Utilities/XMLLexer.h"
#include "Utilities/XMLStringEmitter.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/AtomContainer.h"
#include "platform/movfile/MovFile.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/Movie.h"
#include "platform/runtime/MessageSend.h"

using hc::movfile::MovErr;
using hc::movfile::MovFile;

namespace {

constexpr const char* kViewsets = "<viewsets/>";

class MovieSerializerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }

  std::string Copy(const std::string& fixture, const std::string& name) const {
    const std::string path = folder.File(name);
    movtest::CopyFile(fixture, path);
    return path;
  }

  static KsRef<MovieSerializer> SerializerOf(const std::string& path) {
    auto serializer = KsMakeRef<MovieSerializer>();
    EXPECT_EQ(serializer->SetPath(PWStringRef(path)), 0);
    return serializer;
  }

  // Reads the movie's presentation, gives it these settings and writes it back.
  static eAppErr WritePresentation(const std::string& path, const std::string& viewsetName,
                                   uint32_t subtype = kZlibDataCompressorType) {
    KsRef<MovieSerializer> reader = SerializerOf(path);
    reader->SetGuessPanoProjection(true);
    EXPECT_GE(reader->SetInitDescriptionFromMovie(true), 0);
    KsRef<HcPresentation> presentation = reader->GetPresentation();
    presentation->SetViewsetName(PWStringRef(viewsetName));
    presentation->SetViewsetHcML(PWStringRef(kViewsets));
    presentation->SetDisplaySize(KsSizeF(800, 400));
    KsRef<MovieSerializer> writer = SerializerOf(path);
    writer->SetPresentation(presentation);
    writer->SetDataCompressorType(subtype);
    EXPECT_EQ(writer->InitUUIDForPresentationAndSourceDesc(), 0);
    return writer->SetInitMovieFromDescription(true);
  }

  static std::string StoredViewsetName(const std::string& path) {
    KsRef<MovieSerializer> reader = SerializerOf(path);
    if (reader->SetInitDescriptionFromMovie(true) != 0) return "(none)";
    return reader->GetPresentation()->GetViewsetName().Str();
  }

  static size_t Count(const hc::movfile::MovUserData& userData, uint32_t type) { return userData.CountItems(type); }

  movtest::TempDir folder;
  TraceCapture traces;
  std::string& trace = traces.text;
};

void ExpectToolsReadWithoutWarnings(const std::string& path) {
  const movtest::ToolResult exif = movtest::RunTool({"exiftool", "-v3", path});
  EXPECT_EQ(exif.status, 0);
  EXPECT_EQ(exif.out.find("Warning"), std::string::npos) << exif.out;
  EXPECT_EQ(movtest::RunToolErrors({"exiftool", "-v3", path}), "");
  const movtest::ToolResult info = movtest::RunTool({"mediainfo", "--Details=1", path});
  EXPECT_EQ(info.status, 0);
  EXPECT_EQ(info.out.find("Problem"), std::string::npos) << info.out;
  EXPECT_EQ(movtest::RunToolErrors({"mediainfo", path}), "");
}

size_t TopLevelHeaders(const std::string& path) {
  MovFile movie;
  EXPECT_EQ(movie.OpenForRead(path), MovErr::Ok);
  size_t headers = 0;
  for (const auto& atom : movie.TopLevelAtoms()) headers += atom.type == hc::movfile::MovFourCC("moov");
  return headers;
}

}  // namespace

// A presentation goes into movies that ffmpeg made, header last and first,
// and comes back equal; the media and other tools' view stay as they were.
TEST_F(MovieSerializerTest, RoundTripsThroughMoviesFfmpegMade) {
  for (bool headerFirst : {false, true}) {
    SCOPED_TRACE(headerFirst ? "header first" : "header last");
    const auto& fixtures = movtest::MovFixtures::Get();
    const std::string path = Copy(headerFirst ? fixtures.headerFirst : fixtures.headerLast, "movie.mov");
    const std::string frames = movtest::FrameMd5(path);
    for (uint32_t subtype : {kZlibDataCompressorType, 0u, kZlibDataCompressorType}) {
      ASSERT_EQ(WritePresentation(path, "Viewset " + std::to_string(subtype), subtype), 0);
      EXPECT_EQ(movtest::FrameMd5(path), frames);
      ExpectToolsReadWithoutWarnings(path);
      EXPECT_EQ(TopLevelHeaders(path), 1u);

      KsRef<MovieSerializer> reader = SerializerOf(path);
      ASSERT_EQ(reader->SetInitDescriptionFromMovie(true), 0);
      EXPECT_FALSE(reader->HoldsMovie());
      KsRef<HcPresentation> read = reader->GetPresentation();
      EXPECT_EQ(read->GetViewsetName().Str(), "Viewset " + std::to_string(subtype));
      EXPECT_EQ(read->GetViewsetHcML().Str(), kViewsets);
      EXPECT_EQ(read->GetDisplaySize().w, 800.0f);
      // Two video tracks, each with its description and the guessed projection of the first.
      KsRef<SourceDescriptionCollection> sources = read->GetSourceList();
      ASSERT_EQ(sources->GetCount(), 2u);
      KsRef<SourceDescription> main = read->GetMainSource();
      EXPECT_NE(main->GetProjectionHcML().Str().find("EquirectangularProj"), std::string::npos);
      PWStringRef presentationUUID, mainUUID;
      read->GetUUIDString(&presentationUUID);
      main->GetUUIDString(&mainUUID);
      EXPECT_FALSE(presentationUUID.Str().empty());
      EXPECT_EQ(presentationUUID.Str(), mainUUID.Str());
      // Read by path, the movie is gone again: the sources keep their tracks, not the movie.
      const auto trackSource = main->GetLiveSource().DynamicCast<QTMovieTrackSource>();
      ASSERT_TRUE(trackSource);
      EXPECT_FALSE(trackSource->GetMovieArb());
      EXPECT_FALSE(read->GetLiveClock());

      // One of each item: the presentation in the movie, a description in each video track.
      MovFile movie;
      ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
      ASSERT_EQ(movie.LoadTrackFacts(), MovErr::Ok);
      EXPECT_EQ(Count(movie.UserData(), kPresentationUserDataType), 1u);
      EXPECT_EQ(Count(movie.UserData(), kSampleDescriptionUserDataType), 1u);
      for (size_t i = 0; i < movie.TrackCount(); ++i) {
        const bool visual = movie.Track(i).HasVisualCharacteristic();
        EXPECT_EQ(Count(movie.Track(i).UserData(), kSourceDescriptionUserDataType), visual ? 1u : 0u);
        EXPECT_EQ(Count(movie.Track(i).UserData(), kSampleDescriptionUserDataType), visual ? 1u : 0u);
        EXPECT_EQ(Count(movie.Track(i).UserData(), kSignatureUserDataType), 0u);
      }
    }
  }
}

TEST_F(MovieSerializerTest, WritesNothingUnlessEveryTargetIsThere) {
  const std::string path = Copy(movtest::MovFixtures::Get().headerLast, "movie.mov");
  const std::vector<uint8_t> before = movtest::ReadBytes(path);
  KsRef<MovieSerializer> reader = SerializerOf(path);
  reader->SetGuessPanoProjection(true);
  ASSERT_EQ(reader->SetInitDescriptionFromMovie(true), MovieSerializer::kPresentationGuessed);
  KsRef<HcPresentation> presentation = reader->GetPresentation();

  // Unpaired UUIDs.
  KsRef<MovieSerializer> writer = SerializerOf(path);
  writer->SetPresentation(presentation);
  EXPECT_EQ(writer->SetInitMovieFromDescription(true), -903);
  EXPECT_NE(trace.find("UUIDs must be set and identical"), std::string::npos);
  // Equal but for letter case: written.
  ASSERT_EQ(writer->InitUUIDForPresentationAndSourceDesc(), 0);
  PWStringRef uuid;
  presentation->GetUUIDString(&uuid);
  std::string lower = uuid.Str();
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string upper = uuid.Str();
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  presentation->SetUUIDString(PWStringRef(lower));
  presentation->GetMainSource()->SetUUIDString(PWStringRef(upper));

  // A description of a track the movie doesn't have, after one that it has.
  auto missing = KsMakeRef<SourceDescription>();
  auto source = KsMakeRef<QTMovieTrackSource>();
  source->SetTrackID(99);
  missing->SetLiveSource(source);
  presentation->GetSourceList()->Add(missing);
  EXPECT_EQ(writer->SetInitMovieFromDescription(true), -2);
  writer->CloseMovie();
  EXPECT_EQ(movtest::ReadBytes(path), before);

  presentation->GetSourceList()->RemoveAt(presentation->GetSourceList()->GetCount() - 1);
  ASSERT_EQ(writer->SetInitMovieFromDescription(true), 0);
  writer->CloseMovie();
  EXPECT_NE(movtest::ReadBytes(path), before);
}

TEST_F(MovieSerializerTest, ASecondDescriptionWithoutATrackSourceLeavesTheFirstInTrackOne) {
  const std::string path = Copy(movtest::MovFixtures::Get().headerLast, "movie.mov");
  auto presentation = KsMakeRef<HcPresentation>();
  auto first = KsMakeRef<SourceDescription>();
  first->SetProjectionHcML(PWStringRef("first"));
  auto second = KsMakeRef<SourceDescription>();
  second->SetProjectionHcML(PWStringRef("second"));
  presentation->GetSourceList()->Add(first);
  presentation->GetSourceList()->Add(second);
  KsRef<MovieSerializer> writer = SerializerOf(path);
  writer->SetPresentation(presentation);
  ASSERT_EQ(writer->InitUUIDForPresentationAndSourceDesc(), 0);
  ASSERT_EQ(writer->SetInitMovieFromDescription(true), 0);
  writer->CloseMovie();

  KsRef<MovieSerializer> reader = SerializerOf(path);
  ASSERT_EQ(reader->SetInitDescriptionFromMovie(true), 0);
  EXPECT_EQ(reader->GetPresentation()->GetMainSource()->GetProjectionHcML().Str(), "first");
}

TEST_F(MovieSerializerTest, AMovieWithNothingStoredGetsAGuessedProjection) {
  const struct {
    float aspect;
    const char* type;
  } cases[] = {{1.0f, "KestrelProj"}, {1.778f, "KestrelProj"}, {1.7781f, "CylindricalProj"},
               {2.0f, "EquirectangularProj"}, {2.00002f, "CylindricalProj"}, {3.0f, "CylindricalProj"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.aspect);
    EXPECT_NE(std::string(MovieSerializer::ProjectionHcMLForAspect(c.aspect)).find(c.type), std::string::npos);
  }

  // The fixture's first video track is 64 x 32.
  const std::string path = Copy(movtest::MovFixtures::Get().headerLast, "movie.mov");
  KsRef<MovieSerializer> planar = SerializerOf(path);
  EXPECT_EQ(planar->SetInitDescriptionFromMovie(true), MovieSerializer::kNoPresentation);
  EXPECT_NE(planar->GetPresentation()->GetMainSource()->GetProjectionHcML().Str().find("PlanarProjection"),
            std::string::npos);
  KsRef<MovieSerializer> guessed = SerializerOf(path);
  guessed->SetGuessPanoProjection(true);
  EXPECT_EQ(guessed->SetInitDescriptionFromMovie(true), MovieSerializer::kPresentationGuessed);
  EXPECT_NE(guessed->GetPresentation()->GetMainSource()->GetProjectionHcML().Str().find("EquirectangularProj"),
            std::string::npos);
  EXPECT_EQ(guessed->GetPresentation()->GetSourceList()->GetCount(), 2u);

  // As one source: one description over the whole movie.
  KsRef<MovieSerializer> single = SerializerOf(path);
  single->SetGuessPanoProjection(true);
  single->SetLoadAsSingleSource(true);
  EXPECT_EQ(single->SetInitDescriptionFromMovie(true), MovieSerializer::kPresentationGuessed);
  ASSERT_EQ(single->GetPresentation()->GetSourceList()->GetCount(), 1u);
  EXPECT_TRUE(single->GetPresentation()->GetMainSource()->GetLiveSource().DynamicCast<QTMovieSource>());
  EXPECT_FALSE(single->GetPresentation()->GetMainSource()->GetLiveSource().DynamicCast<QTMovieTrackSource>());
}

TEST_F(MovieSerializerTest, AMovieWithoutPicturesOrAStoredPresentationHasNoPresentation) {
  const std::string path = folder.File("sound.mov");
  ASSERT_EQ(movtest::RunTool({"ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                              "sine=frequency=440:duration=1", "-c:a", "pcm_s16le", path})
                .status,
            0);
  KsRef<MovieSerializer> reader = SerializerOf(path);
  reader->SetGuessPanoProjection(true);
  bool found = true;
  EXPECT_EQ(reader->DoInitDescriptionFromMovie(&found), MovieSerializer::kNoPresentation);
  EXPECT_FALSE(found);
  KsRef<MovieSerializer> again = SerializerOf(path);
  again->SetGuessPanoProjection(true);
  EXPECT_EQ(again->SetInitDescriptionFromMovie(true), MovieSerializer::kNoPresentation);
  EXPECT_NE(trace.find("No sources loaded for movie!"), std::string::npos);
}

TEST_F(MovieSerializerTest, ReadsAHandedInMovieAndLeavesItOpen) {
  const std::string path = Copy(movtest::MovFixtures::Get().headerFirst, "movie.mov");
  ASSERT_EQ(WritePresentation(path, "Given"), 0);
  hc::playback::DataReference reference;
  ASSERT_EQ(hc::playback::DataReference::FromPath(path, &reference), hc::playback::PlaybackErr::Ok);
  std::unique_ptr<hc::playback::Movie> movie;
  ASSERT_EQ(hc::playback::Movie::Open(reference, &movie), hc::playback::PlaybackErr::Ok);
  auto serializer = KsMakeRef<MovieSerializer>();
  serializer->SetMovie(movie.get());
  ASSERT_EQ(serializer->SetInitDescriptionFromMovie(true), 0);
  EXPECT_EQ(serializer->GetMovie(), movie.get());
  EXPECT_EQ(serializer->GetPresentation()->GetViewsetName().Str(), "Given");
  KsRef<PanoSource> source = serializer->GetPresentation()->GetMainSource()->GetLiveSource();
  ASSERT_TRUE(source.DynamicCast<QTMovieTrackSource>());
  EXPECT_TRUE(serializer->GetPresentation()->GetLiveClock());
}

TEST_F(MovieSerializerTest, HostileItemsReadAsNotStored) {
  const std::string path = Copy(movtest::MovFixtures::Get().headerLast, "movie.mov");
  {
    MovFile movie;
    ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
    // A bomb: a few bytes that claim to expand to 64 MiB of zeros and don't.
    std::vector<uint8_t> bomb = {0x04, 0x00, 0x00, 0x00, 0x78, 0x9c, 0x03, 0x00};
    ASSERT_EQ(movie.UserData().AppendItem(kPresentationUserDataType, bomb), MovErr::Ok);
    std::vector<uint8_t> description(28, 0);
    description[3] = 28;
    description[19] = 1;
    description[20] = 'z';
    description[21] = 'l';
    description[22] = 'i';
    description[23] = 'b';
    ASSERT_EQ(movie.UserData().AppendItem(kSampleDescriptionUserDataType, description), MovErr::Ok);
    ASSERT_EQ(movie.Save(), MovErr::Ok);
  }
  KsRef<MovieSerializer> reader = SerializerOf(path);
  reader->SetGuessPanoProjection(true);
  EXPECT_EQ(reader->SetInitDescriptionFromMovie(true), MovieSerializer::kPresentationGuessed);
}

// A write cut short at any step (as a crash or a full disk would), or killed
// at any moment, leaves a movie that plays and holds the old or the new
// presentation.
TEST_F(MovieSerializerTest, InterruptedWritesLeaveTheOldOrTheNewPresentation) {
  const std::string source = Copy(movtest::MovFixtures::Get().headerLast, "source.mov");
  ASSERT_EQ(WritePresentation(source, "old"), 0);
  const std::string frames = movtest::FrameMd5(source);
  bool completed = false;
  for (size_t step = 1; !completed && step < 30; ++step) {
    for (bool torn : {true, false}) {
      SCOPED_TRACE("step " + std::to_string(step) + (torn ? " torn" : ""));
      const std::string path = Copy(source, "movie.mov");
      KsRef<MovieSerializer> reader = SerializerOf(path);
      ASSERT_EQ(reader->SetInitDescriptionFromMovie(true), 0);
      KsRef<HcPresentation> presentation = reader->GetPresentation();
      presentation->SetViewsetName(PWStringRef("new"));
      KsRef<MovieSerializer> writer = SerializerOf(path);
      writer->SetPresentation(presentation);
      ASSERT_EQ(writer->OpenMovieForWrite(), 0);
      writer->GetDataHandler()->Io().SetFaultPlan({step, torn});
      const eAppErr err = writer->SetInitMovieFromDescription(true);
      completed = err == 0;
      writer->CloseMovie();
      const std::string stored = StoredViewsetName(path);
      EXPECT_TRUE(stored == "old" || stored == "new") << stored;
      if (completed) {
        EXPECT_EQ(stored, "new");
      }
      EXPECT_EQ(movtest::FrameMd5(path), frames);
    }
  }
  EXPECT_TRUE(completed);

  // Killed while writing again and again.
  std::mt19937 random(23);
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string path = Copy(source, "killed.mov");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) WritePresentation(path, i % 2 ? "old" : "new");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50 + random() % 400));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::string stored = StoredViewsetName(path);
    EXPECT_TRUE(stored == "old" || stored == "new") << stored;
    EXPECT_EQ(movtest::FrameMd5(path), frames);
  }
}

namespace {

// The atom-container bytes as HcML text, and back.
std::string AtomsToText(const std::vector<uint8_t>& atoms) {
  auto emitter = KsMakeRef<XMLStringEmitter>();
  auto parser = KsMakeRef<Parser>();
  parser->SetLexer(KsMakeRef<AtomLexer>());
  parser->SetEmitter(emitter);
  parser->SetRootObject(KsMakeRef<Chameleon>());
  EXPECT_EQ(parser->Parse(atoms.data(), atoms.size()), 0);
  return emitter->GetOutputString().Str();
}

std::vector<uint8_t> TextToAtoms(const std::string& text) {
  hc::movfile::AtomContainer container;
  auto emitter = KsMakeRef<AtomEmitter>();
  emitter->SetAtomContainer(&container);
  auto parser = KsMakeRef<Parser>();
  parser->SetLexer(KsMakeRef<XMLLexer>());
  parser->SetEmitter(emitter);
  parser->SetRootObject(KsMakeRef<Chameleon>());
  EXPECT_EQ(parser->Parse(text.data(), text.size()), 0);
  emitter->SetAtomContainer(nullptr);
  std::vector<uint8_t> bytes;
  EXPECT_EQ(container.Flatten(&bytes), MovErr::Ok);
  return bytes;
}

// Rewrites the movie's stored presentation so that it reads the viewsets
// from a file.
void StoreViewsetPath(const std::string& moviePath, const std::string& viewsetPath) {
  MovFile movie;
  ASSERT_EQ(movie.OpenForUpdate(moviePath), MovErr::Ok);
  std::unique_ptr<hc::foundation::ByteHandle> item;
  ASSERT_EQ(ReadCompressedUserDataItem(movie.UserData(), kPresentationUserDataType, &item), 0);
  std::string text = AtomsToText(std::vector<uint8_t>(item->View().begin(), item->View().end()));
  const size_t name = text.find("<ViewsetName>");
  ASSERT_NE(name, std::string::npos) << text;
  text.insert(name, "<ViewsetHcMLPath>" + viewsetPath + "</ViewsetHcMLPath>");
  ASSERT_EQ(WriteCompressedUserDataItem(true, TextToAtoms(text), movie.UserData(), kZlibDataCompressorType,
                                        kPresentationUserDataType),
            0);
  ASSERT_EQ(movie.Save(), MovErr::Ok);
}

}  // namespace

// What a movie carries reads files only beside the movie and from the
// resource folders it is given.
TEST_F(MovieSerializerTest, APresentationFromAMovieReadsFilesOnlyBesideItAndFromTheResourceFolders) {
  movtest::TempDir outside;
  movtest::TempDir resources;
  const std::string path = Copy(movtest::MovFixtures::Get().headerLast, "movie.mov");
  ASSERT_EQ(WritePresentation(path, "Stored"), 0);
  movtest::WriteBytes(folder.File("beside.hcml"), movtest::Bytes("<beside/>"));
  movtest::WriteBytes(outside.File("secret.hcml"), movtest::Bytes("<secret/>"));
  movtest::WriteBytes(resources.File("resource.hcml"), movtest::Bytes("<resource/>"));
  const struct {
    std::string file;
    std::string expected;
  } cases[] = {
      {folder.File("beside.hcml"), "<beside/>"},
      {"beside.hcml", "<beside/>"},
      {resources.File("resource.hcml"), "<resource/>"},
      {outside.File("secret.hcml"), kViewsets},
      {folder.File("../") + std::filesystem::path(outside.Path()).filename().string() + "/secret.hcml", kViewsets},
      {"/dev/zero", kViewsets},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string movie = Copy(path, "hostile.mov");
    StoreViewsetPath(movie, c.file);
    KsRef<MovieSerializer> reader = SerializerOf(movie);
    reader->SetResourceFolders({resources.Path()});
    reader->SetInitDescriptionFromMovie(true);
    EXPECT_EQ(reader->GetPresentation()->GetViewsetHcML().Str(), c.expected);
  }
}

// The document's way through the bridge: a movie handed in, the read, the
// presentation; the track operations take a track of the movie's file.
TEST_F(MovieSerializerTest, BridgedSelectorsReachTheOperations) {
  namespace rt = hc::runtime;
  const std::string path = Copy(movtest::MovFixtures::Get().headerLast, "movie.mov");
  ASSERT_EQ(WritePresentation(path, "Bridged"), 0);
  hc::playback::DataReference reference;
  ASSERT_EQ(hc::playback::DataReference::FromPath(path, &reference), hc::playback::PlaybackErr::Ok);
  std::unique_ptr<hc::playback::Movie> movie;
  ASSERT_EQ(hc::playback::Movie::Open(reference, &movie), hc::playback::PlaybackErr::Ok);
  auto serializer = KsMakeRef<MovieSerializer>();
  const rt::ObjectRef proxy = GetCocoaObject(serializer.Get());
  ASSERT_TRUE(proxy);
  rt::Value result;
  ASSERT_EQ(rt::Send(proxy.Get(), "setMovie:", {rt::Value::Pointer(movie.get())}, &result), rt::RuntimeErr::Ok);
  ASSERT_EQ(rt::Send(proxy.Get(), "setGuessPanoProjection:", {rt::Value::Bool(true)}, &result), rt::RuntimeErr::Ok);
  bool found = false;
  ASSERT_EQ(rt::Send(proxy.Get(), "doInitDescriptionFromMovieFoundData:", {rt::Value::OutPointer(&found)}, &result),
            rt::RuntimeErr::Ok);
  EXPECT_EQ(result.GetInt(), 0);
  EXPECT_TRUE(found);
  ASSERT_EQ(rt::Send(proxy.Get(), "presentation", {}, &result), rt::RuntimeErr::Ok);
  const KsRef<HcPresentation> presentation = KsObjectFromCocoa(result.GetObject()).DynamicCast<HcPresentation>();
  ASSERT_TRUE(presentation);
  EXPECT_EQ(presentation->GetViewsetName().Str(), "Bridged");
  ASSERT_EQ(rt::Send(proxy.Get(), "movieHasSpecialVisualTracks", {}, &result), rt::RuntimeErr::Ok);
  EXPECT_FALSE(result.GetBool());

  MovFile* file = nullptr;
  ASSERT_EQ(serializer->GetMovieFile(&file), 0);
  ASSERT_EQ(rt::Send(proxy.Get(), "loadSourceDescriptionFromTracktrack:", {rt::Value::Pointer(&file->Track(0))},
                     &result),
            rt::RuntimeErr::Ok);
  const KsRef<SourceDescription> description = KsObjectFromCocoa(result.GetObject()).DynamicCast<SourceDescription>();
  ASSERT_TRUE(description);
  EXPECT_NE(description->GetProjectionHcML().Str().find("EquirectangularProj"), std::string::npos);
}
