// Figures of HcML reading and writing: a generated document of about 1 MB and
// 20,000 elements parsed into objects, against libxml2 alone parsing the same
// bytes and walking the tree (goal: at most 3 times as long); the objects
// written back (goal: no slower than parsing); and a deep copy of 5,000
// objects.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <chrono>
#include <string>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsRect.h"
#include "General/KsTypeSafeCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/Parser.h"
#include "Utilities/XMLLexer.h"
#include "Utilities/XMLStringEmitter.h"
#include "tests/Support/NodeField.h"

class BenchNodeCollection;

// A node of a scene-like document: a few values and a list of nodes.
class BenchNode : public KsObject {
  HC_CLASS_HEADER(BenchNode)
 public:
  HC_NODE_FIELD(float, Width)
  HC_NODE_FIELD(int32_t, Count)
  HC_NODE_FIELD(KsRectF, Frame)
  HC_NODE_FIELD(PWStringRef, Label)
  KsRef<BenchNodeCollection> GetNodes() const;
  eAppErr SetNodes(const KsRef<BenchNodeCollection>& v);
  HC_NODE_FIELD(KsRef<BenchNode>, Main)

 private:
  KsRef<BenchNodeCollection> m_nodes;
};
HC_CLASS_OBJECT(BenchNode, KsObject)

