#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "General/CocoaBridge.h"
#include "General/KsPoint.h"
#include "General/KsSize.h"
#include "General/RefTempl.h"
#include "PWString.h"
#include "platform/runtime/Class.h"
#include "platform/runtime/Selector.h"
#include "platform/runtime/Value.h"

// Bridged methods of model classes: one run-time method entry per model
// operation, made from the operation itself. The entry steps from the
// receiver to its model object (held for the call), turns each argument box
// into the operation's parameter type (an object into its model object, nil
// or a foreign object into a null reference), calls the operation and boxes
// its result (an object as its run-time identity, nil for none).
//
//   CocoaMethod<&KsOperation::Task>("taskreport:", "i@:@")
//
// An operation whose arguments come in another order than the selector's, or
// that needs more than a plain call, is given as a function whose first
// parameter is the model object: +[](C& self, Args...) -> R { ... }.
// Class methods take a plain function without receiver: CocoaClassMethod<F>.

namespace cocoa_method {

namespace rt = hc::runtime;

template <class T>
struct IsKsRef : std::false_type {};
template <class T>
struct IsKsRef<KsRef<T>> : std::true_type {};

template <class T>
std::remove_cvref_t<T> FromValue(const rt::Value& value) {
  using V = std::remove_cvref_t<T>;
  if constexpr (std::is_same_v<V, bool>) return value.GetBool();
  else if constexpr (std::is_same_v<V, int32_t>) return value.GetInt();
  else if constexpr (std::is_same_v<V, uint32_t>) return value.GetUInt();
  else if constexpr (std::is_same_v<V, int64_t>) return value.GetInt64();
  else if constexpr (std::is_same_v<V, float>) return value.GetFloat();
  else if constexpr (std::is_same_v<V, double>) return value.GetDouble();
  else if constexpr (std::is_same_v<V, KsPointF>) return KsPointF{value.GetPoint().x, value.GetPoint().y};
  else if constexpr (std::is_same_v<V, KsSizeF>) return KsSizeF{value.GetSize().width, value.GetSize().height};
  else if constexpr (std::is_same_v<V, PWStringRef>) {
    return value.GetType() == rt::Value::Type::kString ? PWStringRef(value.GetString()) : PWStringRef();
  } else if constexpr (IsKsRef<V>::value) {
    return KsObjectFromCocoa(value.GetObject()).template DynamicCast<typename V::element_type>();
  } else if constexpr (std::is_pointer_v<V> && std::is_arithmetic_v<std::remove_pointer_t<V>>) {
    // A missing out-pointer gets a scratch slot: nothing is written through null.
    static thread_local std::remove_pointer_t<V> scratch{};
    auto* pointer = static_cast<V>(value.GetPointer().pointer);
    return pointer ? pointer : &scratch;
  } else if constexpr (std::is_pointer_v<V>) {
    return static_cast<V>(value.GetPointer().pointer);
  } else {
    static_assert(sizeof(V) == 0, "no conversion from a run-time value to this parameter type");
  }
}

template <class R>
rt::Value ToValue(R&& result) {
  using V = std::remove_cvref_t<R>;
  if constexpr (std::is_same_v<V, bool>) return rt::Value::Bool(result);
  else if constexpr (std::is_same_v<V, int32_t>) return rt::Value::Int(result);
  else if constexpr (std::is_same_v<V, uint32_t>) return rt::Value::UInt(result);
  else if constexpr (std::is_same_v<V, int64_t>) return rt::Value::Int64(result);
  else if constexpr (std::is_same_v<V, float>) return rt::Value::Float(result);
  else if constexpr (std::is_same_v<V, double>) return rt::Value::Double(result);
  else if constexpr (std::is_same_v<V, KsPointF>) return rt::Value::MakePoint({result.x, result.y});
  else if constexpr (std::is_same_v<V, KsSizeF>) return rt::Value::MakeSize({result.w, result.h});
  else if constexpr (std::is_same_v<V, PWStringRef>) {
    return result.IsNull() ? rt::Value::Nil() : rt::Value::String(std::string(result.View()));
  } else if constexpr (IsKsRef<V>::value) {
    if (!result) return rt::Value::Nil();
    rt::ObjectRef cocoa = GetCocoaObject(result.Get());
    return cocoa ? rt::Value::Object(std::move(cocoa)) : rt::Value::Nil();
  } else if constexpr (std::is_same_v<V, rt::Value>) {
    return std::forward<R>(result);
  } else {
    static_assert(sizeof(V) == 0, "no conversion of this result type to a run-time value");
  }
}

// What an operation is: its receiver class (void for a class method), its
// result and its parameters.
template <class F>
struct Operation;
template <class R, class C, class... A>
struct Operation<R (C::*)(A...)> {
  using Receiver = C;
  using Result = R;
  using Params = std::tuple<A...>;
};
template <class R, class C, class... A>
struct Operation<R (C::*)(A...) const> : Operation<R (C::*)(A...)> {};
template <class R, class C, class... A>
struct Operation<R (*)(C&, A...)> : Operation<R (C::*)(A...)> {};
// A class method: a plain function of the arguments alone.
template <class F>
struct ClassOperation;
template <class R, class... A>
struct ClassOperation<R (*)(A...)> {
  using Result = R;
  using Params = std::tuple<A...>;
};

template <auto F, class C, class... A, size_t... I>
decltype(auto) Call(C& self, [[maybe_unused]] std::span<const rt::Value> arguments, std::index_sequence<I...>) {
  if constexpr (std::is_member_function_pointer_v<decltype(F)>) {
    return (self.*F)(FromValue<A>(arguments[I])...);
  } else {
    return F(self, FromValue<A>(arguments[I])...);
  }
}

template <auto F, class... A, size_t... I>
decltype(auto) CallStatic([[maybe_unused]] std::span<const rt::Value> arguments, std::index_sequence<I...>) {
  return F(FromValue<A>(arguments[I])...);
}

template <auto F, class... A>
rt::RuntimeErr InstanceImp(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                           rt::Value& result) {
  using Op = Operation<decltype(F)>;
  using C = typename Op::Receiver;
  // The receiver's count is held for the whole call.
  KsRef<C> object = KsObjectFromCocoa(self).template DynamicCast<C>();
  if (!object) return rt::RuntimeErr::ArgumentMismatch;
  if constexpr (std::is_void_v<typename Op::Result>) {
    Call<F, C, A...>(*object, arguments, std::index_sequence_for<A...>{});
  } else {
    result = ToValue(Call<F, C, A...>(*object, arguments, std::index_sequence_for<A...>{}));
  }
  return rt::RuntimeErr::Ok;
}

template <auto F, class... A>
rt::RuntimeErr ClassImp(rt::Id, const rt::Method&, std::span<const rt::Value> arguments, rt::Value& result) {
  using Op = ClassOperation<decltype(F)>;
  if constexpr (std::is_void_v<typename Op::Result>) {
    CallStatic<F, A...>(arguments, std::index_sequence_for<A...>{});
  } else {
    result = ToValue(CallStatic<F, A...>(arguments, std::index_sequence_for<A...>{}));
  }
  return rt::RuntimeErr::Ok;
}

template <auto F, class Params>
struct ImpOf;
template <auto F, class... A>
struct ImpOf<F, std::tuple<A...>> {
  static constexpr rt::Imp kInstance = &InstanceImp<F, A...>;
};
template <auto F, class Params>
struct ClassImpOf;
template <auto F, class... A>
struct ClassImpOf<F, std::tuple<A...>> {
  static constexpr rt::Imp kClass = &ClassImp<F, A...>;
};

}  // namespace cocoa_method

template <auto F>
hc::runtime::Method CocoaMethod(const char* selector, const char* types) {
  using Params = typename cocoa_method::Operation<decltype(F)>::Params;
  return hc::runtime::Method{hc::runtime::RegisterSelector(selector), types,
                             cocoa_method::ImpOf<F, Params>::kInstance, {}};
}

template <auto F>
hc::runtime::Method CocoaClassMethod(const char* selector, const char* types) {
  using Params = typename cocoa_method::ClassOperation<decltype(F)>::Params;
  return hc::runtime::Method{hc::runtime::RegisterSelector(selector), types,
                             cocoa_method::ClassImpOf<F, Params>::kClass, {}};
}
