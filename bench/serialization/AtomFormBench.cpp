// Figures of the atom-container form: object graphs of four sizes, from
// 10,000 to 640,000 properties, written into a container and flattened, and
// read back from the flattened bytes. The scaling row runs the round trip of
// every size in each round (the order turning from round to round) and prints
// the median time per property of each size and that of the largest over that
// of the smallest: close to 1 when the cost grows linearly, far above 1 when
// something copies or looks up quadratically.
//
// The form allows 65,535 children per atom, and every object of a list takes
// five of its list's children (name, type, class, id and value), so one list
// holds at most about 13,000 objects; the graphs keep their nodes in lists of
// 1,000.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "General/HcClassMap.h"
#include "General/KsClassMacros.h"
#include "General/KsColor.h"
#include "General/KsObject.h"
#include "General/KsRect.h"
#include "General/ObjectCollection.h"
#include "PairedTiming.h"
#include "Utilities/AtomEmitter.h"
#include "Utilities/AtomLexer.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/ObjectWriter.h"
#include "Utilities/Parser.h"
#include "platform/movfile/AtomContainer.h"
#include "tests/Support/NodeField.h"

// A node with eight values, a child and a list of nodes.
class AtomBenchNode : public KsObject {
  HC_CLASS_HEADER(AtomBenchNode)
 public:
  HC_NODE_FIELD(float, Width)
  HC_NODE_FIELD(int32_t, Count)
  HC_NODE_FIELD(KsRectF, Frame)
  HC_NODE_FIELD(PWStringRef, Label)
  HC_NODE_FIELD(double, Ratio)
  HC_NODE_FIELD(int64_t, Big)
  HC_NODE_FIELD(bool, Enabled)
  HC_NODE_FIELD(KsColorF, Tint)
  HC_NODE_FIELD(KsRef<AtomBenchNode>, Child)
  HC_NODE_FIELD(KsRef<ObjectCollection>, Items)
};
HC_CLASS_OBJECT(AtomBenchNode, KsObject)

HC_DEFINE_CLASS(AtomBenchNode, KsObject, "AtomBenchNode")
void AtomBenchNode::AtomBenchNodeClass::SetupProperties() {
  using namespace KsPropertyType;
  using N = AtomBenchNode;
  auto self = ThisRef();
  AddProperty(HcPropertyDirectGet<N, float>::Create(self, 200, kFloat, "Width", true, &N::GetWidth, &N::SetWidth));
  AddProperty(HcPropertyDirectGet<N, int32_t>::Create(self, 201, kInt, "Count", true, &N::GetCount, &N::SetCount));
  AddProperty(HcPropertyDirectGet<N, KsRectF>::Create(self, 202, kRect, "Frame", true, &N::GetFrame, &N::SetFrame));
  AddProperty(
      HcPropertyDirectGet<N, PWStringRef>::Create(self, 203, kString, "Label", true, &N::GetLabel, &N::SetLabel));
  AddProperty(HcPropertyDirectGet<N, double>::Create(self, 204, kDouble, "Ratio", true, &N::GetRatio, &N::SetRatio));
  AddProperty(HcPropertyDirectGet<N, int64_t>::Create(self, 205, kInt64, "Big", true, &N::GetBig, &N::SetBig));
  AddProperty(
      HcPropertyDirectGet<N, bool>::Create(self, 206, kBool, "Enabled", true, &N::GetEnabled, &N::SetEnabled));
  AddProperty(HcPropertyDirectGet<N, KsColorF>::Create(self, 207, kColor, "Tint", true, &N::GetTint, &N::SetTint));
  AddProperty(
      HcPropertyObjectDirectGet<N, AtomBenchNode>::Create(self, 208, "Child", true, &N::GetChild, &N::SetChild));
  AddProperty(HcPropertyObjectDirectGet<N, ObjectCollection>::Create(self, 209, "Items", true, &N::GetItems,
                                                                     &N::SetItems));
}

