#include "Utilities/HcPropertyDesc.h"

#include "General/KsClassObject.h"
#include "Utilities/HcProperty.h"

HcPropertyDesc::HcPropertyDesc() = default;
HcPropertyDesc::~HcPropertyDesc() = default;

eAppErr HcPropertyDesc::SetProperty(const KsRef<HcProperty>& property) {
  m_property = property;
  return AppErr::kNoErr;
}

KsRef<HcProperty> HcPropertyDesc::GetProperty() const { return m_property; }

PWStringRef HcPropertyDesc::GetPropertyName() const { return m_property ? m_property->CopyName() : PWStringRef(); }

bool HcPropertyDesc::GetShouldSerialize() const { return m_property && m_property->GetShouldSerialize(); }

bool HcPropertyDesc::GetIsCollectionProperty() const { return m_property && m_property->GetIsCollectionProperty(); }

bool HcPropertyDesc::GetCanSet() const { return m_property && m_property->GetCanSet(); }

bool HcPropertyDesc::GetCanGet() const { return m_property && m_property->GetCanGet(); }

PWStringRef HcPropertyDesc::GetPropertyType() const {
  return m_property ? m_property->GetSchemaTypeName() : PWStringRef();
}

uint32_t HcPropertyDesc::GetPropertyID() const {
  return m_property ? static_cast<uint32_t>(m_property->GetPropertyID()) : 0;
}

PWStringRef HcPropertyDesc::GetExposingClass() const {
  KsRef<KsClassObject> exposing = m_property ? m_property->GetExposingClass() : KsRef<KsClassObject>();
  return exposing ? exposing->GetName() : PWStringRef();
}

PWStringRef HcPropertyDesc::GetPropertyTypeClassName() const {
  KsRef<KsClassObject> typeClass = m_property ? m_property->GetPropertyTypeClass() : KsRef<KsClassObject>();
  return typeClass ? typeClass->GetName() : PWStringRef();
}
