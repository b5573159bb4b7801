#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "Source/PanoSource.h"

class QTMovieArbiter;
class QTMovieToken;
class QTVisualContextTextureSet;
namespace hc::playback {
class VisualContext;
}

// The source whose frames are the pictures of a movie shared through an
// arbiter: on the first frame request it makes a visual context for the
// renderer's OpenGL context, attaches it to the movie and hands the renderer
// a visual-context texture set. The visual context tells the source when a
// new picture is due; the source then only raises flags (has data, the
// renderer's dirty flag), so the next display refresh draws. Its clock is
// the arbiter's movie clock.
class QTMovieSource : public PanoSource {
  HC_CLASS_HEADER(QTMovieSource)
 public:
  enum : int32_t { kMovieArbId = 300 };
  // The longest the drawing thread waits for the movie while it makes the
  // visual context; the next frame request tries again.
  static constexpr int32_t kDrawingThreadTokenWaitMs = 500;

  QTMovieSource();
  ~QTMovieSource() override;

  KsRef<KsObject> GetClock() override;
  eAppErr FinishedDrawCycle() override;
  eAppErr TextureSetForRenderer(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set,
                                uint32_t quadrantMask) override;
  // No pixels in main memory: -903.
  eAppErr GetDataAtPoint(int32_t x, int32_t y, uint32_t component, float* value) override;
  eAppErr DoUpdate() override;

  virtual KsRef<QTMovieArbiter> GetMovieArb() const;
  // Stores the arbiter and lets go of the visual context: the next frame
  // request makes one for the movie now set, and the texture set takes it.
  virtual eAppErr SetMovieArb(const KsRef<QTMovieArbiter>& arbiter);
  virtual KsRef<QTMovieToken> GetMovieToken(int32_t timeoutMs);
  // Picture size and pixel shape of the movie's first enabled visual track.
  virtual void ConfigureFromMovie(QTMovieToken& token);
  virtual void MakeVisualContext(const KsRef<PanoRenderer>& renderer);
  // Whether the first visual track has media at the movie's time; true when
  // another thread holds the movie.
  virtual bool HasImageAtCurrentTime();

  std::shared_ptr<hc::playback::VisualContext> GetVisualContext() const;
  KsRef<QTVisualContextTextureSet> GetVCTextureSet() const;

 protected:
  // Lets go of the visual context (disposed on the thread that may).
  void DropVisualContext();

 private:
  void ImageAvailable();

  KsRef<QTMovieArbiter> m_movieArb;
  // The frame count at the last update; no frame count has that value at first.
  std::atomic<uint64_t> m_framesAtLastUpdate{UINT64_MAX};
  mutable std::mutex m_contextMutex;
  std::shared_ptr<hc::playback::VisualContext> m_visualContext;
  KsRef<QTVisualContextTextureSet> m_textureSet;
};
HC_CLASS_OBJECT(QTMovieSource, PanoSource)
