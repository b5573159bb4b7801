#include "Unwarp/UnwarpTask.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(UnwarpTask, KsObject, "UnwarpTask")

void UnwarpTask::UnwarpTaskClass::SetupProperties() {
  using namespace KsPropertyType;
  using U = UnwarpTask;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<U, PanoSource>::Create(self, kSourceId, "Source", false, &U::GetSource,
                                                               &U::SetSource));
  AddProperty(HcPropertyObjectDirectGet<U, PanoProjection>::Create(
      self, kSourceProjectionId, "SourceProjection", false, &U::GetSourceProjection, &U::SetSourceProjection));
  AddProperty(HcPropertyObjectDirectGet<U, OutputBuffer>::Create(self, kOutputId, "Output", false, &U::GetOutput,
                                                                 &U::SetOutput));
  AddProperty(HcPropertyObjectDirectGet<U, PanoProjection>::Create(
      self, kOutputProjectionId, "OutputProjection", false, &U::GetOutputProjection, &U::SetOutputProjection));
  AddProperty(HcPropertyDirectGet<U, int32_t>::Create(self, kOutputWidthId, kInt, "OutputWidth", false,
                                                      &U::GetOutputWidth, nullptr));
  AddProperty(HcPropertyDirectGet<U, int32_t>::Create(self, kOutputHeightId, kInt, "OutputHeight", false,
                                                      &U::GetOutputHeight, nullptr));
  AddProperty(HcPropertyDirectGet<U, float>::Create(self, kWidthMultipleId, kFloat, "WidthMultiple", true,
                                                    &U::GetWidthMultiple, &U::SetWidthMultiple));
  AddProperty(HcPropertyDirectGet<U, float>::Create(self, kHeightMultipleId, kFloat, "HeightMultiple", true,
                                                    &U::GetHeightMultiple, &U::SetHeightMultiple));
  AddProperty(HcPropertyDirectGet<U, float>::Create(self, kAreaScaleId, kFloat, "AreaScale", true,
                                                    &U::GetAreaScale, &U::SetAreaScale));
}
