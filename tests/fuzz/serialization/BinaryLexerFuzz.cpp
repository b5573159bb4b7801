// Feeds arbitrary bytes to the binary stream reader: whole into a parser that
// builds objects, in pieces into one that only collects the events, and
// translated into the atom-container form, which is read back in turn.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "RegisterAllClasses.h"
#include "StreamFuzzNode.h"
#include "Utilities/AtomEmitter.h"
#include "Utilities/AtomLexer.h"
#include "Utilities/BinaryLexer.h"
#include "Utilities/Parser.h"
#include "platform/movfile/AtomContainer.h"

namespace {

eAppErr ParseInto(const KsRef<Lexer>& lexer, const void* bytes, size_t size, const KsRef<Emitter>& emitter) {
  auto root = KsMakeRef<StreamFuzzNode>();
  auto parser = KsMakeRef<Parser>();
  parser->SetLexer(lexer);
  parser->SetRootObject(root);
  if (emitter) parser->SetEmitter(emitter);
  const eAppErr result = parser->Parse(bytes, size);
  root->Unlink();
  return result;
}

void FeedInPieces(const uint8_t* data, size_t size) {
  auto parser = KsMakeRef<Parser>();
  auto lexer = KsMakeRef<BinaryLexer>();
  parser->SetLexer(lexer);
  lexer->SetExpectsMoreInput(true);
  const size_t piece = size / 3 + 1;
  for (size_t offset = 0; offset < size; offset += piece) {
    const size_t length = offset + piece < size ? piece : size - offset;
    lexer->SetExpectsMoreInput(offset + length < size);
    if (lexer->Parse(parser, data + offset, length) < 0) break;
  }
}

}  // namespace

// The class map asks for this once: only the classes documents here use.
void RegisterAllClasses() { RegisterStreamFuzzClasses(); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ParseInto(KsMakeRef<BinaryLexer>(), data, size, nullptr);
  FeedInPieces(data, size);

  hc::movfile::AtomContainer container;
  auto emitter = KsMakeRef<AtomEmitter>();
  emitter->SetAtomContainer(&container);
  if (ParseInto(KsMakeRef<BinaryLexer>(), data, size, emitter) == 0) {
    std::vector<uint8_t> flat;
    if (container.Flatten(&flat) == hc::movfile::MovErr::Ok) {
      ParseInto(KsMakeRef<AtomLexer>(), flat.data(), flat.size(), nullptr);
    }
  }
  return 0;
}
