#include "General/CocoaMethod.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/HcViewHelper.h"
#include "Renderer/HcSharedGraphicsContext.h"
#include "Renderer/PanoRenderer.h"
#include "Source/SourceCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HcViewHelper, KsObject, "HcViewHelper")

namespace {

hc::runtime::MethodList BridgedMethods() {
  using F = HcViewHelper;
  return {
      CocoaMethod<&F::MouseMoved>("mouseMovedTo:outCursor:", "B@:{_NSPoint=ff}^I"),
      CocoaMethod<&F::PostFlight>("postflight:", "i@:@"),
      CocoaMethod<&F::MouseDown>("mouseDownAt:outCursor:", "B@:{_NSPoint=ff}^I"),
      CocoaMethod<&F::MouseUp>("mouseUpAt:outCursor:", "i@:{_NSPoint=ff}^I"),
      CocoaMethod<&F::MouseScrolled>("mouseScrolledBy:at:", "B@:f{_NSPoint=ff}"),
      // Key events come as three unsigned integers: code, modifier mask, scan code.
      CocoaMethod<&F::KeyUp>("keyUpCode:withModifiers:scanCode:", "B@:III"),
      CocoaMethod<&F::KeyDown>("keyDownCode:withModifiers:scanCode:", "B@:III"),
      CocoaMethod<&F::Draw>("draw", "i@:"),
      CocoaMethod<&F::Resize>("resizex:y:width:height:", "i@:iiii"),
      CocoaMethod<&F::GetSize>("getSizewidth:height:", "i@:^i^i"),
      CocoaMethod<&F::MakeDefaultRenderer>("makeDefaultRenderer", "i@:"),
  };
}

}  // namespace

void HcViewHelper::HcViewHelperClass::SetupProperties() {
  AddObjCInstanceMethods(BridgedMethods());
  AddObjCClassMethods({});
  using namespace KsPropertyType;
  using F = HcViewHelper;
  KsRef<KsClassObject> self = ThisRef();
  // Member pointers of virtual operations dispatch virtually, so the off-screen
  // helper's replacements are reached through the same descriptors.
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kActiveId, kBool, "Active", true, &F::GetActive,
                                                   &F::SetActive));
  AddProperty(HcPropertyObjectDirectGet<F, HcContextHelper>::Create(self, kContextId, "Context", false,
                                                                    &F::GetContext, &F::SetContext));
  AddProperty(HcPropertyDirectGet<F, KsRectF>::Create(self, kFrameId, kRect, "Frame", true, &F::GetFrame,
                                                      &F::SetFrame));
  AddProperty(HcPropertyObjectDirectGet<F, PanoRenderer>::Create(self, kRendererId, "Renderer", false,
                                                                 &F::GetRenderer, &F::SetRenderer));
  AddProperty(HcPropertyObjectDirectGet<F, HcSharedGraphicsContext>::Create(
      self, kSharedGraphicsContextId, "SharedGraphicsContext", false, &F::GetSharedGraphicsContext,
      &F::SetSharedGraphicsContext));
  AddProperty(HcPropertyObjectDirectGet<F, SourceCollection>::Create(
      self, kSourceCollectionId, "SourceCollection", false, &F::GetSourceCollection, &F::SetSourceCollection));
}
