#pragma once

#include <cstdint>

#include "Time/HcTween.h"
#include "Time/LookDirectionValue.h"
#include "Time/HcMovieTweenLookMarkerCollection.h"
#include "Time/HcTimeScale.h"
#include "Utilities/HcPropertyBindingBase.h"

// Keys a look direction (pan, tilt, vertical field of view) to movie time:
// markers at times of TimeScale carry the directions on each side, and
// between an In (or Cut, or Waypoint) marker and the next one the direction
// moves linearly, the pan the short way round. Each evaluation converts the
// clock's seconds to TimeScale units, looks the direction up and writes its
// three angles through the three bindings (BindToView points them at a view).
//
// The tween runs at every clock time (its window only informs readers) and
// keeps no state between ticks. It answers 2 when it changed nothing: no
// time scale, no direction at the time, or every bound property already
// holding its angle.
class HcMovieTween : public HcTween {
  HC_CLASS_HEADER(HcMovieTween)
 public:
  enum : int32_t {
    kMarkersId = 300,
    kBindToViewId = 301,
    kTimeScaleId = 302,
    kPanBindingId = 303,
    kTiltBindingId = 304,
    kVFOVBindingId = 305,
  };

  HcMovieTween();
  ~HcMovieTween() override;

  eAppErr Evaluate(double t, const KsRef<HcClock>& clock) override;
  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;

  // The direction at a time of TimeScale, or none where no stretch is driven.
  // Either a marker's own left direction or a new object; don't change it.
  KsRef<LookDirectionValue> LookDirectionAtTime(int64_t time);
  // 0 for a well-formed marker list; -7 for times out of order, -2 for types
  // out of order (with a trace message and the table).
  eAppErr Validate();
  // Prints the marker table on standard output.
  eAppErr TraceTween();
  // StartTime and EndTime from the first and last marker; -2 with markers
  // but no time scale.
  eAppErr ResetStartEndTimes();

  KsRef<HcMovieTweenLookMarkerCollection> GetMarkers() const { return m_markers; }
  eAppErr SetMarkers(const KsRef<HcMovieTweenLookMarkerCollection>& markers);
  KsRef<KsObject> GetBindToView() const { return m_bindToView; }
  // Stores the view and points three new weak bindings at its "PanAngle",
  // "TiltAngle" and "VFOV", also when the view is the same or none.
  eAppErr SetBindToView(const KsRef<KsObject>& view);
  KsRef<HcTimeScale> GetTimeScale() const { return m_timeScale; }
  eAppErr SetTimeScale(const KsRef<HcTimeScale>& timeScale);
  KsRef<HcPropertyBindingBase> GetPanBinding() const { return m_panBinding; }
  eAppErr SetPanBinding(const KsRef<HcPropertyBindingBase>& binding);
  KsRef<HcPropertyBindingBase> GetTiltBinding() const { return m_tiltBinding; }
  eAppErr SetTiltBinding(const KsRef<HcPropertyBindingBase>& binding);
  KsRef<HcPropertyBindingBase> GetVFOVBinding() const { return m_vfovBinding; }
  eAppErr SetVFOVBinding(const KsRef<HcPropertyBindingBase>& binding);

 private:
  // The index of the first marker at or after t; the count when none.
  uint32_t FindMarkerAtTime(int64_t t) const;
  static KsRef<LookDirectionValue> InterpolateMarkers(const HcMovieTweenLookMarker& a,
                                                      const HcMovieTweenLookMarker& b, int64_t t);
  eAppErr ValidationFailure(eAppErr err);

  KsRef<HcMovieTweenLookMarkerCollection> m_markers;
  KsRef<KsObject> m_bindToView;
  KsRef<HcPropertyBindingBase> m_panBinding;
  KsRef<HcPropertyBindingBase> m_tiltBinding;
  KsRef<HcPropertyBindingBase> m_vfovBinding;
  KsRef<HcTimeScale> m_timeScale;
};
HC_CLASS_OBJECT(HcMovieTween, HcTween)
