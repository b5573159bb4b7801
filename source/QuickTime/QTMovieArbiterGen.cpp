#include "General/CocoaMethod.h"
#include "QuickTime/QTMovieArbiter.h"
#include "QuickTime/QTMovieToken.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(QTMovieArbiter, KsObject, "QTMovieArbiter")

void QTMovieArbiter::QTMovieArbiterClass::SetupProperties() {
  using A = QTMovieArbiter;
  AddObjCInstanceMethods({
      CocoaMethod<&A::CreateMovieAtPath>("createMovieAtPathpath:makeActive:", "i@:@B"),
      CocoaMethod<&A::CreateMovieInMemory>("createMovieInMemorymakeActive:", "i@:B"),
      CocoaMethod<&A::OpenMovieAtPath>("openMovieAtPathpath:makeActive:", "i@:@B"),
      CocoaMethod<&A::WaitForToken>("waitForMovieTokentimeout:", "@@:i"),
  });
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<A, void*>::Create(self, kQuickTimeMovieId, kPointer, "QuickTimeMovie", true, nullptr,
                                                    &A::SetQuickTimeMovie));
  AddProperty(HcPropertyDirectGet<A, bool>::Create(self, kOwnMovieId, kBool, "OwnMovie", true, &A::GetOwnMovie,
                                                   &A::SetOwnMovie));
  AddProperty(HcPropertyDirectGet<A, bool>::Create(self, kAttachesToThreadId, kBool, "AttachesToThread", true,
                                                   &A::GetAttachesToThread, &A::SetAttachesToThread));
  AddProperty(HcPropertyObjectDirectGet<A, KsObject>::Create(self, kClockId, "Clock", false, &A::GetClock, nullptr));
}
