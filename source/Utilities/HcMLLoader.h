#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "Utilities/Parser.h"

// Reads one HcML text into an existing root object: set the path root (the
// object "hc://" references in the text resolve against), the root object
// (which receives the document's root element) and the text, then LoadHcML.
// Every load runs a fresh parser; root object and path root carry over.
//
// The loader reads files (HcMLToLoadPath) and parses under the file-access
// policy in force when it was made, narrowed by RestrictFileAccess: a loader
// that an untrusted document creates stays as restricted as that document.
class HcMLLoader : public KsObject {
  HC_CLASS_HEADER(HcMLLoader)
 public:
  enum : int32_t {
    kHcMLToLoadId = 200,
    kHcMLToLoadPathId = 201,
    kParserId = 202,
    kRootObjectId = 203,
    kPathRootId = 204,
  };

  HcMLLoader();
  ~HcMLLoader() override;

  // -903 without text; otherwise the parse's result.
  eAppErr LoadHcML();

  PWStringRef GetHcMLToLoad() const { return m_hcmlToLoad; }
  eAppErr SetHcMLToLoad(const PWStringRef& text);
  // Reads the whole file as the text to load; -2 when the file-access policy
  // refuses it (see FileAccessPolicy::ReadText) or it is not UTF-8.
  eAppErr SetHcMLToLoadPath(const PWStringRef& path);
  // Narrows where this loader and the parsers it runs may read files from.
  void RestrictFileAccess(const FileAccessPolicy& policy);
  const FileAccessPolicy& GetFileAccess() const { return m_fileAccess; }

  // The parser, made on first use.
  KsRef<Parser> GetParser();
  eAppErr SetParser(const KsRef<Parser>& parser);
  KsRef<KsObject> GetRootObject();
  eAppErr SetRootObject(const KsRef<KsObject>& root);
  // Until set, "hc://" references resolve against the loader itself (which
  // the path root then answers). -903 when the parser's external resolver is
  // not an HcPathResolver.
  KsRef<KsObject> GetPathRoot();
  eAppErr SetPathRoot(const KsRef<KsObject>& root);

 private:
  KsRef<Parser> m_parser;
  PWStringRef m_hcmlToLoad;
  // The loader is the path root only while a load runs, so that it never
  // holds itself through its parser.
  bool m_pathRootSet = false;
  FileAccessPolicy m_fileAccess = FileAccessPolicy::Current();
};
HC_CLASS_OBJECT(HcMLLoader, KsObject)