class BenchNodeCollection : public KsTypeSafeCollection<BenchNode> {
  HC_CLASS_HEADER(BenchNodeCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(BenchNodeCollection)

KsRef<BenchNodeCollection> BenchNode::GetNodes() const { return m_nodes; }
eAppErr BenchNode::SetNodes(const KsRef<BenchNodeCollection>& v) {
  m_nodes = v;
  return 0;
}

HC_DEFINE_CLASS(BenchNode, KsObject, "BenchNode")
void BenchNode::BenchNodeClass::SetupProperties() {
  using namespace KsPropertyType;
  auto self = ThisRef();
  AddProperty(HcPropertyDirectGet<BenchNode, float>::Create(self, 200, kFloat, "Width", true, &BenchNode::GetWidth,
                                                            &BenchNode::SetWidth));
  AddProperty(HcPropertyDirectGet<BenchNode, int32_t>::Create(self, 201, kInt, "Count", true, &BenchNode::GetCount,
                                                              &BenchNode::SetCount));
  AddProperty(HcPropertyDirectGet<BenchNode, KsRectF>::Create(self, 202, kRect, "Frame", true, &BenchNode::GetFrame,
                                                              &BenchNode::SetFrame));
  AddProperty(HcPropertyDirectGet<BenchNode, PWStringRef>::Create(self, 203, kString, "Label", true,
                                                                  &BenchNode::GetLabel, &BenchNode::SetLabel));
  AddProperty(HcPropertyObjectDirectGet<BenchNode, BenchNodeCollection>::Create(self, 204, "Nodes", true,
                                                                                &BenchNode::GetNodes,
                                                                                &BenchNode::SetNodes));
  AddProperty(HcPropertyObjectDirectGet<BenchNode, BenchNode>::Create(self, 205, "Main", true, &BenchNode::GetMain,
                                                                      &BenchNode::SetMain));
}
HC_DEFINE_OBJECT_COLLECTION_CLASS(BenchNodeCollection, BenchNode, "BenchNodes", "BenchNode")

namespace {

void RegisterBenchClasses() {
  HcClassMap::RegisterClassObject(BenchNode::ClassGetClassObject());
  HcClassMap::RegisterClassObject(BenchNodeCollection::ClassGetClassObject());
}

// A root with groups of nodes: each node is one object element and six value
// elements.
KsRef<BenchNode> MakeTree(int nodes) {
  auto root = KsMakeRef<BenchNode>();
  auto groups = KsMakeRef<BenchNodeCollection>();
  root->SetNodes(groups);
  KsRef<BenchNodeCollection> current;
  for (int i = 0; i < nodes; ++i) {
    if (i % 50 == 0) {
      auto group = KsMakeRef<BenchNode>();
      current = KsMakeRef<BenchNodeCollection>();
      group->SetNodes(current);
      groups->Add(group);
    }
    auto node = KsMakeRef<BenchNode>();
    node->SetName(PWStringRef("node " + std::to_string(i)));
    node->SetWidth(0.25f * static_cast<float>(i));
    node->SetCount(i);
    node->SetFrame(KsRectF(1.5f, 2.0f, 640.0f + static_cast<float>(i), 480.0f));
    node->SetLabel(PWStringRef("label of node number " + std::to_string(i) + " in the generated document"));
    current->Add(node);
  }
  return root;
}

struct Document {
  Document() {
    RegisterBenchClasses();
    tree = MakeTree(3300);
    text = WriteObjectToHcMLString(tree, "Main").Str();
    for (size_t pos = text.find('<'); pos != std::string::npos; pos = text.find('<', pos + 1)) {
      if (text[pos + 1] != '/' && text[pos + 1] != '?') ++elements;
    }
  }
  KsRef<BenchNode> tree;
  std::string text;
  int elements = 0;
};

const Document& TheDocument() {
  static const Document document;
  return document;
}

// Mean seconds per iteration of the benchmarks run so far, for the ratios.
double g_libxml2Seconds = 0;
double g_parseSeconds = 0;

size_t Walk(xmlNode* node) {
  size_t count = 0;
  for (xmlNode* child = node; child; child = child->next) {
    if (child->type == XML_ELEMENT_NODE) {
      ++count;
      xmlChar* type = xmlGetProp(child, reinterpret_cast<const xmlChar*>("type"));
      if (type) xmlFree(type);
      count += Walk(child->children);
    } else if (child->type == XML_TEXT_NODE && !xmlIsBlankNode(child)) {
      count += xmlStrlen(child->content) > 0 ? 1 : 0;
    }
  }
  return count;
}

template <class Body>
double TimeIterations(benchmark::State& state, Body body) {
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    body();
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  return state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
}

void BM_LibXml2ParseAndWalk(benchmark::State& state) {
  const Document& document = TheDocument();
  g_libxml2Seconds = TimeIterations(state, [&] {
    xmlDocPtr doc = xmlReadMemory(document.text.data(), static_cast<int>(document.text.size()), "", "UTF-8",
                                  XML_PARSE_NOCDATA | XML_PARSE_NONET);
    benchmark::DoNotOptimize(Walk(xmlDocGetRootElement(doc)));
    xmlFreeDoc(doc);
  });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.text.size()));
  state.counters["bytes"] = static_cast<double>(document.text.size());
  state.counters["elements"] = document.elements;
}
BENCHMARK(BM_LibXml2ParseAndWalk)->Unit(benchmark::kMillisecond);

void BM_ParseHcMLIntoObjects(benchmark::State& state) {
  const Document& document = TheDocument();
  g_parseSeconds = TimeIterations(state, [&] {
    auto root = KsMakeRef<BenchNode>();
    auto parser = KsMakeRef<Parser>();
    parser->SetLexer(KsMakeRef<XMLLexer>());
    parser->SetRootObject(root);
    if (parser->Parse(document.text.data(), document.text.size()) != 0 || !root->GetMain()) {
      state.SkipWithError("parse failed");
    }
  });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.text.size()));
  if (g_libxml2Seconds > 0) state.counters["x_libxml2"] = g_parseSeconds / g_libxml2Seconds;
}
BENCHMARK(BM_ParseHcMLIntoObjects)->Unit(benchmark::kMillisecond);

void BM_WriteHcML(benchmark::State& state) {
  const Document& document = TheDocument();
  const double seconds = TimeIterations(state, [&] {
    const PWStringRef text = WriteObjectToHcMLString(document.tree, "Main");
    if (text.ByteLength() != document.text.size()) state.SkipWithError("write differs");
  });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.text.size()));
  if (g_parseSeconds > 0) state.counters["x_parse"] = seconds / g_parseSeconds;
}
BENCHMARK(BM_WriteHcML)->Unit(benchmark::kMillisecond);

void BM_DeepCopy5000Objects(benchmark::State& state) {
  RegisterBenchClasses();
  // 5,000 nodes plus their group objects and lists.
  KsRef<BenchNode> tree = MakeTree(4800);
  for (auto _ : state) {
    KsRef<KsObject> copy;
    tree->DeepCopy(copy);
    if (!copy) state.SkipWithError("copy failed");
    benchmark::DoNotOptimize(copy.Get());
  }
  state.counters["objects"] = 4800 + 2 * 96 + 2;
}
BENCHMARK(BM_DeepCopy5000Objects)->Unit(benchmark::kMillisecond);

}  // namespace
