#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "General/KsClassMacros.h"
#include "Utilities/Emitter.h"
#include "platform/movfile/AtomContainer.h"

// Builds the atom-container form of an object graph in a container that the
// caller creates, hands over with SetAtomContainer, and keeps. Per property:
// 'Hcnm' (name), 'Hcty' (type code), and 'Hcva' (the value's bytes, or, for
// an object, the object's own properties as its children), objects adding
// 'Hccl' (class name) and, when they have them, 'Hcid' and 'Hchr'; all with
// the property's number among its siblings as atom id.
//
// A property is written only once its value or object arrives, so pointer
// values leave no trace. A property the container can't take (a parent full
// at 65535 children, atoms nested too deeply, a value past 32-bit sizes) is
// left out whole and the write fails: GetFirstError answers the container's
// code.
class AtomEmitter : public Emitter {
  HC_CLASS_HEADER(AtomEmitter)
 public:
  enum : int32_t { kAtomContainerId = 300 };

  AtomEmitter();
  ~AtomEmitter() override;

  // This emitter writes into a container, never to a file: always -2.
  eAppErr SetOutputFile(void* output) override;
  // An hc::movfile::AtomContainer*, not owned.
  eAppErr SetAtomContainer(void* container);
  void* GetAtomContainer() const { return m_container; }

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
  using Atom = hc::movfile::AtomContainer::Atom;
  // Stands for the value atom of an object that was left out: everything
  // below it is dropped without further complaint.
  static constexpr Atom kDroppedParent = 0xFFFFFFFF;

  // Writes the pending property's name and type atoms, once the rest of its
  // atoms (siblingCount in all, valueSize bytes of value) is known to fit;
  // *written tells whether the caller is to add the rest.
  eAppErr WritePendingProperty(int32_t typeCode, size_t siblingCount, size_t valueSize, bool* written);
  eAppErr Insert(uint32_t type, std::span<const uint8_t> data, Atom* atom = nullptr);
  eAppErr Fail(eAppErr code);
  eAppErr WriteValue(int32_t typeCode, const std::vector<uint8_t>& bytes);
  eAppErr WriteFloats(int32_t typeCode, std::initializer_list<float> values);
  bool IsDropping() const { return !m_parents.empty() && m_parents.back() == kDroppedParent; }

  hc::movfile::AtomContainer* m_container = nullptr;
  std::vector<Atom> m_parents;
  std::vector<uint32_t> m_nextIds;
  // Per open property: whether its atoms were written.
  std::vector<bool> m_propertyWritten;
  PWStringRef m_pendingName;
};
HC_CLASS_OBJECT(AtomEmitter, Emitter)
