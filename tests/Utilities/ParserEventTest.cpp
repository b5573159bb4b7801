#include <gtest/gtest.h>

#include <functional>

#include "General/HcClassMap.h"
#include "General/StringTupleCollection.h"
#include "SerializationTestClasses.h"
#include "SerializationTestSupport.h"
#include "Utilities/HcPathResolver.h"
#include "Utilities/ObjectReference.h"
#include "Utilities/ParseFunctions.h"
#include "Utilities/Parser.h"
#include "Utilities/StdErrParseReporter.h"

namespace {

// A lexer that plays a scripted event stream into the parser.
class ScriptLexer : public Lexer {
 public:
  using Script = std::function<void(Parser&)>;
  explicit ScriptLexer(Script script, eAppErr result = 0) : m_script(std::move(script)), m_result(result) {}
  eAppErr Parse(const KsRef<Parser>& parser, const void*, size_t) override {
    m_script(*parser);
    return m_result;
  }
  KsRef<ParseLocation> CreateLocation() override { return {}; }
  KsRef<KsClassObject> GetClassObject() const override { return Lexer::ClassGetClassObject(); }

 private:
  Script m_script;
  eAppErr m_result;
};

class ParserEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterSerializationTestClasses();
    root = KsMakeRef<Sample>();
  }

  eAppErr Run(ScriptLexer::Script script, eAppErr lexerResult = 0) {
    parser = KsMakeRef<Parser>();
    parser->SetLexer(KsMakeRef<ScriptLexer>(std::move(script), lexerResult));
    parser->SetRootObject(root);
    parser->SetReporter(&reporter);
    return parser->Parse("", 0);
  }

  KsRef<KsClassObject> SampleClass() { return Sample::ClassGetClassObject(); }

  KsRef<Sample> root;
  KsRef<Parser> parser;
  RecordingReporter reporter;
};

}  // namespace

TEST_F(ParserEvents, AnEmptyDocumentChangesNothing) {
  EXPECT_EQ(0, Run([](Parser&) {}));
  EXPECT_TRUE(reporter.warnings.empty());
  EXPECT_FALSE(root->GetChild());
}

TEST_F(ParserEvents, ObjectAssignmentsWaitForTheEndInTheOrderPropertiesEnded) {
  std::vector<int32_t> order;
  EXPECT_EQ(0, Run([&](Parser& p) {
    p.OnBeginProperty("Child");
    p.OnBeginObject(SampleClass(), "a", nullptr);
    p.OnBeginProperty("Parts");
    p.OnBeginObject(SampleCollection::ClassGetClassObject(), nullptr, nullptr);
    for (const char* name : {"first", "second"}) {
      p.OnBeginProperty("SerialSample");
      p.OnBeginObject(SampleClass(), name, nullptr);
      p.OnBeginProperty("Name");
      p.OnValue(PWStringRef(name));
      p.OnEndProperty();
      p.OnEndProperty();
    }
    p.OnEndProperty();
    p.OnBeginProperty("Other");
    p.OnBeginObject(SampleClass(), nullptr, "#first");
    p.OnEndProperty();
    p.OnEndProperty();
    // Nothing object-valued is stored before the end.
    EXPECT_FALSE(root->GetChild());
  }));
  ASSERT_TRUE(root->GetChild());
  KsRef<SampleCollection> parts = root->GetChild()->GetParts();
  ASSERT_TRUE(parts);
  ASSERT_EQ(2u, parts->GetCount());
  EXPECT_EQ("first", parts->GetByIndex(0)->GetName().Str());
  EXPECT_EQ("second", parts->GetByIndex(1)->GetName().Str());
  EXPECT_EQ(parts->GetByIndex(0).Get(), root->GetChild()->GetOther().Get());
}

TEST_F(ParserEvents, MoreEndsThanBeginsNeverPopTheRootLevel) {
  EXPECT_EQ(0, Run([](Parser& p) {
    p.OnEndProperty();
    p.OnEndProperty();
    p.OnSkipProperty();
    p.OnBeginProperty("Int");
    p.OnValue(int32_t{5});
    p.OnEndProperty();
    p.OnEndProperty();
  }));
  EXPECT_EQ(5, root->GetInt());
  EXPECT_TRUE(reporter.Saw("End-property encountered outside of property binding"));
}

TEST_F(ParserEvents, MoreBeginsThanEndsUnwindAndAnswerAWarning) {
  EXPECT_EQ(-630, Run([&](Parser& p) {
    p.OnBeginProperty("Child");
    p.OnBeginObject(SampleClass(), "c", nullptr);
    p.OnBeginProperty("Other");
    p.OnBeginObject(SampleClass(), nullptr, nullptr);
    p.OnEndProperty();
  }));
  EXPECT_TRUE(reporter.Saw("unfinished"));
  EXPECT_FALSE(root->GetChild());
}

