#pragma once

#include "General/KsObject.h"

// What a scene asks of the view helper that draws it. The view helper class
// implements it beside its own base; the scene holds its helper as a model
// object and reaches this face of it through ContextViewHelper::Of.
class ContextViewHelper {
 public:
  virtual ~ContextViewHelper() = default;

  // The face of a model object that is a view helper, or null.
  static ContextViewHelper* Of(KsObject* object) { return dynamic_cast<ContextViewHelper*>(object); }
  static ContextViewHelper* Of(const KsRef<KsObject>& object) { return Of(object.Get()); }

  // Frees the helper's drawing resources (buffer objects, textures, its
  // renderer's GL objects). The caller has made the helper's OpenGL context
  // current.
  virtual void ReleaseGLResources() = 0;
};
