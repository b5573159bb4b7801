#include <gtest/gtest.h>

#include <string>

#include "General/ObjectCollection.h"
#include "General/StringStringTuple.h"
#include "SerializationTestSupport.h"
#include "StreamFormTestSupport.h"
#include "Utilities/AtomEmitter.h"
#include "Utilities/AtomFormat.h"
#include "Utilities/Chameleon.h"
#include "Utilities/ObjectWriter.h"

using hc::movfile::AtomContainer;

namespace {

class AtomEmitterTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamFormClasses(); }
};

std::string Data(const AtomContainer& container, AtomContainer::Atom atom) {
  std::span<const uint8_t> data;
  if (hc::movfile::MovFailed(container.GetAtomData(atom, &data))) return "<no data>";
  return std::string(data.begin(), data.end());
}

std::string DataById(const AtomContainer& container, AtomContainer::Atom parent, uint32_t type, uint32_t id) {
  return Data(container, container.FindChildByID(parent, type, id));
}

// Every name atom anywhere in the container.
bool HasNameAtom(const AtomContainer& container, const std::string& name) {
  for (AtomContainer::Atom atom = 1; atom < container.AtomCount(); ++atom) {
    if (container.GetAtomType(atom) == AtomFormat::kName && Data(container, atom) == name) return true;
  }
  return false;
}

}  // namespace

TEST_F(AtomEmitterTest, PropertiesBecomeNumberedAtomSets) {
  AtomContainer container;
  auto emitter = KsMakeRef<AtomEmitter>();
  emitter->SetAtomContainer(&container);
  KsRef<KsClassObject> sampleClass = Sample::ClassGetClassObject();
  auto property = [&](const char* name) { return sampleClass->FindProperty(name); };
  emitter->BeginDocument();
  emitter->BeginProperty(property("Child"), true);
  emitter->BeginObject(sampleClass, "rootObject", nullptr);
  emitter->BeginProperty(property("Float"), false);
  emitter->EmitValue(1.5f);
  emitter->EndProperty(property("Float"));
  emitter->BeginProperty(property("Pointer"), false);
  emitter->EmitValue(static_cast<void*>(this));
  emitter->EndProperty(property("Pointer"));
  emitter->BeginProperty(property("Flag"), false);
  emitter->EmitValue(true);
  emitter->EndProperty(property("Flag"));
  emitter->BeginProperty(property("Other"), false);
  emitter->BeginObject(sampleClass, nullptr, "#rootObject");
  emitter->EndObject(sampleClass);
  emitter->EndProperty(property("Other"));
  emitter->EndObject(sampleClass);
  emitter->EndProperty(property("Child"));
  emitter->EndDocument();
  EXPECT_EQ(0, emitter->GetFirstError());

  const AtomContainer::Atom root = AtomContainer::kRootAtom;
  EXPECT_EQ(5u, container.CountChildren(root));
  EXPECT_EQ("Child", DataById(container, root, AtomFormat::kName, 1));
  EXPECT_EQ(std::string("\0\0\0\5", 4), DataById(container, root, AtomFormat::kType, 1));
  EXPECT_EQ("SerialSample", DataById(container, root, AtomFormat::kClassName, 1));
  EXPECT_EQ("rootObject", DataById(container, root, AtomFormat::kId, 1));
  EXPECT_EQ(AtomContainer::kNoAtom, container.FindChildByID(root, AtomFormat::kHref, 1));

  const AtomContainer::Atom object = container.FindChildByID(root, AtomFormat::kValue, 1);
  // The pointer left no atoms and took no number.
  EXPECT_EQ(3u, container.CountChildrenOfType(object, AtomFormat::kName));
  EXPECT_EQ("Float", DataById(container, object, AtomFormat::kName, 1));
  EXPECT_EQ(std::string("\0\0\0\1", 4), DataById(container, object, AtomFormat::kType, 1));
  EXPECT_EQ(std::string("\x3F\xC0\0\0", 4), DataById(container, object, AtomFormat::kValue, 1));
  EXPECT_EQ("Flag", DataById(container, object, AtomFormat::kName, 2));
  EXPECT_EQ("\xFF", DataById(container, object, AtomFormat::kValue, 2));
  EXPECT_EQ("Other", DataById(container, object, AtomFormat::kName, 3));
  EXPECT_EQ("#rootObject", DataById(container, object, AtomFormat::kHref, 3));
  EXPECT_EQ(AtomContainer::kNoAtom, container.FindChildByID(object, AtomFormat::kId, 3));
  EXPECT_EQ(0u, container.CountChildren(container.FindChildByID(object, AtomFormat::kValue, 3)));
}

