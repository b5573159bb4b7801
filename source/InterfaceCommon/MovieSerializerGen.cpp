#include "General/CocoaMethod.h"
#include "InterfaceCommon/MovieSerializer.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(MovieSerializer, MovieModifier, "MovieSerializer")

void MovieSerializer::MovieSerializerClass::SetupProperties() {
  using S = MovieSerializer;
  AddObjCInstanceMethods({
      CocoaMethod<&S::DoInitDescriptionFromMovie>("doInitDescriptionFromMovieFoundData:", "i@:^B"),
      CocoaMethod<&S::InitUUIDForPresentationAndSourceDesc>("initUUIDForPresentationAndSourceDesc", "i@:"),
      CocoaMethod<&S::UpdateMovieUserDataFromPresentation>("updateMovieUserDataFromPresentation", "i@:"),
      CocoaMethod<&S::MovieHasSpecialVisualTracks>("movieHasSpecialVisualTracks", "B@:"),
      // The track is a track of the serializer's movie file (a pointer).
      CocoaMethod<&S::StoreSourceDescriptionToTrack>("storeSourceDescriptionToTracktrack:sourceDesc:", "i@:^v@"),
      CocoaMethod<&S::LoadSourceDescriptionFromTrack>("loadSourceDescriptionFromTracktrack:", "@@:^v"),
  });
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<S, uint32_t>::Create(self, S::kDataCompressorTypeId, kUInt, "DataCompressorType",
                                                       true, &S::GetDataCompressorType, &S::SetDataCompressorType));
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, S::kInitDescriptionFromMovieId, kBool,
                                                   "InitDescriptionFromMovie", false, nullptr,
                                                   &S::SetInitDescriptionFromMovie));
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, S::kInitMovieFromDescriptionId, kBool,
                                                   "InitMovieFromDescription", false, nullptr,
                                                   &S::SetInitMovieFromDescription));
  AddProperty(HcPropertyObjectDirectGet<S, HcPresentation>::Create(self, S::kPresentationId, "Presentation", false,
                                                                   &S::GetPresentation, &S::SetPresentation));
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, S::kGuessPanoProjectionId, kBool, "GuessPanoProjection",
                                                   true, &S::GetGuessPanoProjection, &S::SetGuessPanoProjection));
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, S::kLoadAsSingleSourceId, kBool, "LoadAsSingleSource", true,
                                                   &S::GetLoadAsSingleSource, &S::SetLoadAsSingleSource));
}
