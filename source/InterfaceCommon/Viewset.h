#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

class HcView;

// One named layout of views a presentation can show; it keeps the view tree
// loaded for it, which a layout region shows.
class Viewset : public KsObject {
  HC_CLASS_HEADER(Viewset)
 public:
  enum : int32_t { kViewId = 208 };

  Viewset();
  ~Viewset() override;

  KsRef<HcView> GetView() const;
  eAppErr SetView(const KsRef<HcView>& view);

 private:
  KsRef<HcView> m_view;
};
HC_CLASS_OBJECT(Viewset, KsObject)
