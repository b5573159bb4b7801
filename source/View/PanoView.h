#pragma once

#include <cstdint>

#include "View/HcTexturedView.h"

// The abstract base of every view that shows a panoramic source from a look
// direction (pan, tilt, vertical field of view and skew, degrees). It keeps
// the direction as requested and as constrained, applies the look
// constraints, counts look changes, and fixes the contract of the mapping
// between view points and directions.
//
// Point mappings answer 0; a positive status when the result is not
// meaningful (1101 for a point or direction outside the image, 1102 for a
// point outside the frame or view volume, as each view says); -2 for an image
// index beyond the view's images; -102 without a source or projection.
class PanoView : public HcTexturedView {
  HC_CLASS_HEADER(PanoView)
 public:
  enum : int32_t {
    kPanAngleId = 400,
    kTiltAngleId = 401,
    kVFOVId = 402,
    kSkewId = 403,
    kVFOVMinId = 404,
    kVFOVMaxId = 405,
    kLookConstraintsId = 406,
    kNumberOfImagesId = 407,
    kFocalLength35mmId = 408,
  };
  // Look-constraint bits.
  enum : uint32_t {
    kConstrainToSource = 1,
    kConstrainTilt90 = 2,
    kWriteBackConstrained = 8,
    kAddSourcePan = 16,
  };
  static constexpr eAppErr kOutsideImage = 1101;
  static constexpr eAppErr kOutsideFrame = 1102;
  // Look directions with a narrower field of view are ignored.
  static constexpr float kSmallestVFOV = 2.0f;

  PanoView();
  ~PanoView() override;

  eAppErr Draw(const KsRef<PanoRenderer>& renderer) override;

  virtual uint32_t GetNumberOfImages();
  virtual eAppErr GetLookDirection(float* pan, float* tilt, float* vfov, float* skew);
  virtual eAppErr GetConstrainedLookDirection(float* pan, float* tilt, float* vfov, float* skew);
  virtual eAppErr SetLookDirection(float pan, float tilt, float vfov, float skew);
  virtual eAppErr DirectionAtPointDeg(const KsPointF& point, float* pan, float* tilt) = 0;
  virtual eAppErr PointAtDirectionDeg(float pan, float tilt, KsPointF* point, int32_t image) = 0;
  virtual eAppErr GetTiltLimitFlags(bool* atUpper, bool* atLower);
  virtual eAppErr GetPreTransformXYZForDirectionRad(const KsPointF& panTilt, float distance, float* x, float* y,
                                                    float* z);
  virtual eAppErr ChangeLookDirection(float dPan, float dTilt, float dVfov, float dSkew);
  // Two 32-bit words: the look counter plus the frame counter, then a word
  // this class never changes. Only compared for equality.
  virtual uint64_t GetLookGeneration();
  // Narrows the constrained values; runs at the end of ApplyLookConstraints.
  virtual void ConstrainLookDirection();

  float GetPanAngle();
  eAppErr SetPanAngle(float pan);
  float GetTiltAngle();
  eAppErr SetTiltAngle(float tilt);
  float GetVFOV();
  eAppErr SetVFOV(float vfov);
  float GetSkew();
  eAppErr SetSkew(float skew);
  float GetConstrainedVFOV();
  float GetVFOVMin() const { return m_vfovMin; }
  eAppErr SetVFOVMin(float vfov);
  float GetVFOVMax() const { return m_vfovMax; }
  eAppErr SetVFOVMax(float vfov);
  uint32_t GetLookConstraints() const { return m_lookConstraints; }
  eAppErr SetLookConstraints(uint32_t constraints);
  float GetFocalLength35mm();
  eAppErr SetFocalLength35mm(float focalLength);
  // The requested pan, plus the source's pan when bit 16 is set.
  float GetPanAngleWithSourceOffset();
  // The pan the picture is drawn and mapped at: the constrained pan, plus
  // the source's pan when bit 16 is set (the same as the one above while the
  // constrained values are written back).
  float GetDrawnPan();

 protected:
  void ApplyLookConstraints();

  // The constrained look direction, for subclasses' hooks and drawing.
  float m_constrainedTilt = 0.0f;
  float m_constrainedVFOV = 90.0f;
  float m_constrainedSkew = 0.0f;
  float m_constrainedPan = 0.0f;
  // Limits refreshed from the source's projection while bit 1 is set.
  float m_panLimitMin = 0.0f;
  float m_panLimitMax = 360.0f;
  float m_tiltLimitMin = -90.0f;
  float m_tiltLimitMax = 90.0f;
  float m_vfovMin = 20.0f;
  float m_vfovMax = 100.0f;
  // Requested values.
  float m_requestedTilt = 0.0f;
  float m_requestedVFOV = 90.0f;
  float m_requestedSkew = 0.0f;
  float m_requestedPan = 0.0f;

 private:
  void RefreshLimitsFromSource();
  void ConstrainPanToLimits();

  uint32_t m_lookCounter = 1;
  uint32_t m_generationWord = 1;
  uint32_t m_lookConstraints = kConstrainToSource | kConstrainTilt90 | 4 | kWriteBackConstrained | kAddSourcePan;
};
HC_CLASS_OBJECT(PanoView, HcTexturedView)
