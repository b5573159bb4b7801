// Figures of HcML on a document of the model's own classes: about 1 MB of
// projection lists (ring projections with linear and polynomial radius
// functions, cylindrical, equirectangular, planar and cube-map projections
// with their face lists) grouped in object lists.
//
// - Load from a file the way a program does (HcMLLoader: the file read, its
//   UTF-8 check, the parse, the objects), against libxml2 reading the same
//   file with xmlReadFile and walking the tree (the elements, their "type"
//   attribute and text). Goal: x_libxml2 at most 2.
// - Write of the loaded objects, against parsing the same text from memory
//   into objects. Goal: x_parse at most 1.
// - A deep copy of the loaded objects.
// Ours and the anchor alternate in one run; the median ratio of the pairs is
// printed (Support/PairedTiming.h).
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "General/FloatCollection.h"
#include "General/ObjectCollection.h"
#include "PairedTiming.h"
#include "Projection/CubicProjection.h"
#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/KestrelProj.h"
#include "Projection/LinearFunc.h"
#include "Projection/PlanarProjection.h"
#include "Projection/PolynomialFunc.h"
#include "Projection/ProjectionCollection.h"
#include "Projection/RadialFuncProj.h"
#include "RegisterAllClasses.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/ParseFunctions.h"
#include "Utilities/XMLStringEmitter.h"

