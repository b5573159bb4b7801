#include "PWSemaphore.h"

#include "PWPosixSemaphore.h"

PWSemaphore::Ref PWSemaphore::Create() { return KsMakeRef<PWPosixSemaphore>(); }