TEST_F(ParserEvents, MissingPartsAnswerErrorsInsteadOfCrashing) {
  auto lonely = KsMakeRef<Parser>();
  EXPECT_EQ(-903, lonely->Parse("x", 1));  // no lexer
  lonely->SetLexer(KsMakeRef<ScriptLexer>([](Parser&) {}));
  EXPECT_EQ(-903, lonely->Parse("x", 1));  // no root object
  EXPECT_EQ(-2, ParseString("<a/>", KsRef<Parser>()));
  EXPECT_EQ(-2, ParseFile(nullptr, KsRef<Parser>()));
  // A parser reads one document.
  EXPECT_EQ(0, Run([](Parser&) {}));
  EXPECT_EQ(-903, parser->Parse("", 0));
  // A failing lexer's code comes back as it is; nothing deferred is applied.
  EXPECT_EQ(-1234, Run(
                       [&](Parser& p) {
                         p.OnBeginProperty("Child");
                         p.OnBeginObject(SampleClass(), nullptr, nullptr);
                         p.OnEndProperty();
                       },
                       -1234));
  EXPECT_FALSE(root->GetChild());
}

TEST_F(ParserEvents, ReferencesResolveByPathAtTheEnd) {
  auto target = KsMakeRef<Sample>();
  root->SetOther(target);
  auto resolver = KsMakeRef<HcPathResolver>();
  resolver->SetRootObject(root);
  parser = KsMakeRef<Parser>();
  parser->SetExternalPathResolver(resolver);
  parser->SetLexer(KsMakeRef<ScriptLexer>([&](Parser& p) {
    const std::pair<const char*, const char*> references[] = {{"Child", "hc://Other"}, {"Parts", "hc://Nowhere"}};
    for (const auto& [property, path] : references) {
      p.OnBeginProperty(property);
      p.OnBeginObject(HcClassMap::FindClassObject("ObjectReference"), nullptr, nullptr);
      p.OnBeginProperty("TargetName");
      p.OnValue(PWStringRef(path));
      p.OnEndProperty();
      p.OnBeginProperty("RootObject");
      p.OnBeginObject(SampleClass(), nullptr, "hc://");
      p.OnEndProperty();
      p.OnEndProperty();
    }
  }));
  parser->SetRootObject(root);
  parser->SetReporter(&reporter);
  EXPECT_EQ(0, parser->Parse("", 0));
  EXPECT_EQ(target.Get(), root->GetChild().Get());
  EXPECT_FALSE(root->GetParts());
  EXPECT_TRUE(reporter.Saw("Object reference could not be resolved!"));
  resolver->SetRootObject(nullptr);
}

TEST_F(ParserEvents, SuppressedPropertiesAreSkippedWithTheirSubtree) {
  auto suppression = KsMakeRef<StringTupleCollection>();
  auto pair = KsMakeRef<StringStringTuple>();
  pair->SetFirst("SerialSample");
  pair->SetSecond("CHILD");
  suppression->Add(pair);
  auto unknown = KsMakeRef<StringStringTuple>();
  unknown->SetFirst("NoSuchClass");
  unknown->SetSecond("Int");
  suppression->Add(unknown);
  parser = KsMakeRef<Parser>();
  parser->SetLexer(KsMakeRef<ScriptLexer>([&](Parser& p) {
    p.OnBeginProperty("Child");
    p.OnBeginObject(SampleClass(), nullptr, nullptr);
    p.OnBeginProperty("Int");
    p.OnValue(int32_t{3});
    p.OnEndProperty();
    p.OnEndProperty();
    p.OnBeginProperty("Int");
    p.OnValue(int32_t{9});
    p.OnEndProperty();
  }));
  parser->SetRootObject(root);
  parser->SetReporter(&reporter);
  parser->SetPropertySuppression(suppression);
  EXPECT_EQ(0, parser->Parse("", 0));
  EXPECT_FALSE(root->GetChild());
  EXPECT_EQ(9, root->GetInt());
  EXPECT_TRUE(reporter.warnings.empty());
}

namespace {

// Writes each event it is given as one line.
class EmitterEventLog : public Emitter {
 public:
  std::string log;
  eAppErr SetOutputFile(void*) override { return 0; }
  eAppErr BeginProperty(const KsRef<HcProperty>& p, bool root) override {
    return Add("begin " + p->GetName().Str() + (root ? " root" : ""));
  }
  eAppErr EndProperty(const KsRef<HcProperty>& p) override { return Add("end " + p->GetName().Str()); }
  eAppErr BeginObject(const KsRef<KsClassObject>& c, const PWStringRef& id, const PWStringRef& href) override {
    return Add("object " + c->GetName().Str() + " " + id.Str() + " " + href.Str());
  }
  eAppErr EndObject(const KsRef<KsClassObject>&) override { return Add("end object"); }
  eAppErr EmitValue(const PWStringRef& v) override { return Add("string " + v.Str()); }
  eAppErr EmitValue(uint32_t v) override { return Add("uint " + std::to_string(v)); }
  eAppErr EmitValue(int32_t v) override { return Add("int " + std::to_string(v)); }
  eAppErr EmitValue(bool v) override { return Add(v ? "bool true" : "bool false"); }
  eAppErr EmitValue(float v) override { return Add("float " + std::to_string(v)); }
  eAppErr EmitValue(const KsPointF&) override { return Add("point"); }
  eAppErr EmitValue(const KsSizeF&) override { return Add("size"); }
  eAppErr EmitValue(const KsRectF&) override { return Add("rect"); }
  eAppErr EmitValue(const KsColorF&) override { return Add("color"); }
  eAppErr EmitValue(void*) override { return Add("pointer"); }
  eAppErr EmitValue(const KsPropertyList& v) override { return Add(v ? "plist" : "plist none"); }
  eAppErr EmitValue(double v) override { return Add("double " + std::to_string(v)); }
  eAppErr EmitValue(int64_t v) override { return Add("int64 " + std::to_string(v)); }
  eAppErr BeginDocument() override { return Add("document"); }
  eAppErr EndDocument() override { return Add("end document"); }
  KsRef<KsClassObject> GetClassObject() const override { return Emitter::ClassGetClassObject(); }

