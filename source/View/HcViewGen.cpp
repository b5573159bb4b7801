#include "General/CocoaMethod.h"
#include "Renderer/PanoRenderer.h"
#include "Responder/KeyboardResponder.h"
#include "Responder/MouseResponder.h"
#include "Time/HcTweenCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/HcPropertyPlaceholder.h"
#include "View/HcView.h"

HC_DEFINE_ABSTRACT_CLASS(HcView, KsObject, "HcView")
void HcView::HcViewClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HcView;
  KsRef<KsClassObject> self = ThisRef();
  AddObjCInstanceMethods({CocoaMethod<&F::Draw>("drawrenderer:", "i@:@")});
  AddProperty(HcPropertyObjectDirectGet<F, MouseResponder>::Create(self, kMouseResponderId, "MouseResponder", true,
                                                                   &F::GetMouseResponder, &F::SetMouseResponder));
  AddProperty(HcPropertyObjectDirectGet<F, KeyboardResponder>::Create(
      self, kKeyboardResponderId, "KeyboardResponder", true, &F::GetKeyboardResponder, &F::SetKeyboardResponder));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kOpacityId, kFloat, "Opacity", true, &F::GetOpacity,
                                                    &F::SetOpacity));
  AddProperty(HcPropertyObjectDirectGet<F, HcTweenCollection>::Create(self, kTweensId, "Tweens", true, &F::GetTweens,
                                                                      &F::SetTweens));
  AddProperty(
      HcPropertyDirectGet<F, bool>::Create(self, kHiddenId, kBool, "Hidden", true, &F::GetHidden, &F::SetHidden));
  AddProperty(HcPropertyPlaceholder::Create(self, kNeedsDisplayId, kBool, "NeedsDisplay"));
}
