#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "General/KsClassMacros.h"
#include "Utilities/Emitter.h"

// Writes the binary object stream to a C stdio stream: the signature "KsHc"
// and the version token, then per property tag 1 and its name followed by
// one value token, or by tag 2, the class name, the object's properties and
// tag 3. Ids and hrefs are not carried, so an object written twice reads
// back as two objects. Pointer values are never written, and neither is
// their property. EndDocument closes the stream.
class BinaryEmitter : public Emitter {
  HC_CLASS_HEADER(BinaryEmitter)
 public:
  BinaryEmitter();
  ~BinaryEmitter() override;

  // A FILE*; -903 when the emitter already has one (which stays).
  eAppErr SetOutputFile(void* output) override;

  eAppErr BeginProperty(const KsRef<HcProperty>& property, bool isDocumentRoot) override;
  eAppErr EndProperty(const KsRef<HcProperty>& property) override;
  eAppErr BeginObject(const KsRef<KsClassObject>& classObject, const PWStringRef& id,
                      const PWStringRef& href) override;
  eAppErr EndObject(const KsRef<KsClassObject>& classObject) override;
  eAppErr EmitValue(const PWStringRef& value) override;
  eAppErr EmitValue(uint32_t value) override;
  eAppErr EmitValue(int32_t value) override;
  eAppErr EmitValue(bool value) override;
  eAppErr EmitValue(float value) override;
  eAppErr EmitValue(const KsPointF& value) override;
  eAppErr EmitValue(const KsSizeF& value) override;
  eAppErr EmitValue(const KsRectF& value) override;
  eAppErr EmitValue(const KsColorF& value) override;
  eAppErr EmitValue(void* value) override;
  eAppErr EmitValue(const KsPropertyList& value) override;
  eAppErr EmitValue(double value) override;
  eAppErr EmitValue(int64_t value) override;
  eAppErr BeginDocument() override;
  eAppErr EndDocument() override;

 private:
  // The begin-property token waits for the property's value or object, so
  // that a property without one (a pointer) leaves nothing behind.
  eAppErr WriteToken(const std::vector<uint8_t>& token);
  eAppErr WriteString(uint8_t tag, const PWStringRef& text);
  eAppErr WriteFloats(uint8_t tag, std::initializer_list<float> values);

  FILE* m_output = nullptr;
  PWStringRef m_pendingProperty;
};
HC_CLASS_OBJECT(BinaryEmitter, Emitter)
