#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "MovFixtures.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/movfile/MovImageDescription.h"
#include "platform/movfile/MovMetadataReader.h"

using namespace hc::movfile;
using namespace movtest;

namespace {

// ffprobe's answer for one field of a stream ("time_base", "nb_frames", ...).
std::string StreamField(const std::string& path, int stream, const std::string& field) {
  ToolResult result = RunTool({"ffprobe", "-v", "error", "-select_streams", std::to_string(stream),
                               "-show_entries", "stream=" + field, "-of", "csv=p=0", path});
  std::string value = result.out;
  while (!value.empty() && (value.back() == '\n' || value.back() == ',')) value.pop_back();
  return value;
}

struct Packet {
  int64_t pts;
  int64_t duration;
  uint64_t size;
  bool discarded;
};

std::vector<Packet> Packets(const std::string& path, int stream) {
  ToolResult result = RunTool({"ffprobe", "-v", "error", "-select_streams", std::to_string(stream),
                               "-show_entries", "packet=pts,duration,size,flags", "-of", "csv=p=0", path});
  std::vector<Packet> packets;
  std::istringstream lines(result.out);
  std::string line;
  while (std::getline(lines, line)) {
    Packet packet{};
    char flags[8] = {};
    if (std::sscanf(line.c_str(), "%ld,%ld,%lu,%7s", &packet.pts, &packet.duration, &packet.size, flags) == 4) {
      packet.discarded = std::string(flags).find('D') != std::string::npos;
      packets.push_back(packet);
    }
  }
  return packets;
}

uint64_t SumOfSizes(const std::vector<Packet>& packets) {
  uint64_t total = 0;
  for (const auto& packet : packets) total += packet.size;
  return total;
}

}  // namespace

