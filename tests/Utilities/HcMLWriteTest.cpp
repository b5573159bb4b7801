#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>

#include "SerializationTestClasses.h"
#include "SerializationTestSupport.h"
#include "Utilities/HcProperty.h"
#include "Utilities/ObjectWriter.h"
#include "Utilities/XMLEmitter.h"
#include "Utilities/XMLStringEmitter.h"

namespace {

class HcMLWrite : public ::testing::Test {
 protected:
  void SetUp() override { RegisterSerializationTestClasses(); }
};

KsRef<Sample> SharedGraph() {
  auto root = KsMakeRef<Sample>();
  auto child = KsMakeRef<Sample>();
  root->SetText("a<b & \"c\"");
  root->SetChild(child);
  root->SetOther(child);
  child->SetName("Kid");
  child->SetOther(root);
  return root;
}

// The graph refers back to its root; the test lets go of it.
void BreakCycle(const KsRef<Sample>& root) { root->GetChild()->SetOther(nullptr); }

}  // namespace

TEST_F(HcMLWrite, DocumentTextIsExact) {
  auto sample = KsMakeRef<Sample>();
  sample->SetName("Top");
  sample->SetFloat(1.0f);
  sample->SetInt(-3);
  sample->SetInt64(-9007199254740993LL);
  sample->SetText("x ]]> y <z>");
  auto child = KsMakeRef<Sample>();
  sample->SetChild(child);
  sample->SetOther(child);
  child->SetOther(sample);
  const std::string text = WriteHcML(sample, nullptr);
  child->SetOther(nullptr);
  const std::string values =
      "\t\t<Color>r=0.000000 g=0.000000 b=0.000000 a=0.000000</Color>\n"
      "\t\t<Double>0.000000</Double>\n"
      "\t\t<Flag>false</Flag>\n"
      "\t\t<Float>0.000000</Float>\n"
      "\t\t<Int>0</Int>\n"
      "\t\t<Int64>0</Int64>\n"
      "\t\t<Limited>0</Limited>\n";
  const std::string values2 =
      "\t\t<Point>x=0.000000 y=0.000000</Point>\n"
      "\t\t<Rect>x=0.000000 y=0.000000 w=0.000000 h=0.000000</Rect>\n"
      "\t\t<Size>w=0.000000 h=0.000000</Size>\n"
      "\t\t<UInt>0</UInt>\n";
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"utf-8\" ?> \n"
      "<SerialSample xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\"\n"
      "\txmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
      "\t xsi:type=\"SerialSample\" id=\"rootObject\">\n"
      "\t<Name>Top</Name>\n"
      "\t<Child xsi:type=\"SerialSample\" id=\"obj1\">\n" +
      values + "\t\t<Other xsi:type=\"SerialSample\" href=\"#rootObject\">\n\t\t</Other>\n" + values2 +
      "\t</Child>\n"
      "\t<Color>r=0.000000 g=0.000000 b=0.000000 a=0.000000</Color>\n"
      "\t<Double>0.000000</Double>\n"
      "\t<Flag>false</Flag>\n"
      "\t<Float>1.000000</Float>\n"
      "\t<Int>-3</Int>\n"
      "\t<Int64>-9007199254740993</Int64>\n"
      "\t<Limited>0</Limited>\n"
      "\t<Other xsi:type=\"SerialSample\" href=\"#obj1\">\n"
      "\t</Other>\n"
      "\t<Point>x=0.000000 y=0.000000</Point>\n"
      "\t<Rect>x=0.000000 y=0.000000 w=0.000000 h=0.000000</Rect>\n"
      "\t<Size>w=0.000000 h=0.000000</Size>\n"
      "\t<Text><![CDATA[x ]]]]><![CDATA[> y <z>]]></Text>\n"
      "\t<UInt>0</UInt>\n"
      "</SerialSample>\n";
  EXPECT_EQ(expected, text);
}

