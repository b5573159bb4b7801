#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "General/KsClassMacros.h"
#include "General/KsColor.h"
#include "General/KsObject.h"
#include "General/KsPoint.h"
#include "General/KsPropertyList.h"
#include "General/KsRect.h"
#include "General/KsSize.h"
#include "General/KsTypeSafeCollection.h"
#include "General/StringStringTuple.h"
#include "Utilities/Emitter.h"
#include "Utilities/FileAccessPolicy.h"
#include "Utilities/HcProperty.h"
#include "Utilities/Lexer.h"
#include "Utilities/LocalPathResolver.h"
#include "Utilities/ParseLocation.h"
#include "Utilities/ParseReporter.h"
#include "Utilities/PathResolver.h"

// Turns the events of a Lexer into objects, or, given an Emitter, into the
// events of that emitter (translation between encodings).
//
// Object mode: objects are created by class below the RootObject; plain
// values are set at once, while every object-valued assignment (collection
// elements included) waits until the whole document has been read and then
// runs in the order in which the properties ended. "#id" hrefs find objects
// whose begin came earlier; other hrefs go to the ExternalPathResolver.
//
// Structural problems are warnings (-630): the offending event is ignored
// and reading goes on. A Parser reads one document.
//
// While it parses, its file-access policy (the one in force when the parser
// was made, narrowed by RestrictFileAccess) is the one in force on the
// thread: the path properties of the objects it builds read only what that
// policy allows.
class Parser : public KsObject {
  HC_CLASS_HEADER(Parser)
 public:
  enum : int32_t { kRootObjectId = 200, kExternalPathResolverId = 201, kLexerId = 202, kEmitterId = 203 };
  static constexpr eAppErr kParseWarning = -630;

  Parser();
  ~Parser() override;

  // Runs the lexer over the bytes, then finishes the document. -903 without
  // a lexer or a root object, and for a second document; a negative result
  // of the lexer is returned as it is; -630 when the events left properties
  // open; in translation mode the emitter's first failure.
  eAppErr Parse(const void* bytes, size_t length);

  // Lexer events.
  // 1 when the property is bound and object-typed, else 0.
  virtual int32_t OnBeginProperty(const PWStringRef& name);
  virtual void OnSkipProperty();
  virtual void OnBeginObject(const KsRef<KsClassObject>& classObject, const PWStringRef& id,
                             const PWStringRef& href);
  virtual eAppErr OnValue(float value);
  virtual eAppErr OnValue(double value);
  virtual eAppErr OnValue(uint32_t value);
  virtual eAppErr OnValue(int32_t value);
  virtual eAppErr OnValue(bool value);
  virtual eAppErr OnValue(int64_t value);
  virtual eAppErr OnValue(const KsRectF& value);
  virtual eAppErr OnValue(const KsSizeF& value);
  virtual eAppErr OnValue(const KsPointF& value);
  virtual eAppErr OnValue(const KsColorF& value);
  // Text, converted by the property's type.
  virtual eAppErr OnValue(const PWStringRef& value);
  // A property-list value, for encodings that carry one typed.
  virtual eAppErr OnValue(const KsPropertyList& value);
  eAppErr OnValue(const char* value) = delete;
  virtual void OnEndProperty();

  // Warnings at the lexer's current location, or at the given one (may be
  // null): to the reporter when set, and always to the trace.
  void ReportWarning(eAppErr code, const PWStringRef& message);
  void ReportWarningAt(const ParseLocation* location, eAppErr code, const PWStringRef& message);

  // Configuration, before Parse.
  virtual eAppErr SetLexer(const KsRef<Lexer>& lexer);
  virtual eAppErr SetEmitter(const KsRef<Emitter>& emitter);
  virtual eAppErr SetReporter(ParseReporter* reporter);
  eAppErr SetRootObject(const KsRef<KsObject>& root);
  eAppErr SetExternalPathResolver(const KsRef<PathResolver>& resolver);
  eAppErr SetPropertySuppression(const KsRef<KsTypeSafeCollection<StringStringTuple>>& suppression);

