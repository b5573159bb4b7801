#include "QuickTime/QTMovieArbiter.h"
#include "QuickTime/QTMovieToken.h"
#include "Source/QTMovieTrackSource.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(QTMovieTrackSource, QTMovieSource, "QTMovieTrackSource")

void QTMovieTrackSource::QTMovieTrackSourceClass::SetupProperties() {
  using namespace KsPropertyType;
  using S = QTMovieTrackSource;
  AddProperty(HcPropertyDirectGet<S, uint32_t>::Create(ThisRef(), kTrackIDId, kUInt, "TrackID", true, &S::GetTrackID,
                                                       &S::SetTrackID));
}
