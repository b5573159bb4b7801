#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "SerializationTestClasses.h"
#include "SerializationTestSupport.h"
#include "StreamFormTestSupport.h"
#include "Utilities/XMLLexer.h"
#include "Utilities/XMLStringEmitter.h"
#include "platform/foundation/PlistValue.h"

namespace {

class HcMLRead : public ::testing::Test {
 protected:
  void SetUp() override { RegisterSerializationTestClasses(); }

  // Parses a document whose root element is the holder's "Child".
  KsRef<Sample> Read(const std::string& body, eAppErr expected = 0) {
    holder = KsMakeRef<Sample>();
    const std::string text = "<Child xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" " + body;
    EXPECT_EQ(expected, ParseHcML(text, holder, &reporter)) << text;
    return holder->GetChild();
  }

  KsRef<Sample> holder;
  RecordingReporter reporter;
};

// Every event a document gives a parser, its warnings with their lines, and
// the result.
std::vector<std::string> EventsOf(const std::string& text) {
  auto log = KsMakeRef<EventLog>();
  RecordingReporter reporter;
  log->SetLexer(KsMakeRef<XMLLexer>());
  log->SetRootObject(KsMakeRef<Sample>());
  log->SetReporter(&reporter);
  const eAppErr result = log->Parse(text.data(), text.size());
  std::vector<std::string> events = log->events;
  for (const auto& warning : reporter.warnings) events.push_back(warning.message + " at " + warning.location);
  events.push_back("result " + std::to_string(result));
  return events;
}

}  // namespace

TEST_F(HcMLRead, EveryValueTypeReadsBackExactlyAndTheTextIsStable) {
  auto original = MakeFullSample();
  const std::string text = WriteHcML(original, "Child");
  holder = KsMakeRef<Sample>();
  ASSERT_EQ(0, ParseHcML(text, holder, &reporter)) << text;
  EXPECT_TRUE(reporter.warnings.empty()) << reporter.warnings[0].message;
  KsRef<Sample> copy = holder->GetChild();
  ASSERT_TRUE(copy);
  EXPECT_EQ("Full", copy->GetName().Str());
  EXPECT_EQ(original->GetFloat(), copy->GetFloat());
  EXPECT_EQ(original->GetInt(), copy->GetInt());
  EXPECT_EQ(original->GetUInt(), copy->GetUInt());
  // Text is trimmed of surrounding white space on reading.
  EXPECT_EQ("<tag> & ]]> 'quoted' ünïcødé", copy->GetText().Str());
  EXPECT_TRUE(copy->GetFlag());
  EXPECT_EQ(original->GetPoint().x, copy->GetPoint().x);
  EXPECT_TRUE(std::signbit(copy->GetPoint().y));
  EXPECT_EQ(original->GetSize().w, copy->GetSize().w);
  EXPECT_EQ(original->GetSize().h, copy->GetSize().h);
  EXPECT_EQ(original->GetRect().h, copy->GetRect().h);
  EXPECT_EQ(original->GetColor(), copy->GetColor());
  EXPECT_EQ(original->GetDouble(), copy->GetDouble());
  EXPECT_EQ(original->GetInt64(), copy->GetInt64());
  EXPECT_EQ(5, copy->GetLimited());
  ASSERT_TRUE(copy->GetPlist());
  EXPECT_EQ(*original->GetPlist().Value(), *copy->GetPlist().Value());
  // The collection in order, the shared element shared, the child the same object.
  ASSERT_TRUE(copy->GetParts());
  ASSERT_EQ(3u, copy->GetParts()->GetCount());
  EXPECT_EQ(copy->GetParts()->GetByIndex(0).Get(), copy->GetParts()->GetByIndex(2).Get());
  EXPECT_NE(copy->GetParts()->GetByIndex(0).Get(), copy->GetParts()->GetByIndex(1).Get());
  EXPECT_EQ("p0", copy->GetParts()->GetByIndex(0)->GetName().Str());
  EXPECT_EQ(copy->GetChild().Get(), copy->GetParts()->GetByIndex(0).Get());

  original->SetText("<tag> & ]]> 'quoted' ünïcødé");
  EXPECT_EQ(WriteHcML(original, "Child"), WriteHcML(copy, "Child"));
}

