#include "Renderer/HcVertexBuffer.h"
#include "Source/PanoSource.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/HcGlyphButton.h"

HC_DEFINE_CLASS(HcGlyphButton, HcGlyph, "HcGlyphButton")
void HcGlyphButton::HcGlyphButtonClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HcGlyphButton;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(
      HcPropertyDirectGet<F, bool>::Create(self, kEnabledId, kBool, "Enabled", true, &F::GetEnabled, &F::SetEnabled));
  AddProperty(HcPropertyObjectDirectGet<F, HcPropertyBindingBase>::Create(self, kActionId, "Action", true,
                                                                          &F::GetAction, &F::SetAction));
  AddProperty(
      HcPropertyObjectDirectGet<F, KsObject>::Create(self, kPayloadId, "Payload", true, &F::GetPayload, &F::SetPayload));
  AddProperty(HcPropertyObjectDirectGet<F, PanoSource>::Create(self, kOnSourceId, "OnSource", true, &F::GetOnSource,
                                                               &F::SetOnSource));
  AddProperty(HcPropertyObjectDirectGet<F, PanoSource>::Create(self, kOffSourceId, "OffSource", true,
                                                               &F::GetOffSource, &F::SetOffSource));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kStateId, kBool, "State", true, &F::GetState, &F::SetState));
}
