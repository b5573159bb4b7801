#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "Projection/CylindricalProj.h"
#include "Projection/KestrelProj.h"
#include "Projection/RadialFuncProj.h"
#include "Utilities/HcProperty.h"

namespace {

// Remembers the id of every property change it is told of.
class NoticeRecorder : public KsObject {
 public:
  void ObservePropertyChange(const KsRef<KsObject>&, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>&) override {
    ids.push_back(property ? property->GetPropertyID() : 0);
  }
  bool Saw(int32_t id) const { return std::find(ids.begin(), ids.end(), id) != ids.end(); }
  std::vector<int32_t> ids;
};

void Observe(KsObject& object, const KsRef<NoticeRecorder>& recorder, std::initializer_list<const char*> names) {
  for (const char* name : names) object.AddObserver(recorder, name, 0);
}

TEST(ProjectionChangeNotices, SettersAnnounceWhatTheyChange) {
  auto ring = KsMakeRef<RadialFuncProj>();
  auto recorder = KsMakeRef<NoticeRecorder>();
  Observe(*ring, recorder, {"CenterPoint", "TiltMinDeg", "TiltMaxDeg", "IsInverted", "IsInvertedUI"});
  ASSERT_EQ(0, ring->GetClassObject()->FindProperty("CenterX")->SetValue(ring.Get(), 0.3f));
  EXPECT_TRUE(recorder->Saw(RadialFuncProj::kCenterPointId));
  recorder->ids.clear();
  ring->SetIsInvertedUI(true);
  for (int32_t id : std::initializer_list<int32_t>{RadialFuncProj::kTiltMinDegId, RadialFuncProj::kTiltMaxDegId, RadialFuncProj::kIsInvertedId,
                     RadialFuncProj::kIsInvertedUIId}) {
    EXPECT_TRUE(recorder->Saw(id)) << id;
  }

  // A cylinder's tilt limits live in its function; the editor limits follow.
  auto cylinder = KsMakeRef<CylindricalProj>();
  auto cylinderRecorder = KsMakeRef<NoticeRecorder>();
  Observe(*cylinder, cylinderRecorder, {"TiltMaxDeg", "EditorTiltMax"});
  cylinder->SetTiltMaxDeg(30.0f);
  EXPECT_TRUE(cylinderRecorder->Saw(CartesianFuncProj::kTiltMaxDegId));
  EXPECT_TRUE(cylinderRecorder->Saw(CartesianFuncProj::kEditorTiltMaxId));

  // The optic announces a refused apex distance too, and changes nothing.
  auto optic = KsMakeRef<KestrelProj>();
  auto opticRecorder = KsMakeRef<NoticeRecorder>();
  Observe(*optic, opticRecorder, {"ApexDistance"});
  EXPECT_EQ(-2, optic->SetApexDistance(5.0f));
  EXPECT_TRUE(opticRecorder->Saw(KestrelProj::kApexDistanceId));
  EXPECT_EQ(170.0f, optic->GetApexDistance());
}

}  // namespace
