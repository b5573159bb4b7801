#include "PWCriticalRegion.h"

#include "PWPosixCriticalRegion.h"

PWCriticalRegion::Ref PWCriticalRegion::Create() { return KsMakeRef<PWPosixCriticalRegion>(); }
