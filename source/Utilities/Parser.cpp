#include "Utilities/Parser.h"

#include <cmath>

#include "General/HcClassMap.h"
#include "KsTrace.h"
#include "PWFormat.h"
#include "Utilities/ReferenceBase.h"

namespace {

bool IsBlankText(std::string_view text) {
  return text.find_first_not_of(" \t\n\r") == std::string_view::npos;
}

template <class... Args>
PWStringRef Format(std::string_view format, const Args&... args) {
  const PWFormatArg list[] = {PWFormatArg(args)...};
  return PWStringRef(PWFormatToString(format, list));
}

}  // namespace

Parser::Parser() = default;

Parser::~Parser() {
  // Unapplied assignments are dropped; states and tuples release what they hold.
  m_states.clear();
  m_deferred.clear();
}

eAppErr Parser::SetLexer(const KsRef<Lexer>& lexer) {
  m_lexer = lexer;
  return AppErr::kNoErr;
}

eAppErr Parser::SetEmitter(const KsRef<Emitter>& emitter) {
  m_emitter = emitter;
  return AppErr::kNoErr;
}

eAppErr Parser::SetReporter(ParseReporter* reporter) {
  m_reporter = reporter;
  return AppErr::kNoErr;
}

eAppErr Parser::SetRootObject(const KsRef<KsObject>& root) {
  m_rootObject = root;
  return AppErr::kNoErr;
}

eAppErr Parser::SetExternalPathResolver(const KsRef<PathResolver>& resolver) {
  m_externalPathResolver = resolver;
  return AppErr::kNoErr;
}

eAppErr Parser::SetPropertySuppression(const KsRef<KsTypeSafeCollection<StringStringTuple>>& suppression) {
  m_propertySuppression = suppression;
  return AppErr::kNoErr;
}

void Parser::BeginParse() {
  m_deferred.clear();
  m_localResolver = KsMakeRef<LocalPathResolver>();
  m_states.clear();
  ParseState root = ParseState::For(KsRef<KsObject>(), KsRef<HcProperty>());
  m_objectMode = !m_emitter;
  if (!m_objectMode) m_emitter->BeginDocument();
  root.objectValue = m_rootObject;
  root.objectClass = m_rootObject->GetClassObject();
  m_states.push_back(std::move(root));
  m_prepared = true;
}

eAppErr Parser::Parse(const void* bytes, size_t length) {
  if (m_finished) return KS_TRACE_ERR(AppErr::kNotReady, "Parse");
  if (!m_lexer || !m_rootObject) return KS_TRACE_ERR(AppErr::kNotReady, "Parse");
  if (!m_prepared) BeginParse();
  m_finished = true;
  // Deferred assignments too run under the policy: setters may read files.
  const FileAccessPolicy::Scope fileAccess(m_fileAccess);
  const eAppErr result = m_lexer->Parse(KsRef<Parser>(this), bytes, length);
  if (AppErrFailed(result)) {
    m_states.clear();
    return KS_TRACE_ERR(result, "Parse");
  }
  const eAppErr finish = OnFinishParse();
  if (AppErrFailed(finish)) return KS_TRACE_ERR(finish, "Parse");
  return finish;
}

Parser::ParseState* Parser::Top() { return m_states.empty() ? nullptr : &m_states.back(); }

void Parser::ReportWarning(eAppErr code, const PWStringRef& message) {
  KsRef<ParseLocation> location = m_lexer ? m_lexer->CreateLocation() : KsRef<ParseLocation>();
  ReportWarningAt(location.Get(), code, message);
}

void Parser::ReportWarningAt(const ParseLocation* location, eAppErr code, const PWStringRef& message) {
  if (m_reporter) m_reporter->AddWarning(location, code, message);
  const PWStringRef where = location ? location->CreateString() : PWStringRef("(unknown location)");
  KS_TRACE(KsTrace::kError, "ParseError %i at %@: '%@'", code, where, message);
}