  // Narrows where the graph's path properties may read files from: a
  // document from an untrusted place is parsed restricted to its own folder
  // and the application's resource folders. C++ only, so no document can
  // widen it.
  void RestrictFileAccess(const FileAccessPolicy& policy) { m_fileAccess = m_fileAccess.NarrowedBy(policy); }
  const FileAccessPolicy& GetFileAccess() const { return m_fileAccess; }

  KsRef<Lexer> GetLexer() const { return m_lexer; }
  KsRef<Emitter> GetEmitter() const { return m_emitter; }
  ParseReporter* GetReporter() const { return m_reporter; }
  KsRef<KsObject> GetRootObject() const { return m_rootObject; }
  KsRef<PathResolver> GetExternalPathResolver() const { return m_externalPathResolver; }

 protected:
  virtual eAppErr OnFinishParse();
  // Run by OnEndProperty while the property's own level is on top.
  virtual void OnEndObject();

 private:
  // One level of the state stack: the property being filled and what it got.
  struct ParseState {
    KsRef<HcProperty> property;
    KsRef<KsObject> containingObject;
    // An inactive level swallows every event inside it.
    bool isActive = false;
    KsRef<KsObject> objectValue;
    KsRef<KsClassObject> objectClass;
    bool hasValue = false;
    // Translation mode: whether the emitter has been told of this property yet,
    // and whether it is a property of the root object.
    bool emitterBegun = false;
    bool ofRoot = false;

    static ParseState Inactive() { return ParseState(); }
    static ParseState For(const KsRef<KsObject>& object, const KsRef<HcProperty>& property) {
      ParseState state;
      state.containingObject = object;
      state.property = property;
      state.isActive = true;
      return state;
    }
  };

  // One object-valued assignment waiting for the end of the document.
  struct ObjectTuple {
    KsRef<KsObject> value;
    KsRef<HcProperty> property;
    KsRef<KsObject> object;
    KsRef<ParseLocation> location;
  };

  void BeginParse();
  ParseState* Top();
  void BeginEmitterProperty(ParseState& state);
  bool IsRootOnly() const { return m_states.size() <= 1; }
  // Whether a value event may set the current property (warns when not).
  bool CheckValue(bool isBlank);
  bool IsSuppressed(const KsRef<KsClassObject>& classObject, const KsRef<HcProperty>& property) const;
  KsRef<KsObject> ResolveHRef(const PWStringRef& href);
  // The class's property of that name (case-insensitive), remembered for
  // the rest of the document: a document names the same few properties of
  // the same few classes over and over.
  KsRef<HcProperty> FindProperty(const KsRef<KsClassObject>& classObject, const PWStringRef& name);
  void ApplyDeferredAssignments();
  eAppErr TranslateText(const HcProperty& property, const PWStringRef& text);
  template <class T>
  eAppErr OnTypedValue(const T& value);

  KsRef<Lexer> m_lexer;
  KsRef<Emitter> m_emitter;
  ParseReporter* m_reporter = nullptr;
  bool m_prepared = false;
  bool m_finished = false;
  bool m_objectMode = true;
  std::vector<ObjectTuple> m_deferred;
  KsRef<LocalPathResolver> m_localResolver;
  KsRef<PathResolver> m_externalPathResolver;
  KsRef<KsObject> m_rootObject;
  std::vector<ParseState> m_states;
  KsRef<KsTypeSafeCollection<StringStringTuple>> m_propertySuppression;
  FileAccessPolicy m_fileAccess = FileAccessPolicy::Current();

  // Found properties by class and name as the document spells it. The class
  // reference keeps the key's class alive.
  struct PropertyKey {
    const KsClassObject* classObject;
    std::string_view name;
    bool operator==(const PropertyKey&) const = default;
  };
  struct PropertyKeyHash {
    size_t operator()(const PropertyKey& key) const {
      return std::hash<std::string_view>()(key.name) ^ (std::hash<const void*>()(key.classObject) << 1);
    }
  };
  struct FoundProperty {
    KsRef<KsClassObject> classObject;
    PWStringRef name;  // holds the key's text
    KsRef<HcProperty> property;
  };
  std::unordered_map<PropertyKey, FoundProperty, PropertyKeyHash> m_foundProperties;
};
HC_CLASS_OBJECT(Parser, KsObject)
