#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "SerializationTestSupport.h"
#include "StreamFormTestSupport.h"
#include "Utilities/AtomFormat.h"
#include "Utilities/AtomLexer.h"

using hc::movfile::AtomContainer;
using Atom = AtomContainer::Atom;

namespace {

std::span<const uint8_t> Bytes(const std::string& text) {
  return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string BigEndian(int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  return std::string{static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
                     static_cast<char>(u)};
}

// Containers in the atom-container form, written atom by atom.
class Form {
 public:
  // A value property: name, type code and value atoms under the id.
  void Value(Atom parent, uint32_t id, const std::string& name, int32_t type, const std::string& value) {
    Add(parent, AtomFormat::kName, id, name);
    Add(parent, AtomFormat::kType, id, BigEndian(type));
    Add(parent, AtomFormat::kValue, id, value);
  }
  // An object property; answers the object's value atom.
  Atom Object(Atom parent, uint32_t id, const std::string& name, const std::string& className,
              std::optional<std::string> objectId = std::nullopt, std::optional<std::string> href = std::nullopt) {
    Add(parent, AtomFormat::kName, id, name);
    Add(parent, AtomFormat::kType, id, BigEndian(5));
    Add(parent, AtomFormat::kClassName, id, className);
    if (objectId) Add(parent, AtomFormat::kId, id, *objectId);
    if (href) Add(parent, AtomFormat::kHref, id, *href);
    return Add(parent, AtomFormat::kValue, id, "");
  }
  Atom Add(Atom parent, uint32_t type, uint32_t id, const std::string& data) {
    Atom atom = 0;
    EXPECT_EQ(hc::movfile::MovErr::Ok, container.InsertChild(parent, type, id, Bytes(data), &atom));
    return atom;
  }
  // The document's root property, "Child" of class SerialSample.
  Atom Root() { return Object(AtomContainer::kRootAtom, 1, "Child", "SerialSample", "rootObject"); }

  AtomContainer container;
};

class AtomLexerTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamFormClasses(); }

  eAppErr Read(const std::vector<uint8_t>& bytes) {
    holder = KsMakeRef<Sample>();
    reporter.warnings.clear();
    return ParseBytes("AtomLexer", bytes, holder, &reporter);
  }
  eAppErr Read(const Form& form) { return Read(Flatten(form.container)); }

  KsRef<Sample> holder;
  RecordingReporter reporter;
};

}  // namespace

TEST_F(AtomLexerTest, EveryValueTypeReadsBackWithPropertyListsAndSharing) {
  auto original = MakeFullSample();
  const WrittenBytes written = WriteAtomForm(original, "Child");
  ASSERT_EQ(0, written.result);
  ASSERT_EQ(0, Read(written.bytes));
  EXPECT_TRUE(reporter.warnings.empty()) << reporter.warnings[0].message;
  KsRef<Sample> copy = holder->GetChild();
  ASSERT_TRUE(copy);
  ExpectSameValues(*original, *copy);
  ASSERT_TRUE(copy->GetParts());
  ASSERT_EQ(3u, copy->GetParts()->GetCount());
  EXPECT_EQ(copy->GetChild().Get(), copy->GetParts()->GetByIndex(0).Get());
  EXPECT_EQ(copy->GetChild().Get(), copy->GetParts()->GetByIndex(2).Get());
  EXPECT_NE(copy->GetChild().Get(), copy->GetParts()->GetByIndex(1).Get());
  EXPECT_EQ(2.5f, copy->GetChild()->GetFloat());
}

TEST_F(AtomLexerTest, AReferenceBackToTheRootSurvives) {
  auto root = KsMakeRef<Sample>();
  auto child = KsMakeRef<Sample>();
  root->SetChild(child);
  child->SetOther(root);
  const WrittenBytes written = WriteAtomForm(root, "Child");
  child->SetOther(nullptr);
  ASSERT_EQ(0, Read(written.bytes));
  KsRef<Sample> copy = holder->GetChild();
  ASSERT_TRUE(copy && copy->GetChild());
  EXPECT_EQ(copy.Get(), copy->GetChild()->GetOther().Get());
  copy->GetChild()->SetOther(nullptr);
}

TEST_F(AtomLexerTest, ObjectValuesTheClassCannotTakeAreSkippedAndTheRestLoads) {
  Form form;
  const Atom child = form.Root();
  const Atom bogus = form.Object(child, 1, "Bogus", "SerialSample");
  form.Value(bogus, 1, "Int", 2, BigEndian(3));
  form.Object(child, 2, "Float", "SerialSample");
  const Atom unknown = form.Object(child, 3, "Other", "NoSuchClass");
  form.Value(unknown, 1, "Int", 2, BigEndian(4));
  form.Value(child, 4, "Int", 2, BigEndian(7));
  ASSERT_EQ(0, Read(form));
  EXPECT_TRUE(reporter.Saw("Skipping object value of property Bogus"));
  EXPECT_TRUE(reporter.Saw("Skipping object value of property Float"));
  EXPECT_TRUE(reporter.Saw("Unknown object type: NoSuchClass"));
  ASSERT_TRUE(holder->GetChild());
  EXPECT_EQ(7, holder->GetChild()->GetInt());
  EXPECT_EQ(0.0f, holder->GetChild()->GetFloat());
  EXPECT_FALSE(holder->GetChild()->GetOther());
}