TEST_F(HcMLWrite, NumbersKeepSixDecimalsWhenExactElseTheShortestFormThatReadsBack) {
  struct FloatCase {
    float value;
    const char* text;
  };
  for (const FloatCase& c : std::initializer_list<FloatCase>{{1.0f, "1.000000"},
                                                             {0.5f, "0.500000"},
                                                             {0.1f, "0.100000"},
                                                             {-2.25f, "-2.250000"},
                                                             {1e-7f, "1e-07"},
                                                             {0.1234567f, "0.1234567"},
                                                             {3.4028235e38f, "340282346638528859811704183484516925440.000000"},
                                                             {FLT_TRUE_MIN, "1e-45"}}) {
    EXPECT_EQ(c.text, XMLEmitter::FormatFloat(c.value)) << c.text;
    float back = 0;
    ASSERT_EQ(0, ParseFloat(XMLEmitter::FormatFloat(c.value), &back));
    EXPECT_EQ(c.value, back) << c.text;
  }
  for (double value : {0.1, 1.0 / 3.0, 1e-300, -123456.789, 2.5, DBL_MAX}) {
    double back = 0;
    ASSERT_EQ(0, ParseDouble(XMLEmitter::FormatDouble(value), &back));
    EXPECT_EQ(value, back) << XMLEmitter::FormatDouble(value);
  }
  EXPECT_EQ("2.500000", XMLEmitter::FormatDouble(2.5));
  EXPECT_EQ("0.3333333333333333", XMLEmitter::FormatDouble(1.0 / 3.0));
}

TEST_F(HcMLWrite, AttributeValuesAreEscaped) {
  EXPECT_EQ("a&amp;b&lt;c&gt;&quot;d&quot;&#9;&#10;&#13;'", XMLEmitter::EscapeAttribute("a&b<c>\"d\"\t\n\r'"));
  // Through the emitter: an href and id that came from a document.
  auto emitter = KsMakeRef<XMLStringEmitter>();
  emitter->SetEmitXMLDeclaration(false);
  auto property = Sample::ClassGetClassObject()->FindProperty("Child");
  emitter->BeginDocument();
  emitter->BeginProperty(property, false);
  emitter->BeginObject(Sample::ClassGetClassObject(), "i\"d", "hc://a&b<c>");
  emitter->EndObject(Sample::ClassGetClassObject());
  emitter->EndProperty(property);
  ASSERT_EQ(0, emitter->EndDocument());
  EXPECT_EQ("<Child xsi:type=\"SerialSample\" id=\"i&quot;d\" href=\"hc://a&amp;b&lt;c&gt;\">\n</Child>\n",
            emitter->GetOutputString().Str());
}

TEST_F(HcMLWrite, XmllintAcceptsTheTextAndFindsTypesIdsAndHrefs) {
  auto root = SharedGraph();
  root->SetPlist(KsPropertyList());
  const std::string text = WriteHcML(root, nullptr);
  TempFolder folder;
  const std::string file = folder.Write("doc.hcml", text).string();
  EXPECT_EQ(0, RunProgram({"xmllint", "--noout", file}).first) << text;

  auto xpath = [&](const std::string& expression) {
    auto [status, out] = RunProgram({"xmllint", "--xpath", expression, file});
    EXPECT_EQ(0, status) << expression;
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
  };
  const std::string ns = "*[local-name()='SerialSample']";
  EXPECT_EQ("SerialSample", xpath("string(/" + ns + "/@*[local-name()='type'])"));
  EXPECT_EQ("rootObject", xpath("string(/" + ns + "/@id)"));
  EXPECT_EQ("obj1", xpath("string(/" + ns + "/*[local-name()='Child']/@id)"));
  EXPECT_EQ("#obj1", xpath("string(/" + ns + "/*[local-name()='Other']/@href)"));
  EXPECT_EQ("#rootObject", xpath("string(/" + ns + "/*[local-name()='Child']/*[local-name()='Other']/@href)"));
  EXPECT_EQ("a<b & \"c\"", xpath("string(/" + ns + "/*[local-name()='Text'])"));
  BreakCycle(root);
}

TEST_F(HcMLWrite, AFullDiskIsReportedNotSuccess) {
  FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(nullptr, full);
  auto emitter = KsMakeRef<XMLEmitter>();
  ASSERT_EQ(0, emitter->SetOutputFile(full));
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetEmitter(emitter);
  auto root = SharedGraph();
  writer->SetContextObject(root);
  ASSERT_EQ(0, writer->SetTargetPath("hc://"));
  EXPECT_LT(writer->WriteObject(), 0);
  EXPECT_LT(emitter->GetFirstError(), 0);
  BreakCycle(root);
}

