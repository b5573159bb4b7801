// Feeds arbitrary bytes to the atom-container reader: the container layer
// alone (what it reads must flatten back to the same bytes), the lexer
// building objects, and the lexer translating into the binary stream.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "RegisterAllClasses.h"
#include "StreamFuzzNode.h"
#include "Utilities/AtomLexer.h"
#include "Utilities/BinaryEmitter.h"
#include "Utilities/Parser.h"
#include "platform/movfile/AtomContainer.h"

namespace {

// Remembers whether the document ended, which closes the stream.
class StreamEmitter : public BinaryEmitter {
 public:
  eAppErr EndDocument() override {
    ended = true;
    return BinaryEmitter::EndDocument();
  }
  bool ended = false;
};

void CheckContainer(const uint8_t* data, size_t size) {
  hc::movfile::AtomContainer container;
  if (hc::movfile::AtomContainer::Parse(std::span<const uint8_t>(data, size), &container) !=
      hc::movfile::MovErr::Ok) {
    return;
  }
  std::vector<uint8_t> flat;
  if (container.Flatten(&flat) != hc::movfile::MovErr::Ok) std::abort();
  // Only the lock count, reserved fields and bytes after the root may differ.
  hc::movfile::AtomContainer again;
  if (hc::movfile::AtomContainer::Parse(flat, &again) != hc::movfile::MovErr::Ok) std::abort();
  if (again.AtomCount() != container.AtomCount()) std::abort();
}

eAppErr ParseInto(const uint8_t* data, size_t size, const KsRef<Emitter>& emitter) {
  auto root = KsMakeRef<StreamFuzzNode>();
  auto parser = KsMakeRef<Parser>();
  parser->SetLexer(KsMakeRef<AtomLexer>());
  parser->SetRootObject(root);
  if (emitter) parser->SetEmitter(emitter);
  const eAppErr result = parser->Parse(data, size);
  root->Unlink();
  return result;
}

}  // namespace

// The class map asks for this once: only the classes documents here use.
void RegisterAllClasses() { RegisterStreamFuzzClasses(); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckContainer(data, size);
  ParseInto(data, size, nullptr);

  char* buffer = nullptr;
  size_t length = 0;
  FILE* stream = open_memstream(&buffer, &length);
  if (stream) {
    auto emitter = KsMakeRef<StreamEmitter>();
    emitter->SetOutputFile(stream);
    ParseInto(data, size, emitter);
    // A parse that failed before the end of its document leaves it open.
    if (!emitter->ended) std::fclose(stream);
  }
  std::free(buffer);
  return 0;
}