TEST_F(AtomLexerTest, ValuesReadByTheirStoredType) {
  Form form;
  const Atom child = form.Root();
  form.Value(child, 1, "Flag", 6, "\x01");
  form.Value(child, 2, "Text", 4, std::string("ab\0cd", 5));
  form.Value(child, 3, "Int", 99, "whatever");
  form.Object(child, 4, "Other", "SerialSample");
  form.Value(child, 5, "Double", 12, std::string("\x3F\xF8\0\0\0\0\0\0", 8));
  ASSERT_EQ(0, Read(form));
  KsRef<Sample> read = holder->GetChild();
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->GetFlag());
  EXPECT_EQ("ab", read->GetText().Str());
  // An unknown type code delivers no value; reading goes on.
  EXPECT_TRUE(reporter.Saw("End-property encountered without value!"));
  ASSERT_TRUE(read->GetOther());
  EXPECT_EQ(1.5, read->GetDouble());
}

TEST_F(AtomLexerTest, AnEmptyObjectIsABeginAndAnEnd) {
  Form form;
  form.Root();
  auto log = KsMakeRef<EventLog>();
  log->SetLexer(KsMakeRef<AtomLexer>());
  log->SetRootObject(KsMakeRef<Sample>());
  const std::vector<uint8_t> bytes = Flatten(form.container);
  ASSERT_EQ(0, log->Parse(bytes.data(), bytes.size()));
  const std::vector<std::string> expected{"begin Child", "object SerialSample id=rootObject href=-", "end"};
  EXPECT_EQ(expected, log->events);
}

TEST_F(AtomLexerTest, DamagedFormsEndTheParse) {
  struct Case {
    const char* what;
    std::function<void(Form&, Atom)> build;
    const char* warning;
  };
  const Case cases[] = {
      {"a name and type without value (a pointer, as once written)",
       [](Form& f, Atom c) {
         f.Add(c, AtomFormat::kName, 1, "Pointer");
         f.Add(c, AtomFormat::kType, 1, BigEndian(7));
       },
       "don't come in sets"},
      {"ids that differ",
       [](Form& f, Atom c) {
         f.Add(c, AtomFormat::kName, 1, "Int");
         f.Add(c, AtomFormat::kType, 2, BigEndian(2));
         f.Add(c, AtomFormat::kValue, 1, BigEndian(1));
       },
       "different ids"},
      {"float of 3 bytes", [](Form& f, Atom c) { f.Value(c, 1, "Float", 1, "abc"); }, "is 3 bytes long, not 4"},
      {"pointer type", [](Form& f, Atom c) { f.Value(c, 1, "Pointer", 7, "12345678"); }, "can't be read"},
      {"no type", [](Form& f, Atom c) { f.Value(c, 1, "Int", -1, ""); }, "can't be read"},
      {"name not UTF-8", [](Form& f, Atom c) { f.Value(c, 1, "In\xC0\xAF", 2, BigEndian(1)); }, "not UTF-8"},
      {"text not UTF-8", [](Form& f, Atom c) { f.Value(c, 1, "Text", 4, "a\xFF"); }, "not UTF-8"},
      {"class not UTF-8", [](Form& f, Atom c) { f.Object(c, 1, "Other", "Serial\xF8"); }, "not UTF-8"},
      {"id not UTF-8", [](Form& f, Atom c) { f.Object(c, 1, "Other", "SerialSample", "\xC3"); }, "not UTF-8"},
      {"href not UTF-8",
       [](Form& f, Atom c) { f.Object(c, 1, "Other", "SerialSample", std::nullopt, "#\xE2\x82"); }, "not UTF-8"},
  };
  for (const Case& c : cases) {
    Form form;
    c.build(form, form.Root());
    EXPECT_EQ(-630, Read(form)) << c.what;
    EXPECT_TRUE(reporter.Saw(c.warning)) << c.what;
  }

  // A type atom that is not 4 bytes long.
  Form shortType;
  const Atom child = shortType.Root();
  shortType.Add(child, AtomFormat::kName, 1, "Int");
  shortType.Add(child, AtomFormat::kType, 1, "\0\0\2");
  shortType.Add(child, AtomFormat::kValue, 1, BigEndian(1));
  EXPECT_EQ(-630, Read(shortType));
  EXPECT_TRUE(reporter.Saw("not 4 bytes long"));
}

TEST_F(AtomLexerTest, EveryTruncationOfTheContainerIsRefused) {
  const WrittenBytes written = WriteAtomForm(MakeFullSample(), "Child");
  for (size_t length = 0; length < written.bytes.size(); length += 7) {
    const std::vector<uint8_t> prefix(written.bytes.begin(), written.bytes.begin() + static_cast<long>(length));
    EXPECT_EQ(-630, Read(prefix)) << "length " << length;
    EXPECT_TRUE(reporter.Saw("Damaged atom container")) << "length " << length;
  }
}

TEST_F(AtomLexerTest, CorruptedContainersAnswerErrorsOrLoadWhatTheyCan) {
  const WrittenBytes written = WriteAtomForm(MakeFullSample(), "Child");
  for (size_t position = 0; position < written.bytes.size(); ++position) {
    for (uint8_t value : {0x00, 0x01, 0x05, 0x7F, 0xFF}) {
      std::vector<uint8_t> bytes = written.bytes;
      bytes[position] = value;
      const eAppErr result = Read(bytes);
      EXPECT_LE(result, 0);
      // A corrupted id may tie an object to itself; let go of it.
      if (KsRef<Sample> child = holder->GetChild()) {
        child->SetChild(nullptr);
        child->SetOther(nullptr);
        child->SetParts(nullptr);
      }
    }
  }
}