TEST_F(HcMLRead, AReferenceBackToTheRootSurvives) {
  auto root = KsMakeRef<Sample>();
  auto child = KsMakeRef<Sample>();
  root->SetChild(child);
  child->SetOther(root);
  const std::string text = WriteHcML(root, "Child");
  child->SetOther(nullptr);
  holder = KsMakeRef<Sample>();
  ASSERT_EQ(0, ParseHcML(text, holder, &reporter));
  KsRef<Sample> copy = holder->GetChild();
  ASSERT_TRUE(copy && copy->GetChild());
  EXPECT_EQ(copy.Get(), copy->GetChild()->GetOther().Get());
  copy->GetChild()->SetOther(nullptr);
}

TEST_F(HcMLRead, StructuralProblemsAreWarningsAndReadingGoesOn) {
  struct Case {
    const char* body;
    const char* warning;
    bool otherSet = false;
  };
  const Case cases[] = {
      {"xsi:type=\"SerialSample\"><Nonsense>1</Nonsense><Int>7</Int></Child>", "Error binding property Nonsense"},
      {"xsi:type=\"SerialSample\"><Int>8</Int><Int>7</Int></Child>", ""},
      {"xsi:type=\"SerialSample\"><Int>7<Flag>true</Flag>8</Int></Child>",
       "Value encountered within a property binding which already had a value!"},
      {"xsi:type=\"SerialSample\"><Int>7</Int><Float></Float></Child>", "End-property encountered without value!"},
      {"xsi:type=\"SerialSample\"><Int>7</Int><Other>text</Other></Child>",
       "Object-typed property without type specified: Other"},
      {"xsi:type=\"SerialSample\"><Int>7</Int><Other xsi:type=\"NoSuchClass\"><Int>1</Int></Other></Child>",
       "Unknown object type: NoSuchClass"},
      {"xsi:type=\"SerialSample\"><Int>7</Int><Other xsi:type=\"SerialSample\">text</Other></Child>",
       "Value encountered after object-begin", true},
      {"xsi:type=\"SerialSample\"><Int>7</Int><Float>abc</Float></Child>", "Property-set failed!"},
      {"xsi:type=\"SerialSample\"><Int>7</Int><Limited>-5</Limited></Child>", "Property-set failed!"},
      // A read-only property (documents we wrote carry some) is skipped.
      {"xsi:type=\"SerialSample\"><Int>7</Int><Serial>3</Serial></Child>", ""},
      {"xsi:type=\"SerialSample\"><Int>7</Int><Other xsi:type=\"SerialSample\" href=\"#later\"/>"
       "<Child xsi:type=\"SerialSample\" id=\"later\"/></Child>",
       "Couldn't resolve path: \"#later\""},
  };
  for (const Case& c : cases) {
    reporter.warnings.clear();
    KsRef<Sample> sample = Read(c.body);
    ASSERT_TRUE(sample) << c.body;
    EXPECT_EQ(7, sample->GetInt()) << c.body;
    if (*c.warning) {
      EXPECT_TRUE(reporter.Saw(c.warning)) << c.body;
      EXPECT_EQ(c.otherSet, static_cast<bool>(sample->GetOther())) << c.body;
    } else {
      EXPECT_TRUE(reporter.warnings.empty()) << c.body;
    }
    for (const auto& warning : reporter.warnings) {
      EXPECT_NE(std::string::npos, warning.location.find("line 1")) << warning.location;
    }
  }
  // A refused value leaves the previous one; the refusal carries its own code.
  reporter.warnings.clear();
  KsRef<Sample> limited = Read("xsi:type=\"SerialSample\"><Limited>4</Limited></Child>");
  ASSERT_TRUE(limited);
  EXPECT_EQ(4, limited->GetLimited());
  KsRef<Sample> refused = Read("xsi:type=\"SerialSample\"><Limited>-1</Limited></Child>");
  ASSERT_EQ(1u, reporter.warnings.size());
  EXPECT_EQ(-901, reporter.warnings[0].code);

  // An object that can't be found or made takes its nested properties with it.
  reporter.warnings.clear();
  KsRef<Sample> orphaned = Read(
      "xsi:type=\"SerialSample\"><Other xsi:type=\"SerialSample\" href=\"#nowhere\"><Int>5</Int>"
      "<Parts xsi:type=\"SerialSamples\" id=\"loop\"><SerialSample href=\"#loop\"/></Parts></Other>"
      "<Child xsi:type=\"KsObjectCollectionBase\"><Int>6</Int></Child></Child>");
  ASSERT_TRUE(orphaned);
  ASSERT_EQ(2u, reporter.warnings.size());
  EXPECT_TRUE(reporter.Saw("Couldn't resolve path: \"#nowhere\""));
  EXPECT_TRUE(reporter.Saw("Couldn't create object: KsObjectCollectionBase"));
}

