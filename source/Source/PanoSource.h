#pragma once

#include <atomic>
#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsSpinLock.h"
#include "General/WeakRef.h"
#include "Projection/PanoProjection.h"
#include "Source/PixelFormatInfo.h"

class PanoRenderer;
class HcTextureSet;
class PixelFormatArbiter;

// The producer of panoramic frames that every source derives from: frame size
// and pixel aspect, the pixel format frames are handed on in (chosen once),
// the projection of the image, the clock and tweens that animate it, and a
// weak reference to the renderer it draws for.
//
// Counters and flags are written by decode threads while the drawing thread
// reads them, so they are atomic; the renderer's weak reference is swapped
// under a spin lock.
class PanoSource : public KsObject {
  HC_CLASS_HEADER(PanoSource)
 public:
  enum : int32_t {
    kClockId = 200,
    kRendererId = 201,
    kHasAlphaId = 202,
    kHasDataId = 203,
    kHasDimensionsId = 204,
    kHeightId = 205,
    kImageAspectId = 206,
    kMapFullFrameId = 207,
    kPanAngleId = 208,
    kPixelAspectRatioId = 209,
    kProjectionId = 210,
    kIsPlanarSourceId = 211,
    kTweensId = 212,
    kWidthId = 213,
  };

  PanoSource();
  ~PanoSource() override;

  // The clock and tween list are held as plain objects: a source only keeps
  // them for its users.
  virtual KsRef<KsObject> GetClock();
  virtual eAppErr SetClock(const KsRef<KsObject>& clock);
  virtual eAppErr SetRenderer(const KsRef<PanoRenderer>& renderer);
  virtual bool GetHasAlpha();
  virtual bool GetHasData();
  virtual bool GetHasDimensions();
  virtual int32_t GetHeight();
  virtual float GetImageAspect();
  virtual bool GetMapFullFrame();
  virtual float GetPanAngle();
  virtual eAppErr SetPanAngle(float degrees);
  virtual float GetPixelAspectRatio();
  // Height of a pixel over its width; refuses values that are not finite and
  // above 0 with -2.
  virtual eAppErr SetPixelAspectRatio(float ratio);
  virtual KsRef<PanoProjection> GetProjection();
  virtual eAppErr SetProjection(const KsRef<PanoProjection>& projection);
  virtual bool GetIsPlanarSource();
  virtual int32_t GetWidth();
  // Called once after every drawn frame.
  virtual eAppErr FinishedDrawCycle();
  // The texture set showing the current frame for a renderer; `set` may hold
  // the set handed out last time, which is reused when it still fits.
  virtual eAppErr TextureSetForRenderer(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set,
                                        uint32_t quadrantMask) = 0;
  // One component (a PixelFormatInfo::Component code) of the pixel at (x, y),
  // on the 0 to 1 scale.
  virtual eAppErr GetDataAtPoint(int32_t x, int32_t y, uint32_t component, float* value) = 0;
  virtual void WillSetProjection(const KsRef<PanoProjection>& current, const KsRef<PanoProjection>& next);
  virtual eAppErr DoUpdate() = 0;

  void SetDimensions(int32_t width, int32_t height);
  eAppErr Update();

  // 0 when no format could be chosen.
  uint32_t GetPixelFormat();
  eAppErr SetPixelFormat(uint32_t code);
  const PixelFormatInfo* GetPixelFormatInfo();
  static const PixelFormatInfo* FindPixelFormatInfo(uint32_t code) { return PixelFormatInfo::Find(code); }
  KsRef<PixelFormatArbiter> GetPixelFormatArbiter();

  eAppErr SetHasAlpha(bool hasAlpha);
  eAppErr SetMapFullFrame(bool mapFullFrame);
  KsRef<KsObject> GetTweens() const;
  eAppErr SetTweens(const KsRef<KsObject>& tweens);
  KsRef<PanoRenderer> GetRenderer() const;
  static eAppErr SetDefaultMapFullFrame(bool mapFullFrame);
  static bool GetDefaultMapFullFrame();

  // What texture sets and textures compare to know when to re-tile or
  // re-upload. Both only grow.
  uint32_t GetProjectionChangeCount() const { return m_projectionChangeCount.load(std::memory_order_acquire); }
  uint32_t GetFrameCount() const { return m_frameCount.load(std::memory_order_acquire); }
  // The pair as one stamp: projection change count low, frame count high.
  uint64_t GetImageStamp() const {
    return static_cast<uint64_t>(GetFrameCount()) << 32 | GetProjectionChangeCount();
  }

 protected:
  // For subclasses: a new frame (or the first data) is in place.
  void SetDataFlag(bool hasData) { m_hasData.store(hasData, std::memory_order_release); }
  bool GetDataFlag() const { return m_hasData.load(std::memory_order_acquire); }
  void IncrementFrameCount() { m_frameCount.fetch_add(1, std::memory_order_acq_rel); }
  // Marks the renderer dirty when it is still alive.
  void MarkRendererDirty();
  int32_t StoredWidth() const { return m_width.load(std::memory_order_acquire); }
  int32_t StoredHeight() const { return m_height.load(std::memory_order_acquire); }

 private:
  std::atomic<const PixelFormatInfo*> m_pixelFormat{nullptr};
  std::atomic<uint32_t> m_projectionChangeCount{1};
  std::atomic<uint32_t> m_frameCount{1};
  KsRef<PanoProjection> m_projection;
  KsRef<PixelFormatArbiter> m_arbiter;
  KsRef<KsObject> m_clock;
  bool m_hasAlpha = false;
  std::atomic<bool> m_hasData{false};
  bool m_mapFullFrame;
  std::atomic<bool> m_hasDimensions{false};
  std::atomic<int32_t> m_width{0};
  std::atomic<int32_t> m_height{0};
  float m_pixelAspectRatio = 1.0f;
  float m_panAngle = 0.0f;
  KsRef<KsObject> m_tweens;
  mutable KsSpinLock m_rendererLock;
  WeakRef::Ref m_renderer;
};
HC_CLASS_OBJECT(PanoSource, KsObject)
