// Documents made to hurt the reader or the writer: long chains of objects,
// deep graphs, entities in attributes, tags of very many attributes, long
// object paths and non-finite geometry. Every fixture is made here.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <string>
#include <vector>

#include "General/KsValueWrapper.h"
#include "General/WeakRef.h"
#include "SerializationTestClasses.h"
#include "SerializationTestSupport.h"
#include "StreamFormTestSupport.h"
#include "Utilities/Chameleon.h"
#include "Utilities/ObjectPath.h"
#include "Utilities/ObjectWriter.h"
#include "Utilities/XMLEmitter.h"
#include "Utilities/XMLLexer.h"
#include "Utilities/XMLStringEmitter.h"

namespace {

constexpr const char* kXsi = "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

class HostileDocument : public ::testing::Test {
 protected:
  void SetUp() override { RegisterSerializationTestClasses(); }
  RecordingReporter reporter;
};

// A chain of `length` samples, each holding the next through Child.
KsRef<Sample> MakeChain(size_t length) {
  auto top = KsMakeRef<Sample>();
  KsRef<Sample> last = top;
  for (size_t i = 1; i < length; ++i) {
    auto next = KsMakeRef<Sample>();
    next->SetInt(static_cast<int32_t>(i));
    last->SetChild(next);
    last = next;
  }
  return top;
}

size_t ChainLength(KsRef<Sample> at) {
  size_t length = 0;
  for (; at; at = at->GetChild()) ++length;
  return length;
}

// A flat document whose root sample ends up holding, through Other, a chain
// of `length` samples: each "Child" element makes one and refers back to the
// one before by id, and each replaces the last as the root's Child, so that
// only the chain holds the earlier ones.
std::string FlatChainDocument(size_t length) {
  std::string text = std::string("<Child ") + kXsi + " xsi:type=\"SerialSample\">";
  text += "<Child xsi:type=\"SerialSample\" id=\"s0\"/>";
  for (size_t i = 1; i < length; ++i) {
    text += "<Child xsi:type=\"SerialSample\" id=\"s" + std::to_string(i) + "\"><Other xsi:type=\"SerialSample\" href=\"#s" +
            std::to_string(i - 1) + "\"/></Child>";
  }
  return text + "</Child>";
}

struct Written {
  eAppErr result;
  std::string text;
};

Written WriteXML(const KsRef<KsObject>& object) {
  auto emitter = KsMakeRef<XMLStringEmitter>();
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetEmitter(emitter);
  writer->SetRootElementName("Child");
  writer->SetTargetObject(object);
  const eAppErr result = writer->WriteObject();
  return {result, emitter->GetOutputString().Str()};
}

size_t LongestIndent(const std::string& text) {
  size_t longest = 0;
  size_t lineStart = 0;
  while (lineStart < text.size()) {
    const size_t tabs = text.find_first_not_of('\t', lineStart);
    longest = std::max(longest, (tabs == std::string::npos ? text.size() : tabs) - lineStart);
    const size_t end = text.find('\n', lineStart);
    if (end == std::string::npos) break;
    lineStart = end + 1;
  }
  return longest;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST_F(HostileDocument, AChainFromAFlatDocumentIsRefusedByTheWriterAndFreedWithoutRecursion) {
  constexpr size_t kLength = 20000;
  auto holder = KsMakeRef<Sample>();
  ASSERT_EQ(0, ParseHcML(FlatChainDocument(kLength), holder, &reporter));
  ASSERT_TRUE(reporter.warnings.empty());
  KsRef<Sample> last = holder->GetChild()->GetChild();
  size_t length = 0;
  KsRef<Sample> tail;
  for (KsRef<Sample> at = last; at; at = at->GetOther()) {
    ++length;
    tail = at;
  }
  ASSERT_EQ(kLength, length);

  // Written as HcML, binary stream and atom container: a clear error each time.
  EXPECT_EQ(ObjectWriter::kNestedTooDeeply, WriteXML(last).result);
  EXPECT_EQ(ObjectWriter::kNestedTooDeeply, WriteBinaryStream(last, "Child").result);
  EXPECT_EQ(ObjectWriter::kNestedTooDeeply, WriteAtomForm(last, "Child").result);
  KsRef<KsObject> copy;
  last->DeepCopy(copy);
  EXPECT_FALSE(copy);

  // Only the chain holds the earlier samples now; letting go frees them all.
  WeakRef::Ref watch = WeakRef::GetWeakRef(tail.Get());
  tail = nullptr;
  last = nullptr;
  holder = nullptr;
  EXPECT_FALSE(WeakRef::GetTarget(watch.Get()));
}

TEST_F(HostileDocument, LongChainsOfEveryKindDieWithoutRecursion) {
  // Samples through Child, value wrappers through their object value.
  KsRef<Sample> samples = MakeChain(200000);
  WeakRef::Ref sampleTail = WeakRef::GetWeakRef(samples.Get());
  samples = nullptr;
  EXPECT_FALSE(WeakRef::GetTarget(sampleTail.Get()));

  KsRef<KsValueWrapper> wrappers = KsMakeRef<KsValueWrapper>();
  WeakRef::Ref wrapperHead = WeakRef::GetWeakRef(wrappers.Get());
  for (int i = 0; i < 200000; ++i) {
    auto outer = KsMakeRef<KsValueWrapper>();
    outer->SetKsObjectValue(wrappers);
    wrappers = outer;
  }
  wrappers = nullptr;
  EXPECT_FALSE(WeakRef::GetTarget(wrapperHead.Get()));
}

TEST_F(HostileDocument, TheWriterStopsWhereTheReadersStopAndIndentsBoundedly) {
  // The deepest graph written reads back in every form, values included.
  KsRef<Sample> deepest = MakeChain(ObjectWriter::kMaxObjectDepth);
  Written xml = WriteXML(deepest);
  ASSERT_EQ(0, xml.result);
  EXPECT_LE(LongestIndent(xml.text), XMLEmitter::kMaxIndent);
  // About 800 bytes a sample; uncapped indentation would add some 480 KB.
  EXPECT_LT(xml.text.size(), ObjectWriter::kMaxObjectDepth * 1000);
  auto holder = KsMakeRef<Sample>();
  ASSERT_EQ(0, ParseHcML(xml.text, holder, &reporter));
  EXPECT_EQ(ObjectWriter::kMaxObjectDepth, ChainLength(holder->GetChild()));
  for (const char* lexer : {"BinaryLexer", "AtomLexer"}) {
    SCOPED_TRACE(lexer);
    const WrittenBytes bytes = std::string(lexer) == "BinaryLexer" ? WriteBinaryStream(deepest, "Child")
                                                                   : WriteAtomForm(deepest, "Child");
    ASSERT_EQ(0, bytes.result);
    auto read = KsMakeRef<Sample>();
    ASSERT_EQ(0, ParseBytes(lexer, bytes.bytes, read));
    EXPECT_EQ(ObjectWriter::kMaxObjectDepth, ChainLength(read->GetChild()));
  }

  // One level more is an error; what was written above it is still whole.
  Written deeper = WriteXML(MakeChain(ObjectWriter::kMaxObjectDepth + 1));
  EXPECT_EQ(ObjectWriter::kNestedTooDeeply, deeper.result);
}

TEST_F(HostileDocument, EntitiesInAttributesAreNeverExpanded) {
  // An entity naming a class, and one thousand references to a 20 KB entity.
  const std::string typed = std::string("<!DOCTYPE Child [<!ENTITY t \"SerialSample\">]><Child ") + kXsi +
                            " xsi:type=\"SerialSample\"><Int>7</Int><Other xsi:type=\"&t;\"><Int>1</Int></Other>"
                            "</Child>";
  auto holder = KsMakeRef<Sample>();
  EXPECT_EQ(0, ParseHcML(typed, holder, &reporter));
  ASSERT_TRUE(holder->GetChild());
  EXPECT_EQ(7, holder->GetChild()->GetInt());
  EXPECT_FALSE(holder->GetChild()->GetOther());
  EXPECT_TRUE(reporter.Saw("Entity reference in an attribute of Other refused"));

  std::string bomb = "<!DOCTYPE Child [<!ENTITY big \"" + std::string(20000, 'x') + "\">]><Child " + kXsi +
                     " xsi:type=\"SerialSample\"><Other xsi:type=\"SerialSample\" id=\"";
  for (int i = 0; i < 20000; ++i) bomb += "&big;";
  bomb += "\"/><Int>3</Int></Child>";
  reporter.warnings.clear();
  holder = KsMakeRef<Sample>();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, ParseHcML(bomb, holder, &reporter));
  EXPECT_LT(SecondsSince(start), 5.0);
  ASSERT_TRUE(holder->GetChild());
  EXPECT_EQ(3, holder->GetChild()->GetInt());
  EXPECT_FALSE(holder->GetChild()->GetOther());

  // Character references and the predefined entities are text, not entities.
  reporter.warnings.clear();
  holder = KsMakeRef<Sample>();
  const std::string plain = std::string("<Child ") + kXsi +
                            " xsi:type=\"Serial&#83;ample\"><Other xsi:type=\"SerialSample\" id=\"a&amp;b\"/>"
                            "<Child xsi:type=\"SerialSample\" href=\"#a&amp;b\"/></Child>";
  EXPECT_EQ(0, ParseHcML(plain, holder, &reporter));
  ASSERT_TRUE(holder->GetChild());
  EXPECT_TRUE(holder->GetChild()->GetOther());
  EXPECT_EQ(holder->GetChild()->GetOther().Get(), holder->GetChild()->GetChild().Get());
  EXPECT_TRUE(reporter.warnings.empty());
}

TEST_F(HostileDocument, TagsOfTooManyAttributesAreRefusedBeforeLibxml2ReadsThem) {
  auto documentWith = [](size_t attributes, const std::string& before) {
    std::string text = before + "<Child " + kXsi + " xsi:type=\"SerialSample\"";
    for (size_t i = 0; i < attributes; ++i) text += " a" + std::to_string(i) + "='>'";
    return text + "><Int>4</Int></Child>";
  };
  auto holder = KsMakeRef<Sample>();
  // Within the limit (the two of the root included): read.
  ASSERT_EQ(0, ParseHcML(documentWith(XMLLexer::kMaxAttributes - 2, ""), holder, &reporter));
  ASSERT_TRUE(holder->GetChild());
  EXPECT_EQ(4, holder->GetChild()->GetInt());

  const auto start = std::chrono::steady_clock::now();
  const std::string comment = "<!-- \" ' > --><!DOCTYPE Child [<!ENTITY e \"'>\"> <?pi \" ?>]>";
  for (const std::string& before : {std::string(), comment}) {
    reporter.warnings.clear();
    EXPECT_EQ(-630, ParseHcML(documentWith(300000, before), KsMakeRef<Sample>(), &reporter));
    EXPECT_TRUE(reporter.Saw("more than 1000")) << before;
  }
  EXPECT_LT(SecondsSince(start), 10.0);
}

TEST_F(HostileDocument, DocumentsLargerThanTheLimitAreRefused) {
  // Only the length is looked at before the refusal: the bytes may be blanks.
  std::string text = std::string("<Child ") + kXsi + " xsi:type=\"SerialSample\"><Int>1</Int></Child>";
  text.resize(XMLLexer::kMaxDocumentBytes + 1, ' ');
  EXPECT_EQ(-630, ParseHcML(text, KsMakeRef<Sample>(), &reporter));
  EXPECT_TRUE(reporter.Saw("Document larger than"));
}

TEST_F(HostileDocument, LongObjectPathsTakeLinearTimeAndAreCapped) {
  // A sample that holds itself: any number of hops lands on it.
  auto self = KsMakeRef<Sample>();
  self->SetOther(self);
  std::string path = "hc://Other";
  for (uint32_t i = 1; i < kMaxObjectPathParts; ++i) path += ".Other";
  KsRef<KsObject> found;
  EXPECT_EQ(0, ResolveObjectPath(PWStringRef(path), self, &found));
  EXPECT_EQ(self.Get(), found.Get());

  std::string tooLong = path;
  for (int i = 0; i < 300000; ++i) tooLong += ".Other";
  const auto start = std::chrono::steady_clock::now();
  found = nullptr;
  EXPECT_EQ(-901, ResolveObjectPath(PWStringRef(tooLong), self, &found));
  EXPECT_FALSE(found);
  EXPECT_LT(SecondsSince(start), 1.0);
  self->SetOther(nullptr);
}

TEST_F(HostileDocument, NonFiniteGeometryIsRefusedInEveryForm) {
  const char* texts[] = {
      "<Rect>x = nan y = 0 w = 1 h = 1</Rect>", "<Rect>x = 0 y = 0 w = inf h = 1</Rect>",
      "<Point>x = 1 y = -inf</Point>",          "<Size>w = NAN h = 2</Size>",
      "<Color>r = 1 g = 1 b = infinity</Color>", "<Color>r = 1 g = 1 b = 1 a = nan</Color>",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    reporter.warnings.clear();
    auto holder = KsMakeRef<Sample>();
    const std::string document = std::string("<Child ") + kXsi + " xsi:type=\"SerialSample\">" + text + "</Child>";
    EXPECT_EQ(0, ParseHcML(document, holder, &reporter));
    ASSERT_TRUE(holder->GetChild());
    EXPECT_TRUE(reporter.Saw("Property-set failed"));
    EXPECT_EQ(KsRectF(), holder->GetChild()->GetRect());
    EXPECT_EQ(0.0f, holder->GetChild()->GetPoint().y);
    EXPECT_EQ(0.0f, holder->GetChild()->GetSize().w);
    EXPECT_EQ(0.0f, holder->GetChild()->GetColor().b);
  }
  // The value wrapper's own records, set from text.
  auto wrapper = KsMakeRef<KsValueWrapper>();
  KsRef<HcProperty> rect = wrapper->GetClassObject()->FindProperty("RectFValue");
  ASSERT_TRUE(rect);
  EXPECT_EQ(-901, rect->SetValue(wrapper.Get(), PWStringRef("x = 1 y = 2 w = nan h = 4")));
  EXPECT_EQ(0, rect->SetValue(wrapper.Get(), PWStringRef("x = 1 y = 2 w = 3 h = 4")));
  EXPECT_EQ(3.0f, wrapper->GetRectFValue().w);

  // A binary stream carries floats as bits: a NaN rectangle is refused too.
  auto sample = KsMakeRef<Sample>();
  sample->SetRect(KsRectF(0, std::numeric_limits<float>::quiet_NaN(), 1, 1));
  sample->SetInt(5);
  const WrittenBytes bytes = WriteBinaryStream(sample, "Child");
  ASSERT_EQ(0, bytes.result);
  reporter.warnings.clear();
  auto read = KsMakeRef<Sample>();
  EXPECT_EQ(0, ParseBytes("BinaryLexer", bytes.bytes, read, &reporter));
  ASSERT_TRUE(read->GetChild());
  EXPECT_EQ(5, read->GetChild()->GetInt());
  EXPECT_EQ(KsRectF(), read->GetChild()->GetRect());
  EXPECT_TRUE(reporter.Saw("not a finite value"));
}
