#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/WeakRef.h"

class HcView;

// The plain keyboard responder and the base of every other: it belongs to
// one view, which it holds weakly.
class KeyboardResponder : public KsObject {
  HC_CLASS_HEADER(KeyboardResponder)
 public:
  KeyboardResponder();
  ~KeyboardResponder() override;

  virtual eAppErr SetView(const KsRef<HcView>& view);
  virtual KsRef<HcView> GetView() const;

 private:
  WeakRef::Ref m_view;
};
HC_CLASS_OBJECT(KeyboardResponder, KsObject)
