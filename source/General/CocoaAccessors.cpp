#include "General/CocoaAccessors.h"

#include <string>

#include "General/CocoaBridge.h"
#include "General/KsObjectCollectionBase.h"
#include "General/KsSimpleCollectionBase.h"
#include "Utilities/HcProperty.h"
#include "Utilities/KsPropertyType.h"
#include "platform/runtime/MessageSend.h"

namespace rt = hc::runtime;

KsRef<HcProperty> LookUpPropertyForSelector(KsClassObject* classObject, rt::Selector selector) {
  if (!classObject) return {};
  const std::string& name = rt::SelectorName(selector);
  // Only a one-argument "set…:" is a setter, so a getter such as "settings"
  // keeps its own name.
  const bool isSetter = name.size() > 4 && name.starts_with("set") && name.back() == ':' &&
                        rt::SelectorArity(selector) == 1;
  PWStringRef propertyName =
      isSetter ? PWStringRef(name.substr(3, name.size() - 4)) : CapitalizeFirstLetter(PWStringRef(name));
  return classObject->FindProperty(propertyName);
}

KsRef<HcProperty> PropertyForSelector(rt::Id self, rt::Selector selector, KsRef<KsObject>& object) {
  object = KsObjectFromCocoa(self);
  if (!object) return {};
  return object->GetClassObject()->ObjC_GetPropertyForSelector(selector);
}

namespace {

template <class T>
T Read(HcProperty* property, KsObject* object) {
  T value{};
  if (AppErrFailed(property->GetValue(object, &value))) return T{};
  return value;
}

}  // namespace

rt::Value CocoaValueFromProperty(HcProperty* property, KsObject* object) {
  if (!property || !object) return rt::Value::Nil();
  switch (property->GetPropertyType()) {
    case KsPropertyType::kFloat: return rt::Value::Float(Read<float>(property, object));
    case KsPropertyType::kInt: return rt::Value::Int(Read<int32_t>(property, object));
    case KsPropertyType::kUInt: return rt::Value::UInt(Read<uint32_t>(property, object));
    case KsPropertyType::kBool: return rt::Value::Bool(Read<bool>(property, object));
    case KsPropertyType::kDouble: return rt::Value::Double(Read<double>(property, object));
    case KsPropertyType::kInt64: return rt::Value::Int64(Read<int64_t>(property, object));
    case KsPropertyType::kPointer: return rt::Value::Pointer(Read<void*>(property, object));
    case KsPropertyType::kPoint: {
      const auto p = Read<KsPointF>(property, object);
      return rt::Value::MakePoint({p.x, p.y});
    }
    case KsPropertyType::kSize: {
      const auto s = Read<KsSizeF>(property, object);
      return rt::Value::MakeSize({s.w, s.h});
    }
    case KsPropertyType::kRect: {
      const auto r = Read<KsRectF>(property, object);
      return rt::Value::MakeRect({{r.x, r.y}, {r.w, r.h}});
    }
    case KsPropertyType::kColor: {
      const auto c = Read<KsColorF>(property, object);
      return rt::Value::MakeColor({c.r, c.g, c.b, c.a});
    }
    case KsPropertyType::kString: {
      const auto text = Read<PWStringRef>(property, object);
      // A copy: later changes of the property leave it alone.
      return text.IsNull() ? rt::Value::Nil() : rt::Value::String(std::string(text.View()));
    }
    case KsPropertyType::kObject: {
      const auto value = Read<KsRef<KsObject>>(property, object);
      return value ? rt::Value::Object(GetCocoaObject(value.Get())) : rt::Value::Nil();
    }
    case KsPropertyType::kPropertyList: {
      const auto plist = Read<KsPropertyList>(property, object);
      return plist ? rt::Value::PropertyList(plist.Value()) : rt::Value::Nil();
    }
    default: return rt::Value::Nil();
  }
}

