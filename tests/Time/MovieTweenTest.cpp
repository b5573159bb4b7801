#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "KsTrace.h"
#include "RegisterAllClasses.h"
#include "Time/HcManualClock.h"
#include "Time/HcMovieTween.h"
#include "TimeTestSupport.h"

namespace {

using M = HcMovieTweenLookMarker;

KsRef<LookDirectionValue> Direction(float pan, float tilt, float vfov) {
  auto direction = KsMakeRef<LookDirectionValue>();
  direction->SetPanAngle(pan);
  direction->SetTiltAngle(tilt);
  direction->SetVFOV(vfov);
  return direction;
}

KsRef<M> Marker(int64_t time, KsRef<LookDirectionValue> left, KsRef<LookDirectionValue> right) {
  auto marker = KsMakeRef<M>();
  marker->SetTimeValue(time);
  marker->SetLeftLookDirection(left);
  marker->SetRightLookDirection(right);
  return marker;
}

KsRef<HcMovieTween> Tween(std::vector<KsRef<M>> markers) {
  auto tween = KsMakeRef<HcMovieTween>();
  tween->SetTimeScale(KsMakeRef<HcTimeScale>());
  for (auto& marker : markers) tween->GetMarkers()->Add(marker);
  return tween;
}

// In at 1000 (pan 350, tilt 0, VFOV 60), Out at 2000 (pan 10, tilt 20, VFOV 40).
KsRef<HcMovieTween> InOut() {
  return Tween({Marker(1000, {}, Direction(350, 0, 60)), Marker(2000, Direction(10, 20, 40), {})});
}

TEST(LookDirectionValue, StartsLookingAheadWithANinetyDegreeField) {
  auto direction = KsMakeRef<LookDirectionValue>();
  EXPECT_EQ(0.0f, direction->GetPanAngle());
  EXPECT_EQ(0.0f, direction->GetTiltAngle());
  EXPECT_EQ(90.0f, direction->GetVFOV());
}

TEST(HcMovieTweenLookMarker, TypeFollowsTheDirections) {
  auto shared = Direction(1, 2, 3);
  EXPECT_EQ(M::kUnknown, Marker(0, {}, {})->GetMarkerType());
  EXPECT_EQ(M::kIn, Marker(0, {}, shared)->GetMarkerType());
  EXPECT_EQ(M::kOut, Marker(0, shared, {})->GetMarkerType());
  EXPECT_EQ(M::kCut, Marker(0, shared, Direction(1, 2, 3))->GetMarkerType());
  EXPECT_EQ(M::kWaypoint, Marker(0, shared, shared)->GetMarkerType());
  auto marker = Marker(0, {}, shared);
  EXPECT_EQ(-903, marker->SetMarkerType(M::kOut));
  EXPECT_EQ(M::kIn, marker->GetMarkerType());
}

TEST(HcMovieTween, InterpolatesBetweenMarkersTheShortWayRound) {
  auto tween = InOut();
  struct Case {
    int64_t time;
    bool some;
    float pan, tilt, vfov;
  };
  const Case cases[] = {
      {999, false, 0, 0, 0},     {1000, false, 0, 0, 0},  {1250, true, 355, 5, 55},
      {1500, true, 360, 10, 50}, {2000, true, 10, 20, 40}, {2001, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.time);
    KsRef<LookDirectionValue> direction = tween->LookDirectionAtTime(c.time);
    ASSERT_EQ(c.some, static_cast<bool>(direction));
    if (!direction) continue;
    EXPECT_FLOAT_EQ(c.pan, direction->GetPanAngle());
    EXPECT_FLOAT_EQ(c.tilt, direction->GetTiltAngle());
    EXPECT_FLOAT_EQ(c.vfov, direction->GetVFOV());
  }
  // At the Out marker the answer is its own left direction.
  EXPECT_EQ(tween->GetMarkers()->GetByIndex(1)->GetLeftLookDirection(), tween->LookDirectionAtTime(2000));
}

TEST(HcMovieTween, CutsWaypointsAndUndrivenStretches) {
  auto left = Direction(0, 0, 60);
  auto right = Direction(90, 0, 60);
  auto way = Direction(50, 0, 60);
  auto tween = Tween({Marker(1000, {}, Direction(0, 0, 60)), Marker(2000, left, right), Marker(3000, way, way),
                      Marker(4000, Direction(100, 0, 60), {}), Marker(5000, {}, Direction(0, 0, 60)),
                      Marker(6000, Direction(0, 0, 60), {})});
  EXPECT_EQ(left, tween->LookDirectionAtTime(2000));
  EXPECT_FLOAT_EQ(70.0f, tween->LookDirectionAtTime(2500)->GetPanAngle());  // from the cut's right direction
  EXPECT_EQ(way, tween->LookDirectionAtTime(3000));
  EXPECT_FLOAT_EQ(75.0f, tween->LookDirectionAtTime(3500)->GetPanAngle());  // on from the waypoint, no jump
  for (int64_t t : {4001, 4500, 5000}) EXPECT_FALSE(tween->LookDirectionAtTime(t)) << t;
  // Pan pairs: a half turn either way goes up; 270 to 90 passes 360.
  auto tie = Tween({Marker(0, {}, Direction(90, 0, 60)), Marker(100, Direction(270, 0, 60), {})});
  EXPECT_FLOAT_EQ(180.0f, tie->LookDirectionAtTime(50)->GetPanAngle());
  auto wrap = Tween({Marker(0, {}, Direction(270, 0, 60)), Marker(100, Direction(90, 0, 60), {})});
  EXPECT_FLOAT_EQ(360.0f, wrap->LookDirectionAtTime(50)->GetPanAngle());
  // A missing direction counts as pan 0, tilt 0, VFOV 90.
  auto open = Tween({Marker(0, {}, Direction(0, 10, 60)), Marker(100, {}, Direction(0, 0, 60))});
  EXPECT_FLOAT_EQ(75.0f, open->LookDirectionAtTime(50)->GetVFOV());
}

TEST(HcMovieTween, WritesThroughItsBindingsAndSaysWhenNothingChanged) {
  RegisterAllClasses();
  auto view = KsMakeRef<TweenTarget>();
  auto clock = KsMakeRef<HcManualClock>();
  auto tween = InOut();
  tween->SetBindToView(view);
  KsRef<HcPropertyBindingBase> firstPan = tween->GetPanBinding();
  tween->SetBindToView(view);
  EXPECT_NE(firstPan, tween->GetPanBinding());
  clock->AddTween(tween);

  clock->SetTimeNow(1.5);
  EXPECT_EQ(0, clock->Idle());
  EXPECT_FLOAT_EQ(360.0f, view->GetPanAngle());
  EXPECT_FLOAT_EQ(10.0f, view->GetTiltAngle());
  EXPECT_FLOAT_EQ(50.0f, view->GetVFOV());
  const int writes = view->writes;
  // Paused at the same time: nothing changes and the clock says so.
  EXPECT_EQ(2, clock->Idle());
  EXPECT_EQ(writes, view->writes);
  // Outside every driven stretch nothing is written.
  clock->SetTimeNow(2.5);
  EXPECT_EQ(2, clock->Idle());
  // The window does not apply to a movie tween, the enabled flag does.
  tween->SetEndTime(0.5);
  clock->SetTimeNow(1.25);
  EXPECT_EQ(0, clock->Idle());
  EXPECT_FLOAT_EQ(355.0f, view->GetPanAngle());
  tween->SetEnabled(false);
  clock->SetTimeNow(1.75);
  EXPECT_EQ(2, clock->Idle());
  // Without a time scale it writes nothing.
  tween->SetEnabled(true);
  tween->SetTimeScale({});
  EXPECT_EQ(2, clock->Idle());
  EXPECT_FLOAT_EQ(355.0f, view->GetPanAngle());
  // Bound to nothing: the bindings stay unresolved and nothing is written.
  tween->SetTimeScale(KsMakeRef<HcTimeScale>());
  tween->SetBindToView({});
  EXPECT_TRUE(tween->GetPanBinding());
  EXPECT_EQ(2, clock->Idle());
}

// The movie tween's own trace lines while it lives.
struct TraceCapture {
  TraceCapture() {
    KsTrace::ResetSettings();
    KsTrace::LoadSettings(PWStringRef(), true);
    KsTrace::SetOutputSink([this](const std::string& line) {
      if (line.find("HcMovieTween.cpp") != std::string::npos) lines.push_back(line);
    });
  }
  ~TraceCapture() {
    KsTrace::SetOutputSink({});
    KsTrace::ResetSettings();
  }
  std::vector<std::string> lines;
};

TEST(HcMovieTween, ValidatesTheMarkerOrder) {
  auto in = [](int64_t t) { return Marker(t, {}, Direction(0, 0, 60)); };
  auto out = [](int64_t t) { return Marker(t, Direction(0, 0, 60), {}); };
  auto way = [](int64_t t) {
    auto d = Direction(0, 0, 60);
    return Marker(t, d, d);
  };
  struct Case {
    const char* name;
    std::vector<KsRef<M>> markers;
    eAppErr expected;
    const char* message;
  };
  const Case cases[] = {
      {"in out", {in(0), out(10)}, 0, nullptr},
      {"same times", {in(10), out(10)}, -7, "has invalid time (10 < 10)"},
      {"negative first", {in(-5), out(10)}, -7, "has invalid time (-5 < -1)"},
      {"out first", {out(0), out(10)}, -2, "First marker is not an in marker (markerType == Out)"},
      {"in in out", {in(0), in(5), out(10)}, -2, "In marker 1 illegally follows In marker."},
      {"way after out", {in(0), out(5), way(7), out(10)}, -2, "Waypoint marker 2 illegally follows Out marker."},
      {"out out at the end", {in(0), out(5), out(10)}, 0, nullptr},
      {"last not out", {in(0), in(10)}, -2, "Last marker is not an out marker (markerType == In,  index == 1)"},
      {"one in", {in(0)}, 0, nullptr},
      {"empty", {}, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TraceCapture trace;
    testing::internal::CaptureStdout();
    EXPECT_EQ(c.expected, Tween(c.markers)->Validate());
    const std::string table = testing::internal::GetCapturedStdout();
    if (c.message) {
      ASSERT_EQ(1u, trace.lines.size());
      EXPECT_NE(std::string::npos, trace.lines[0].find(c.message)) << trace.lines[0];
      EXPECT_NE(std::string::npos, table.find("   Timestamp | Type |"));
    } else {
      EXPECT_TRUE(trace.lines.empty());
      EXPECT_TRUE(table.empty());
    }
  }
}

TEST(HcMovieTween, PrintsItsMarkerTable) {
  auto tween = Tween({Marker(1500, {}, Direction(10, -5, 60)), Marker(-25, Direction(-123.5f, -45.5f, 120), {})});
  testing::internal::CaptureStdout();
  EXPECT_EQ(0, tween->TraceTween());
  const std::string table = testing::internal::GetCapturedStdout();
  EXPECT_NE(std::string::npos, table.find("Time Scale: 1000\n"));
  EXPECT_NE(std::string::npos, table.find("    00001500 | In   |                      | p10.0 t-5.0 z60.0    |\n"))
      << table;
  EXPECT_NE(std::string::npos, table.find("    -0000025 | Out  | p-123.5 t-45.5 z120. |                      |\n"))
      << table;
}

TEST(HcMovieTween, TakesItsWindowFromTheMarkers) {
  auto tween = Tween({Marker(1500, {}, Direction(0, 0, 60)), Marker(4000, Direction(0, 0, 60), {})});
  EXPECT_EQ(0, tween->ResetStartEndTimes());
  EXPECT_EQ(1.5, tween->GetStartTime());
  EXPECT_EQ(4.0, tween->GetEndTime());
  tween->SetTimeScale({});
  EXPECT_EQ(-2, tween->ResetStartEndTimes());
  auto empty = Tween({});
  empty->SetStartTime(3.0);
  EXPECT_EQ(0, empty->ResetStartEndTimes());
  EXPECT_EQ(0.0, empty->GetStartTime());
  EXPECT_EQ(0.0, empty->GetEndTime());
}

}  // namespace