TEST_F(HcMLWrite, OutputFileIsSetOnceAndCannotBeRead) {
  auto emitter = KsMakeRef<XMLEmitter>();
  FILE* first = std::tmpfile();
  FILE* second = std::tmpfile();
  ASSERT_EQ(0, emitter->SetOutputFile(first));
  auto property = emitter->GetClassObject()->FindProperty("OutputFile");
  ASSERT_TRUE(property);
  EXPECT_EQ(-903, property->SetValue(emitter.Get(), static_cast<void*>(second)));
  void* read = nullptr;
  EXPECT_LT(property->GetValue(emitter.Get(), &read), 0);
  EXPECT_EQ(0, emitter->EndDocument());
  std::fclose(second);
}

TEST_F(HcMLWrite, WriterWithoutTargetOrEmitterEmitsNothing) {
  auto writer = KsMakeRef<ObjectWriter>();
  EXPECT_EQ(-903, writer->WriteObject());
  writer->SetTargetObject(KsMakeRef<Sample>());
  writer->SetEmitter(KsRef<Emitter>());
  EXPECT_EQ(-903, writer->WriteObject());
  EXPECT_EQ(-903, writer->SetTargetPath("hc://Child"));
  EXPECT_EQ(-2, writer->SetXsiTypeName("NoSuchClass"));
}

TEST_F(HcMLWrite, ContextObjectsBecomePathReferencesAndTheTargetIsWrittenWhole) {
  auto context = KsMakeRef<Sample>();
  auto target = KsMakeRef<Sample>();
  auto shared = KsMakeRef<Sample>();
  context->SetChild(target);
  context->SetOther(shared);
  target->SetOther(shared);
  target->SetChild(shared);

  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetContextObject(context);
  ASSERT_EQ(0, writer->SetTargetPath("hc://Child"));
  EXPECT_EQ("Child", writer->GetRootElementName().Str());
  ASSERT_EQ(0, writer->WriteObject());
  const std::string text =
      writer->GetEmitter().DynamicCast<XMLStringEmitter>()->GetOutputString().Str();
  EXPECT_NE(std::string::npos, text.find("<Child xmlns=")) << text;
  EXPECT_NE(std::string::npos, text.find("\t<Child xsi:type=\"SerialSample\" href=\"hc://Other\">")) << text;
  EXPECT_NE(std::string::npos, text.find("\t<Other xsi:type=\"SerialSample\" href=\"hc://Other\">")) << text;
  EXPECT_EQ(std::string::npos, text.find("obj1")) << text;
  EXPECT_EQ(shared.Get(), writer->GetOutputPathResolver()->GetObjectForPath("hc://Other").Get());
}

TEST_F(HcMLWrite, ExplicitListLimitsTheTopLevelOnlyAndNonSerializedCanBeIncluded) {
  auto sample = KsMakeRef<Sample>();
  sample->SetChild(KsMakeRef<Sample>());
  auto list = KsMakeRef<KsStringCollection>();
  list->Add("CHILD");
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetContextObject(sample);
  ASSERT_EQ(0, writer->SetTargetPath("hc://"));
  writer->SetExplicitPropertyList(list);
  writer->SetIncludeNonSerialized(true);
  ASSERT_EQ(0, writer->WriteObject());
  const std::string text = writer->GetEmitter().DynamicCast<XMLStringEmitter>()->GetOutputString().Str();
  EXPECT_NE(std::string::npos, text.find("\t<Child ")) << text;
  EXPECT_EQ(std::string::npos, text.find("\n\t<Float>")) << text;
  // Nested objects are whole, their non-serialized properties included.
  EXPECT_NE(std::string::npos, text.find("\t\t<Float>")) << text;
  EXPECT_NE(std::string::npos, text.find("\t\t<Serial>42</Serial>")) << text;
  EXPECT_EQ(std::string::npos, text.find("PropertyNames")) << text;
}