eAppErr SetPropertyFromCocoaValue(HcProperty* property, KsObject* object, const rt::Value& value) {
  if (!property || !object) return AppErr::kBadArgument;
  using VT = rt::Value::Type;
  switch (property->GetPropertyType()) {
    case KsPropertyType::kFloat: return property->SetValue(object, value.FloatValue());
    case KsPropertyType::kInt: return property->SetValue(object, value.IntValue());
    case KsPropertyType::kUInt: return property->SetValue(object, value.UnsignedIntValue());
    case KsPropertyType::kBool: return property->SetValue(object, value.BoolValue());
    case KsPropertyType::kDouble: return property->SetValue(object, value.DoubleValue());
    case KsPropertyType::kInt64: return property->SetValue(object, value.LongLongValue());
    case KsPropertyType::kPointer: return property->SetValue(object, value.GetPointer().pointer);
    case KsPropertyType::kPoint: {
      const rt::Point p = value.GetPoint();
      return property->SetValue(object, KsPointF{p.x, p.y});
    }
    case KsPropertyType::kSize: {
      const rt::Size s = value.GetSize();
      return property->SetValue(object, KsSizeF{s.width, s.height});
    }
    case KsPropertyType::kRect: {
      const rt::Rect r = value.GetRect();
      return property->SetValue(object, KsRectF(r.origin.x, r.origin.y, r.size.width, r.size.height));
    }
    case KsPropertyType::kColor: {
      // Anything but a colour leaves the property as it is.
      if (value.GetType() != VT::kColor) return AppErr::kBadArgument;
      const rt::Color c = value.GetColor();
      return property->SetValue(object, KsColorF{c.red, c.green, c.blue, c.alpha});
    }
    case KsPropertyType::kString:
      if (value.IsNil()) return property->SetValue(object, PWStringRef());
      if (value.GetType() != VT::kString) return AppErr::kBadArgument;
      return property->SetValue(object, PWStringRef(value.GetString()));
    case KsPropertyType::kObject: {
      if (value.IsNil()) return property->SetValue(object, KsRef<KsObject>());
      KsRef<KsObject> model = KsObjectFromCocoa(value.GetObject());
      if (!model) return AppErr::kBadArgument;
      return property->SetValue(object, model);
    }
    case KsPropertyType::kPropertyList:
      // Only a property-list box is one; a number sets nothing.
      if (value.GetType() != VT::kPropertyList && !value.IsNil()) return AppErr::kBadArgument;
      return property->SetValue(object, KsPropertyList(value.GetPropertyList()));
    default: return AppErr::kUnsupportedType;
  }
}

