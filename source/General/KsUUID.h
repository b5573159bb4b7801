#pragma once

#include "platform/foundation/Uuid.h"

// The UUID value of model objects; null means "no UUID".
using KsUUID = hc::foundation::Uuid;
