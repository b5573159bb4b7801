#include "InterfaceCommon/HcProjectSource.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(HcProjectSource, SourceDescription, "HcProjectSource")
void HcProjectSource::HcProjectSourceClass::SetupProperties() {
  using P = HcProjectSource;
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<P, bool>::Create(self, kCopySoundTrackId, kBool, "CopySoundTrack", true,
                                                   &P::GetCopySoundTrack, &P::SetCopySoundTrack));
  AddProperty(HcPropertyDirectGet<P, bool>::Create(self, kEmbedDataInSampleId, kBool, "EmbedDataInSample", true,
                                                   &P::GetEmbedDataInSample, &P::SetEmbedDataInSample));
  AddProperty(HcPropertyDirectGet<P, PWStringRef>::Create(self, kSourceMoviePathId, kString, "SourceMoviePath", true,
                                                          &P::GetSourceMoviePath, &P::SetSourceMoviePath));
  AddProperty(HcPropertyDirectGet<P, uint32_t>::Create(self, kSourceNameId, kUInt, "SourceName", true,
                                                       &P::GetSourceName, &P::SetSourceName));
}