rt::RuntimeErr TypedGetterImp(rt::Id self, const rt::Method& method, std::span<const rt::Value>,
                              rt::Value& result) {
  KsRef<KsObject> object;
  KsRef<HcProperty> property = PropertyForSelector(self, method.selector, object);
  if (!property) return rt::RuntimeErr::UndefinedKey;
  result = CocoaValueFromProperty(property.Get(), object.Get());
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr TypedSetterImp(rt::Id self, const rt::Method& method, std::span<const rt::Value> arguments,
                              rt::Value&) {
  KsRef<KsObject> object;
  KsRef<HcProperty> property = PropertyForSelector(self, method.selector, object);
  if (!property) return rt::RuntimeErr::UndefinedKey;
  // The property's own refusal is traced there; an object that is no model
  // object is the caller's error.
  const eAppErr err = SetPropertyFromCocoaValue(property.Get(), object.Get(), arguments[0]);
  if (err == AppErr::kBadArgument && property->GetPropertyType() == KsPropertyType::kObject) {
    return rt::RuntimeErr::ArgumentMismatch;
  }
  return rt::RuntimeErr::Ok;
}

namespace {

struct CollectionOf {
  KsRef<KsObjectCollectionBase> objects;
  KsRef<KsSimpleCollectionBase> values;
  uint32_t Count() const {
    if (objects) return objects->GetCount();
    return values ? values->GetCount() : 0;
  }
};

CollectionOf FindCollectionForSelector(rt::Id self, rt::Selector selector) {
  KsRef<KsObject> object;
  KsRef<HcProperty> property = PropertyForSelector(self, selector, object);
  CollectionOf found;
  if (!property || property->GetPropertyType() != KsPropertyType::kObject) return found;
  KsRef<KsObject> value;
  if (AppErrFailed(property->GetValue(object.Get(), &value)) || !value) return found;
  found.objects = value.DynamicCast<KsObjectCollectionBase>();
  found.values = value.DynamicCast<KsSimpleCollectionBase>();
  return found;
}

// The action property of a value collection ("3" reads and replaces element
// 3, "+3" inserts before it).
KsRef<HcProperty> ElementProperty(KsSimpleCollectionBase* values, const char* prefix, uint32_t index) {
  return values->GetClassObject()->FindProperty(PWStringRef(std::string(prefix) + std::to_string(index)));
}

rt::Value ElementValue(const CollectionOf& collection, uint32_t index) {
  if (collection.objects) {
    KsRef<KsObject> element;
    if (AppErrFailed(collection.objects->GetObjectByIndex(index, &element)) || !element) return rt::Value::Nil();
    return rt::Value::Object(GetCocoaObject(element.Get()));
  }
  if (!collection.values) return rt::Value::Nil();
  KsRef<HcProperty> element = ElementProperty(collection.values.Get(), "", index);
  return element ? CocoaValueFromProperty(element.Get(), collection.values.Get()) : rt::Value::Nil();
}

enum class CollectionAccessor { kCount, kObjectAt, kInsert, kReplace, kRemoveAt, kRemoveObject, kArray };

CollectionAccessor AccessorOf(const std::string& name) {
  if (name.starts_with("countOf")) return CollectionAccessor::kCount;
  if (name.starts_with("objectIn")) return CollectionAccessor::kObjectAt;
  if (name.starts_with("insertObject:in")) return CollectionAccessor::kInsert;
  if (name.starts_with("replaceObjectIn")) return CollectionAccessor::kReplace;
  if (name.starts_with("arrayOf")) return CollectionAccessor::kArray;
  return name.ends_with("AtIndex:") ? CollectionAccessor::kRemoveAt : CollectionAccessor::kRemoveObject;
}

rt::Value ArrayOf(const CollectionOf& collection) {
  rt::ValueArray elements;
  const uint32_t count = collection.Count();
  elements.reserve(count);
  for (uint32_t index = 0; index < count; ++index) {
    rt::Value element = ElementValue(collection, index);
    if (!element.IsNil()) elements.push_back(std::move(element));
  }
  return rt::Value::Array(std::move(elements));
}

KsRef<KsObject> ModelArgument(const rt::Value& value) { return KsObjectFromCocoa(value.GetObject()); }

}  // namespace

rt::RuntimeErr CollectionAccessorImp(rt::Id self, const rt::Method& method, std::span<const rt::Value> arguments,
                                     rt::Value& result) {
  const CollectionAccessor accessor = AccessorOf(rt::SelectorName(method.selector));
  const CollectionOf collection = FindCollectionForSelector(self, method.selector);
  switch (accessor) {
    case CollectionAccessor::kCount: result = rt::Value::UInt(collection.Count()); break;
    case CollectionAccessor::kObjectAt: result = ElementValue(collection, arguments[0].GetUInt()); break;
    case CollectionAccessor::kArray: result = ArrayOf(collection); break;
    case CollectionAccessor::kInsert: {
      const uint32_t index = arguments[1].GetUInt();
      if (collection.objects) {
        collection.objects->InsertObjectAt(index, ModelArgument(arguments[0]));
      } else if (collection.values) {
        if (auto element = ElementProperty(collection.values.Get(), "+", index)) {
          SetPropertyFromCocoaValue(element.Get(), collection.values.Get(), arguments[0]);
        }
      }
      break;
    }
    case CollectionAccessor::kReplace: {
      const uint32_t index = arguments[0].GetUInt();
      if (collection.objects) {
        collection.objects->SetObjectAt(index, ModelArgument(arguments[1]));
      } else if (collection.values) {
        if (auto element = ElementProperty(collection.values.Get(), "", index)) {
          SetPropertyFromCocoaValue(element.Get(), collection.values.Get(), arguments[1]);
        }
      }
      break;
    }
    case CollectionAccessor::kRemoveAt:
      if (collection.objects) {
        collection.objects->RemoveAt(arguments[0].GetUInt());
      } else if (collection.values) {
        collection.values->RemoveAt(arguments[0].GetUInt());
      }
      break;
    case CollectionAccessor::kRemoveObject:
      if (collection.objects) collection.objects->RemoveObject(ModelArgument(arguments[0]));
      break;
  }
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr PropertyValueForKeyImp(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                      rt::Value& result) {
  KsRef<KsObject> object = KsObjectFromCocoa(self);
  result = rt::Value::Nil();
  if (!object) return rt::RuntimeErr::Ok;
  KsRef<HcProperty> property =
      object->GetClassObject()->FindProperty(CapitalizeFirstLetter(PWStringRef(arguments[0].GetString())));
  if (property) result = CocoaValueFromProperty(property.Get(), object.Get());
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr SetPropertyToValueImp(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                     rt::Value&) {
  KsRef<KsObject> object = KsObjectFromCocoa(self);
  if (!object) return rt::RuntimeErr::Ok;
  KsRef<HcProperty> property =
      object->GetClassObject()->FindProperty(CapitalizeFirstLetter(PWStringRef(arguments[0].GetString())));
  if (property) SetPropertyFromCocoaValue(property.Get(), object.Get(), arguments[1]);
  return rt::RuntimeErr::Ok;
}
