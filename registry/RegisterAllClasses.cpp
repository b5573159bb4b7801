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
#include "Utilities/Chameleon.h"
#include "Utilities/HcPathResolver.h"
#include "Utilities/HcPropertyBinding.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyDesc.h"
#include "Utilities/HcPropertyDescCollection.h"
#include "Utilities/HcWeakPropertyBinding.h"
#include "Utilities/LocalPathResolver.h"
#include "Utilities/ObjectReference.h"
#include "Utilities/PathResolver.h"
#include "Utilities/PropertyBindingCollection.h"
#include "Utilities/ProxyDescWriter.h"
#include "Utilities/ReferenceBase.h"
#include "Utilities/SchemaWriter.h"

namespace {

using Accessor = KsRef<KsClassObject> (*)();

// Every class built so far, in alphabetical order of the class names.
constexpr Accessor kAccessors[] = {
    &Chameleon::ClassGetClassObject,
    &DoubleCollection::ClassGetClassObject,
    &FloatCollection::ClassGetClassObject,
    &HcPathResolver::ClassGetClassObject,
    &HcPropertyBinding::ClassGetClassObject,
    &HcPropertyBindingBase::ClassGetClassObject,
    &HcPropertyDesc::ClassGetClassObject,
    &HcPropertyDescCollection::ClassGetClassObject,
    &HcWeakPropertyBinding::ClassGetClassObject,
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
    &LocalPathResolver::ClassGetClassObject,
    &ObjectCollection::ClassGetClassObject,
    &ObjectReference::ClassGetClassObject,
    &PathResolver::ClassGetClassObject,
    &PointFCollection::ClassGetClassObject,
    &PropertyBindingCollection::ClassGetClassObject,
    &ProxyDescWriter::ClassGetClassObject,
    &ReferenceBase::ClassGetClassObject,
    &SchemaWriter::ClassGetClassObject,
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
