#include "TimeTestSupport.h"

#include <chrono>
#include <fstream>

#include "FileTestSupport.h"
#include "Utilities/HcPropertyBinding.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/HcWeakPropertyBinding.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/Movie.h"

HC_DEFINE_CLASS(TweenTarget, KsObject, "TweenTarget")
void TweenTarget::TweenTargetClass::SetupProperties() {
  using namespace KsPropertyType;
  using T = TweenTarget;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<T, float>::Create(self, 200, kFloat, "Value", true, &T::GetValue, &T::SetValue));
  AddProperty(HcPropertyDirectGet<T, float>::Create(self, 201, kFloat, "Other", true, &T::GetOther, &T::SetOther));
  AddProperty(
      HcPropertyDirectGet<T, float>::Create(self, 202, kFloat, "PanAngle", true, &T::GetPanAngle, &T::SetPanAngle));
  AddProperty(HcPropertyDirectGet<T, float>::Create(self, 203, kFloat, "TiltAngle", true, &T::GetTiltAngle,
                                                    &T::SetTiltAngle));
  AddProperty(HcPropertyDirectGet<T, float>::Create(self, 204, kFloat, "VFOV", true, &T::GetVFOV, &T::SetVFOV));
  AddProperty(HcPropertyDirectGet<T, double>::Create(self, 205, kDouble, "Level", true, &T::GetLevel, &T::SetLevel));
  AddProperty(HcPropertyObjectDirectGet<T, KsObject>::Create(self, 206, "Inner", true, &T::GetInner, &T::SetInner));
}

KsRef<HcPropertyBindingBase> BindingTo(const KsRef<KsObject>& target, const char* propertyName, bool weak) {
  KsRef<HcPropertyBindingBase> binding;
  if (weak) {
    binding = KsMakeRef<HcWeakPropertyBinding>();
  } else {
    binding = KsMakeRef<HcPropertyBinding>();
  }
  binding->SetTargetObject(target);
  binding->SetPropertyName(propertyName);
  return binding;
}

// The token of TestMovieArbiter: holds its arbiter, wakes a waiter when it dies.
class TestMovieToken : public KsObject, public MovieTokenInterface {
 public:
  explicit TestMovieToken(const KsRef<TestMovieArbiter>& arbiter) : m_arbiter(arbiter) {}
  ~TestMovieToken() override { m_arbiter->TokenDied(); }
  hc::playback::Movie* GetMovie() override { return m_arbiter->Movie(); }

 private:
  KsRef<TestMovieArbiter> m_arbiter;
};

HC_DEFINE_CLASS(TestMovieArbiter, KsObject, "TestMovieArbiter")
void TestMovieArbiter::TestMovieArbiterClass::SetupProperties() {}

TestMovieArbiter::TestMovieArbiter(std::unique_ptr<hc::playback::Movie> movie) : m_movie(std::move(movie)) {}
TestMovieArbiter::~TestMovieArbiter() = default;

KsRef<KsObject> TestMovieArbiter::WaitForMovieToken(int32_t timeoutMs) {
  std::unique_lock lock(m_mutex);
  auto live = [this] { return m_live ? m_live->GetTargetAs<KsObject>() : KsRef<KsObject>(); };
  if (KsRef<KsObject> token = live()) {
    if (m_owner == std::this_thread::get_id()) return token;
    if (timeoutMs == 0) return {};
    token = nullptr;  // never wait holding a count of the live token
    const auto free = [&] { return !live(); };
    if (timeoutMs < 0) {
      m_condition.wait(lock, free);
    } else if (!m_condition.wait_for(lock, std::chrono::milliseconds(timeoutMs), free)) {
      return {};
    }
  }
  auto token = KsMakeRef<TestMovieToken>(KsRef<TestMovieArbiter>(this));
  m_live = WeakRef::GetWeakRef(token.Get());
  m_owner = std::this_thread::get_id();
  return token;
}

void TestMovieArbiter::TokenDied() {
  std::lock_guard lock(m_mutex);
  m_condition.notify_one();
}

const std::string& TestMoviePath() {
  static ScratchFolder folder;
  static const std::string path = [] {
    const std::string file = folder / "clock.mov";
    const int status = RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                "testsrc=size=64x48:rate=25:duration=2", "-c:v", "mpeg4", "-pix_fmt", "yuv420p",
                                file});
    return status == 0 ? file : std::string();
  }();
  return path;
}

std::unique_ptr<hc::playback::Movie> OpenTestMovie() {
  if (TestMoviePath().empty()) return nullptr;
  hc::playback::DataReference reference;
  hc::playback::DataReference::FromPath(TestMoviePath(), &reference);
  std::unique_ptr<hc::playback::Movie> movie;
  hc::playback::Movie::Open(reference, &movie);
  return movie;
}

bool XmllintAccepts(const std::string& text) {
  ScratchFolder folder;
  const std::string path = folder / "time.hcml";
  WriteText(path, text);
  return RunTool({"xmllint", "--noout", path}) == 0;
}
