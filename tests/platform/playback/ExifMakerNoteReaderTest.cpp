#include "platform/playback/ExifMakerNoteReader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "StillImageTestTools.h"
#include "platform/playback/GraphicsImporter.h"
#include "platform/movfile/MovFourCC.h"

using namespace hc::movfile;
using namespace hc::playback;
using movtest::TempDir;

namespace {

const std::string kNote =
    "<lumisfera version=\"3\"><field name=\"Projection\" value=\"equi\"/><field name=\"PanMin\" value=\"0\"/>"
    "<field name=\"PanMax\" value=\"360\"/><field name=\"TiltMin\" value=\"-30\"/>"
    "<field name=\"TiltMax\" value=\"45\"/></lumisfera>";

// exiftool, not our code, writes the note into the picture's EXIF data.
void WriteMakerNote(const std::string& picture, const std::string& noteFile) {
  auto result = movtest::RunTool({"exiftool", "-q", "-overwrite_original",
                                  "-ExifIFD:MakerNoteUnknownText<=" + noteFile, picture});
  ASSERT_EQ(result.status, 0) << "exiftool could not write into " << picture;
}

class ExifMakerNoteReaderTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ExifMakerNoteReaderTest, ReadsTheNoteExiftoolWrote) {
  if (!movtest::HaveTool("exiftool")) GTEST_SKIP() << "exiftool is not installed";
  TempDir dir;
  const std::string picture = dir.File(std::string("note.") + GetParam());
  stilltest::MakePicture(picture, "40x20", "rgb24");
  movtest::WriteBytes(dir.File("note.txt"), movtest::Bytes(kNote));

  GraphicsImporter importer;
  std::vector<uint8_t> note;
  ASSERT_EQ(importer.OpenFile(picture), PlaybackErr::Ok);
  EXPECT_EQ(importer.ExifMakerNote(note), PlaybackErr::UserDataItemNotFound);
  EXPECT_TRUE(note.empty());

  WriteMakerNote(picture, dir.File("note.txt"));
  ASSERT_EQ(importer.OpenFile(picture), PlaybackErr::Ok);
  ASSERT_EQ(importer.ExifMakerNote(note), PlaybackErr::Ok);
  EXPECT_EQ(std::string(note.begin(), note.end()), kNote);
}

INSTANTIATE_TEST_SUITE_P(Formats, ExifMakerNoteReaderTest, ::testing::Values("jpg", "tif", "png"));

TEST(ExifMakerNoteReaderHostileTest, DamagedExifDataFindsNoNote) {
  if (!movtest::HaveTool("exiftool")) GTEST_SKIP() << "exiftool is not installed";
  TempDir dir;
  movtest::WriteBytes(dir.File("note.txt"), movtest::Bytes(kNote));
  for (const char* extension : {"jpg", "png"}) {
    SCOPED_TRACE(extension);
    const std::string picture = dir.File(std::string("note.") + extension);
    stilltest::MakePicture(picture, "40x20", "rgb24");
    WriteMakerNote(picture, dir.File("note.txt"));
    const std::vector<uint8_t> bytes = movtest::ReadBytes(picture);
    const uint32_t codecType = extension == std::string("jpg") ? MovFourCC("jpeg") : MovFourCC("png ");
    std::vector<uint8_t> note;
    ASSERT_EQ(ExifMakerNoteReader::Read(codecType, bytes, note), PlaybackErr::Ok);

    // Cut inside the EXIF segment or chunk: its length then runs past the end.
    const auto text = std::search(bytes.begin(), bytes.end(), kNote.begin(), kNote.end());
    ASSERT_NE(text, bytes.end());
    std::vector<uint8_t> cut(bytes.begin(), text + 10);
    EXPECT_EQ(ExifMakerNoteReader::Read(codecType, cut, note), PlaybackErr::UserDataItemNotFound);
    EXPECT_TRUE(note.empty());

    // Every byte of the EXIF block's directories flipped in turn: whatever
    // libexif makes of it, nothing is read outside the block.
    const std::vector<uint8_t> block = ExifMakerNoteReader::FindExifBlock(codecType, bytes);
    ASSERT_FALSE(block.empty());
    const auto blockAt = std::search(bytes.begin(), bytes.end(), block.begin() + 6, block.end());
    const size_t directoriesAt = static_cast<size_t>(blockAt - bytes.begin());
    for (size_t i = directoriesAt; i < directoriesAt + 120 && i < bytes.size(); ++i) {
      std::vector<uint8_t> damaged = bytes;
      damaged[i] ^= 0xFF;
      ExifMakerNoteReader::Read(codecType, damaged, note);
    }
  }
  std::vector<uint8_t> note;
  EXPECT_EQ(ExifMakerNoteReader::Read(MovFourCC("WRLE"), movtest::Bytes("BM"), note), PlaybackErr::UnsupportedCodec);
  EXPECT_EQ(ExifMakerNoteReader::Read(MovFourCC("jpeg"), {}, note), PlaybackErr::UserDataItemNotFound);
}

}  // namespace
