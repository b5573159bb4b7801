#include <gtest/gtest.h>

#include "General/HcClassMap.h"
#include "InterfaceCommon/AggregateProgressReport.h"
#include "ReportTestSupport.h"

namespace {

class AggregateProgressReportTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureClassesRegistered(); }
};

KsRef<ProgressReport> Child(eAppErr status, float progress = 0.0f, float maximum = 1.0f) {
  auto child = KsMakeRef<ProgressReport>();
  child->SetMaxProgress(maximum);
  child->SetProgress(progress);
  if (status != 20) child->SetStatus(status);
  return child;
}

}  // namespace

TEST_F(AggregateProgressReportTest, RollsTheChildrenStatusesUp) {
  struct Case {
    std::vector<eAppErr> children;
    eAppErr expected;
  };
  const Case cases[] = {
      {{}, 22},           {{20, 20}, 20},       {{20, 21}, 21},        {{22, 22}, 22},
      {{22, 23}, 23},     {{22, 23, -28}, -28}, {{21, 22, 23}, 21},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.children));
    auto aggregate = KsMakeRef<AggregateProgressReport>();
    auto children = KsMakeRef<ProgressReportCollection>();
    for (eAppErr status : c.children) children->Add(Child(status));
    aggregate->SetProgressReports(children);
    EXPECT_EQ(c.expected, aggregate->GetStatus());
  }
  // Waiting and done children with none running leave the status as it was.
  auto aggregate = KsMakeRef<AggregateProgressReport>();
  auto running = Child(21);
  aggregate->AddReport(running);
  aggregate->AddReport(Child(22));
  aggregate->AddReport(Child(20));
  EXPECT_EQ(21, aggregate->GetStatus());
  running->SetStatus(22);
  EXPECT_EQ(21, aggregate->GetStatus());
}

TEST_F(AggregateProgressReportTest, AnEmptyAggregateIsDoneAndNeitherTasksNorWaits) {
  auto aggregate = MakeObject<AggregateProgressReport>("AggregateProgressReport");
  ASSERT_TRUE(aggregate);
  EXPECT_EQ(0, aggregate->Task());
  EXPECT_EQ(22, aggregate->GetStatus());
  EXPECT_EQ(0, aggregate->Wait());
  EXPECT_EQ(0.0f, aggregate->GetProgress()) << "no weight at all gives 0";
}

TEST_F(AggregateProgressReportTest, CombinesProgressByEitherWeighting) {
  auto aggregate = KsMakeRef<AggregateProgressReport>();
  aggregate->SetWeightingMode(1);
  aggregate->AddReport(Child(21, 1, 4));
  aggregate->AddReport(Child(21, 3, 4));
  EXPECT_FLOAT_EQ(0.5f, aggregate->GetProgress());
  aggregate->AddReport(Child(21, 5, 0));
  EXPECT_FLOAT_EQ(1.0f / 3.0f, aggregate->GetProgress()) << "a child without maximum counts as 0";

  auto bySize = KsMakeRef<AggregateProgressReport>();
  bySize->AddReport(Child(21, 1, 2));
  bySize->AddReport(Child(21, 3, 6));
  EXPECT_FLOAT_EQ(0.5f, bySize->GetProgress());
  EXPECT_FLOAT_EQ(0.5f, bySize->GetPercentComplete());

  auto zero = KsMakeRef<AggregateProgressReport>();
  zero->AddReport(Child(21, 1, 0));
  EXPECT_EQ(0.0f, zero->GetProgress());

  auto log = KsMakeRef<NoticeLog>();
  log->Watch(bySize, {ProgressReport::kProgressId, ProgressReport::kPercentCompleteId});
  bySize->GetProgressReports()->GetByIndex(0)->SetProgress(2);
  EXPECT_EQ((std::vector<int32_t>{300, 301}), log->Ids());
}

