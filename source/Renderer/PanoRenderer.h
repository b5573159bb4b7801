#pragma once

#include <atomic>
#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsColor.h"
#include "General/KsObject.h"
#include "General/KsRect.h"
#include "PWCriticalRegion.h"

class BitmapTexture;
class BitmapTextureSet;
class HcVertexBuffer;

// The abstract renderer every view draws through: matrices, viewport,
// clearing, blending, culling, depth tests, line width, colour and point
// projection, and the objects that live on the graphics card. It also holds
// what the frame loop and the sources share with drawing: background colour,
// pixel aspect ratio, the dirty flag sources raise for a new frame, the count
// of frames begun, the drawable's rectangle and the draw lock.
class PanoRenderer : public KsObject {
  HC_CLASS_HEADER(PanoRenderer)
 public:
  enum : int32_t {
    kBackgroundColorId = 200,
    kPixelAspectRatioId = 201,
    kIsDirtyId = 202,
    kUpdateCycleId = 203,
  };

  PanoRenderer();
  ~PanoRenderer() override;

  virtual KsRef<BitmapTexture> CreateBitmapTexture() = 0;
  virtual eAppErr InitializeState();
  // Enters the draw lock and counts the frame; the lock is held until
  // EndUpdate. A frame that fails to begin leaves the lock again.
  virtual eAppErr BeginUpdate();
  virtual eAppErr EndUpdate();
  // Reads the drawn frame into a caller's buffer of height rows rowBytes apart.
  virtual void CopyFrameBuffer(const uint32_t* pixelFormat, void* buffer, int32_t width, int32_t height,
                               int32_t rowBytes) = 0;
  virtual eAppErr SetDrawableRect(int32_t x, int32_t y, int32_t width, int32_t height);
  virtual eAppErr GetDrawableSize(int32_t* width, int32_t* height);
  // The pixel formats the renderer takes source frames in, ended by 0.
  virtual const uint32_t* GetSupportedPixelFormats();
  virtual eAppErr SetViewport(const KsRect<int32_t>& rect) = 0;
  // Orthographic projection over the rectangle, y growing downward.
  virtual eAppErr Ortho2D(const KsRectF& rect, bool loadIdentity) = 0;
  virtual eAppErr Perspective(double fieldOfViewYDeg, double aspect, double zNear, double zFar,
                              bool loadIdentity) = 0;
  virtual eAppErr ModelViewIdentity() = 0;
  virtual eAppErr ModelViewTranslate(float x, float y, float z) = 0;
  virtual eAppErr ModelViewRotate(double angleDeg, double x, double y, double z) = 0;
  virtual eAppErr ClearDepthBuffer() = 0;
  // Views draw text as textures; the renderer draws none.
  virtual eAppErr RenderText(float x, float y, float z, const PWStringRef& text);
  virtual KsRef<BitmapTextureSet> CreateBitmapTextureSet() = 0;
  // Null when the shape can't be set or the arrays can't be allocated.
  virtual KsRef<HcVertexBuffer> CreateVertexBuffer(uint32_t verticesPerStrip, uint32_t stripCount) = 0;
  virtual eAppErr FillRectWithBackground(const KsRect<int32_t>& rect) = 0;
  virtual eAppErr SetDepthCompare(int32_t compare) = 0;
  virtual eAppErr SetBlendFunc(int32_t mode) = 0;
  virtual eAppErr SetTexFunc(int32_t mode) = 0;
  virtual eAppErr SetCullFunc(int32_t mode) = 0;
  virtual eAppErr SetFillMode(int32_t mode) = 0;
  virtual eAppErr SetDepthFunc(int32_t func) = 0;
  virtual eAppErr SetLineWidth(float width) = 0;
  virtual eAppErr SetColor(float r, float g, float b, float a) = 0;
  // Replaces a point in model coordinates by its window coordinates.
  virtual eAppErr ProjectPoint(float* x, float* y, float* z) = 0;

  // The SetDepthFunc code of a SetDepthCompare code; -1 outside 0..7.
  static int32_t DepthFuncForCompare(int32_t compare);

  KsColorF GetBackgroundColor() const { return m_backgroundColor; }
  eAppErr SetBackgroundColor(const KsColorF& color);
  float GetPixelAspectRatio() const { return m_pixelAspectRatio; }
  eAppErr SetPixelAspectRatio(float ratio);
  bool GetIsDirty() const { return m_isDirty.load(std::memory_order_acquire); }
  eAppErr SetIsDirty(bool dirty);
  // Raises the dirty flag without a change notice: for decode threads, whose
  // callbacks only set flags.
  void RaiseDirtyFlag() { m_isDirty.store(true, std::memory_order_release); }
  uint32_t GetUpdateCycle() const { return m_updateCycle.load(std::memory_order_acquire); }
  KsRect<int32_t> GetDrawableRect() const { return m_drawableRect; }

  // The frame loop's hold on the draw lock around clock idling.
  void AcquireDrawLock();
  void ReleaseDrawLock();

 protected:
  // Clears the dirty flag without a change notice.
  void ClearDirtyQuietly() { m_isDirty.store(false, std::memory_order_release); }

 private:
  KsColorF m_backgroundColor{0.0f, 0.0f, 0.0f, 1.0f};
  KsRect<int32_t> m_drawableRect;
  float m_pixelAspectRatio = 1.0f;
  std::atomic<bool> m_isDirty{false};
  std::atomic<uint32_t> m_updateCycle{0};
  // Frames begun and not yet ended; touched only by the lock's holder.
  int32_t m_openFrames = 0;
  PWCriticalRegion::Ref m_drawLock;
};
HC_CLASS_OBJECT(PanoRenderer, KsObject)

// One frame from BeginUpdate to EndUpdate; EndUpdate runs on every path out
// of the scope once BeginUpdate succeeded.
class RendererUpdateScope {
 public:
  explicit RendererUpdateScope(const KsRef<PanoRenderer>& renderer);
  ~RendererUpdateScope();
  RendererUpdateScope(const RendererUpdateScope&) = delete;
  RendererUpdateScope& operator=(const RendererUpdateScope&) = delete;

  eAppErr Result() const { return m_result; }

 private:
  KsRef<PanoRenderer> m_renderer;
  eAppErr m_result;
};

// The draw lock held for a scope.
class RendererDrawLockScope {
 public:
  explicit RendererDrawLockScope(const KsRef<PanoRenderer>& renderer) : m_renderer(renderer) {
    if (m_renderer) m_renderer->AcquireDrawLock();
  }
  ~RendererDrawLockScope() {
    if (m_renderer) m_renderer->ReleaseDrawLock();
  }
  RendererDrawLockScope(const RendererDrawLockScope&) = delete;
  RendererDrawLockScope& operator=(const RendererDrawLockScope&) = delete;

 private:
  KsRef<PanoRenderer> m_renderer;
};
