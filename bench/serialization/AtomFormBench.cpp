// Figures of the atom-container form: an object graph of 20,000 and of
// 40,000 properties written into a container and flattened, and read back
// from the flattened bytes; the time of the larger over the smaller (goal: at
// most 2.2, so no quadratic copying or look-ups).
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "General/HcClassMap.h"
#include "General/KsClassMacros.h"
#include "General/KsColor.h"
#include "General/KsObject.h"
#include "General/KsRect.h"
#include "General/ObjectCollection.h"
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

// Properties per element: the element itself and its eight values.
constexpr int kPropertiesPerNode = 9;

KsRef<AtomBenchNode> MakeGraph(int properties) {
  HcClassMap::RegisterClassObject(AtomBenchNode::ClassGetClassObject());
  HcClassMap::RegisterClassObject(ObjectCollection::ClassGetClassObject());
  auto root = KsMakeRef<AtomBenchNode>();
  auto items = KsMakeRef<ObjectCollection>();
  for (int i = 0; i < properties / kPropertiesPerNode; ++i) {
    auto node = KsMakeRef<AtomBenchNode>();
    node->SetWidth(static_cast<float>(i) * 0.5f);
    node->SetCount(i);
    node->SetFrame(KsRectF(0, 0, static_cast<float>(i), 10));
    node->SetLabel(PWStringCreateWithFormat("node %i", i));
    node->SetRatio(i / 3.0);
    node->SetBig(int64_t{1} << 40);
    node->SetEnabled(i % 2 == 0);
    node->SetTint({0.1f, 0.2f, 0.3f, 1.0f});
    items->Add(node);
  }
  root->SetItems(items);
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

void BM_AtomFormWrite(benchmark::State& state) {
  auto root = MakeGraph(static_cast<int>(state.range(0)));
  size_t size = 0;
  for (auto _ : state) {
    std::vector<uint8_t> bytes = WriteForm(root);
    if (bytes.empty()) state.SkipWithError("write failed");
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_AtomFormWrite)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);

void BM_AtomFormRead(benchmark::State& state) {
  const std::vector<uint8_t> bytes = WriteForm(MakeGraph(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    if (!ReadForm(bytes)) state.SkipWithError("read failed");
  }
}
BENCHMARK(BM_AtomFormRead)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);

// Write and read of 40,000 properties over 20,000, each the best of the
// iterations.
void BM_AtomFormScaling(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  auto small = MakeGraph(20000);
  auto large = MakeGraph(40000);
  double bestSmall = 1e30;
  double bestLarge = 1e30;
  auto roundTrip = [](const KsRef<AtomBenchNode>& root) {
    const auto start = Clock::now();
    const bool ok = ReadForm(WriteForm(root));
    return ok ? std::chrono::duration<double>(Clock::now() - start).count() : -1.0;
  };
  for (auto _ : state) {
    const double s = roundTrip(small);
    const double l = roundTrip(large);
    if (s < 0 || l < 0) state.SkipWithError("round trip failed");
    bestSmall = std::min(bestSmall, s);
    bestLarge = std::min(bestLarge, l);
  }
  state.counters["ratio_40k_over_20k"] = bestLarge / bestSmall;
  state.counters["goal_at_most"] = 2.2;
}
BENCHMARK(BM_AtomFormScaling)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