TEST_F(AggregateProgressReportTest, StepsALimitedNumberOfChildrenAndMovesOnWhenOneIsDone) {
  auto aggregate = KsMakeRef<AggregateProgressReport>();
  std::vector<KsRef<Stepper>> steppers;
  for (int i = 0; i < 2; ++i) {
    auto child = KsMakeRef<ProgressReport>();
    child->SetName(i == 0 ? "first" : "second");
    child->SetTaskMode(2);
    auto stepper = KsMakeRef<Stepper>([](ProgressReport& r) { r.SetStatus(21); });
    child->AddStandardObservationsForObserver(stepper);
    steppers.push_back(stepper);
    aggregate->AddReport(child);
  }
  EXPECT_EQ(0, aggregate->Task());
  EXPECT_EQ(1, steppers[0]->steps.load());
  EXPECT_EQ(0, steppers[1]->steps.load());
  EXPECT_EQ("first", aggregate->GetName().Str());
  EXPECT_EQ(21, aggregate->GetStatus());
  // The first is done: the aggregate steps the next one inside the notice.
  aggregate->GetProgressReports()->GetByIndex(0)->SetStatus(22);
  EXPECT_EQ(1, steppers[1]->steps.load());
  EXPECT_EQ("second", aggregate->GetName().Str());

  auto all = KsMakeRef<AggregateProgressReport>();
  all->SetSimultaneousTasks(0);
  auto counter = KsMakeRef<Stepper>([](ProgressReport&) {});
  for (int i = 0; i < 3; ++i) {
    auto child = KsMakeRef<ProgressReport>();
    child->AddStandardObservationsForObserver(counter);
    all->AddReport(child);
  }
  all->AddReport(Child(22));
  EXPECT_EQ(0, all->Task());
  EXPECT_EQ(3, counter->steps.load());
}

TEST_F(AggregateProgressReportTest, CancelsRunningChildrenOnceAndOnTheFirstFailureWhenAsked) {
  auto aggregate = KsMakeRef<AggregateProgressReport>();
  auto running = Child(21);
  auto waiting = Child(20);
  aggregate->AddReport(running);
  aggregate->AddReport(waiting);
  EXPECT_EQ(0, aggregate->CancelOperation());
  EXPECT_EQ(23, running->GetStatus());
  EXPECT_EQ(20, waiting->GetStatus());
  waiting->SetStatus(21);
  EXPECT_EQ(0, aggregate->CancelOperation());
  EXPECT_EQ(21, waiting->GetStatus()) << "only the first cancel acts";

  auto strict = KsMakeRef<AggregateProgressReport>();
  strict->SetCancelOnError(true);
  auto sibling = Child(21);
  auto failing = Child(21);
  strict->AddReport(sibling);
  strict->AddReport(failing);
  failing->SetStatus(-36);
  EXPECT_EQ(23, sibling->GetStatus());
  EXPECT_EQ(-28, strict->GetStatus());
}

TEST_F(AggregateProgressReportTest, GathersTheChildrenStatusEntriesOnce) {
  auto aggregate = KsMakeRef<AggregateProgressReport>();
  auto child = Child(21);
  child->AddStatusReportForAppErr(5);
  aggregate->AddReport(child);
  child->AddStatusReportForAppErr(6);
  KsRef<StatusReportCollection> gathered = aggregate->GetStatusReports();
  ASSERT_EQ(2u, gathered->GetCount());
  EXPECT_EQ(5, gathered->GetByIndex(0)->GetStatus());
  EXPECT_EQ(6, gathered->GetByIndex(1)->GetStatus());
  child->GetStatusReports()->RemoveAt(0);
  EXPECT_EQ(2u, gathered->GetCount()) << "merging only adds";
  EXPECT_EQ(gathered->GetByIndex(1), child->GetStatusReports()->GetByIndex(0)) << "entries are shared";
}

TEST_F(AggregateProgressReportTest, ChildrenSetFromTheAggregatesOwnCollectionStay) {
  auto aggregate = KsMakeRef<AggregateProgressReport>();
  aggregate->AddReport(Child(21));
  aggregate->AddReport(Child(20));
  KsRef<HcProperty> children = aggregate->GetClassObject()->FindProperty("ProgressReports");
  KsRef<KsObject> own;
  ASSERT_EQ(0, children->GetValue(aggregate.Get(), &own));
  EXPECT_EQ(0, children->SetValue(aggregate.Get(), own));
  EXPECT_EQ(2u, aggregate->GetProgressReports()->GetCount());
  EXPECT_EQ(21, aggregate->GetStatus());
  aggregate->GetProgressReports()->GetByIndex(0)->SetStatus(22);
  aggregate->GetProgressReports()->GetByIndex(1)->SetStatus(22);
  EXPECT_EQ(22, aggregate->GetStatus()) << "the children are still observed";
  EXPECT_EQ(0, aggregate->SetProgressReports(KsRef<ProgressReportCollection>()));
  EXPECT_EQ(0u, aggregate->GetProgressReports()->GetCount());
}
