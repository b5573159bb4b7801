#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "General/KsClassMacros.h"
#include "Utilities/Emitter.h"

// Prints HcML to a C stdio stream: one element per property, object values
// carrying their class in xsi:type and their identity in id and href,
// indented with tabs (one per level, up to kMaxIndent, so that the text of
// a deep graph grows with its size, not with the square of its depth).
// EndDocument closes the stream.
class XMLEmitter : public Emitter {
  HC_CLASS_HEADER(XMLEmitter)
 public:
  enum : int32_t { kEmitXMLDeclarationId = 300 };
  static constexpr const char* kHcMLNamespace = "http://www.halcyonplayer.net/halcyon/hcml";
  static constexpr const char* kSchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";
  static constexpr uint32_t kMaxIndent = 32;

  XMLEmitter();
  ~XMLEmitter() override;

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

  bool GetEmitXMLDeclaration() const { return m_emitXMLDeclaration; }
  eAppErr SetEmitXMLDeclaration(bool emit);

  // Numbers as written: "%f" (six decimals) when that reads back to the very
  // same value, else the shortest text that does. Always the C locale.
  static std::string FormatFloat(float value);
  static std::string FormatDouble(double value);
  // Text for an attribute value in double quotation marks.
  static std::string EscapeAttribute(std::string_view text);

 protected:
  // Closes the stream (when there is one) and forgets it.
  eAppErr CloseOutput();
  FILE* GetOutput() const { return m_output; }

 private:
  eAppErr Write(std::string_view text);
  eAppErr WriteIndent();
  eAppErr WriteRecord(std::initializer_list<std::pair<const char*, float>> fields);

  FILE* m_output = nullptr;
  uint32_t m_depth = 0;
  bool m_emitXMLDeclaration = true;
};
HC_CLASS_OBJECT(XMLEmitter, Emitter)
