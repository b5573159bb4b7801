#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "Time/LookDirectionValue.h"

// A look marker of a movie tween at a time of the tween's time scale, with
// the direction just before it (left, also in force at the marker's own
// time) and the one just after it (right). Its type follows from which
// directions it has.
class HcMovieTweenLookMarker : public KsObject {
  HC_CLASS_HEADER(HcMovieTweenLookMarker)
 public:
  enum : int32_t {
    kTimeValueId = 200,
    kMarkerTypeId = 201,
    kLeftLookDirectionId = 202,
    kLeftIsImplicitId = 203,
    kRightLookDirectionId = 204,
    kRightIsImplicitId = 205,
    kRightPanPolarityId = 206,
  };
  // Neither direction; right only; left only; two directions; one direction on both sides.
  enum MarkerType : int32_t { kUnknown = 0, kIn = 1, kOut = 2, kCut = 3, kWaypoint = 4 };

  HcMovieTweenLookMarker();
  ~HcMovieTweenLookMarker() override;

  virtual int32_t GetMarkerType() const;
  // The type is not stored: -903, nothing changes.
  virtual eAppErr SetMarkerType(int32_t type);
  static const char* ShortTypeName(int32_t type);
  static const char* LongTypeName(int32_t type);

  int64_t GetTimeValue() const { return m_timeValue; }
  eAppErr SetTimeValue(int64_t value);
  KsRef<LookDirectionValue> GetLeftLookDirection() const { return m_left; }
  eAppErr SetLeftLookDirection(const KsRef<LookDirectionValue>& direction);
  KsRef<LookDirectionValue> GetRightLookDirection() const { return m_right; }
  eAppErr SetRightLookDirection(const KsRef<LookDirectionValue>& direction);
  bool GetLeftIsImplicit() const { return m_leftIsImplicit; }
  eAppErr SetLeftIsImplicit(bool implicit);
  bool GetRightIsImplicit() const { return m_rightIsImplicit; }
  eAppErr SetRightIsImplicit(bool implicit);
  int32_t GetRightPanPolarity() const { return m_rightPanPolarity; }
  eAppErr SetRightPanPolarity(int32_t polarity);

 private:
  int64_t m_timeValue = 0;
  KsRef<LookDirectionValue> m_right;
  KsRef<LookDirectionValue> m_left;
  bool m_rightIsImplicit = false;
  bool m_leftIsImplicit = false;
  int32_t m_rightPanPolarity = 0;
};
HC_CLASS_OBJECT(HcMovieTweenLookMarker, KsObject)
