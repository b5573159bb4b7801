#include "InterfaceCommon/Viewset.h"
#include "General/CocoaMethod.h"
#include "General/KsObjectCollectionBase.h"
#include "General/KsStringCollection.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/HcView.h"

namespace {

int32_t LoadViewInContext(Viewset& viewset, KsRef<HcContextHelper> context) { return viewset.LoadView(context); }

}  // namespace

HC_DEFINE_CLASS(Viewset, KsObject, "Viewset")
void Viewset::ViewsetClass::SetupProperties() {
  using F = Viewset;
  using S = HcPropertyDirectGet<F, PWStringRef>;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kViewsetTypeId, KsPropertyType::kInt, "ViewsetType", true,
                                                      &F::GetViewsetType, &F::SetViewsetType));
  AddProperty(S::Create(self, kLoadLayerId, KsPropertyType::kString, "LoadLayer", true, &F::GetLoadLayer,
                        &F::SetLoadLayer));
  AddProperty(S::Create(self, kProjectionEditorClassNameId, KsPropertyType::kString, "ProjectionEditorClassName",
                        true, &F::GetProjectionEditorClassName, &F::SetProjectionEditorClassName));
  AddProperty(S::Create(self, kMainViewPathId, KsPropertyType::kString, "MainViewPath", true, &F::GetMainViewPath,
                        &F::SetMainViewPath));
  AddProperty(S::Create(self, kKeyboardResponderPathId, KsPropertyType::kString, "KeyboardResponderPath", true,
                        &F::GetKeyboardResponderPath, &F::SetKeyboardResponderPath));
  AddProperty(HcPropertyObjectDirectGet<F, KsObjectCollectionBase>::Create(
      self, kViewsetImagesId, "ViewsetImages", true, &F::GetViewsetImages, &F::SetViewsetImages));
  AddProperty(S::Create(self, kViewHcMLId, KsPropertyType::kString, "ViewHcML", true, &F::GetViewHcML,
                        &F::SetViewHcML));
  AddProperty(S::Create(self, kViewHcMLPathId, KsPropertyType::kString, "ViewHcMLPath", false, nullptr,
                        &F::SetViewHcMLPath));
  AddProperty(HcPropertyObjectDirectGet<F, HcView>::Create(self, kViewId, "View", false, &F::GetView, &F::SetView));
  AddProperty(HcPropertyObjectDirectGet<F, KsStringCollection>::Create(self, kNamedViewsetObjectPathsId,
                                                                       "NamedViewsetObjectPaths", true,
                                                                       &F::GetNamedViewsetObjectPaths,
                                                                       &F::SetNamedViewsetObjectPaths));
  AddObjCInstanceMethods({CocoaMethod<&LoadViewInContext>("loadView:", "i@:@")});
}
