#include "General/CocoaMethod.h"
#include "QuickTime/QTMovieArbiter.h"
#include "QuickTime/QTMovieToken.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(QTMovieToken, KsObject, "QTMovieToken")

void QTMovieToken::QTMovieTokenClass::SetupProperties() {
  using T = QTMovieToken;
  AddObjCInstanceMethods({
      CocoaMethod<&T::AttachMovieToCurrentThread>("attachMovieToCurrentThread", "i@:"),
      CocoaMethod<&T::DetachMovieFromCurrentThread>("detachMovieFromCurrentThread", "i@:"),
      CocoaMethod<&T::UpdateMovieInStorage>("updateMovieInStorage", "i@:"),
  });
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<T, QTMovieArbiter>::Create(self, kArbiterId, "Arbiter", true, &T::GetArbiter,
                                                                   &T::SetArbiter));
  AddProperty(HcPropertyDirectGet<T, bool>::Create(self, kAttachesToThreadId, kBool, "AttachesToThread", true,
                                                   &T::GetAttachesToThread, &T::SetAttachesToThread));
}
