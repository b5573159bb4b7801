#pragma once

// The pattern every model class follows: a nested class object `X::XClass`
// deriving from its parent's, and a static accessor `X::ClassGetClassObject()`
// that makes it once and registers it by its external name.
//
// In the class:            HC_CLASS_HEADER(X)
// After the class:         HC_CLASS_OBJECT(X, Parent)
//                          (or HC_CLASS_OBJECT_BEGIN … own members … HC_CLASS_OBJECT_END)
// In XGen.cpp:             HC_DEFINE_CLASS(X, Parent, "externalName")
//                          (HC_DEFINE_ABSTRACT_CLASS for abstract classes)
//                          void X::XClass::SetupProperties() { AddProperty(…); … }

#include <atomic>

#include "General/HcClassMap.h"
#include "General/KsClassObject.h"
#include "KsTrace.h"

#define HC_CLASS_HEADER(X)                                  \
 public:                                                    \
  class X##Class;                                           \
  using Ref = KsRef<X>;                                     \
  static KsRef<KsClassObject> ClassGetClassObject();        \
  KsRef<KsClassObject> GetClassObject() const override;     \
                                                            \
 private:

#define HC_CLASS_OBJECT_BEGIN(X, Parent)                                                          \
  class X::X##Class : public Parent::Parent##Class {                                              \
   public:                                                                                        \
    PWStringRef GetName() const override;                                                         \
    const char* GetImplName() const override;                                                     \
    KsRef<KsClassObject> GetParentClass() const override;                                         \
    bool IsAbstract() const override;                                                             \
    void CreateObject(KsRef<KsObject>& object) override;                                          \
    eAppErr TraverseProperties(KsObject* object, PropertyTraverser* traverser,                    \
                               bool includeNonSerialized) override;                               \
                                                                                                  \
   protected:                                                                                     \
    void SetupProperties() override;

#define HC_CLASS_OBJECT_END \
  }                         \
  ;

#define HC_CLASS_OBJECT(X, Parent) HC_CLASS_OBJECT_BEGIN(X, Parent) HC_CLASS_OBJECT_END

#define HC_DEFINE_CLASS_COMMON(X, Parent, ExternalName, Abstract)                                       \
  KsRef<KsClassObject> X::ClassGetClassObject() {                                                       \
    static std::atomic<KsClassObject*> slot{nullptr};                                                   \
    return HcClassMap::ObtainClassObject(slot, []() -> KsClassObject* { return new X::X##Class(); });    \
  }                                                                                                     \
  KsRef<KsClassObject> X::GetClassObject() const { return X::ClassGetClassObject(); }                   \
  PWStringRef X::X##Class::GetName() const {                                                            \
    static const PWStringRef name(ExternalName);                                                        \
    return name;                                                                                        \
  }                                                                                                     \
  const char* X::X##Class::GetImplName() const { return #X; }                                           \
  KsRef<KsClassObject> X::X##Class::GetParentClass() const { return Parent::ClassGetClassObject(); }    \
  bool X::X##Class::IsAbstract() const { return Abstract; }                                             \
  eAppErr X::X##Class::TraverseProperties(KsObject* object, PropertyTraverser* traverser,               \
                                          bool includeNonSerialized) {                                  \
    if (!dynamic_cast<X*>(object)) return KS_TRACE_ERR(AppErr::kNotReady, "TraverseProperties");        \
    return Parent::Parent##Class::TraverseProperties(object, traverser, includeNonSerialized);          \
  }

#define HC_DEFINE_CLASS(X, Parent, ExternalName)                 \
  HC_DEFINE_CLASS_COMMON(X, Parent, ExternalName, false)         \
  void X::X##Class::CreateObject(KsRef<KsObject>& object) {      \
    object = KsRef<KsObject>::Adopt(new X());                    \
  }

#define HC_DEFINE_ABSTRACT_CLASS(X, Parent, ExternalName)                    \
  HC_DEFINE_CLASS_COMMON(X, Parent, ExternalName, true)                      \
  void X::X##Class::CreateObject(KsRef<KsObject>& object) { object = nullptr; }
