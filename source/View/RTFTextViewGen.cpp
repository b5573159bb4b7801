#include "General/KsData.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/RTFTextView.h"

HC_DEFINE_CLASS(RTFTextView, HcView, "RTFTextView")
void RTFTextView::RTFTextViewClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = RTFTextView;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(
      HcPropertyObjectDirectGet<F, KsData>::Create(self, kRTFDataId, "RTFData", true, &F::GetRTFData, &F::SetRTFData));
  AddProperty(HcPropertyDirectGet<F, KsColorF>::Create(self, kTextColorId, kColor, "TextColor", true,
                                                       &F::GetTextColor, &F::SetTextColor));
  AddProperty(HcPropertyDirectGet<F, KsColorF>::Create(self, kBackgroundColorId, kColor, "BackgroundColor", true,
                                                       &F::GetBackgroundColor, &F::SetBackgroundColor));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kScaleTextId, kBool, "ScaleText", true, &F::GetScaleText,
                                                   &F::SetScaleText));
  AddProperty(HcPropertyDirectGet<F, KsSizeF>::Create(self, kStdDrawSizeId, kSize, "StdDrawSize", true,
                                                      &F::GetStdDrawSize, &F::SetStdDrawSize));
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kAlignmentId, kUInt, "Alignment", true,
                                                       &F::GetAlignment, &F::SetAlignment));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kBitmapScalingId, kBool, "BitmapScaling", true,
                                                   &F::GetBitmapScaling, &F::SetBitmapScaling));
}
