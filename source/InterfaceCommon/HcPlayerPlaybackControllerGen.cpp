#include "InterfaceCommon/HcPlayerPlaybackController.h"

HC_DEFINE_CLASS(HcPlayerPlaybackController, HcPlaybackController, "HcPlayerPlaybackController")

// Its properties and bridged methods are the playback controller's.
void HcPlayerPlaybackController::HcPlayerPlaybackControllerClass::SetupProperties() {
  AddObjCInstanceMethods({});
  AddObjCClassMethods({});
}
