#pragma once

#include "PWString.h"
#include "Responder/RadioButtonArray.h"

// The radio buttons of a bar that switches the scene's layout: button i
// stands for the viewset named by entry i of ViewsetNames. Selecting it
// loads that viewset's view HcML into the context at PseudoRoot, points the
// context's view proxy at the new main view and carries the look direction
// and field of view over from the old main view, so the user keeps looking
// the same way. A switch that fails (no context, no such viewset, no view
// HcML, a load or proxy that fails) leaves the current button as it was.
class ViewsetSelectorResponder : public RadioButtonArray {
  HC_CLASS_HEADER(ViewsetSelectorResponder)
 public:
  enum : int32_t { kContextId = 400, kViewsetNamesId = 401, kPseudoRootId = 402 };

  ViewsetSelectorResponder();
  ~ViewsetSelectorResponder() override;

  bool ButtonSelected(uint32_t index) override;

  // The context (a ResponderContext) while it lives; held weakly. Setting an
  // object that is no context gives -2.
  KsRef<KsObject> GetContext() const;
  eAppErr SetContext(const KsRef<KsObject>& context);
  KsRef<KsStringCollection> GetViewsetNames() const;
  eAppErr SetViewsetNames(const KsRef<KsStringCollection>& names);
  PWStringRef GetPseudoRoot() const { return m_pseudoRoot; }
  eAppErr SetPseudoRoot(const PWStringRef& root);

 private:
  WeakRef::Ref m_context;
  KsRef<KsStringCollection> m_viewsetNames;
  PWStringRef m_pseudoRoot{"hc://View"};
};
HC_CLASS_OBJECT(ViewsetSelectorResponder, RadioButtonArray)
