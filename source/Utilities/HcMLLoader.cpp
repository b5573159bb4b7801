#include "Utilities/HcMLLoader.h"

#include "KsTrace.h"
#include "Utilities/HcPathResolver.h"
#include "Utilities/ParseFunctions.h"

HcMLLoader::HcMLLoader() = default;
HcMLLoader::~HcMLLoader() = default;

KsRef<Parser> HcMLLoader::GetParser() {
  if (!m_parser) {
    auto resolver = KsMakeRef<HcPathResolver>();
    MakeParser(m_parser, "XMLLexer", GetStdErrParseReporter(), KsRef<KsObject>(), resolver);
    if (m_parser) m_parser->RestrictFileAccess(m_fileAccess);
  }
  return m_parser;
}

eAppErr HcMLLoader::SetParser(const KsRef<Parser>& parser) {
  DidChangeCaller change(this, kParserId);
  m_parser = parser;
  return AppErr::kNoErr;
}

eAppErr HcMLLoader::SetHcMLToLoad(const PWStringRef& text) {
  DidChangeCaller change(this, kHcMLToLoadId);
  m_hcmlToLoad = text;
  return AppErr::kNoErr;
}

eAppErr HcMLLoader::SetHcMLToLoadPath(const PWStringRef& path) {
  DidChangeCaller change(this, kHcMLToLoadPathId);
  PWStringRef text;
  const eAppErr err = m_fileAccess.NarrowedBy(FileAccessPolicy::Current()).ReadText(path, &text);
  if (AppErrFailed(err)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetHcMLToLoadPath");
  return SetHcMLToLoad(text);
}

void HcMLLoader::RestrictFileAccess(const FileAccessPolicy& policy) {
  m_fileAccess = m_fileAccess.NarrowedBy(policy);
  if (m_parser) m_parser->RestrictFileAccess(policy);
}

KsRef<KsObject> HcMLLoader::GetRootObject() {
  KsRef<Parser> parser = GetParser();
  return parser ? parser->GetRootObject() : KsRef<KsObject>();
}

eAppErr HcMLLoader::SetRootObject(const KsRef<KsObject>& root) {
  KsRef<Parser> parser = GetParser();
  if (!parser) return KS_TRACE_ERR(AppErr::kNotReady, "SetRootObject");
  return parser->SetRootObject(root);
}

KsRef<KsObject> HcMLLoader::GetPathRoot() {
  KsRef<Parser> parser = GetParser();
  if (!parser) return {};
  KsRef<HcPathResolver> resolver = parser->GetExternalPathResolver().DynamicCast<HcPathResolver>();
  if (!resolver) return {};
  return m_pathRootSet ? resolver->GetRootObject() : ThisRef();
}

eAppErr HcMLLoader::SetPathRoot(const KsRef<KsObject>& root) {
  KsRef<Parser> parser = GetParser();
  KsRef<HcPathResolver> resolver =
      parser ? parser->GetExternalPathResolver().DynamicCast<HcPathResolver>() : KsRef<HcPathResolver>();
  if (!resolver) return KS_TRACE_ERR(AppErr::kNotReady, "SetPathRoot");
  m_pathRootSet = true;
  return resolver->SetRootObject(root);
}

eAppErr HcMLLoader::LoadHcML() {
  if (m_hcmlToLoad.IsNull()) return KS_TRACE_ERR(AppErr::kNotReady, "LoadHcML");
  KsRef<KsObject> root = GetRootObject();
  KsRef<KsObject> pathRoot = m_pathRootSet ? GetPathRoot() : KsRef<KsObject>();
  KsRef<Parser> parser = GetParser();
  if (!parser) return KS_TRACE_ERR(AppErr::kNotReady, "LoadHcML");
  if (!m_pathRootSet) {
    // The loader answers "hc://" for this load only.
    if (auto resolver = parser->GetExternalPathResolver().DynamicCast<HcPathResolver>()) {
      resolver->SetRootObject(ThisRef());
    }
  }
  eAppErr result;
  {
    // Also for a parser handed in from outside.
    const FileAccessPolicy::Scope fileAccess(m_fileAccess);
    result = parser->Parse(m_hcmlToLoad.CStr(), m_hcmlToLoad.ByteLength());
  }

  // A fresh parser for the next load, carrying root object and path root.
  if (auto resolver = parser->GetExternalPathResolver().DynamicCast<HcPathResolver>()) {
    resolver->SetRootObject(nullptr);
  }
  parser = nullptr;
  m_parser = nullptr;
  SetRootObject(root);
  if (m_pathRootSet) SetPathRoot(pathRoot);

  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "LoadHcML");
  return result;
}
