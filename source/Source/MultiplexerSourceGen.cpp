#include "Source/MultiplexerSource.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(MultiplexerSource, PanoSource, "MultiplexerSource")

void MultiplexerSource::MultiplexerSourceClass::SetupProperties() {
  using S = MultiplexerSource;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<S, SourceCollection>::Create(self, kSourceListId, "SourceList", true,
                                                                     &S::GetSourceList, &S::SetSourceList));
  AddProperty(HcPropertyObjectDirectGet<S, PanoSource>::Create(self, kActiveSourceId, "ActiveSource", false,
                                                               &S::GetActiveSource, &S::SetActiveSource));
}