TEST_F(HcMLRead, ElementsAreDeliveredWhateverTheNamespacePrefix) {
  KsRef<Sample> sample = Read(
      "xmlns:q=\"http://www.w3.org/2001/XMLSchema-instance\" q:type=\"SerialSample\">"
      "<Text><![CDATA[a <b> c]]></Text><!-- comment --><?pi data?><Int>  12 \n</Int></Child>");
  ASSERT_TRUE(sample);
  EXPECT_EQ("a <b> c", sample->GetText().Str());
  EXPECT_EQ(12, sample->GetInt());
  EXPECT_TRUE(reporter.warnings.empty());
}

TEST_F(HcMLRead, BadInputAnswersErrors) {
  auto root = KsMakeRef<Sample>();
  EXPECT_EQ(-2, ParseHcML("", root, &reporter));
  EXPECT_EQ(-630, ParseHcML("this is not xml", root, &reporter));
  EXPECT_FALSE(reporter.warnings.empty());
  // Truncated, and invalid UTF-8 (whatever the declaration says).
  EXPECT_EQ(-630, ParseHcML("<Child xsi:type=\"SerialSample\"><Int>1</Int>", root, &reporter));
  EXPECT_EQ(-630, ParseHcML("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Child><Text>\xe9t\xe9</Text></Child>",
                            root, &reporter));
  // An error before a document type that declares entities: libxml2 keeps
  // the declarations in a document of its own, which must not leak.
  EXPECT_EQ(-630, ParseHcML("<!DOCTYPE \xff[<!ENTITY a \"1</Bb<!D*Ohmld>\n", root, &reporter));
  // UTF-8 is taken as UTF-8 even under another declared encoding.
  KsRef<Sample> sample = Read("xsi:type=\"SerialSample\"><Text>\xc3\xa9t\xc3\xa9</Text></Child>");
  ASSERT_TRUE(sample);
  EXPECT_EQ("\xc3\xa9t\xc3\xa9", sample->GetText().Str());
}

TEST_F(HcMLRead, DeepNestingIsRefusedWithoutCrashing) {
  std::string text = "<Child xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"SerialSample\">";
  const int depth = 100000;
  for (int i = 0; i < depth; ++i) text += "<Child xsi:type=\"SerialSample\">";
  for (int i = 0; i < depth; ++i) text += "</Child>";
  text += "</Child>";
  auto root = KsMakeRef<Sample>();
  EXPECT_LT(ParseHcML(text, root, &reporter), 0);
  // Just inside the limit still reads.
  std::string shallow = "<Child xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"SerialSample\">";
  for (int i = 0; i < 200; ++i) shallow += "<Child xsi:type=\"SerialSample\">";
  shallow += "<Int>3</Int>";
  for (int i = 0; i < 200; ++i) shallow += "</Child>";
  shallow += "</Child>";
  ASSERT_EQ(0, ParseHcML(shallow, root, &reporter));
  KsRef<Sample> deepest = root->GetChild();
  for (int i = 0; i < 200 && deepest; ++i) deepest = deepest->GetChild();
  ASSERT_TRUE(deepest);
  EXPECT_EQ(3, deepest->GetInt());
}

TEST_F(HcMLRead, EntitiesAreNeverExpandedNorLoaded) {
  TempFolder folder;
  const std::string secret = folder.Write("secret.txt", "SECRET-CONTENT").string();
  const std::string external =
      "<?xml version=\"1.0\"?><!DOCTYPE Child [<!ENTITY ext SYSTEM \"file://" + secret +
      "\">]><Child xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"SerialSample\">"
      "<Text>&ext;</Text><Int>1</Int></Child>";
  auto root = KsMakeRef<Sample>();
  EXPECT_EQ(0, ParseHcML(external, root, &reporter));
  ASSERT_TRUE(root->GetChild());
  EXPECT_EQ(1, root->GetChild()->GetInt());
  EXPECT_TRUE(root->GetChild()->GetText().IsNull()) << root->GetChild()->GetText().Str();

  // An external DTD whose attribute default would give the object its type.
  const std::string dtd = folder.Write("evil.dtd", "<!ATTLIST Other xsi:type CDATA \"SerialSample\">").string();
  auto dtdRoot = KsMakeRef<Sample>();
  EXPECT_EQ(0, ParseHcML("<?xml version=\"1.0\"?><!DOCTYPE Child SYSTEM \"file://" + dtd +
                             "\"><Child xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                             "xsi:type=\"SerialSample\"><Other/><Int>2</Int></Child>",
                         dtdRoot, &reporter));
  ASSERT_TRUE(dtdRoot->GetChild());
  EXPECT_EQ(2, dtdRoot->GetChild()->GetInt());
  EXPECT_FALSE(dtdRoot->GetChild()->GetOther());

  std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE Child [<!ENTITY l0 \"lol\">";
  for (int i = 1; i <= 9; ++i) {
    laughs += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j) laughs += "&l" + std::to_string(i - 1) + ";";
    laughs += "\">";
  }
  laughs += "]><Child xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"SerialSample\">"
            "<Text>&l9;</Text></Child>";
  const auto start = std::chrono::steady_clock::now();
  auto laughRoot = KsMakeRef<Sample>();
  const eAppErr laughed = ParseHcML(laughs, laughRoot, &reporter);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  // libxml2 refuses the amplification outright: no document, an error.
  EXPECT_EQ(-630, laughed);
  EXPECT_FALSE(laughRoot->GetChild());
}

