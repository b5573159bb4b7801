#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsPoint.h"
#include "General/KsRect.h"
#include "General/KsSize.h"
#include "Projection/UpdateSeed.h"

// The mapping between a point of a source image and a viewing direction.
// Image points are normalised (x and y from 0 to 1 across the image);
// operations take and give pan and tilt in radians, properties are in
// degrees. The mappings answer false for a direction or point outside the
// image (and for non-finite input), never an error code.
class PanoProjection : public KsObject {
  HC_CLASS_HEADER(PanoProjection)
 public:
  enum : int32_t {
    kEditorViewsetTypeId = 200,
    kTiltMinDegId = 201,
    kTiltMaxDegId = 202,
    kZeroPanOffsetDegId = 203,
    kTilingCountId = 204,
    kImageAspectId = 205,
    kConstraintPanMinId = 206,
    kConstraintPanMaxId = 207,
    kConstraintTiltMinId = 208,
    kConstraintTiltMaxId = 209,
  };

  // Pan quadrant mask bits: 0-90, 90-180, 180-270 and 270-360 degrees.
  enum : uint32_t { kQuadrant1 = 1, kQuadrant2 = 2, kQuadrant3 = 4, kQuadrant4 = 8, kAllQuadrants = 15 };
  // Kinds of a tile's edges.
  enum : uint32_t { kEdgeImageBorder = 0, kEdgeWraps = 1, kEdgeNeighbourTile = 2 };
  // The most tiles any tiling yields; callers give room for this many.
  static constexpr uint32_t kMaxTiles = 4;

  // One rectangle of the image that one texture shows.
  struct ProjectionTile {
    uint32_t QuadrantMask = 0;
    uint32_t EdgeMinY = kEdgeImageBorder;
    uint32_t EdgeMaxX = kEdgeImageBorder;
    uint32_t EdgeMinX = kEdgeImageBorder;
    uint32_t EdgeMaxY = kEdgeImageBorder;
    KsRectF TileRect;
    KsRectF FullRect;
  };

  PanoProjection();
  ~PanoProjection() override;

  virtual float GetTiltMinDeg();
  virtual eAppErr SetTiltMinDeg(float degrees);
  virtual float GetTiltMaxDeg();
  virtual eAppErr SetTiltMaxDeg(float degrees);
  virtual uint32_t GetTilingCount();
  virtual eAppErr SetImageAspect(float aspect);
  virtual bool GetPointForAngleRad(float pan, float tilt, float* x, float* y) = 0;
  virtual bool GetAngleRadForPoint(float x, float y, float* pan, float* tilt) = 0;
  // The image size that yields the clean area (the inverse of GetCleanArea).
  virtual KsSizeF GetDimensionsForCleanArea(float area) = 0;
  // The image size that yields ppd pixels per degree (x across pan, y across
  // tilt; the inverse of GetAngularResolutionPPD).
  virtual KsSizeF GetDimensionsForAngularResolutionPPD(KsPointF ppd) = 0;
  // Equality of the shared mapping parameters: image aspect, tilt range and
  // zero-pan offset (constraints, editor type and seeds are not compared).
  virtual bool Compare(const KsRef<PanoProjection>& other);
  // Tiling 0 is one tile (mask 15) over the region of interest; further
  // tilings cut it into at most kMaxTiles tiles. -2 for an index at or beyond
  // GetTilingCount() or a missing output.
  virtual eAppErr GetTiling(uint32_t index, ProjectionTile* tiles, uint32_t* count);
  virtual KsPointF GetAngularResolutionPPD(KsSize<int> dimensions) = 0;
  // Each output only if given: 0 and 360 degrees here.
  virtual void GetPanRange(float* min, float* max);
  virtual UpdateSeed GetUpdateSeed();
  virtual eAppErr GetRegionOfInterest(KsRectF* region);
  virtual float GetCleanArea(KsSize<int> dimensions) = 0;

  PWStringRef GetEditorViewsetType() const { return m_editorViewsetType; }
  eAppErr SetEditorViewsetType(const PWStringRef& type);
  float GetZeroPanOffsetDeg() const;
  eAppErr SetZeroPanOffsetDeg(float degrees);
  float GetZeroPanOffsetRad() const { return m_zeroPanOffset; }
  float GetImageAspect() const { return m_imageAspect; }
  float GetConstraintPanMin() const { return m_constraintPanMin; }
  float GetConstraintPanMax() const { return m_constraintPanMax; }
  // The stored limits clamped to the projection's tilt range.
  float GetConstraintTiltMin();
  float GetConstraintTiltMax();
  eAppErr SetConstraintPanMin(float degrees);
  eAppErr SetConstraintPanMax(float degrees);
  eAppErr SetConstraintTiltMin(float degrees);
  eAppErr SetConstraintTiltMax(float degrees);

  eAppErr GetTiltRange(float* minTilt, float* maxTilt);
  float GetCleanAreaForWidthHeight(int width, int height) { return GetCleanArea({width, height}); }

 protected:
  void BumpBaseSeed() { ++m_seed.first; }
  void BumpExtraSeed() { ++m_seed.second; }
  const UpdateSeed& StoredSeed() const { return m_seed; }
  float StoredTiltMinDeg() const { return m_tiltMinDeg; }
  float StoredTiltMaxDeg() const { return m_tiltMaxDeg; }
  // Stores a tilt limit without announcing it or moving the seed.
  void StoreTiltMinDeg(float degrees) { m_tiltMinDeg = degrees; }
  void StoreTiltMaxDeg(float degrees) { m_tiltMaxDeg = degrees; }

 private:
  eAppErr StoreConstraint(int32_t propertyId, float& field, float degrees);

  UpdateSeed m_seed;
  float m_imageAspect = 1.0f;
  PWStringRef m_editorViewsetType;
  float m_tiltMinDeg = -50.0f;
  float m_tiltMaxDeg = 50.0f;
  float m_zeroPanOffset = 0.0f;  // radians
  float m_constraintPanMin = 0.0f;
  float m_constraintPanMax = 360.0f;
  float m_constraintTiltMin = -90.0f;
  float m_constraintTiltMax = 90.0f;
};
HC_CLASS_OBJECT(PanoProjection, KsObject)
