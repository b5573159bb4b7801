#pragma once

#include "InterfaceCommon/HcPlaybackController.h"

// The playback controller a presentation names among its controller objects;
// the player's transport controls bind to it.
class HcPlayerPlaybackController : public HcPlaybackController {
  HC_CLASS_HEADER(HcPlayerPlaybackController)
 public:
  HcPlayerPlaybackController();
  ~HcPlayerPlaybackController() override;
};
HC_CLASS_OBJECT(HcPlayerPlaybackController, HcPlaybackController)
