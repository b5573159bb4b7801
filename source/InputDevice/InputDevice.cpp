#include "InputDevice/InputDevice.h"

#include "Responder/ResponderContext.h"

InputDevice::InputDevice() = default;
InputDevice::~InputDevice() = default;

eAppErr InputDevice::Reset() { return AppErr::kNoErr; }

KsRef<KsObject> InputDevice::GetContext() const {
  KsRef<KsObject> context = m_context ? m_context->GetTargetAs<KsObject>() : KsRef<KsObject>();
  return ResponderContext::Of(context) ? context : KsRef<KsObject>();
}

eAppErr InputDevice::SetContext(const KsRef<KsObject>& context) {
  ResponderContext* newContext = ResponderContext::Of(context);
  if (context && !newContext) return KS_TRACE_ERR(AppErr::kBadArgument, "SetContext");
  DidChangeCaller change(this, kContextId);
  KsRef<KsObject> old = GetContext();
  if (old && old != context) {
    ResponderContext* oldContext = ResponderContext::Of(old);
    if (oldContext->GetInputDevice().Get() == this) oldContext->SetInputDevice(nullptr);
  }
  m_context = WeakRef::GetWeakRef(context.Get());
  if (newContext) newContext->SetInputDevice(KsRef<InputDevice>(this));
  return AppErr::kNoErr;
}