TEST(MovFileRead, ReadsTrackFactsWhereverTheHeaderLies) {
  const auto& fixtures = MovFixtures::Get();
  for (const std::string& path : {fixtures.headerLast, fixtures.headerFirst}) {
    SCOPED_TRACE(path);
    MovFile movie;
    ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
    ASSERT_EQ(movie.LoadTracks(), MovErr::Ok);
    EXPECT_EQ(movie.TimeScale(), 1000u);
    EXPECT_EQ(movie.Duration(), 1000u);
    ASSERT_EQ(movie.TrackCount(), 3u);
    const uint32_t handlers[] = {MovFourCC("vide"), MovFourCC("soun"), MovFourCC("vide")};
    for (size_t i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      const MovTrack& track = movie.Track(i);
      EXPECT_EQ(track.TrackId(), i + 1);
      EXPECT_EQ(track.IsEnabled(), i != 2);  // ffmpeg enables one track of each kind
      EXPECT_EQ(track.HandlerType(), handlers[i]);
      EXPECT_EQ(track.HasVisualCharacteristic(), i != 1);
      EXPECT_EQ(track.TrackHeaderSize(), 92u);
      EXPECT_EQ("1/" + std::to_string(track.MediaTimeScale()), StreamField(path, static_cast<int>(i), "time_base"));
      EXPECT_EQ(std::to_string(track.MediaDuration()), StreamField(path, static_cast<int>(i), "duration_ts"));
      EXPECT_EQ(track.DataSize(), SumOfSizes(Packets(path, static_cast<int>(i))));
      EXPECT_EQ(track.Offset(), 0u);
    }
    EXPECT_EQ(std::to_string(movie.Track(2).Samples().SampleCount()), StreamField(path, 2, "nb_frames"));

    const MovTrack& video = movie.Track(0);
    EXPECT_DOUBLE_EQ(video.CleanAperture().Width(), 64.0);
    EXPECT_DOUBLE_EQ(video.CleanAperture().Height(), 32.0);
    ASSERT_EQ(video.SampleDescriptionCount(), 1u);
    MovImageDescription description;
    ASSERT_EQ(MovImageDescription::Parse(video.SampleDescription(1), description), MovErr::Ok);
    EXPECT_EQ(MovFourCCText(description.CodecType()), StreamField(path, 0, "codec_tag_string"));
    EXPECT_EQ(description.Width(), 64);
    EXPECT_EQ(description.Height(), 32);
    EXPECT_EQ(description.Depth(), 24);
    uint32_t horizontal = 0;
    uint32_t vertical = 0;
    ASSERT_TRUE(description.PixelAspect(horizontal, vertical));
    EXPECT_EQ(horizontal, vertical);
    EXPECT_TRUE(video.SampleDescription(2).empty());

    std::vector<uint8_t> first;
    uint32_t descriptionIndex = 0;
    ASSERT_EQ(movie.ReadSample(video, 1, first, &descriptionIndex), MovErr::Ok);
    EXPECT_EQ(descriptionIndex, 1u);
    ToolResult packet = RunTool({"ffmpeg", "-loglevel", "error", "-i", path, "-map", "0:v:0", "-frames:v", "1",
                                 "-c", "copy", "-f", "data", "-"});
    EXPECT_EQ(std::string(first.begin(), first.end()), packet.out);
    EXPECT_EQ(movie.ReadSample(video, 0, first), MovErr::InvalidSampleNumber);
    EXPECT_EQ(movie.ReadSample(video, 11, first), MovErr::InvalidSampleNumber);

    // Sound samples lie many to a chunk: every one of them matches the raw
    // PCM that ffmpeg copies out.
    const MovTrack& sound = movie.Track(1);
    std::string pcm = RunTool({"ffmpeg", "-loglevel", "error", "-i", path, "-map", "0:a", "-c", "copy", "-f", "s16le",
                               "-"}).out;
    ASSERT_EQ(pcm.size(), sound.Samples().SampleCount() * 2);
    for (uint64_t number : {uint64_t{1}, uint64_t{1025}, uint64_t{4001}, sound.Samples().SampleCount()}) {
      std::vector<uint8_t> sample;
      ASSERT_EQ(movie.ReadSample(sound, number, sample), MovErr::Ok);
      EXPECT_EQ(std::string(sample.begin(), sample.end()), pcm.substr((number - 1) * 2, 2)) << number;
    }

    EXPECT_EQ(movie.UserData().CountItems(MovFourCC("\xA9nam")), 1u);
  }
}

TEST(MovFileRead, TakesTheTrackOffsetAndDataSizeFromTheEditList) {
  const auto& fixtures = MovFixtures::Get();
  MovFile delayed;
  ASSERT_EQ(delayed.OpenForRead(fixtures.delayed), MovErr::Ok);
  ASSERT_EQ(delayed.LoadTracks(), MovErr::Ok);
  ASSERT_EQ(delayed.TrackCount(), 1u);
  EXPECT_EQ(delayed.Track(0).Offset(), 500u);
  EXPECT_EQ(delayed.Track(0).DataSize(), SumOfSizes(Packets(fixtures.delayed, 0)));

  // Cut between key frames: the samples before the cut are stored (they are
  // needed to decode) but the edit list does not show them; ffmpeg marks them
  // as discarded.
  MovFile trimmed;
  ASSERT_EQ(trimmed.OpenForRead(fixtures.trimmed), MovErr::Ok);
  ASSERT_EQ(trimmed.LoadTracks(), MovErr::Ok);
  auto packets = Packets(fixtures.trimmed, 0);
  std::vector<Packet> shown;
  for (const auto& packet : packets) {
    if (!packet.discarded) shown.push_back(packet);
  }
  ASSERT_LT(shown.size(), packets.size());
  EXPECT_EQ(trimmed.Track(0).DataSize(), SumOfSizes(shown));
  EXPECT_EQ(trimmed.Track(0).Samples().SampleCount(), packets.size());
}

