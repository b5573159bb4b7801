#pragma once

// Small model classes the object-model suites observe and reflect over.

#include <vector>

#include "General/KsClassMacros.h"
#include "General/KsColor.h"
#include "General/KsObject.h"
#include "General/KsRect.h"

// Counts the notices it is told and remembers their property ids.
class ChangeRecorder : public KsObject {
  HC_CLASS_HEADER(ChangeRecorder)
 public:
  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;
  std::vector<int32_t> seenIds;
  int notices = 0;
};
HC_CLASS_OBJECT(ChangeRecorder, KsObject)

// A class with a property of several value types and one read-only property.
class Gadget : public KsObject {
  HC_CLASS_HEADER(Gadget)
 public:
  float GetWidth() const { return m_width; }
  eAppErr SetWidth(float width) {
    DidChangeCaller change(this, 200);
    m_width = width;
    ++widthSets;
    return AppErr::kNoErr;
  }
  int32_t GetCount() const { return m_count; }
  eAppErr SetCount(int32_t count) {
    m_count = count;
    return AppErr::kNoErr;
  }
  bool GetEnabled() const { return m_enabled; }
  eAppErr SetEnabled(bool enabled) {
    m_enabled = enabled;
    return AppErr::kNoErr;
  }
  KsColorF GetTint() const { return m_tint; }
  eAppErr SetTint(const KsColorF& tint) {
    m_tint = tint;
    return AppErr::kNoErr;
  }
  KsRectF GetFrame() const { return m_frame; }
  eAppErr SetFrame(const KsRectF& frame) {
    m_frame = frame;
    return AppErr::kNoErr;
  }
  uint32_t GetSerial() const { return 7; }
  KsRef<Gadget> GetPartner() const { return m_partner; }
  eAppErr SetPartner(const KsRef<Gadget>& partner) {
    m_partner = partner;
    return AppErr::kNoErr;
  }
  double GetRatio() const { return m_ratio; }
  eAppErr SetRatio(double ratio) {
    m_ratio = ratio;
    return AppErr::kNoErr;
  }

  int widthSets = 0;

 private:
  float m_width = 0;
  int32_t m_count = 0;
  bool m_enabled = false;
  KsColorF m_tint;
  KsRectF m_frame;
  KsRef<Gadget> m_partner;
  double m_ratio = 0;
};
HC_CLASS_OBJECT(Gadget, KsObject)

// A subclass adding one property; the table lists parents' properties first.
class SuperGadget : public Gadget {
  HC_CLASS_HEADER(SuperGadget)
 public:
  PWStringRef GetLabel() const { return m_label; }
  eAppErr SetLabel(const PWStringRef& label) {
    m_label = label;
    return AppErr::kNoErr;
  }

 private:
  PWStringRef m_label;
};
HC_CLASS_OBJECT(SuperGadget, Gadget)