bool Parser::IsSuppressed(const KsRef<KsClassObject>& classObject, const KsRef<HcProperty>& property) const {
  if (!m_propertySuppression || !classObject) return false;
  const uint32_t count = m_propertySuppression->GetCount();
  for (uint32_t i = 0; i < count; ++i) {
    KsRef<StringStringTuple> pair = m_propertySuppression->GetByIndex(i);
    if (!pair) continue;
    KsRef<KsClassObject> listed = HcClassMap::FindClassObject(pair->GetFirst());
    if (!listed) {
      KS_TRACE(KsTrace::kWarning, "Found unknown class type (%@) in PropertySuppression list", pair->GetFirst());
      continue;
    }
    if (classObject->InheritsFrom(listed) && PWStringEqualNoCase(pair->GetSecond().View(), property->GetName().View())) {
      return true;
    }
  }
  return false;
}

KsRef<HcProperty> Parser::FindProperty(const KsRef<KsClassObject>& classObject, const PWStringRef& name) {
  const auto found = m_foundProperties.find(PropertyKey{classObject.Get(), name.View()});
  if (found != m_foundProperties.end()) return found->second.property;
  KsRef<HcProperty> property;
  classObject->GetPropertyForPropertyName(property, name);
  if (property) {
    FoundProperty entry{classObject, name, property};
    const PropertyKey key{classObject.Get(), entry.name.View()};
    m_foundProperties.emplace(key, std::move(entry));
  }
  return property;
}

int32_t Parser::OnBeginProperty(const PWStringRef& name) {
  ParseState* top = Top();
  if (!top || !top->isActive) {
    m_states.push_back(ParseState::Inactive());
    return 0;
  }
  if (!top->objectClass) {
    ReportWarning(kParseWarning, Format("Property %@ encountered with no containing object", name));
    m_states.push_back(ParseState::Inactive());
    return 0;
  }
  KsRef<HcProperty> property = FindProperty(top->objectClass, name);
  if (!property) {
    ReportWarning(kParseWarning, Format("Error binding property %@", name));
    m_states.push_back(ParseState::Inactive());
    return 0;
  }
  if (m_objectMode && !property->GetCanSet()) {
    // Documents we wrote carry some read-only properties (a selected button's
    // name, a tracker's model): they are left out of the graph, not refused.
    KS_TRACE(KsTrace::kWarning, "Property %@ has no setter; skipped", property->GetName());
    m_states.push_back(ParseState::Inactive());
    return 0;
  }
  if (IsSuppressed(top->objectClass, property)) {
    KS_TRACE(KsTrace::kWarning, "Property %@ encounter but suppressed", property->GetName());
    m_states.push_back(ParseState::Inactive());
    return 0;
  }
  const bool ofRoot = top->objectValue && top->objectValue == m_rootObject;
  const bool isObject = KsPropertyType::IsObjectType(property->GetPropertyType());
  KsRef<KsObject> owner = top->objectValue;  // top is invalidated by the push
  m_states.push_back(ParseState::For(owner, property));
  m_states.back().ofRoot = ofRoot;
  return isObject ? 1 : 0;
}

// In translation mode a property reaches the emitter with its value or its
// object, so a property that is skipped or ends empty leaves no open element.
void Parser::BeginEmitterProperty(ParseState& state) {
  if (state.emitterBegun) return;
  state.emitterBegun = true;
  m_emitter->BeginProperty(state.property, state.ofRoot);
}

void Parser::OnSkipProperty() {
  // The root level belongs to the document, not to a property.
  if (IsRootOnly() || !Top()->isActive) return;
  ParseState& top = m_states.back();
  if (!m_objectMode && top.emitterBegun) {
    // Whatever the emitter was told of this property is closed again.
    if (top.objectClass) m_emitter->EndObject(top.objectClass);
    m_emitter->EndProperty(top.property);
  }
  top = ParseState::Inactive();
}

KsRef<KsObject> Parser::ResolveHRef(const PWStringRef& href) {
  if (m_localResolver->LooksLikeMyPath(href)) return m_localResolver->GetObjectForPath(href);
  if (m_externalPathResolver && m_externalPathResolver->LooksLikeMyPath(href)) {
    return m_externalPathResolver->GetObjectForPath(href);
  }
  return {};
}

