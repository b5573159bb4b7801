#pragma once

#include <cstddef>
#include <cstdint>

#include "General/KsClassMacros.h"
#include "Utilities/XMLEmitter.h"

// An XMLEmitter that writes into memory of its own, so that the document can
// be had as a string (OutputString) once it has ended.
class XMLStringEmitter : public XMLEmitter {
  HC_CLASS_HEADER(XMLStringEmitter)
 public:
  enum : int32_t { kOutputStringId = 400 };

  XMLStringEmitter();
  ~XMLStringEmitter() override;

  eAppErr EndDocument() override;
  // The whole document; null before EndDocument, and when writing failed.
  virtual PWStringRef GetOutputString() const { return m_result; }

 private:
  char* m_buffer = nullptr;
  size_t m_size = 0;
  PWStringRef m_result;
};
HC_CLASS_OBJECT(XMLStringEmitter, XMLEmitter)

// The object written as one HcML document (the root element named after its
// class, or rootElementName when given); null on any failure.
PWStringRef WriteObjectToHcMLString(const KsRef<KsObject>& object, const PWStringRef& rootElementName = nullptr);