TEST_F(AtomEmitterTest, PointerPropertiesAreNotWritten) {
  auto original = MakeFullSample();
  original->SetPointer(this);
  const WrittenBytes written = WriteAtomForm(original, "Child", true);
  ASSERT_EQ(0, written.result);
  AtomContainer container;
  ASSERT_EQ(hc::movfile::MovErr::Ok, AtomContainer::Parse(written.bytes, &container));
  EXPECT_FALSE(HasNameAtom(container, "Pointer"));
  EXPECT_TRUE(HasNameAtom(container, "Serial"));

  auto holder = KsMakeRef<Sample>();
  RecordingReporter reporter;
  ASSERT_EQ(0, ParseBytes("AtomLexer", written.bytes, holder, &reporter));
  ASSERT_TRUE(holder->GetChild());
  ExpectSameValues(*original, *holder->GetChild());
}

TEST_F(AtomEmitterTest, AParentThatWouldOverflowItsChildCountFailsTheWrite) {
  // Each element is five atoms of the collection's value atom: 13107 fill
  // 65535, one more doesn't fit.
  auto things = KsMakeRef<ObjectCollection>();
  for (int i = 0; i < 13108; ++i) things->Add(KsMakeRef<StringStringTuple>());
  AtomContainer container;
  EXPECT_EQ(-2292, WriteAtomContainer(things, "Things", &container));

  // What was written is whole and reads back.
  auto root = KsMakeRef<Chameleon>();
  RecordingReporter reporter;
  ASSERT_EQ(0, ParseBytes("AtomLexer", Flatten(container), root, &reporter));
  auto read = root->GetPropValue().DynamicCast<ObjectCollection>();
  ASSERT_TRUE(read);
  EXPECT_EQ(13107u, read->GetCount());
}

TEST_F(AtomEmitterTest, ObjectsNestedTooDeeplyFailTheWrite) {
  auto top = KsMakeRef<Sample>();
  KsRef<Sample> last = top;
  for (int level = 0; level < 300; ++level) {
    auto next = KsMakeRef<Sample>();
    last->SetChild(next);
    last = next;
  }
  AtomContainer container;
  // The writer stops at its own depth limit, where every reader still reads.
  EXPECT_EQ(ObjectWriter::kNestedTooDeeply, WriteAtomContainer(top, "Child", &container));
  auto holder = KsMakeRef<Sample>();
  ASSERT_EQ(0, ParseBytes("AtomLexer", Flatten(container), holder));
  size_t depth = 0;
  for (KsRef<Sample> at = holder->GetChild(); at; at = at->GetChild()) ++depth;
  EXPECT_GT(depth, 200u);
  EXPECT_LT(depth, 300u);
}

TEST_F(AtomEmitterTest, WritesIntoAContainerAndNeverToAFile) {
  auto emitter = KsMakeRef<AtomEmitter>();
  EXPECT_EQ(-2, emitter->SetOutputFile(stdout));
  AtomContainer container;
  KsRef<HcProperty> property = AtomEmitter::ClassGetClassObject()->FindProperty("AtomContainer");
  ASSERT_TRUE(property);
  EXPECT_FALSE(property->GetShouldSerialize());
  EXPECT_EQ(0, property->SetValue(emitter.Get(), static_cast<void*>(&container)));
  void* read = nullptr;
  EXPECT_EQ(0, property->GetValue(emitter.Get(), &read));
  EXPECT_EQ(&container, read);
}