void Parser::OnBeginObject(const KsRef<KsClassObject>& classObject, const PWStringRef& id, const PWStringRef& href) {
  if (!classObject) {
    ReportWarning(kParseWarning, "Unknown object type encountered");
    return;
  }
  ParseState* top = Top();
  if (!top) {
    ReportWarning(kParseWarning, "Object encountered outside of property binding");
    return;
  }
  if (!top->isActive) return;
  if (top->objectClass) {
    ReportWarning(kParseWarning, "Object-begin encountered when we've already started an object!");
    return;
  }
  top->objectClass = classObject;
  if (!m_objectMode) {
    BeginEmitterProperty(*top);
    m_emitter->BeginObject(classObject, id, href);
    return;
  }
  if (!href.IsNull()) {
    KsRef<KsObject> found = ResolveHRef(href);
    if (!found) {
      ReportWarning(kParseWarning, Format("Couldn't resolve path: \"%@\"", href));
      // Without an object the nested properties have nothing to fill.
      m_states.back() = ParseState::Inactive();
      return;
    }
    Top()->objectValue = found;
  } else {
    KsRef<KsObject> created;
    classObject->CreateObject(created);
    if (!created) {
      ReportWarning(kParseWarning, Format("Couldn't create object: %@", classObject->GetName()));
      m_states.back() = ParseState::Inactive();
      return;
    }
    Top()->objectValue = created;
  }
  if (!id.IsNull()) m_localResolver->AddObject(id, Top()->objectValue);
}

bool Parser::CheckValue(bool isBlank) {
  ParseState* top = Top();
  if (!top || IsRootOnly()) {
    ReportWarning(kParseWarning, "Value encountered outside of property binding");
    return false;
  }
  if (!top->isActive) return false;
  if (top->objectClass) {
    if (!isBlank) ReportWarning(kParseWarning, "Value encountered after object-begin");
    return false;
  }
  if (top->hasValue) {
    ReportWarning(kParseWarning, "Value encountered within a property binding which already had a value!");
    return false;
  }
  return true;
}

namespace {

void TraceValue(float v) { KS_TRACE(KsTrace::kVerbose, "OnValue(float): %f", v); }
void TraceValue(double v) { KS_TRACE(KsTrace::kVerbose, "OnValue(double): %f", v); }
void TraceValue(uint32_t v) { KS_TRACE(KsTrace::kVerbose, "OnValue(unsigned int): %u", v); }
void TraceValue(int32_t v) { KS_TRACE(KsTrace::kVerbose, "OnValue(int): %i", v); }
void TraceValue(bool v) { KS_TRACE(KsTrace::kVerbose, "OnValue(bool): %s", v ? "true" : "false"); }
void TraceValue(int64_t v) { KS_TRACE(KsTrace::kVerbose, "OnValue(long long): %lld", static_cast<long long>(v)); }
void TraceValue(const KsRectF& v) {
  KS_TRACE(KsTrace::kVerbose, "OnValue(KsRectF): x=%f y=%f w=%f h=%f", v.x, v.y, v.w, v.h);
}
void TraceValue(const KsSizeF& v) { KS_TRACE(KsTrace::kVerbose, "OnValue(KsSizeF): w=%f h=%f", v.w, v.h); }
void TraceValue(const KsPointF& v) { KS_TRACE(KsTrace::kVerbose, "OnValue(KsPointF): x=%f y=%f", v.x, v.y); }
void TraceValue(const KsColorF& v) {
  KS_TRACE(KsTrace::kVerbose, "OnValue(KsColorF): r=%f g=%f b=%f a=%f", v.r, v.g, v.b, v.a);
}
void TraceValue(const KsPropertyList& v) {
  KS_TRACE(KsTrace::kVerbose, "OnValue(property list): %s", v ? "value" : "none");
}

// Records are geometry: a binary or atom document may carry any float bits,
// but no point, size, rectangle or colour is set with a NaN or an infinity.
template <class T>
bool IsFiniteValue(const T&) {
  return true;
}
bool IsFiniteValue(const KsRectF& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.w) && std::isfinite(v.h);
}
bool IsFiniteValue(const KsSizeF& v) { return std::isfinite(v.w) && std::isfinite(v.h); }
bool IsFiniteValue(const KsPointF& v) { return std::isfinite(v.x) && std::isfinite(v.y); }
bool IsFiniteValue(const KsColorF& v) {
  return std::isfinite(v.r) && std::isfinite(v.g) && std::isfinite(v.b) && std::isfinite(v.a);
}

}  // namespace

