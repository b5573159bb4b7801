#include "QuickTime/QTMovieArbiter.h"
#include "QuickTime/QTMovieToken.h"
#include "QuickTime/QTMovieArbiter.h"
#include "Source/QTMovieSource.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(QTMovieSource, PanoSource, "QTMovieSource")

void QTMovieSource::QTMovieSourceClass::SetupProperties() {
  using S = QTMovieSource;
  AddProperty(HcPropertyObjectDirectGet<S, QTMovieArbiter>::Create(ThisRef(), kMovieArbId, "MovieArb", false,
                                                                   &S::GetMovieArb, &S::SetMovieArb));
}