TEST(MovFileRead, ReadsTextItemsAndMetadataKeysWrittenByOtherTools) {
  const auto& fixtures = MovFixtures::Get();
  TempDir dir;
  std::string tagged = dir.File("tagged.mov");
  ASSERT_EQ(RunTool({"ffmpeg", "-loglevel", "error", "-i", fixtures.headerLast, "-map", "0", "-c", "copy",
                     "-metadata", "com.example.place=Lake", "-movflags", "use_metadata_tags", tagged})
                .status,
            0);
  std::string keyed = dir.File("keyed.mov");
  CopyFile(fixtures.headerLast, keyed);
  ASSERT_EQ(RunTool({"exiftool", "-q", "-overwrite_original", "-Keys:Author=Ann", keyed}).status, 0);

  auto find = [](const std::vector<MovMetadataItem>& items, const std::string& key) -> const MovMetadataItem* {
    for (const auto& item : items) {
      if (item.KeyText() == key) return &item;
    }
    return nullptr;
  };
  MovFile movie;
  ASSERT_EQ(movie.OpenForRead(fixtures.headerLast), MovErr::Ok);
  std::vector<MovMetadataItem> items;
  ASSERT_EQ(movie.Metadata(items), MovErr::Ok);
  const MovMetadataItem* title = find(items, "\xA9nam");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->keyFormat, MovMetadataItem::kUserDataKeys);
  EXPECT_EQ(title->dataType, MovMetadataItem::kUtf8);
  EXPECT_EQ(std::string(title->value.begin(), title->value.end()), "Hello");
  EXPECT_EQ(MovMetadataReader::CommonKey(*title), MovFourCC("name"));

  ASSERT_EQ(movie.OpenForRead(tagged), MovErr::Ok);
  ASSERT_EQ(movie.Metadata(items), MovErr::Ok);
  const MovMetadataItem* place = find(items, "com.example.place");
  ASSERT_NE(place, nullptr);
  EXPECT_EQ(place->keyFormat, MovMetadataItem::kMetadataKeys);
  EXPECT_EQ(std::string(place->value.begin(), place->value.end()), "Lake");
  EXPECT_EQ(MovMetadataReader::CommonKey(*place), 0u);

  ASSERT_EQ(movie.OpenForRead(keyed), MovErr::Ok);
  ASSERT_EQ(movie.Metadata(items), MovErr::Ok);
  const MovMetadataItem* author = find(items, "com.apple.quicktime.author");
  ASSERT_NE(author, nullptr);
  EXPECT_TRUE(author->IsText());
  EXPECT_EQ(std::string(author->value.begin(), author->value.end()), "Ann");
  EXPECT_EQ(MovMetadataReader::CommonKey(*author), MovFourCC("auth"));
}

