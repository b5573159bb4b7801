#include "Source/QTStillImageSource.h"
#include "Utilities/HcPropertyAppErr.h"

HC_DEFINE_CLASS(QTStillImageSource, QTBufferSource, "QTStillImageSource")

void QTStillImageSource::QTStillImageSourceClass::SetupProperties() {
  using namespace KsPropertyType;
  using S = QTStillImageSource;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyAppErr<S, PWStringRef>::Create(self, kPathId, kString, "Path", true, &S::GetPath,
                                                       &S::SetPath));
  AddProperty(HcPropertyAppErr<S, PWStringRef>::Create(self, kURLId, kString, "URL", true, &S::GetURL, &S::SetURL));
}