TEST_F(HcMLRead, TranslationGivesTheSameText) {
  auto original = MakeFullSample();
  original->SetText("<tag> & ]]> 'quoted'");
  const std::string text = WriteHcML(original, "Child");
  auto emitter = KsMakeRef<XMLStringEmitter>();
  auto root = KsMakeRef<Sample>();
  ASSERT_EQ(0, ParseHcML(text, root, &reporter, emitter));
  EXPECT_FALSE(root->GetChild());
  EXPECT_EQ(text, emitter->GetOutputString().Str());
  EXPECT_TRUE(reporter.warnings.empty());

  // An unreadable value is dropped with its element; a skipped object leaves no open tag.
  auto second = KsMakeRef<XMLStringEmitter>();
  ASSERT_EQ(0, ParseHcML("<Child xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"SerialSample\">"
                         "<Float>x</Float><Other xsi:type=\"Nope\"/><Int> 4 </Int></Child>",
                         root, &reporter, second));
  const std::string translated = second->GetOutputString().Str();
  EXPECT_EQ(std::string::npos, translated.find("Float")) << translated;
  EXPECT_EQ(std::string::npos, translated.find("Other")) << translated;
  EXPECT_NE(std::string::npos, translated.find("<Int>4</Int>")) << translated;
  TempFolder folder;
  EXPECT_EQ(0, RunProgram({"xmllint", "--noout", folder.Write("t.hcml", translated).string()}).first) << translated;
}

// A document type declaration sends a document through libxml2's tree rather
// than its event stream; without one, a document must read exactly the same.
TEST_F(HcMLRead, ReadsTheSameWithOrWithoutADocumentType) {
  const char* bodies[] = {
      "xsi:type=\"SerialSample\"><Text>a&amp;b&lt;c&#38;d&#x41;&quot;</Text><Int>1</Int></Child>",
      "xsi:type=\"SerialSample\"><Int>1<!-- split -->2</Int><Float>3<?pi data?>4</Float></Child>",
      "xsi:type=\"SerialSample\"><Text>a<![CDATA[ <b> & ]]>c</Text></Child>",
      "xsi:type=\"SerialSample\"><Child xsi:type=\"SerialSample\" id=\"x&amp;y&#38;z&lt;\"/>"
      "<Other xsi:type=\"SerialSample\" href=\"#x&amp;y&amp;z&lt;\"/></Child>",
      "xsi:type=\"SerialSample\"><Other type=\"NoSuchClass\" xsi:type=\"SerialSample\"/>"
      "<Child xsi:type=\"SerialSample\" type=\"SerialSample\" id=\"\" href=\"\"/></Child>",
      "xsi:type=\"SerialSample\">\n  <Int>\n 5 \n</Int>\n<Nonsense><Int>1</Int></Nonsense>\n<Text/>\n</Child>",
      "xsi:type=\"SerialSample\"><Other q:type=\"SerialSample\"/><Int>1</Int></Child>",
      "xsi:type=\"SerialSample\">\n<Int>1</Text></Child>",
      "xsi:type=\"SerialSample\"><Int>1</Int></Child><!-- after --><?after?>",
  };
  for (const char* body : bodies) {
    const std::string element = std::string("<Child xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" ") + body;
    const std::vector<std::string> plain = EventsOf("<?xml version=\"1.0\"?>" + element);
    EXPECT_EQ(plain, EventsOf("<?xml version=\"1.0\"?><!DOCTYPE Child>" + element)) << body;
    EXPECT_GT(plain.size(), 1u) << body;
  }
}