namespace {

// Properties per node: the node itself and its eight values.
constexpr int kPropertiesPerNode = 9;
constexpr int kNodesPerList = 1000;

// The sizes, in properties; a sixteenth of each in a smoke run.
std::vector<int> Sizes() {
  std::vector<int> sizes = {10000, 40000, 160000, 640000};
  if (hc::bench::SmokeRun()) {
    for (int& size : sizes) size /= 16;
  }
  return sizes;
}

KsRef<AtomBenchNode> MakeNode(int i) {
  auto node = KsMakeRef<AtomBenchNode>();
  node->SetWidth(static_cast<float>(i) * 0.5f);
  node->SetCount(i);
  node->SetFrame(KsRectF(0, 0, static_cast<float>(i), 10));
  node->SetLabel(PWStringCreateWithFormat("node %i", i));
  node->SetRatio(i / 3.0);
  node->SetBig(int64_t{1} << 40);
  node->SetEnabled(i % 2 == 0);
  node->SetTint({0.1f, 0.2f, 0.3f, 1.0f});
  return node;
}

// A root whose list holds groups, each with a list of up to 1,000 nodes.
KsRef<AtomBenchNode> MakeGraph(int properties) {
  HcClassMap::RegisterClassObject(AtomBenchNode::ClassGetClassObject());
  HcClassMap::RegisterClassObject(ObjectCollection::ClassGetClassObject());
  auto root = KsMakeRef<AtomBenchNode>();
  auto groups = KsMakeRef<ObjectCollection>();
  KsRef<ObjectCollection> nodes;
  for (int i = 0; i < properties / kPropertiesPerNode; ++i) {
    if (i % kNodesPerList == 0) {
      auto group = KsMakeRef<AtomBenchNode>();
      nodes = KsMakeRef<ObjectCollection>();
      group->SetItems(nodes);
      groups->Add(group);
    }
    nodes->Add(MakeNode(i));
  }
  root->SetItems(groups);
  return root;
}

std::vector<uint8_t> WriteForm(const KsRef<AtomBenchNode>& root) {
  hc::movfile::AtomContainer container;
  auto emitter = KsMakeRef<AtomEmitter>();
  emitter->SetAtomContainer(&container);
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetEmitter(emitter);
  writer->SetRootElementName("Child");
  writer->SetTargetObject(root);
  std::vector<uint8_t> bytes;
  if (writer->WriteObject() != 0 || container.Flatten(&bytes) != hc::movfile::MovErr::Ok) bytes.clear();
  return bytes;
}

bool ReadForm(const std::vector<uint8_t>& bytes) {
  auto holder = KsMakeRef<AtomBenchNode>();
  auto parser = KsMakeRef<Parser>();
  parser->SetLexer(KsMakeRef<AtomLexer>());
  parser->SetRootObject(holder);
  return parser->Parse(bytes.data(), bytes.size()) == 0 && holder->GetChild();
}

void SetPerProperty(benchmark::State& state, double seconds) {
  state.counters["properties"] = static_cast<double>(state.range(0));
  state.counters["ns_per_property"] = seconds * 1e9 / static_cast<double>(state.range(0));
}

void BM_AtomFormWrite(benchmark::State& state) {
  auto root = MakeGraph(static_cast<int>(state.range(0)));
  size_t size = 0;
  std::vector<double> seconds;
  for (auto _ : state) {
    std::vector<uint8_t> bytes;
    seconds.push_back(hc::bench::SecondsOf([&] { return !(bytes = WriteForm(root)).empty(); }));
    if (seconds.back() < 0) state.SkipWithError("write failed");
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(size);
  SetPerProperty(state, hc::bench::Median(seconds));
}

void BM_AtomFormRead(benchmark::State& state) {
  const std::vector<uint8_t> bytes = WriteForm(MakeGraph(static_cast<int>(state.range(0))));
  std::vector<double> seconds;
  for (auto _ : state) {
    seconds.push_back(hc::bench::SecondsOf([&] { return ReadForm(bytes); }));
    if (seconds.back() < 0) state.SkipWithError("read failed");
  }
  SetPerProperty(state, hc::bench::Median(seconds));
}

void AddSizes(benchmark::internal::Benchmark* benchmark) {
  for (int size : Sizes()) benchmark->Arg(size);
}
BENCHMARK(BM_AtomFormWrite)->Apply(AddSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AtomFormRead)->Apply(AddSizes)->Unit(benchmark::kMillisecond);

// Write and read back of every size per round; per size the median time per
// property, and the largest size's over the smallest's.
void BM_AtomFormScaling(benchmark::State& state) {
  const std::vector<int> sizes = Sizes();
  std::vector<KsRef<AtomBenchNode>> graphs;
  for (int size : sizes) graphs.push_back(MakeGraph(size));
  std::vector<std::vector<double>> perProperty(sizes.size());
  size_t round = 0;
  for (auto _ : state) {
    for (size_t step = 0; step < sizes.size(); ++step) {
      const size_t which = (round + step) % sizes.size();
      const double seconds = hc::bench::SecondsOf([&] { return ReadForm(WriteForm(graphs[which])); });
      if (seconds < 0) {
        state.SkipWithError("round trip failed");
        return;
      }
      perProperty[which].push_back(seconds / sizes[which]);
    }
    ++round;
  }
  for (size_t i = 0; i < sizes.size(); ++i) {
    state.counters["ns_per_property_" + std::to_string(sizes[i])] = hc::bench::Median(perProperty[i]) * 1e9;
  }
  state.counters["x_per_property_largest_over_smallest"] =
      hc::bench::Median(perProperty.back()) / hc::bench::Median(perProperty.front());
}
BENCHMARK(BM_AtomFormScaling)->Iterations(hc::bench::Rounds(5))->Unit(benchmark::kMillisecond);

}  // namespace
