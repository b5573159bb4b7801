#pragma once

#include <cstdint>

#include "General/KsSize.h"
#include "Source/QTBufferSource.h"

// The buffer an unwarp writes its picture into. It is a buffer source like
// any other, so the unwarped picture can be handed on; after an unwarp it
// carries the pixel format of the unwarped source and a copy of the output
// projection.
class OutputBuffer : public QTBufferSource {
  HC_CLASS_HEADER(OutputBuffer)
 public:
  OutputBuffer();
  ~OutputBuffer() override;

  using QTBufferSource::Initialize;
  // A new zero-filled buffer of that size (the buffer creation).
  eAppErr Initialize(KsSize<int> size);
};
HC_CLASS_OBJECT(OutputBuffer, QTBufferSource)
