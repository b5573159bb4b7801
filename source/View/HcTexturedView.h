#pragma once

#include <cstdint>

#include "View/HcView.h"

class PanoSource;
class HcTextureSet;

// The abstract view that shows one panoramic source. Its Draw step fetches
// the texture set of the source's current frame and keeps it for the
// subclass that draws it. From the start of a Draw until one ends with a
// texture set the view is not ready, and the hit test passes it by.
class HcTexturedView : public HcView {
  HC_CLASS_HEADER(HcTexturedView)
 public:
  enum : int32_t { kSourceId = 300 };

  HcTexturedView();
  ~HcTexturedView() override;

  eAppErr Draw(const KsRef<PanoRenderer>& renderer) override;
  eAppErr CollectViewsAtPoint(const KsPointF& point, const KsRef<ViewCollection>& views) override;
  // The pan quadrants (bits 1, 2, 4, 8) the view needs textures for.
  virtual uint32_t GetTextureQuadrantMask();

  KsRef<PanoSource> GetSource() const;
  // Drops the cached texture set, also when the source is the one held.
  eAppErr SetSource(const KsRef<PanoSource>& source);
  // The texture set the last Draw obtained.
  KsRef<HcTextureSet> GetTextureSet() const;
  bool IsNotReady() const { return m_notReady; }

 protected:
  void SetNotReady(bool notReady) { m_notReady = notReady; }

 private:
  KsRef<PanoSource> m_source;
  KsRef<HcTextureSet> m_textureSet;
  bool m_notReady = false;
};
HC_CLASS_OBJECT(HcTexturedView, HcView)