// A header grown by long sample tables, as a long movie's is: opening and
// reading the movie's and tracks' user data reads little of it, so does
// reading the tracks' facts, and loading the tracks reads it once more at
// most (a compressed one not again).
TEST(MovFileRead, OpeningReadsTheUserDataNotTheSampleTables) {
  TempDir dir;
  const std::vector<uint8_t> note = Bytes("a note on the track");
  for (bool compress : {false, true}) {
    SCOPED_TRACE(compress ? "compressed header" : "plain header");
    const std::string path = dir.File("long-header.mov");
    RewriteHeader(MovFixtures::Get().headerLast, path, [&](MovAtomNode& moov) {
      std::vector<uint32_t> sizes = {0, 1u << 18};
      sizes.resize(sizes.size() + (size_t{1} << 18), 7);
      SetSampleTableAtom(moov, 2, MovFourCC("stsz"), Words(sizes));
      std::vector<uint8_t> udta;
      MovByteWriter writer(udta);
      writer.AtomHeader(MovFourCC("Hcsd"), 8 + note.size());
      writer.Bytes(note);
      moov.FindChild(MovFourCC("trak"), 2)->Children().push_back(MovAtomNode::Leaf(MovFourCC("udta"), udta));
    }, compress);
    MovFile movie;
    ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
    EXPECT_GT(movie.HeaderAtom().size, compress ? 0u : 1u << 20);
    std::vector<uint8_t> item;
    ASSERT_EQ(movie.UserData().GetItem(MovFourCC("\xA9nam"), 1, item), MovErr::Ok);
    EXPECT_TRUE(std::string(item.begin(), item.end()).ends_with("Hello"));  // after length and language
    ASSERT_EQ(movie.TrackCount(), 3u);
    ASSERT_EQ(movie.Track(1).UserData().GetItem(MovFourCC("Hcsd"), 1, item), MovErr::Ok);
    EXPECT_EQ(item, note);
    const uint64_t opening = movie.Io().BytesRead();
    EXPECT_LE(opening, compress ? movie.HeaderAtom().size + 4096 : 64u * 1024);

    // The tracks' facts, as a player reads them, leave the bulk tables unread.
    ASSERT_EQ(movie.LoadTrackFacts(), MovErr::Ok);
    EXPECT_LE(movie.Io().BytesRead() - opening, compress ? 0u : 64u * 1024);
    EXPECT_EQ(movie.Track(2).Samples().SampleCount(), 1u << 18);
    // Compressed, the header declares more pictures than the file has bytes.
    EXPECT_EQ(movie.CheckSampleTables(), compress ? MovErr::InvalidSampleTable : MovErr::Ok);
    const uint64_t facts = movie.Io().BytesRead();

    ASSERT_EQ(movie.LoadTracks(), MovErr::Ok);
    EXPECT_EQ(movie.Io().BytesRead() - facts, compress ? 0u : movie.HeaderAtom().size);
    EXPECT_EQ(movie.Track(1).UserData().CountItems(MovFourCC("Hcsd")), 1u);
    EXPECT_EQ(movie.Track(2).Samples().SampleCount(), 1u << 18);
    ASSERT_EQ(movie.LoadTracks(), MovErr::Ok);
    EXPECT_EQ(movie.Io().BytesRead() - facts, compress ? 0u : movie.HeaderAtom().size);
  }
}

// The facts read without the bulk tables are those of the full reading.
TEST(MovFileRead, TrackFactsAgreeWithTheFullReading) {
  const auto& fixtures = MovFixtures::Get();
  for (const std::string& path : {fixtures.headerLast, fixtures.headerFirst, fixtures.delayed, fixtures.trimmed}) {
    SCOPED_TRACE(path);
    MovFile facts;
    MovFile full;
    ASSERT_EQ(facts.OpenForRead(path), MovErr::Ok);
    ASSERT_EQ(facts.LoadTrackFacts(), MovErr::Ok);
    ASSERT_EQ(full.OpenForRead(path), MovErr::Ok);
    ASSERT_EQ(full.LoadTracks(), MovErr::Ok);
    ASSERT_EQ(facts.TrackCount(), full.TrackCount());
    for (size_t i = 0; i < full.TrackCount(); ++i) {
      const MovTrack& a = facts.Track(i);
      const MovTrack& b = full.Track(i);
      EXPECT_EQ(a.TrackId(), b.TrackId());
      EXPECT_EQ(a.IsEnabled(), b.IsEnabled());
      EXPECT_EQ(a.HandlerType(), b.HandlerType());
      EXPECT_EQ(a.Duration(), b.Duration());
      EXPECT_EQ(a.Offset(), b.Offset());
      EXPECT_EQ(a.MediaTimeScale(), b.MediaTimeScale());
      EXPECT_EQ(a.TrackDimensions().width, b.TrackDimensions().width);
      EXPECT_EQ(a.CleanAperture().height, b.CleanAperture().height);
      EXPECT_EQ(a.Samples().SampleCount(), b.Samples().SampleCount());
      EXPECT_EQ(a.Samples().Descriptions(), b.Samples().Descriptions());
      uint32_t size = 0;
      EXPECT_EQ(a.Samples().SampleSize(1, size), MovErr::InvalidSampleTable);
    }
  }
}
