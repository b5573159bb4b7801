#include "InterfaceCommon/HcProjectHelper.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HcProjectHelper, HcPresentation, "HcProjectHelper")
void HcProjectHelper::HcProjectHelperClass::SetupProperties() {
  using P = HcProjectHelper;
  AddProperty(HcPropertyObjectDirectGet<P, StringToStringLookupTable>::Create(
      ThisRef(), kMovieAnnotationLookupTableId, "MovieAnnotationLookupTable", true,
      &P::GetMovieAnnotationLookupTable, &P::SetMovieAnnotationLookupTable));
}