 private:
  eAppErr Add(const std::string& line) {
    log += line + "\n";
    return 0;
  }
};

}  // namespace

TEST_F(ParserEvents, TranslationHandsTypedValuesToTheEmitter) {
  auto log = KsMakeRef<EmitterEventLog>();
  parser = KsMakeRef<Parser>();
  parser->SetEmitter(log);
  parser->SetRootObject(root);
  parser->SetReporter(&reporter);
  parser->SetLexer(KsMakeRef<ScriptLexer>([&](Parser& p) {
    p.OnBeginProperty("Child");
    p.OnBeginObject(SampleClass(), "x", nullptr);
    p.OnBeginProperty("Float");
    p.OnValue(PWStringRef("2.5"));
    p.OnEndProperty();
    p.OnBeginProperty("Text");
    p.OnValue(PWStringRef(" as is "));
    p.OnEndProperty();
    p.OnBeginProperty("Int64");
    p.OnValue(PWStringRef("-7"));
    p.OnEndProperty();
    p.OnBeginProperty("Pointer");
    p.OnValue(PWStringRef("0x1234"));
    p.OnEndProperty();
    p.OnEndProperty();
  }));
  EXPECT_EQ(0, parser->Parse("", 0));
  EXPECT_EQ(
      "document\nbegin Child root\nobject SerialSample x \nbegin Float\nfloat 2.500000\nend Float\n"
      "begin Text\nstring  as is \nend Text\nbegin Int64\nint64 -7\nend Int64\nend object\nend Child\n"
      "end document\n",
      log->log);
  ASSERT_EQ(1u, reporter.warnings.size());
  EXPECT_EQ(-900, reporter.warnings[0].code);
  EXPECT_FALSE(root->GetChild());

  // A property given up on after its object began is closed for the emitter.
  auto skipped = KsMakeRef<EmitterEventLog>();
  parser = KsMakeRef<Parser>();
  parser->SetEmitter(skipped);
  parser->SetRootObject(root);
  parser->SetLexer(KsMakeRef<ScriptLexer>([&](Parser& p) {
    p.OnBeginProperty("Child");
    p.OnBeginObject(SampleClass(), nullptr, nullptr);
    p.OnBeginProperty("Int");
    p.OnValue(int32_t{1});
    p.OnEndProperty();
    p.OnSkipProperty();
    p.OnBeginProperty("Flag");
    p.OnValue(true);
    p.OnEndProperty();
    p.OnEndProperty();
  }));
  EXPECT_EQ(0, parser->Parse("", 0));
  EXPECT_EQ("document\nbegin Child root\nobject SerialSample  \nbegin Int\nint 1\nend Int\nend object\nend Child\n"
            "end document\n",
            skipped->log);
}

TEST(StdErrParseReporter, WarningLineFormat) {
  EXPECT_EQ("Parse warning -900 ((unknown location)): 100% sure\n",
            StdErrParseReporter::FormatWarning(nullptr, -900, "100% sure"));
}

TEST(ParseFunctions, EntryPointsRefuseMissingInput) {
  RegisterSerializationTestClasses();
  auto root = KsMakeRef<Sample>();
  EXPECT_EQ(-2, ParseObjectWithRoot(nullptr, root, nullptr, nullptr));
  EXPECT_EQ(-2, ParseObjectWithRoot("<Int>1</Int>", root, nullptr, "NoSuchLexer"));
  EXPECT_EQ(0, ParseObjectWithRoot("<Int>11</Int>", root, nullptr, nullptr));
  EXPECT_EQ(11, root->GetInt());

  KsRef<Parser> parser;
  MakeParser(parser, "XMLLexer", nullptr, root, KsRef<PathResolver>());
  ASSERT_TRUE(parser);
  FILE* empty = std::tmpfile();
  EXPECT_EQ(-2, ParseFile(empty, parser));
  std::fputs("<Int>12</Int>", empty);
  EXPECT_EQ(0, ParseFile(empty, parser));
  EXPECT_EQ(12, root->GetInt());
  std::fclose(empty);
}
