#include <gtest/gtest.h>

#include <string>

#include "SerializationTestSupport.h"
#include "StreamFormTestSupport.h"
#include "Utilities/XMLStringEmitter.h"

namespace {

class AtomFormRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamFormClasses(); }
};

// A graph with every value type, a part shared by a property and twice by a
// collection, and a reference back to the top.
KsRef<Sample> SharedGraph() {
  auto root = MakeFullSample();
  root->SetOther(root->GetChild());
  root->GetChild()->SetOther(root);
  return root;
}

void LetGo(const KsRef<Sample>& root) {
  if (root && root->GetChild()) root->GetChild()->SetOther(nullptr);
}

}  // namespace

TEST_F(AtomFormRoundTrip, HcMLThroughObjectsAndAtomsGivesTheSameText) {
  auto graph = SharedGraph();
  graph->SetText("<tag> & ]]> ünïcødé");  // HcML trims text
  const std::string hcml = WriteHcML(graph, "Child");
  LetGo(graph);

  auto fromText = KsMakeRef<Sample>();
  RecordingReporter reporter;
  ASSERT_EQ(0, ParseHcML(hcml, fromText, &reporter));
  ASSERT_TRUE(fromText->GetChild());
  const WrittenBytes atoms = WriteAtomForm(fromText->GetChild(), "Child");
  ASSERT_EQ(0, atoms.result);
  LetGo(fromText->GetChild());

  auto fromAtoms = KsMakeRef<Sample>();
  ASSERT_EQ(0, ParseBytes("AtomLexer", atoms.bytes, fromAtoms, &reporter));
  EXPECT_TRUE(reporter.warnings.empty()) << reporter.warnings[0].message;
  KsRef<Sample> copy = fromAtoms->GetChild();
  ASSERT_TRUE(copy && copy->GetChild() && copy->GetParts());
  EXPECT_EQ(copy.Get(), copy->GetChild()->GetOther().Get());
  EXPECT_EQ(copy->GetChild().Get(), copy->GetOther().Get());
  EXPECT_EQ(copy->GetChild().Get(), copy->GetParts()->GetByIndex(2).Get());
  EXPECT_EQ(hcml, WriteHcML(copy, "Child"));
  LetGo(copy);
}

TEST_F(AtomFormRoundTrip, AtomsTranslateStraightToTheSameHcML) {
  auto graph = SharedGraph();
  graph->SetText("<tag> & ]]> ünïcødé");
  const std::string hcml = WriteHcML(graph, "Child");
  const WrittenBytes atoms = WriteAtomForm(graph, "Child");
  LetGo(graph);
  ASSERT_EQ(0, atoms.result);

  // A parser given an emitter builds nothing and hands each event on.
  auto emitter = KsMakeRef<XMLStringEmitter>();
  ASSERT_EQ(0, ParseBytes("AtomLexer", atoms.bytes, KsMakeRef<Sample>(), nullptr, emitter));
  EXPECT_EQ(hcml, emitter->GetOutputString().Str());
}
