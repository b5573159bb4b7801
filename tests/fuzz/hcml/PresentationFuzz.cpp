// Feeds arbitrary text to the reader as a whole presentation, with every
// class of the program registered: the document is read, and when it is a
// presentation its scene is built, written back into it, and the
// presentation written out again, as opening and saving a movie would.
// Files are out of reach: the document is read under a file-access policy
// that allows no folder, as an untrusted presentation from a movie is.

#include <cstddef>
#include <cstdint>
#include <string>

#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/HcPresentation.h"
#include "KsTrace.h"
#include "RegisterAllClasses.h"
#include "Utilities/Chameleon.h"
#include "Utilities/FileAccessPolicy.h"
#include "Utilities/Parser.h"
#include "Utilities/XMLLexer.h"
#include "Utilities/XMLStringEmitter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    KsTrace::SetOutputSink([](const std::string&) {});
    RegisterAllClasses();
    return true;
  }();
  (void)ready;
  FileAccessPolicy::Scope noFiles(FileAccessPolicy::InsideFolders({}));
  auto holder = KsMakeRef<Chameleon>();
  {
    auto parser = KsMakeRef<Parser>();
    parser->SetLexer(KsMakeRef<XMLLexer>());
    parser->SetRootObject(holder);
    parser->Parse(data, size);
  }
  KsRef<HcPresentation> presentation = holder->GetPropValue().DynamicCast<HcPresentation>();
  if (presentation) {
    presentation->SetInitContextFromHcML(true);
    presentation->SetInitHcMLFromContext(true);
    WriteObjectToHcMLString(presentation);
    // The scene holds the presentation's controller objects, which may hold
    // the presentation: let go of the scene by hand.
    if (KsRef<HcContextHelper> context = presentation->GetHcContext()) context->ClearContext();
    presentation->SetHcContext(nullptr);
  }
  holder->SetPropValue(nullptr);
  return 0;
}