template <class T>
eAppErr Parser::OnTypedValue(const T& value) {
  TraceValue(value);
  if (!CheckValue(false)) return AppErr::kNoErr;
  if (!IsFiniteValue(value)) {
    m_states.back().hasValue = true;
    ReportWarning(AppErr::kOutOfRange, "Property-set failed: not a finite value");
    return KS_TRACE_ERR(AppErr::kOutOfRange, "OnValue");
  }
  ParseState& top = m_states.back();
  eAppErr result = AppErr::kNoErr;
  if (m_objectMode) {
    result = top.property->SetValue(top.containingObject.Get(), value);
  } else {
    BeginEmitterProperty(top);
    m_emitter->EmitValue(value);
  }
  top.hasValue = true;
  if (AppErrFailed(result)) ReportWarning(result, "Property-set failed!");
  return result;
}

eAppErr Parser::OnValue(float value) { return OnTypedValue(value); }
eAppErr Parser::OnValue(double value) { return OnTypedValue(value); }
eAppErr Parser::OnValue(uint32_t value) { return OnTypedValue(value); }
eAppErr Parser::OnValue(int32_t value) { return OnTypedValue(value); }
eAppErr Parser::OnValue(bool value) { return OnTypedValue(value); }
eAppErr Parser::OnValue(int64_t value) { return OnTypedValue(value); }
eAppErr Parser::OnValue(const KsRectF& value) { return OnTypedValue(value); }
eAppErr Parser::OnValue(const KsSizeF& value) { return OnTypedValue(value); }
eAppErr Parser::OnValue(const KsPointF& value) { return OnTypedValue(value); }
eAppErr Parser::OnValue(const KsColorF& value) { return OnTypedValue(value); }
eAppErr Parser::OnValue(const KsPropertyList& value) { return OnTypedValue(value); }

namespace {

// Reads the text as a T and hands it to the parser's own typed event.
template <class T, class Reader>
eAppErr ForwardAs(Parser& parser, const PWStringRef& text, Reader read) {
  T value{};
  const eAppErr err = read(text, &value);
  if (AppErrFailed(err)) return err;
  return parser.OnValue(value);
}

}  // namespace

eAppErr Parser::TranslateText(const HcProperty& property, const PWStringRef& text) {
  switch (property.GetPropertyType()) {
    case KsPropertyType::kFloat: return ForwardAs<float>(*this, text, ParseFloat);
    case KsPropertyType::kInt: return ForwardAs<int32_t>(*this, text, ParseInt);
    case KsPropertyType::kUInt: return ForwardAs<uint32_t>(*this, text, ParseUInt);
    case KsPropertyType::kBool: return ForwardAs<bool>(*this, text, ParseBoolean);
    case KsPropertyType::kPoint: return ForwardAs<KsPointF>(*this, text, ParsePointF);
    case KsPropertyType::kSize: return ForwardAs<KsSizeF>(*this, text, ParseSizeF);
    case KsPropertyType::kRect: return ForwardAs<KsRectF>(*this, text, ParseRectF);
    case KsPropertyType::kColor: return ForwardAs<KsColorF>(*this, text, ParseColorF);
    case KsPropertyType::kDouble: return ForwardAs<double>(*this, text, ParseDouble);
    case KsPropertyType::kInt64: return ForwardAs<int64_t>(*this, text, ParseInt64);
    case KsPropertyType::kPropertyList: return ForwardAs<KsPropertyList>(*this, text, ParsePropertyList);
    case KsPropertyType::kString:
      BeginEmitterProperty(m_states.back());
      m_emitter->EmitValue(text);
      return AppErr::kNoErr;
    default: return KS_TRACE_ERR(AppErr::kTextNotConvertible, "OnValue");
  }
}

