#include "Utilities/XMLStringEmitter.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "KsTrace.h"
#include "Utilities/ObjectPath.h"
#include "Utilities/ObjectWriter.h"

XMLStringEmitter::XMLStringEmitter() {
  // A memory stream: nothing on disk to leak or to race for.
  FILE* stream = open_memstream(&m_buffer, &m_size);
  if (stream) {
    SetOutputFile(stream);
  } else {
    KS_TRACE(KsTrace::kError, "XMLStringEmitter: no output stream (errno %i)", errno);
  }
}

XMLStringEmitter::~XMLStringEmitter() {
  CloseOutput();
  std::free(m_buffer);
}

eAppErr XMLStringEmitter::EndDocument() {
  const bool hadOutput = GetOutput() != nullptr;
  const eAppErr closed = CloseOutput();
  if (!hadOutput || AppErrFailed(closed) || AppErrFailed(GetFirstError())) {
    m_result = nullptr;
    return AppErrFailed(closed) ? closed : NoteResult(AppErr::kNotReady);
  }
  m_result = PWStringRef(std::string_view(m_buffer ? m_buffer : "", m_size));
  std::free(m_buffer);
  m_buffer = nullptr;
  m_size = 0;
  return AppErr::kNoErr;
}

PWStringRef WriteObjectToHcMLString(const KsRef<KsObject>& object, const PWStringRef& rootElementName) {
  if (!object) return nullptr;
  auto emitter = KsMakeRef<XMLStringEmitter>();
  auto writer = KsMakeRef<ObjectWriter>();
  writer->SetEmitter(emitter);
  writer->SetContextObject(object);
  if (AppErrFailed(writer->SetTargetPath(kObjectPathScheme))) return nullptr;
  if (!rootElementName.IsNull()) writer->SetRootElementName(rootElementName);
  if (AppErrFailed(writer->WriteObject())) return nullptr;
  return emitter->GetOutputString();
}
