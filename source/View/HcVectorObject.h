#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsPoint.h"
#include "General/KsRect.h"

class PanoRenderer;
class PanoView;

// Something a vector view draws: an outline, an image, a button, a read-out.
// Objects draw in the coordinates the view sets up, x rightward and y
// downward in window pixels, the view's frame covering x to x + w and y to
// y + h; each draw and hit test is handed the view's pixel frame and its
// context view (which may be empty).
class HcVectorObject : public KsObject {
  HC_CLASS_HEADER(HcVectorObject)
 public:
  HcVectorObject();
  ~HcVectorObject() override;

  // Never, unless a subclass says otherwise.
  virtual bool ContainsPoint(const KsRect<int32_t>& frame, const KsRef<PanoView>& contextView, const KsPointF& point);
  // 0 drawn, a negative failure, or a status that stops the view's drawing.
  virtual eAppErr Draw(const KsRect<int32_t>& frame, const KsRef<PanoView>& contextView,
                       const KsRef<PanoRenderer>& renderer, float z) = 0;
};
HC_CLASS_OBJECT(HcVectorObject, KsObject)
