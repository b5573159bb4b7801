#include "InterfaceCommon/Viewset.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/HcPropertyPlaceholder.h"
#include "View/LayoutRegion.h"
#include "View/ViewCollection.h"

HC_DEFINE_ABSTRACT_CLASS(LayoutRegion, KsObject, "LayoutRegion")
void LayoutRegion::LayoutRegionClass::SetupProperties() {
  using F = LayoutRegion;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(
      HcPropertyObjectDirectGet<F, ViewCollection>::Create(self, kViewsId, "Views", true, &F::GetViews, &F::SetViews));
  AddProperty(HcPropertyObjectDirectGet<F, HcView>::Create(self, kViewId, "View", false, &F::GetView, &F::SetView));
  AddProperty(HcPropertyObjectDirectGet<F, Viewset>::Create(self, kViewsetId, "Viewset", false, &F::GetViewset,
                                                            &F::SetViewset));
  AddProperty(HcPropertyObjectDirectGet<F, HcPropertyBindingBase>::Create(
      self, kAspectBindingId, "AspectBinding", true, &F::GetAspectBinding, &F::SetAspectBinding));
  AddProperty(HcPropertyPlaceholder::Create(self, kNeedsDisplayId, KsPropertyType::kBool, "NeedsDisplay"));
}
