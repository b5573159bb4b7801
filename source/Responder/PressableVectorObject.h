#pragma once

#include "General/KsObject.h"

// A vector object that acts on the pointer by itself (a glyph button
// implements it): pressed, released (a button fires its own action when it
// is released over itself), entered and exited.
class PressableVectorObject {
 public:
  virtual ~PressableVectorObject() = default;

  static PressableVectorObject* Of(KsObject* object) { return dynamic_cast<PressableVectorObject*>(object); }

  virtual void MouseDown() = 0;
  virtual void MouseUp() = 0;
  virtual void CursorEntered() = 0;
  virtual void CursorExited() = 0;
};
