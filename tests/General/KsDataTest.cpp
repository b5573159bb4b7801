#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "General/HcClassMap.h"
#include "General/KsData.h"
#include "Utilities/HcProperty.h"
#include "platform/foundation/PlistValue.h"

extern char** environ;

namespace {

using hc::foundation::PlistValue;
using Bytes = std::vector<uint8_t>;

KsRef<HcProperty> DataProperty(const char* name) { return KsData::ClassGetClassObject()->FindProperty(name); }

Bytes Pattern(size_t length) {
  Bytes bytes(length);
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(i * 37 + 11);
  return bytes;
}

// The bytes a KsData shows through its pointer and length.
Bytes Contents(KsData& data) {
  const auto* bytes = static_cast<const uint8_t*>(data.GetMutableBytes());
  return bytes ? Bytes(bytes, bytes + data.GetLength()) : Bytes();
}

KsPropertyList DataValue(const Bytes& bytes) {
  return KsPropertyList(std::make_shared<const PlistValue>(PlistValue::FromData(bytes)));
}

// The text the system's base64 tool writes for the bytes with lines of the
// given width (0: one line).
std::string ToolBase64(const Bytes& bytes, int width) {
  std::string folderTemplate = (std::filesystem::temp_directory_path() / "ksdata-XXXXXX").string();
  const char* folder = mkdtemp(folderTemplate.data());
  if (!folder) return {};
  const std::filesystem::path input = std::filesystem::path(folder) / "in";
  const std::filesystem::path output = std::filesystem::path(folder) / "out";
  std::ofstream(input, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const std::string widthText = std::to_string(width);
  const std::string inputText = input.string();
  char* argv[] = {const_cast<char*>("base64"), const_cast<char*>("-w"), const_cast<char*>(widthText.c_str()),
                  const_cast<char*>(inputText.c_str()), nullptr};
  pid_t child = 0;
  int status = -1;
  if (posix_spawnp(&child, "base64", &actions, nullptr, argv, environ) == 0) waitpid(child, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  std::stringstream text;
  text << std::ifstream(output).rdbuf();
  std::filesystem::remove_all(folder);
  return status == 0 ? text.str() : std::string();
}

TEST(KsDataTest, BytesAreGivenOnceAfterTheLength) {
  auto data = KsMakeRef<KsData>();
  const Bytes source = Pattern(6);
  auto bytes = DataProperty("Bytes");
  auto length = DataProperty("Length");

  EXPECT_EQ(-903, bytes->SetValue(data.Get(), const_cast<uint8_t*>(source.data())));  // no length yet
  void* pointer = &data;
  EXPECT_EQ(0, bytes->GetValue(data.Get(), &pointer));
  EXPECT_EQ(nullptr, pointer);

  EXPECT_EQ(0, length->SetValue(data.Get(), 8u));
  EXPECT_EQ(0, length->SetValue(data.Get(), 4u));  // the last length before the buffer wins
  EXPECT_EQ(0, bytes->SetValue(data.Get(), const_cast<uint8_t*>(source.data())));
  EXPECT_EQ(Bytes(source.begin(), source.begin() + 4), Contents(*data));

  const Bytes other(4, 0xEE);
  EXPECT_EQ(-903, bytes->SetValue(data.Get(), const_cast<uint8_t*>(other.data())));
  EXPECT_EQ(-903, length->SetValue(data.Get(), 2u));
  EXPECT_EQ(0, data->SetBase64("7u7u"));
  EXPECT_EQ(0, data->SetCFData(DataValue(other)));
  EXPECT_EQ(Bytes(source.begin(), source.begin() + 4), Contents(*data));
  EXPECT_EQ(4u, data->GetLength());
}

TEST(KsDataTest, NewBuffersAreZeroFilledAndFixTheLength) {
  auto data = KsMakeRef<KsData>();
  data->SetLength(8);
  EXPECT_EQ(Bytes(8, 0), Contents(*data));
  EXPECT_EQ(-903, data->SetLength(16));
  EXPECT_EQ(8u, data->GetLength());

  auto unwritten = KsMakeRef<KsData>();
  unwritten->SetLength(3);
  EXPECT_EQ(PWStringRef("000000"), unwritten->CopyHex());
  EXPECT_EQ(PWStringRef("AAAA"), unwritten->CopyBase64());

  // A copy of no bytes from no source is still a (empty) buffer.
  auto empty = KsMakeRef<KsData>();
  empty->SetLength(0);
  EXPECT_EQ(0, empty->SetBytes(nullptr));
  EXPECT_EQ(-903, empty->SetBytes(nullptr));
  auto missing = KsMakeRef<KsData>();
  missing->SetLength(4);
  EXPECT_EQ(-2, missing->SetBytes(nullptr));
  EXPECT_EQ(0, missing->SetLength(2));
}

TEST(KsDataTest, NeverSetsPointerPropertiesFromText) {
  auto data = KsMakeRef<KsData>();
  data->SetLength(4);
  EXPECT_EQ(-900, DataProperty("BytesNoCopy")->SetValue(data.Get(), "0x12345678"));
  EXPECT_EQ(-900, DataProperty("Bytes")->SetValue(data.Get(), "0x12345678"));
  EXPECT_EQ(-900, DataProperty("Bytes")->SetValueFromText(data.Get(), "AAAA"));
  // Still no buffer: the bytes can be given now.
  EXPECT_EQ(0, data->SetHex("01020304"));
  EXPECT_EQ((Bytes{1, 2, 3, 4}), Contents(*data));
}

TEST(KsDataTest, AdoptsHeapBlocksOnceAndFreesThem) {
  auto data = KsMakeRef<KsData>();
  auto* block = static_cast<uint8_t*>(std::malloc(3));
  std::memcpy(block, "\x01\x02\x03", 3);
  EXPECT_EQ(0, DataProperty("BytesNoCopy")->SetValue(data.Get(), static_cast<void*>(block)));
  EXPECT_FALSE(DataProperty("BytesNoCopy")->GetCanGet());

  // Adopted without a length, it reads as empty in every form.
  EXPECT_EQ(nullptr, data->GetMutableBytes());
  EXPECT_EQ(PWStringRef(""), data->CopyHex());
  EXPECT_EQ(PWStringRef(""), data->CopyBase64());
  EXPECT_EQ(0u, data->CopyCFData().Value()->AsData()->size());

  void* second = std::malloc(1);
  EXPECT_EQ(-903, data->SetBytesNoCopy(second));
  std::free(second);

  auto sized = KsMakeRef<KsData>();
  sized->SetLength(3);
  sized->SetBytesNoCopy(std::malloc(3));
  std::memcpy(sized->GetMutableBytes(), "\xab\xcd\xef", 3);
  EXPECT_EQ(PWStringRef("abcdef"), sized->CopyHex());
  // Both blocks are freed with their objects (the sanitizer checks).
}

// Encoded text reads back whatever its line breaks: ours (lines of 64), and
// the base64 tool's on one line and in lines of 64 and 76.
TEST(KsDataTest, Base64ReadsBackAnyLineLength) {
  for (size_t length : {0u, 1u, 2u, 3u, 47u, 48u, 49u, 57u, 58u, 128u, 1000u}) {
    const Bytes bytes = Pattern(length);
    auto source = KsMakeRef<KsData>();
    source->SetLength(static_cast<uint32_t>(length));
    source->SetBytes(bytes.data());
    const PWStringRef text = source->CopyBase64();
    EXPECT_NE('\n', text.Str().empty() ? 0 : text.Str().back()) << length;

    std::vector<std::string> forms = {text.Str(), text.Str() + "\n", text.Str() + "\r\n"};
    for (int width : {0, 64, 76}) {
      const std::string tool = ToolBase64(bytes, width);
      ASSERT_FALSE(tool.empty() && length > 0) << "base64 -w " << width;
      forms.push_back(tool);
      if (width == 64) {
        EXPECT_EQ(text.Str() + (length > 0 ? "\n" : ""), tool) << "our lines are the tool's lines of 64";
      }
    }
    if (length <= 48) {
      EXPECT_EQ(std::string::npos, text.Str().find('\n')) << length;
    }
    if (length == 49) {
      EXPECT_EQ(64u, text.Str().find('\n'));
    }

    for (const std::string& form : forms) {
      auto copy = KsMakeRef<KsData>();
      EXPECT_EQ(0, DataProperty("Base64")->SetValue(copy.Get(), PWStringRef(form))) << length;
      EXPECT_EQ(length, copy->GetLength());
      EXPECT_TRUE(copy->HasLength());
      EXPECT_EQ(bytes, Contents(*copy)) << length << " " << form;
    }
  }
}

TEST(KsDataTest, InvalidBase64AnswersAnErrorAndChangesNothing) {
  const char* invalid[] = {"abc", "ab!d", "QUJD=A==", "QQ===", "QUJD-", "====", "QUJ\xc3\xa9"};
  for (const char* text : invalid) {
    auto fresh = KsMakeRef<KsData>();
    EXPECT_EQ(-900, fresh->SetBase64(text)) << text;
    EXPECT_FALSE(fresh->HasLength()) << text;
    EXPECT_EQ(0, fresh->SetHex("0102")) << "bytes can still be given after " << text;

    auto sized = KsMakeRef<KsData>();
    sized->SetLength(5);
    EXPECT_EQ(-900, sized->SetBase64(text)) << text;
    EXPECT_EQ(5u, sized->GetLength()) << text;
  }
  auto data = KsMakeRef<KsData>();
  EXPECT_EQ(-2, data->SetBase64(nullptr));
  EXPECT_EQ(0, data->SetBase64(""));
  EXPECT_TRUE(data->HasLength());
  EXPECT_EQ(0u, data->GetLength());
  EXPECT_NE(nullptr, data->GetMutableBytes());
}

TEST(KsDataTest, HexIsTwoLowerCaseDigitsPerByteAndStaysWithinTheLength) {
  auto data = KsMakeRef<KsData>();
  EXPECT_EQ(PWStringRef(""), data->CopyHex());
  EXPECT_EQ(0, DataProperty("Hex")->SetValue(data.Get(), PWStringRef("00AB10")));
  EXPECT_EQ(3u, data->GetLength());
  EXPECT_EQ(PWStringRef("00ab10"), data->CopyHex());

  // Longer texts read byte for byte, too.
  const Bytes bytes = Pattern(37);
  auto source = KsMakeRef<KsData>();
  source->SetLength(37);
  source->SetBytes(bytes.data());
  auto copy = KsMakeRef<KsData>();
  copy->SetLength(99);  // no buffer yet: the text's byte count becomes the length
  EXPECT_EQ(0, copy->SetHex(source->CopyHex()));
  EXPECT_EQ(bytes, Contents(*copy));

  // An existing buffer is rewritten from its start, never past its end.
  auto fixed = KsMakeRef<KsData>();
  fixed->SetLength(2);
  fixed->SetHex("0102");
  struct Case {
    const char* text;
    eAppErr result;
    Bytes after;
  };
  const Case cases[] = {
      {"0a0b0c", -901, {1, 2}}, {"0a0b", 0, {10, 11}}, {"ff", 0, {255, 11}}, {"", 0, {255, 11}},
      {"abc", -900, {255, 11}}, {"zz", -900, {255, 11}}, {"0x", -900, {255, 11}}, {" 01", -900, {255, 11}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.result, fixed->SetHex(c.text)) << c.text;
    EXPECT_EQ(c.after, Contents(*fixed)) << c.text;
    EXPECT_EQ(2u, fixed->GetLength());
  }
  auto fresh = KsMakeRef<KsData>();
  EXPECT_EQ(-900, fresh->SetHex("123"));
  EXPECT_EQ(-2, fresh->SetHex(nullptr));
  EXPECT_FALSE(fresh->HasLength());
}

TEST(KsDataTest, DataValuesCarryCopiesOfTheBytes) {
  auto data = KsMakeRef<KsData>();
  EXPECT_EQ(0, DataProperty("CFData")->SetValue(data.Get(), DataValue({})));
  EXPECT_EQ(0u, data->GetLength());
  EXPECT_TRUE(data->HasLength());
  EXPECT_NE(nullptr, data->GetMutableBytes());

  auto bad = KsMakeRef<KsData>();
  EXPECT_EQ(-2, bad->SetCFData(KsPropertyList(std::make_shared<const PlistValue>(PlistValue::FromString("x")))));
  EXPECT_EQ(-2, bad->SetCFData(KsPropertyList()));
  EXPECT_FALSE(bad->HasLength());

  const Bytes bytes = Pattern(5);
  auto filled = KsMakeRef<KsData>();
  EXPECT_EQ(0, filled->SetCFData(DataValue(bytes)));
  KsPropertyList value;
  EXPECT_EQ(0, DataProperty("CFData")->GetValue(filled.Get(), &value));
  ASSERT_TRUE(value && value.Value()->AsData());
  EXPECT_EQ(bytes, *value.Value()->AsData());
  static_cast<uint8_t*>(filled->GetMutableBytes())[0] = 0;
  EXPECT_EQ(bytes, *value.Value()->AsData());
}

TEST(KsDataTest, ClassSerialisesOnlyTheBase64Form) {
  KsRef<KsClassObject> classObject = HcClassMap::FindClassObject("KsData");
  ASSERT_TRUE(classObject);
  EXPECT_EQ(KsObject::ClassGetClassObject(), classObject->GetParentClass());
  EXPECT_FALSE(classObject->IsAbstract());
  KsRef<KsObject> made;
  classObject->CreateObject(made);
  EXPECT_TRUE(made.DynamicCast<KsData>());

  struct Row {
    const char* name;
    int32_t id;
    int32_t type;
    bool canGet;
    bool serialised;
  };
  const Row rows[] = {
      {"Bytes", 200, 7, true, false},       {"Length", 201, 3, true, false}, {"Base64", 202, 4, true, true},
      {"BytesNoCopy", 203, 7, false, false}, {"CFData", 204, 13, true, false}, {"Hex", 205, 4, true, false},
  };
  HcPropertyList own;
  classObject->GetPropertyList(own, false);
  EXPECT_EQ(std::size(rows), own.size());
  for (const Row& row : rows) {
    KsRef<HcProperty> property = classObject->FindProperty(row.name);
    ASSERT_TRUE(property) << row.name;
    EXPECT_EQ(row.id, property->GetPropertyID()) << row.name;
    EXPECT_EQ(row.type, property->GetPropertyType()) << row.name;
    EXPECT_EQ(row.canGet, property->GetCanGet()) << row.name;
    EXPECT_TRUE(property->GetCanSet()) << row.name;
    EXPECT_EQ(row.serialised, property->GetShouldSerialize()) << row.name;
  }
}

}  // namespace
