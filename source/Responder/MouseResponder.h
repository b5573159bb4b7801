#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/WeakRef.h"

class HcView;

// The base of every mouse responder: it belongs to one view, which it holds
// weakly (the view holds its responder). Events and their handling come with
// the responders themselves.
class MouseResponder : public KsObject {
  HC_CLASS_HEADER(MouseResponder)
 public:
  enum : int32_t { kViewId = 200 };

  MouseResponder();
  ~MouseResponder() override;

  // Stores the view's weak reference (none clears it); no change notice.
  virtual eAppErr SetView(const KsRef<HcView>& view);
  // The view while it lives, else empty.
  virtual KsRef<HcView> GetView() const;

 private:
  WeakRef::Ref m_view;
};
HC_CLASS_OBJECT(MouseResponder, KsObject)
