#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "PWString.h"

class HcView;

// One named layout of views a presentation can show; it keeps the view tree
// loaded for it, which a layout region shows.
class Viewset : public KsObject {
  HC_CLASS_HEADER(Viewset)
 public:
  enum : int32_t { kMainViewPathId = 203, kViewHcMLId = 206, kViewId = 208 };

  Viewset();
  ~Viewset() override;

  KsRef<HcView> GetView() const;
  eAppErr SetView(const KsRef<HcView>& view);
  // The HcML text of the viewset's root view.
  PWStringRef GetViewHcML() const { return m_viewHcML; }
  eAppErr SetViewHcML(const PWStringRef& hcml);
  // The object path of the main view inside the region that shows the viewset.
  PWStringRef GetMainViewPath() const { return m_mainViewPath; }
  eAppErr SetMainViewPath(const PWStringRef& path);

 private:
  KsRef<HcView> m_view;
  PWStringRef m_viewHcML;
  PWStringRef m_mainViewPath;
};
HC_CLASS_OBJECT(Viewset, KsObject)
