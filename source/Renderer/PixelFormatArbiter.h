#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/WeakRef.h"

class PanoSource;
class PanoRenderer;

// Decides the pixel format a source hands its frames to the renderer in:
// 32-bit ARGB for frames with alpha, else YUV 4:2:2 ('2vuy'), each only when
// the renderer (if one is known) takes it; otherwise the first format of the
// renderer's list the source can take. Source and renderer are held weakly.
class PixelFormatArbiter : public KsObject {
  HC_CLASS_HEADER(PixelFormatArbiter)
 public:
  enum : int32_t { kSourceId = 200, kRendererId = 201, kSourcePixelFormatId = 202 };

  PixelFormatArbiter();
  ~PixelFormatArbiter() override;

  virtual uint32_t GetSourcePixelFormat();

  eAppErr SetSource(const KsRef<PanoSource>& source);
  eAppErr SetRenderer(const KsRef<PanoRenderer>& renderer);
  KsRef<PanoSource> GetSource() const;
  KsRef<PanoRenderer> GetRenderer() const;

 private:
  WeakRef::Ref m_renderer;
  WeakRef::Ref m_source;
};
HC_CLASS_OBJECT(PixelFormatArbiter, KsObject)
