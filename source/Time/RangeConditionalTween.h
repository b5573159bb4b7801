#pragma once

#include "Time/ConditionalTween.h"
#include "Utilities/HcPropertyBindingBase.h"

// The condition RangeMin < value - Offset < RangeMax (both bounds excluded),
// value read as a double through TargetProperty (0.0 without one or when the
// read fails).
class RangeConditionalTween : public ConditionalTween {
  HC_CLASS_HEADER(RangeConditionalTween)
 public:
  enum : int32_t { kTargetPropertyId = 400, kOffsetId = 401, kRangeMinId = 402, kRangeMaxId = 403 };

  RangeConditionalTween();
  ~RangeConditionalTween() override;

  bool EvaluateCondition() override;

  KsRef<HcPropertyBindingBase> GetTargetProperty() const { return m_targetProperty; }
  eAppErr SetTargetProperty(const KsRef<HcPropertyBindingBase>& binding);
  double GetOffset() const { return m_offset; }
  eAppErr SetOffset(double offset);
  double GetRangeMin() const { return m_rangeMin; }
  eAppErr SetRangeMin(double value);
  double GetRangeMax() const { return m_rangeMax; }
  eAppErr SetRangeMax(double value);

 private:
  KsRef<HcPropertyBindingBase> m_targetProperty;
  double m_offset = 0.0;
  double m_rangeMin = 0.0;
  double m_rangeMax = 0.0;
};
HC_CLASS_OBJECT(RangeConditionalTween, ConditionalTween)
