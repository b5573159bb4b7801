#include "InterfaceCommon/KsContextHelper.h"

#include <cassert>

#include "Utilities/AtomEmitter.h"
#include "Utilities/HcPathResolver.h"
#include "Utilities/HcPropertyBinding.h"
#include "Utilities/ObjectWriter.h"
#include "Utilities/ParseFunctions.h"
#include "Utilities/XMLStringEmitter.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/AtomContainer.h"

namespace {

const PWStringRef kXMLLexerName("XMLLexer");
const PWStringRef kAtomLexerName("AtomLexer");

}  // namespace

KsContextHelper::KsContextHelper() : m_lexerName(kXMLLexerName) {}

KsContextHelper::~KsContextHelper() = default;

eAppErr KsContextHelper::SetLexerName(const PWStringRef& name) {
  DidChangeCaller change(this, kLexerNameId);
  m_lexerName = name;
  return AppErr::kNoErr;
}

eAppErr KsContextHelper::GetXXXAtPath(const PWStringRef& path, bool extendByReference,
                                      const KsRef<KsStringCollection>& explicitPropertyList,
                                      const KsRef<Emitter>& emitter, bool rootPropsAsRefs) {
  assert(rootPropsAsRefs && "rootPropsAsRefs");
  (void)rootPropsAsRefs;
  auto writer = KsMakeRef<ObjectWriter>();
  eAppErr err = writer->SetEmitter(emitter);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetXXXAtPath");
  err = writer->SetContextObject(KsRef<KsObject>(this));
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetXXXAtPath");
  err = writer->SetExtendByReference(extendByReference);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetXXXAtPath");
  writer->SetExplicitPropertyList(explicitPropertyList);
  err = writer->SetTargetPath(path);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetXXXAtPath");
  err = writer->WriteObject();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetXXXAtPath");
  return err;
}

std::unique_ptr<hc::movfile::AtomContainer> KsContextHelper::GetAtomContainerAtPath(
    const PWStringRef& path, bool extendByReference, const KsRef<KsStringCollection>& explicitPropertyList,
    bool rootPropsAsRefs) {
  auto container = std::make_unique<hc::movfile::AtomContainer>();
  auto emitter = KsMakeRef<AtomEmitter>();
  emitter->SetAtomContainer(container.get());
  const eAppErr err = GetXXXAtPath(path, extendByReference, explicitPropertyList, emitter, rootPropsAsRefs);
  // The emitter must not point at the container once it is gone.
  emitter->SetAtomContainer(nullptr);
  if (AppErrFailed(err)) return nullptr;
  return container;
}

PWStringRef KsContextHelper::GetHcMLAtPath(const PWStringRef& path, bool extendByReference,
                                           const KsRef<KsStringCollection>& explicitPropertyList,
                                           bool rootPropsAsRefs) {
  auto emitter = KsMakeRef<XMLStringEmitter>();
  if (AppErrFailed(GetXXXAtPath(path, extendByReference, explicitPropertyList, emitter, rootPropsAsRefs))) {
    KS_TRACE(KsTrace::kError, "Error getting HcML at path %@", path);
    return nullptr;
  }
  return emitter->GetOutputString();
}

float KsContextHelper::GetFloatAtPath(const PWStringRef& objectPath, const PWStringRef& propertyName) {
  float value = 0.0f;
  const eAppErr err = HcPropertyBinding::GetPropertyValue(&value, objectPath, propertyName, KsRef<KsObject>(this));
  if (AppErrFailed(err)) {
    KS_TRACE(KsTrace::kError, "Error getting value for %@ property %@: %i", objectPath, propertyName, err);
    return 0.0f;
  }
  return value;
}

eAppErr KsContextHelper::SetFloatAtPath(const PWStringRef& objectPath, const PWStringRef& propertyName,
                                        float value) {
  const eAppErr err = HcPropertyBinding::SetPropertyValue(value, objectPath, propertyName, KsRef<KsObject>(this));
  if (AppErrFailed(err)) {
    KS_TRACE(KsTrace::kError, "Error setting value for %@ property %@: %i", objectPath, propertyName, err);
  }
  return err;
}

bool KsContextHelper::LoadHcML(const PWStringRef& text) { return LoadHcML(text, nullptr, {}); }

bool KsContextHelper::LoadHcML(const PWStringRef& text, const PWStringRef& rootPath) {
  return LoadHcML(text, rootPath, {});
}

bool KsContextHelper::LoadHcML(const PWStringRef& text, const PWStringRef& rootPath,
                               const SuppressionList& suppression) {
  return !AppErrFailed(LoadHcMLWithResult(text, rootPath, suppression));
}

eAppErr KsContextHelper::LoadHcMLWithResult(const PWStringRef& text, const PWStringRef& rootPath,
                                            const SuppressionList& suppression) {
  if (text.IsNull()) return KS_TRACE_ERR(AppErr::kBadArgument, "LoadHcML");
  return LoadWithLexer(m_lexerName, text.CStr(), text.ByteLength(), rootPath, suppression);
}

bool KsContextHelper::LoadHcMLFromAtoms(const void* bytes, size_t size, const PWStringRef& rootPath,
                                        const SuppressionList& suppression) {
  if (!bytes || size == 0) {
    KS_TRACE(KsTrace::kError, "Error loading HcML: %i", AppErr::kBadArgument);
    return false;
  }
  return !AppErrFailed(LoadWithLexer(kAtomLexerName, bytes, size, rootPath, suppression));
}

bool KsContextHelper::LoadHcMLFromHandle(const hc::foundation::ByteHandle& handle, const PWStringRef& rootPath,
                                         const SuppressionList& suppression) {
  return LoadHcMLFromAtoms(handle.GetBytes(), handle.GetSize(), rootPath, suppression);
}

eAppErr KsContextHelper::LoadWithLexer(const PWStringRef& lexerName, const void* bytes, size_t size,
                                       const PWStringRef& rootPath, const SuppressionList& suppression) {
  KsRef<KsObject> self(this);
  auto resolver = KsMakeRef<HcPathResolver>();
  resolver->SetRootObject(self);
  KsRef<Parser> parser;
  MakeParser(parser, lexerName, GetStdErrParseReporter(), self, resolver);
  if (!parser) {
    KS_TRACE(KsTrace::kError, "Error loading HcML: %i", AppErr::kBadArgument);
    return KS_TRACE_ERR(AppErr::kBadArgument, "LoadHcML");
  }
  if (suppression) parser->SetPropertySuppression(suppression);
  if (!rootPath.IsNull()) {
    auto rootResolver = KsMakeRef<HcPathResolver>();
    rootResolver->SetRootObject(self);
    KsRef<KsObject> root = rootResolver->GetObjectForPath(rootPath);
    if (!root) {
      KS_TRACE(KsTrace::kError, "Couldn't resolve root object %@ (unknown property or NULL object)", rootPath);
      return KS_TRACE_ERR(AppErr::kNotReady, "LoadHcML");
    }
    parser->SetRootObject(root);
  }
  const eAppErr err = parser->Parse(bytes, size);
  if (AppErrFailed(err)) {
    KS_TRACE(KsTrace::kError, "Error loading HcML: %i", err);
    return KS_TRACE_ERR(err, "LoadHcML");
  }
  return err;
}
