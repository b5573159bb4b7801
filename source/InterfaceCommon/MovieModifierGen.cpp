#include "General/CocoaMethod.h"
#include "InterfaceCommon/MovieModifier.h"
#include "Utilities/HcPropertyAppErr.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(MovieModifier, KsContextHelper, "MovieModifier")

void MovieModifier::MovieModifierClass::SetupProperties() {
  using M = MovieModifier;
  AddObjCInstanceMethods({
      CocoaMethod<&M::SaveMovie>("saveMovie", "i@:"),
      CocoaMethod<&M::OpenMovieForWrite>("openMovieForWrite", "i@:"),
      CocoaMethod<&M::OpenMovieForRead>("openMovieForRead", "i@:"),
      CocoaMethod<&M::CloseMovie>("closeMovie", "v@:"),
      CocoaMethod<&M::FlattenMovie>("flattenMovie", "i@:"),
  });
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<M, void*>::Create(self, M::kMovieId, kPointer, "Movie", false, &M::GetMoviePointer,
                                                    &M::SetMoviePointer));
  AddProperty(HcPropertyDirectGet<M, void*>::Create(self, M::kDataHandlerId, kPointer, "DataHandler", false,
                                                    &M::GetDataHandlerPointer, &M::SetDataHandlerPointer));
  AddProperty(HcPropertyAppErr<M, PWStringRef>::Create(self, M::kPathId, kString, "Path", true, &M::GetPath,
                                                       &M::SetPath));
  AddProperty(HcPropertyAppErr<M, PWStringRef>::Create(self, M::kURLId, kString, "URL", true, &M::GetURL,
                                                       &M::SetURL));
  AddProperty(HcPropertyDirectGet<M, uint32_t>::Create(self, M::kCreator4CCId, kUInt, "Creator4CC", true,
                                                       &M::GetCreator4CC, &M::SetCreator4CC));
}
