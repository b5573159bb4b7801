#include "Source/ImageWithDataSource.h"
#include "Utilities/HcPropertyAppErr.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(ImageWithDataSource, QTSequenceSource, "ImageWithDataSource")

void ImageWithDataSource::ImageWithDataSourceClass::SetupProperties() {
  using namespace KsPropertyType;
  using S = ImageWithDataSource;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<S, void*>::Create(self, kImageDataBEHandleId, kPointer, "ImageDataBEHandle", false,
                                                    &S::GetImageDataBEHandle, &S::SetImageDataBEHandle));
  AddProperty(HcPropertyDirectGet<S, PWStringRef>::Create(self, kImageDataBEBase64Id, kString, "ImageDataBEBase64",
                                                          true, &S::GetImageDataBEBase64, &S::SetImageDataBEBase64));
  AddProperty(HcPropertyDirectGet<S, void*>::Create(self, kImageDescriptionDataBEHandleId, kPointer,
                                                    "ImageDescriptionDataBEHandle", false,
                                                    &S::GetImageDescriptionDataBEHandle,
                                                    &S::SetImageDescriptionDataBEHandle));
  AddProperty(HcPropertyDirectGet<S, PWStringRef>::Create(self, kImageDescriptionDataBEBase64Id, kString,
                                                          "ImageDescriptionDataBEBase64", true,
                                                          &S::GetImageDescriptionDataBEBase64,
                                                          &S::SetImageDescriptionDataBEBase64));
  AddProperty(HcPropertyAppErr<S, PWStringRef>::Create(self, kImagePathId, kString, "ImagePath", false, nullptr,
                                                       &S::SetImagePath));
}
