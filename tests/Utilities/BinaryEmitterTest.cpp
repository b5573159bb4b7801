#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "SerializationTestSupport.h"
#include "StreamFormTestSupport.h"
#include "Utilities/BinaryEmitter.h"
#include "Utilities/ObjectWriter.h"

namespace {

class BinaryEmitterTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamFormClasses(); }

  KsRef<Sample> ReadBack(const std::vector<uint8_t>& bytes) {
    holder = KsMakeRef<Sample>();
    EXPECT_EQ(0, ParseBytes("BinaryLexer", bytes, holder, &reporter));
    return holder->GetChild();
  }

  KsRef<Sample> holder;
  RecordingReporter reporter;
};

std::vector<uint8_t> StringToken(const std::string& text) {
  std::vector<uint8_t> token{6, 0, 0, 0, static_cast<uint8_t>(text.size())};
  token.insert(token.end(), text.begin(), text.end());
  return token;
}

}  // namespace

TEST_F(BinaryEmitterTest, TokensAreLaidOutAsTheFormatStates) {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* stream = open_memstream(&buffer, &size);
  auto emitter = KsMakeRef<BinaryEmitter>();
  ASSERT_EQ(0, emitter->SetOutputFile(stream));
  KsRef<KsClassObject> sampleClass = Sample::ClassGetClassObject();
  emitter->BeginDocument();
  emitter->BeginProperty(sampleClass->FindProperty("Child"), true);
  emitter->BeginObject(sampleClass, "rootObject", nullptr);
  emitter->BeginProperty(sampleClass->FindProperty("Float"), false);
  emitter->EmitValue(1.5f);
  emitter->EndProperty(sampleClass->FindProperty("Float"));
  // A pointer value takes its property with it.
  emitter->BeginProperty(sampleClass->FindProperty("Pointer"), false);
  emitter->EmitValue(static_cast<void*>(this));
  emitter->EndProperty(sampleClass->FindProperty("Pointer"));
  emitter->BeginProperty(sampleClass->FindProperty("Flag"), false);
  emitter->EmitValue(true);
  emitter->EndProperty(sampleClass->FindProperty("Flag"));
  emitter->EndObject(sampleClass);
  emitter->EndProperty(sampleClass->FindProperty("Child"));
  ASSERT_EQ(0, emitter->EndDocument());
  const std::vector<uint8_t> written(buffer, buffer + size);
  std::free(buffer);

  std::vector<uint8_t> expected{'K', 's', 'H', 'c', 5, 0, 0, 0, 1};
  auto append = [&expected](const std::vector<uint8_t>& bytes) {
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  };
  append({1});
  append(StringToken("Child"));
  append({2});
  append(StringToken("SerialSample"));
  append({1});
  append(StringToken("Float"));
  append({8, 0x3F, 0xC0, 0, 0});
  append({1});
  append(StringToken("Flag"));
  append({7, 1});
  append({3});
  EXPECT_EQ(expected, written);
  EXPECT_EQ(0, emitter->GetFirstError());
}

TEST_F(BinaryEmitterTest, EveryValueTypeRoundTripsButIdentityDoesNot) {
  auto original = MakeFullSample();
  const WrittenBytes written = WriteBinaryStream(original, "Child");
  ASSERT_EQ(0, written.result);
  KsRef<Sample> copy = ReadBack(written.bytes);
  ASSERT_TRUE(copy);
  EXPECT_TRUE(reporter.warnings.empty()) << reporter.warnings[0].message;
  ExpectSameValues(*original, *copy);

  // Ids and hrefs are not carried: the part is written in full as the child
  // (first in class order); its later occurrences are new, empty objects.
  ASSERT_TRUE(copy->GetChild());
  EXPECT_EQ("p0", copy->GetChild()->GetName().Str());
  EXPECT_EQ(2.5f, copy->GetChild()->GetFloat());
  ASSERT_TRUE(copy->GetParts());
  ASSERT_EQ(3u, copy->GetParts()->GetCount());
  EXPECT_NE(copy->GetParts()->GetByIndex(0).Get(), copy->GetParts()->GetByIndex(2).Get());
  EXPECT_NE(copy->GetChild().Get(), copy->GetParts()->GetByIndex(0).Get());
  EXPECT_EQ(0.0f, copy->GetParts()->GetByIndex(0)->GetFloat());
  EXPECT_TRUE(copy->GetParts()->GetByIndex(2)->GetName().IsNull());
}

TEST_F(BinaryEmitterTest, PointerPropertiesLeaveTheStreamBalanced) {
  auto original = MakeFullSample();
  original->SetPointer(this);
  const WrittenBytes written = WriteBinaryStream(original, "Child", true);
  ASSERT_EQ(0, written.result);
  const std::string text(written.bytes.begin(), written.bytes.end());
  EXPECT_EQ(std::string::npos, text.find("Pointer"));
  KsRef<Sample> copy = ReadBack(written.bytes);
  ASSERT_TRUE(copy);
  EXPECT_EQ(nullptr, copy->GetPointer());
  // Only the read-only property refuses its value; nothing is out of step.
  for (const auto& warning : reporter.warnings) EXPECT_EQ("Property-set failed!", warning.message);
  ExpectSameValues(*original, *copy);
}

TEST_F(BinaryEmitterTest, AFullDiskFailsTheWrite) {
  FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(nullptr, full);
  auto emitter = KsMakeRef<BinaryEmitter>();
  ASSERT_EQ(0, emitter->SetOutputFile(full));
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetEmitter(emitter);
  writer->SetRootElementName("Child");
  writer->SetTargetObject(MakeFullSample());
  EXPECT_LT(writer->WriteObject(), 0);
  EXPECT_LT(emitter->GetFirstError(), 0);
}

TEST_F(BinaryEmitterTest, OutputIsSetOnce) {
  FILE* first = std::tmpfile();
  FILE* second = std::tmpfile();
  auto emitter = KsMakeRef<BinaryEmitter>();
  EXPECT_EQ(0, emitter->SetOutputFile(first));
  EXPECT_EQ(-903, emitter->SetOutputFile(second));
  emitter->BeginDocument();
  EXPECT_EQ(0, emitter->EndDocument());  // closes the first
  EXPECT_EQ(0L, std::ftell(second));
  std::fclose(second);
}