eAppErr Parser::OnValue(const PWStringRef& value) {
  if (!CheckValue(IsBlankText(value.View()))) return AppErr::kNoErr;
  // The typed events below find the level as it is now.
  KsRef<HcProperty> property = m_states.back().property;
  eAppErr result;
  if (m_objectMode) {
    result = property->SetValue(m_states.back().containingObject.Get(), value);
  } else {
    result = TranslateText(*property, value);
  }
  m_states.back().hasValue = true;
  // A refusal of the setter (read-only, out of range for the object) is a
  // warning like a text that does not read.
  if (AppErrFailed(result)) ReportWarning(result, "Property-set failed!");
  return result;
}

void Parser::OnEndObject() {
  ParseState* top = Top();
  if (!top || IsRootOnly()) {
    ReportWarning(kParseWarning, "End-object encountered outside of property binding");
    return;
  }
  if (!top->isActive) return;
  if (!top->objectClass) {
    ReportWarning(kParseWarning, "End-object encountered without a begin!");
    return;
  }
  if (!m_objectMode) m_emitter->EndObject(top->objectClass);
}

void Parser::OnEndProperty() {
  // The root level is only ever taken off by the end of the document.
  if (m_states.empty() || IsRootOnly()) {
    ReportWarning(kParseWarning, "End-property encountered outside of property binding");
    return;
  }
  if (!m_states.back().isActive) {
    m_states.pop_back();
    return;
  }
  if (!m_states.back().objectClass && !m_states.back().hasValue) {
    ReportWarning(kParseWarning, "End-property encountered without value!");
    m_states.pop_back();
    return;
  }
  if (m_states.back().objectClass) OnEndObject();
  ParseState state = std::move(m_states.back());
  m_states.pop_back();
  if (!m_objectMode) {
    if (state.emitterBegun) m_emitter->EndProperty(state.property);
  } else if (state.objectValue) {
    KsRef<ParseLocation> location = m_lexer ? m_lexer->CreateLocation() : KsRef<ParseLocation>();
    m_deferred.push_back(ObjectTuple{state.objectValue, state.property, state.containingObject, location});
  }
}

void Parser::ApplyDeferredAssignments() {
  for (ObjectTuple& tuple : m_deferred) {
    KsRef<KsObject> value = tuple.value;
    if (auto* reference = dynamic_cast<ReferenceBase*>(value.Get())) {
      value = reference->GetTarget();
      if (!value) {
        ReportWarningAt(tuple.location.Get(), AppErr::kNotFound, "Object reference could not be resolved!");
        continue;
      }
    }
    const eAppErr result = tuple.property->SetValue(tuple.object.Get(), value);
    if (AppErrFailed(result)) {
      const char* className = "(none)";
      KsRef<KsClassObject> classObject = tuple.object ? tuple.object->GetClassObject() : KsRef<KsClassObject>();
      if (classObject) className = classObject->GetImplName();
      ReportWarningAt(tuple.location.Get(), result,
                      Format("Error setting %@ on a %s", tuple.property->GetName(), className));
    }
  }
  m_deferred.clear();
}

eAppErr Parser::OnFinishParse() {
  KS_TRACE(KsTrace::kVerbose, "OnFinishParse");
  if (m_states.size() > 1) {
    // More begins than ends: the document stopped inside a property. What
    // was built stays, but nothing deferred is applied.
    ReportWarning(kParseWarning, Format("Document ended inside %u unfinished properties",
                                        static_cast<unsigned>(m_states.size() - 1)));
    m_states.clear();
    m_deferred.clear();
    return KS_TRACE_ERR(kParseWarning, "OnFinishParse");
  }
  m_states.clear();
  if (!m_objectMode) {
    m_emitter->EndDocument();
    const eAppErr emitted = m_emitter->GetFirstError();
    return AppErrFailed(emitted) ? KS_TRACE_ERR(emitted, "OnFinishParse") : AppErr::kNoErr;
  }
  ApplyDeferredAssignments();
  return AppErr::kNoErr;
}
