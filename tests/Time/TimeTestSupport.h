#pragma once

// What the Time suites share: a model object with float properties for
// tweens to write, bindings to it, and a movie arbiter over a movie.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "Time/MovieArbiterInterface.h"
#include "Utilities/HcPropertyBindingBase.h"

// A target for tweens: float properties "Value", "Other", "PanAngle",
// "TiltAngle" and "VFOV", a double "Level" and an object "Inner" (a binding
// a tween may write through), counting the float writes.
class TweenTarget : public KsObject {
  HC_CLASS_HEADER(TweenTarget)
 public:
  float GetValue() const { return m_value; }
  eAppErr SetValue(float value) {
    m_value = value;
    ++writes;
    return AppErr::kNoErr;
  }
  float GetOther() const { return m_other; }
  eAppErr SetOther(float value) {
    m_other = value;
    ++writes;
    return AppErr::kNoErr;
  }
  float GetPanAngle() const { return m_pan; }
  eAppErr SetPanAngle(float value) {
    m_pan = value;
    ++writes;
    return AppErr::kNoErr;
  }
  float GetTiltAngle() const { return m_tilt; }
  eAppErr SetTiltAngle(float value) {
    m_tilt = value;
    ++writes;
    return AppErr::kNoErr;
  }
  float GetVFOV() const { return m_vfov; }
  eAppErr SetVFOV(float value) {
    m_vfov = value;
    ++writes;
    return AppErr::kNoErr;
  }
  double GetLevel() const { return m_level; }
  eAppErr SetLevel(double value) {
    m_level = value;
    return AppErr::kNoErr;
  }
  KsRef<KsObject> GetInner() const { return m_inner; }
  eAppErr SetInner(const KsRef<KsObject>& inner) {
    m_inner = inner;
    return AppErr::kNoErr;
  }

  std::atomic<int> writes{0};

 private:
  float m_value = 0.0f;
  float m_other = 0.0f;
  float m_pan = 0.0f;
  float m_tilt = 0.0f;
  float m_vfov = 0.0f;
  double m_level = 0.0;
  KsRef<KsObject> m_inner;
};
HC_CLASS_OBJECT(TweenTarget, KsObject)

// A binding (strong or weak) to the named property of the target.
KsRef<HcPropertyBindingBase> BindingTo(const KsRef<KsObject>& target, const char* propertyName, bool weak = false);

namespace hc::playback {
class Movie;
}

// Hands out one token at a time over a movie it owns; the thread that holds
// the live token gets it again, others wait (or not, with time-out 0).
class TestMovieArbiter : public KsObject, public MovieArbiterInterface {
  HC_CLASS_HEADER(TestMovieArbiter)
 public:
  explicit TestMovieArbiter(std::unique_ptr<hc::playback::Movie> movie = nullptr);
  ~TestMovieArbiter() override;

  KsRef<KsObject> WaitForMovieToken(int32_t timeoutMs) override;
  hc::playback::Movie* Movie() const { return m_movie.get(); }

 private:
  friend class TestMovieToken;
  void TokenDied();

  std::unique_ptr<hc::playback::Movie> m_movie;
  std::mutex m_mutex;
  std::condition_variable m_condition;
  WeakRef::Ref m_live;
  std::thread::id m_owner;
};
HC_CLASS_OBJECT(TestMovieArbiter, KsObject)

// A small movie made with ffmpeg once per run: 64x48, 25 fps, 2 s (empty
// when ffmpeg is missing).
const std::string& TestMoviePath();
std::unique_ptr<hc::playback::Movie> OpenTestMovie();

// xmllint --noout on the text: whether it is well-formed XML.
bool XmllintAccepts(const std::string& text);
