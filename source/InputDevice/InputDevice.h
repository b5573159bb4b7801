#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/WeakRef.h"

// The base of polled input devices: attached to one scene (its Context, a
// ResponderContext held weakly), asked once per display refresh to read the
// hardware and write the result into the scene. The scene holds its device
// weakly too: whoever made the device keeps it alive.
//
// Update answers 0 when something was applied, 2 when there was nothing to
// do, negative on failure. Update and Reset run on the display-link thread
// under the renderer's draw lock; SetContext on the main thread.
class InputDevice : public KsObject {
  HC_CLASS_HEADER(InputDevice)
 public:
  enum : int32_t { kContextId = 200 };
  static constexpr eAppErr kNothingDone = 2;

  InputDevice();
  ~InputDevice() override;

  virtual eAppErr Update() = 0;
  // Re-centres the device; the base does nothing.
  virtual eAppErr Reset();

  // The context while it lives and is a scene, else none.
  KsRef<KsObject> GetContext() const;
  // Detaches from a different old context, attaches to the new one (which
  // then holds this device as its input device). -2 for an object that is
  // no scene.
  eAppErr SetContext(const KsRef<KsObject>& context);

 private:
  WeakRef::Ref m_context;
};
HC_CLASS_OBJECT(InputDevice, KsObject)