namespace {

using hc::bench::PairedTimes;
using hc::bench::Rounds;

constexpr int kProjectionsPerList = 40;

KsRef<PanoProjection> MakeRing(int i) {
  auto projection = KsMakeRef<RadialFuncProj>();
  if (i % 2 == 0) {
    auto radius = KsMakeRef<LinearFunc>();
    radius->SetAngleMinDeg(-90.0f + static_cast<float>(i % 7));
    radius->SetAngleMaxDeg(30.0f);
    projection->SetRadialFunc(radius);
  } else {
    auto terms = KsMakeRef<FloatCollection>();
    for (float term : {0.02f, 0.91f, -0.13f, 0.04f * static_cast<float>(i % 5)}) terms->Add(term);
    auto radius = KsMakeRef<PolynomialFunc>();
    radius->SetPolyTerms(terms);
    projection->SetRadialFunc(radius);
  }
  projection->SetCenterPoint(KsPointF(0.5f + 0.001f * static_cast<float>(i % 9), 0.5f));
  projection->SetRadiusV(0.45f);
  projection->SetIsMirror(i % 3 == 0);
  return projection;
}

KsRef<PanoProjection> MakeProjection(int i) {
  KsRef<PanoProjection> projection;
  switch (i % 7) {
    case 0:
    case 1:
      projection = MakeRing(i);
      break;
    case 2:
      projection = KsMakeRef<KestrelProj>();
      break;
    case 3: {
      auto cylinder = KsMakeRef<CylindricalProj>();
      cylinder->SetPanMaxDeg(270.0f + static_cast<float>(i % 90));
      cylinder->SetVerticalScale(0.9f);
      projection = cylinder;
      break;
    }
    case 4: {
      auto sphere = KsMakeRef<EquirectangularProj>();
      sphere->SetPanMinDeg(static_cast<float>(i % 30));
      projection = sphere;
      break;
    }
    case 5: {
      KsRef<CubicProjection> cube;
      CubicProjection::Create3By2CubicProjection(cube);
      projection = cube;
      break;
    }
    default:
      projection = KsMakeRef<PlanarProjection>();
  }
  projection->SetName(PWStringRef("projection " + std::to_string(i)));
  projection->SetTiltMinDeg(-40.0f - static_cast<float>(i % 20));
  projection->SetZeroPanOffsetDeg(0.5f * static_cast<float>(i % 360));
  projection->SetConstraintPanMax(180.0f);
  return projection;
}

// Lists of projections in an object list, until the text reaches the size.
KsRef<ObjectCollection> MakeLibrary(size_t bytes) {
  auto library = KsMakeRef<ObjectCollection>();
  int made = 0;
  size_t written = 0;
  while (written < bytes) {
    auto list = KsMakeRef<ProjectionCollection>();
    list->SetName(PWStringRef("list " + std::to_string(library->GetCount())));
    for (int i = 0; i < kProjectionsPerList; ++i) list->Add(MakeProjection(made++));
    written += WriteObjectToHcMLString(list, "entry").ByteLength();
    library->Add(list);
  }
  return library;
}

std::string TemporaryPath() {
  const char* folder = std::getenv("TMPDIR");
  std::string path = std::string(folder && *folder ? folder : "/tmp") + "/hcml_bench.XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd >= 0) close(fd);
  return fd >= 0 ? path : std::string();
}

// The document as text and as a file (removed at exit).
struct Document {
  Document() {
    RegisterAllClasses();
    library = MakeLibrary(hc::bench::SmokeRun() ? (size_t{64} << 10) : (size_t{1} << 20));
    text = WriteObjectToHcMLString(library, "entry");
    path = TemporaryPath();
    FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    ok = file && std::fwrite(text.CStr(), 1, text.ByteLength(), file) == text.ByteLength();
    if (file) ok = std::fclose(file) == 0 && ok;
    for (size_t pos = text.Str().find('<'); pos != std::string::npos; pos = text.Str().find('<', pos + 1)) {
      if (text.Str()[pos + 1] != '/' && text.Str()[pos + 1] != '?') ++elements;
    }
  }
  ~Document() {
    if (!path.empty()) unlink(path.c_str());
  }
  KsRef<ObjectCollection> library;
  PWStringRef text;
  std::string path;
  int elements = 0;
  bool ok = false;
};

const Document& TheDocument() {
  static const Document document;
  return document;
}

size_t ListCount(const KsRef<ObjectCollection>& root) {
  if (root->GetCount() != 1) return 0;
  KsRef<ObjectCollection> library = root->GetByIndex(0).DynamicCast<ObjectCollection>();
  return library ? library->GetCount() : 0;
}

bool LoadFromFile(const Document& document) {
  auto root = KsMakeRef<ObjectCollection>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(root);
  if (loader->SetHcMLToLoadPath(PWStringRef(document.path)) != 0 || loader->LoadHcML() != 0) return false;
  return ListCount(root) == document.library->GetCount();
}

bool ParseFromMemory(const Document& document) {
  auto root = KsMakeRef<ObjectCollection>();
  KsRef<Parser> parser;
  MakeParser(parser, "XMLLexer", GetStdErrParseReporter(), root, KsRef<PathResolver>());
  return parser && ParseString(document.text, parser) == 0 && ListCount(root) == document.library->GetCount();
}

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

bool LibXml2ReadAndWalk(const Document& document) {
  xmlDocPtr doc = xmlReadFile(document.path.c_str(), nullptr, XML_PARSE_NOCDATA | XML_PARSE_NONET);
  if (!doc) return false;
  const size_t count = Walk(xmlDocGetRootElement(doc));
  xmlFreeDoc(doc);
  return count >= static_cast<size_t>(document.elements);
}

bool CheckDocument(benchmark::State& state, const Document& document) {
  if (!document.ok) state.SkipWithError("cannot write the document");
  return document.ok;
}

void BM_HcMLLoadFromFileAgainstLibXml2(benchmark::State& state) {
  const Document& document = TheDocument();
  if (!CheckDocument(state, document)) return;
  PairedTimes times("libxml2");
  for (auto _ : state) {
    if (!times.RunRound([&] { return LoadFromFile(document); }, [&] { return LibXml2ReadAndWalk(document); })) {
      state.SkipWithError("load failed");
      return;
    }
    state.SetIterationTime(times.LastOurs());
  }
  times.Report(state);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.text.ByteLength()));
  state.counters["bytes"] = static_cast<double>(document.text.ByteLength());
  state.counters["elements"] = document.elements;
  state.counters["goal_at_most"] = 2.0;
}
BENCHMARK(BM_HcMLLoadFromFileAgainstLibXml2)
    ->Iterations(Rounds(21))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_HcMLWriteAgainstParse(benchmark::State& state) {
  const Document& document = TheDocument();
  if (!CheckDocument(state, document)) return;
  PairedTimes times("parse");
  for (auto _ : state) {
    const bool ok = times.RunRound(
        [&] { return WriteObjectToHcMLString(document.library, "entry").ByteLength() == document.text.ByteLength(); },
        [&] { return ParseFromMemory(document); });
    if (!ok) {
      state.SkipWithError("write or parse failed");
      return;
    }
    state.SetIterationTime(times.LastOurs());
  }
  times.Report(state);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.text.ByteLength()));
  state.counters["goal_at_most"] = 1.0;
}
BENCHMARK(BM_HcMLWriteAgainstParse)->Iterations(Rounds(21))->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DeepCopyOfTheDocument(benchmark::State& state) {
  const Document& document = TheDocument();
  if (!CheckDocument(state, document)) return;
  for (auto _ : state) {
    KsRef<KsObject> copy;
    document.library->DeepCopy(copy);
    if (!copy) state.SkipWithError("copy failed");
    benchmark::DoNotOptimize(copy.Get());
  }
  state.counters["elements"] = document.elements;
}
BENCHMARK(BM_DeepCopyOfTheDocument)->Unit(benchmark::kMillisecond);

}  // namespace
