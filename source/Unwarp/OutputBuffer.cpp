#include "Unwarp/OutputBuffer.h"

OutputBuffer::OutputBuffer() = default;

OutputBuffer::~OutputBuffer() = default;

eAppErr OutputBuffer::Initialize(KsSize<int> size) { return Initialize(size.w, size.h); }
