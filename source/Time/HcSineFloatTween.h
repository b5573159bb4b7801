#pragma once

#include "Time/HcPropertyTween.h"

// Writes Offset + Amplitude · sin(2π · (elapsed + StartPhase) / Period),
// elapsed counted from StartTime (from 0 when StartTime is open); StartPhase
// and Period are seconds. A Period of 0 writes nothing (2).
class HcSineFloatTween : public HcPropertyTween {
  HC_CLASS_HEADER(HcSineFloatTween)
 public:
  enum : int32_t { kPeriodId = 400, kAmplitudeId = 401, kStartPhaseId = 402, kOffsetId = 403 };

  HcSineFloatTween();
  ~HcSineFloatTween() override;

  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;

  virtual eAppErr SetPeriod(float period);
  virtual eAppErr SetAmplitude(float amplitude);
  virtual eAppErr SetStartPhase(float phase);
  virtual float GetPeriod() const { return m_period; }
  virtual float GetAmplitude() const { return m_amplitude; }
  virtual float GetStartPhase() const { return m_startPhase; }
  eAppErr SetOffset(float offset);
  float GetOffset() const { return m_offset; }

 private:
  float m_period = 1.0f;
  float m_amplitude = 1.0f;
  float m_startPhase = 0.0f;
  float m_offset = 0.0f;
};
HC_CLASS_OBJECT(HcSineFloatTween, HcPropertyTween)
