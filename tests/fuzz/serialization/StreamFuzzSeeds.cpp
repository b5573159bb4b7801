// Writes the seeds of the stream fuzz targets: a few documents in the binary
// stream ("binary" folder) and in the atom-container form ("atoms" folder).

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "StreamFuzzNode.h"
#include "Utilities/AtomEmitter.h"
#include "Utilities/BinaryEmitter.h"
#include "Utilities/ObjectWriter.h"
#include "platform/foundation/PlistValue.h"
#include "platform/movfile/AtomContainer.h"

namespace {

KsRef<StreamFuzzNode> MakeGraph() {
  auto root = KsMakeRef<StreamFuzzNode>();
  root->SetName("Root");
  root->SetWidth(1.5f);
  root->SetCount(-3);
  root->SetSerial(7);
  root->SetLabel("label <&>");
  root->SetEnabled(true);
  root->SetFrame(KsRectF(1, 2, 3, 4));
  root->SetTint({0.25f, 0.5f, 0.75f, 1.0f});
  root->SetRatio(1.0 / 3.0);
  root->SetBig(-9007199254740993LL);
  hc::foundation::PlistValue plist = hc::foundation::PlistValue::NewDictionary();
  plist.SetItem("key", hc::foundation::PlistValue::FromString("value"));
  root->SetPlist(KsPropertyList(std::make_shared<const hc::foundation::PlistValue>(plist)));
  auto child = KsMakeRef<StreamFuzzNode>();
  child->SetWidth(2.0f);
  child->SetChild(root);  // a reference back to the top
  root->SetChild(child);
  auto items = KsMakeRef<ObjectCollection>();
  items->Add(child);
  items->Add(KsMakeRef<StreamFuzzNode>());
  items->Add(child);
  root->SetItems(items);
  return root;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

eAppErr Write(const KsRef<KsObject>& object, const KsRef<Emitter>& emitter) {
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetEmitter(emitter);
  writer->SetRootElementName("Child");
  writer->SetTargetObject(object);
  return writer->WriteObject();
}

bool WriteSeeds(const std::filesystem::path& folder, const std::string& name, const KsRef<KsObject>& object) {
  const std::filesystem::path binaryPath = folder / "binary" / (name + ".bin");
  auto binary = KsMakeRef<BinaryEmitter>();
  binary->SetOutputFile(std::fopen(binaryPath.c_str(), "wb"));
  if (Write(object, binary) != 0) return false;

  hc::movfile::AtomContainer container;
  auto atoms = KsMakeRef<AtomEmitter>();
  atoms->SetAtomContainer(&container);
  std::vector<uint8_t> flat;
  return Write(object, atoms) == 0 && container.Flatten(&flat) == hc::movfile::MovErr::Ok &&
         WriteFile(folder / "atoms" / (name + ".bin"), flat);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s seed-folder\n", argv[0]);
    return 2;
  }
  RegisterStreamFuzzClasses();
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder / "binary", error);
  std::filesystem::create_directories(folder / "atoms", error);
  KsRef<StreamFuzzNode> graph = MakeGraph();
  const bool written = WriteSeeds(folder, "graph", graph) && WriteSeeds(folder, "empty", KsMakeRef<StreamFuzzNode>());
  graph->Unlink();
  return written ? 0 : 1;
}
