#pragma once

#include <memory>
#include <mutex>

#include "General/WeakRef.h"
#include "Source/PanoSource.h"

class QTVisualContextTextureSet;
namespace hc::playback {
class VisualContext;
}

// A source whose frames come from a visual context fed from outside (a movie
// attached to it by someone else): the context decodes into OpenGL
// textures, and the source hands them to views through one visual-context
// texture set. It can be given a context, or make one for a renderer. No
// pixels are held in main memory.
//
// The context's image-available callback runs on a decode thread and only
// raises flags; the frame size is learned on the drawing thread.
class QTVisualContextSource : public PanoSource {
  HC_CLASS_HEADER(QTVisualContextSource)
 public:
  enum : int32_t { kRendererForVisualContextId = 300, kVisualContextPtrId = 301, kVCTextureSetId = 302 };

  QTVisualContextSource();
  ~QTVisualContextSource() override;

  eAppErr FinishedDrawCycle() override;
  eAppErr TextureSetForRenderer(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set,
                                uint32_t quadrantMask) override;
  // No pixels in main memory: -602.
  eAppErr GetDataAtPoint(int32_t x, int32_t y, uint32_t component, float* value) override;
  eAppErr DoUpdate() override { return AppErr::kNoErr; }

  KsRef<PanoRenderer> GetRendererForVisualContext() const;
  // Stores the renderer and makes a visual context for it when it is an
  // OpenGL renderer with a context.
  eAppErr SetRendererForVisualContext(const KsRef<PanoRenderer>& renderer);
  // A context the caller keeps alive while the source has it.
  void* GetVisualContextPtr() const;
  eAppErr SetVisualContextPtr(void* context);
  eAppErr SetVisualContext(std::shared_ptr<hc::playback::VisualContext> context);
  std::shared_ptr<hc::playback::VisualContext> GetVisualContext() const;
  KsRef<QTVisualContextTextureSet> GetVCTextureSet() const;
  bool MakeVisualContext(const KsRef<PanoRenderer>& renderer);

 private:
  void ImageAvailable();

  mutable std::mutex m_mutex;
  std::shared_ptr<hc::playback::VisualContext> m_context;
  KsRef<QTVisualContextTextureSet> m_textureSet;
  WeakRef::Ref m_rendererForContext;
};
HC_CLASS_OBJECT(QTVisualContextSource, PanoSource)
