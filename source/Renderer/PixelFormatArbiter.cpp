#include "Renderer/PixelFormatArbiter.h"

#include "Renderer/PanoRenderer.h"
#include "Source/PanoSource.h"
#include "Source/PixelFormatInfo.h"

namespace {

bool ListHas(const uint32_t* list, uint32_t code) {
  for (; list && *list != 0; ++list) {
    if (*list == code) return true;
  }
  return false;
}

}  // namespace

PixelFormatArbiter::PixelFormatArbiter() = default;
PixelFormatArbiter::~PixelFormatArbiter() = default;

eAppErr PixelFormatArbiter::SetSource(const KsRef<PanoSource>& source) {
  m_source = WeakRef::GetWeakRef(source.Get());
  return AppErr::kNoErr;
}

eAppErr PixelFormatArbiter::SetRenderer(const KsRef<PanoRenderer>& renderer) {
  m_renderer = WeakRef::GetWeakRef(renderer.Get());
  return AppErr::kNoErr;
}

KsRef<PanoSource> PixelFormatArbiter::GetSource() const {
  return m_source ? m_source->GetTargetAs<PanoSource>() : KsRef<PanoSource>();
}

KsRef<PanoRenderer> PixelFormatArbiter::GetRenderer() const {
  return m_renderer ? m_renderer->GetTargetAs<PanoRenderer>() : KsRef<PanoRenderer>();
}

uint32_t PixelFormatArbiter::GetSourcePixelFormat() {
  KsRef<PanoSource> source = GetSource();
  const bool hasAlpha = source && source->GetHasAlpha();
  const uint32_t preferred = hasAlpha ? PixelFormatInfo::k32ARGB : PixelFormatInfo::k2vuy;
  KsRef<PanoRenderer> renderer = GetRenderer();
  if (!renderer) return preferred;
  const uint32_t* supported = renderer->GetSupportedPixelFormats();
  if (ListHas(supported, preferred)) return preferred;
  for (const uint32_t* code = supported; code && *code != 0; ++code) {
    const PixelFormatInfo* info = PixelFormatInfo::Find(*code);
    if (info && !(hasAlpha && info->IsYUV())) return *code;
  }
  return preferred;
}
