#include "RegisterAllClasses.h"

#include "General/DoubleCollection.h"
#include "General/FloatCollection.h"
#include "General/HcClassMap.h"
#include "General/Int64Collection.h"
#include "General/IntCollection.h"
#include "General/KsData.h"
#include "General/KsDataCollection.h"
#include "General/KsObject.h"
#include "General/KsObjectCollectionBase.h"
#include "General/KsPropertyChangeDescription.h"
#include "General/KsSimpleCollectionBase.h"
#include "General/KsStringCollection.h"
#include "General/KsValueWrapper.h"
#include "General/ObjectCollection.h"
#include "General/PointFCollection.h"
#include "General/StringStringTuple.h"
#include "General/StringToStringLookupTable.h"
#include "General/StringTupleCollection.h"

namespace {

using Accessor = KsRef<KsClassObject> (*)();

// Every class built so far, in alphabetical order of the class names.
constexpr Accessor kAccessors[] = {
    &DoubleCollection::ClassGetClassObject,
    &FloatCollection::ClassGetClassObject,
    &Int64Collection::ClassGetClassObject,
    &IntCollection::ClassGetClassObject,
    &KsData::ClassGetClassObject,
    &KsDataCollection::ClassGetClassObject,
    &KsObject::ClassGetClassObject,
    &KsObjectCollectionBase::ClassGetClassObject,
    &KsPropertyChangeDescription::ClassGetClassObject,
    &KsSimpleCollectionBase::ClassGetClassObject,
    &KsStringCollection::ClassGetClassObject,
    &KsValueWrapper::ClassGetClassObject,
    &ObjectCollection::ClassGetClassObject,
    &PointFCollection::ClassGetClassObject,
    &StringStringTuple::ClassGetClassObject,
    &StringToStringLookupTable::ClassGetClassObject,
    &StringTupleCollection::ClassGetClassObject,
};

}  // namespace

void RegisterAllClasses() {
  for (Accessor accessor : kAccessors) {
    KsRef<KsClassObject> classObject = accessor();
    HcClassMap::RegisterClassObject(classObject);
    // Property tables are built here, on one thread, before anybody looks.
    if (classObject) classObject->EnsurePropertiesSetUp();
  }
}
