#pragma once

#include <cstdint>

#include "General/KsColor.h"
#include "Responder/VectorObjectHost.h"
#include "View/FlatTextureSetDrawing.h"
#include "View/HcView.h"

class PanoView;
class HcVectorObject;
class VectorObjectCollection;

// Draws an ordered collection of vector objects in its own pixel frame with
// a flat projection (x rightward, y downward, window pixels), optionally
// over or under a background fill. Object i lies at depth 0.01 i - 0.9, the
// fill at -0.95, so later objects lie nearer. The context view is handed to
// every object: outlines are projected into it, read-outs read what it
// shows. Known to HcML as "VectorOverlay".
class VectorView : public HcView, public VectorObjectHost {
  HC_CLASS_HEADER(VectorView)
 public:
  enum : int32_t {
    kBackgroundColorId = 300,
    kContextViewId = 301,
    kDrawBackgroundId = 302,
    kDrawObjectsOverBackgroundId = 303,
    kVectorObjectsId = 304,
  };
  // The renderer's depth-function code for "less or equal".
  static constexpr int32_t kDepthLessOrEqual = 2;

  VectorView();
  ~VectorView() override;

  // Without objects it draws nothing, not even the background; an object's
  // result other than 0 ends the frame's drawing and is returned.
  eAppErr Draw(const KsRef<PanoRenderer>& renderer) override;
  // A transparent ignore responder: events pass to the views below.
  KsRef<MouseResponder> CreateDefaultMouseResponder() override;
  KsRef<KeyboardResponder> CreateDefaultKeyboardResponder() override;

  // The depth of the object at an index.
  static float DepthOfObject(uint32_t index) { return static_cast<float>(index) * 0.01f - 0.9f; }

  // The hit tests the vector-object responder makes. Objects that are not
  // vector objects contain no point.
  bool ObjectContainsPoint(const KsRef<KsObject>& object, const KsPointF& point) override;
  bool ObjectAtIndexContainsPoint(uint32_t index, const KsPointF& point) override;
  // The topmost object under the point (the last drawn of those that
  // contain it), or null.
  KsRef<KsObject> GetObjectAtPoint(const KsPointF& point) override;
  KsRef<KsObject> GetVectorObjectAt(uint32_t index) override;

  // Every texture of the set flat into the destination (see
  // FlatTextureSetDrawing); the cache is the caller's, kept between draws.
  static eAppErr DrawTextureSetFlat(const KsRectF& destination, const KsRef<PanoRenderer>& renderer,
                                    const KsRef<HcTextureSet>& textureSet, bool drawTileBoundary,
                                    const KsColorF& color, FlatTextureSetDrawing::Cache& cache, float z);

  KsColorF GetBackgroundColor() const { return m_backgroundColor; }
  eAppErr SetBackgroundColor(const KsColorF& color);
  KsRef<PanoView> GetContextView() const;
  eAppErr SetContextView(const KsRef<PanoView>& view);
  bool GetDrawBackground() const { return m_drawBackground; }
  eAppErr SetDrawBackground(bool draw);
  bool GetDrawObjectsOverBackground() const { return m_drawObjectsOverBackground; }
  eAppErr SetDrawObjectsOverBackground(bool over);
  KsRef<VectorObjectCollection> GetVectorObjects() const;
  eAppErr SetVectorObjects(const KsRef<VectorObjectCollection>& objects);

 private:
  eAppErr DrawObjects(const KsRef<PanoRenderer>& renderer, const KsRef<PanoView>& contextView);

  KsRef<PanoView> m_contextView;
  KsRef<VectorObjectCollection> m_vectorObjects;
  bool m_drawBackground = false;
  bool m_drawObjectsOverBackground = false;
  KsColorF m_backgroundColor{0.5f, 0.5f, 0.5f, 0.5f};
};
HC_CLASS_OBJECT(VectorView, HcView)
