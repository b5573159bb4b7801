#include "InterfaceCommon/HcPlayerPlaybackController.h"

HcPlayerPlaybackController::HcPlayerPlaybackController() = default;
HcPlayerPlaybackController::~HcPlayerPlaybackController() = default;
