#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsColor.h"
#include "General/KsObject.h"
#include "General/KsPoint.h"
#include "General/KsPropertyList.h"
#include "General/KsRect.h"
#include "General/KsSize.h"
#include "Utilities/HcProperty.h"

// The sink through which an object graph leaves the system, one encoding per
// concrete emitter. Drivers (the ObjectWriter, a Parser given an emitter)
// produce exactly this nesting:
//   document = BeginDocument, one property whose root flag is true, EndDocument
//   property = BeginProperty(p), then one EmitValue or one object, EndProperty(p)
//   object   = BeginObject(class, id, href), its properties, EndObject(class)
// An object with an href refers to one written elsewhere and has no
// properties. Object values travel as BeginObject … EndObject.
//
// Every event answers an eAppErr. An emitter keeps the first failure it meets
// (NoteResult) so that a driver learns at the end that the output is
// incomplete, even when it did not look at each result.
class Emitter : public KsObject {
  HC_CLASS_HEADER(Emitter)
 public:
  enum : int32_t { kOutputFileId = 200 };

  // The output: a FILE* for the stream writers; others refuse any.
  virtual eAppErr SetOutputFile(void* output) = 0;

  virtual eAppErr BeginProperty(const KsRef<HcProperty>& property, bool isDocumentRoot) = 0;
  virtual eAppErr EndProperty(const KsRef<HcProperty>& property) = 0;
  // id and href may each be null.
  virtual eAppErr BeginObject(const KsRef<KsClassObject>& classObject, const PWStringRef& id,
                              const PWStringRef& href) = 0;
  virtual eAppErr EndObject(const KsRef<KsClassObject>& classObject) = 0;

  virtual eAppErr EmitValue(const PWStringRef& value) = 0;
  virtual eAppErr EmitValue(uint32_t value) = 0;
  virtual eAppErr EmitValue(int32_t value) = 0;
  virtual eAppErr EmitValue(bool value) = 0;
  virtual eAppErr EmitValue(float value) = 0;
  virtual eAppErr EmitValue(const KsPointF& value) = 0;
  virtual eAppErr EmitValue(const KsSizeF& value) = 0;
  virtual eAppErr EmitValue(const KsRectF& value) = 0;
  virtual eAppErr EmitValue(const KsColorF& value) = 0;
  virtual eAppErr EmitValue(void* value) = 0;
  virtual eAppErr EmitValue(const KsPropertyList& value) = 0;
  virtual eAppErr EmitValue(double value) = 0;
  virtual eAppErr EmitValue(int64_t value) = 0;
  // A C string would silently become a bool.
  eAppErr EmitValue(const char* value) = delete;

  virtual eAppErr BeginDocument() = 0;
  virtual eAppErr EndDocument() = 0;

  // The first failure any event met since construction, or 0.
  eAppErr GetFirstError() const { return m_firstError; }

 protected:
  // Remembers the result when it is the first failure; answers it.
  eAppErr NoteResult(eAppErr result) {
    if (AppErrFailed(result) && !AppErrFailed(m_firstError)) m_firstError = result;
    return result;
  }

 private:
  eAppErr m_firstError = AppErr::kNoErr;
};
HC_CLASS_OBJECT(Emitter, KsObject)
