#include "General/KsSimpleCollection.h"

#include "General/KsValueWrapper.h"
#include "Utilities/HcIndexedSimpleProperty.h"

namespace {

// The descriptor of element `index` that wrapped access reads or writes through.
template <class T>
KsRef<HcProperty> MakeElementDescriptor(KsSimpleCollection<T>& collection, uint32_t index,
                                        typename HcIndexedSimpleProperty<KsSimpleCollection<T>, T>::Getter getter,
                                        typename HcIndexedSimpleProperty<KsSimpleCollection<T>, T>::Setter setter) {
  auto property = KsMakeRef<HcIndexedSimpleProperty<KsSimpleCollection<T>, T>>();
  property->SetupProperty(index, collection.GetClassObject(), collection.GetPropertyType(), "n", std::move(getter),
                          std::move(setter));
  return property;
}

}  // namespace

template <class T>
eAppErr KsSimpleCollection<T>::GetWrappedValueByIndex(uint32_t index, KsRef<KsValueWrapper>* value) {
  if (!value) return AppErr::kBadArgument;
  KsRef<HcProperty> property = MakeElementDescriptor<T>(
      *this, index, [](KsSimpleCollection& c, uint32_t i, T* out) { return c.GetByIndex(i, out); }, nullptr);
  // An index out of range still gives a wrapper, holding the zero value.
  *value = KsValueWrapper::CreateFromProperty(property, ThisRef());
  return AppErr::kNoErr;
}

template <class T>
eAppErr KsSimpleCollection<T>::SetWrappedValueAt(uint32_t index, const KsRef<KsValueWrapper>& value) {
  if (!value) return AppErr::kBadArgument;
  KsRef<HcProperty> property = MakeElementDescriptor<T>(
      *this, index, nullptr, [](KsSimpleCollection& c, uint32_t i, Param v) { return c.SetAt(i, v); });
  return value->ApplyToProperty(property, ThisRef());
}

template <class T>
eAppErr KsSimpleCollection<T>::InsertWrappedValueAt(uint32_t index, const KsRef<KsValueWrapper>& value) {
  if (!value) return AppErr::kBadArgument;
  KsRef<HcProperty> property = MakeElementDescriptor<T>(
      *this, index, nullptr, [](KsSimpleCollection& c, uint32_t i, Param v) { return c.InsertAt(i, v); });
  return value->ApplyToProperty(property, ThisRef());
}

template class KsSimpleCollection<int32_t>;
template class KsSimpleCollection<int64_t>;
template class KsSimpleCollection<float>;
template class KsSimpleCollection<double>;
template class KsSimpleCollection<KsPointF>;
