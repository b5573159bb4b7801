#include <gtest/gtest.h>

#include "General/HcClassMap.h"
#include "General/WeakRef.h"
#include "OperationTestSupport.h"
#include "Utilities/KsOperation.h"
#include "Utilities/KsOperationCollection.h"

using namespace operations_test;

namespace {

class KsOperationTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterOnce(); }
};

std::vector<eAppErr> EntryCodes(const KsRef<ProgressReport>& report) {
  std::vector<eAppErr> codes;
  auto entries = report->GetStatusReports();
  for (uint32_t i = 0; i < entries->GetCount(); ++i) codes.push_back(entries->GetByIndex(i)->GetStatus());
  return codes;
}

}  // namespace

TEST_F(KsOperationTest, StartRunsTheOperationBehindANewReportThatKeepsItAlive) {
  auto operation = KsMakeRef<KsOperation>();
  EXPECT_EQ(KsOperation::kReady, operation->GetOperationState());
  KsRef<ProgressReport> report = operation->Start();
  ASSERT_TRUE(report);
  EXPECT_EQ(21, report->GetStatus());
  EXPECT_EQ(KsOperation::kRunning, operation->GetOperationState());
  EXPECT_EQ(KsRef<KsObject>(operation), report->GetOperationKeepAlive());
  EXPECT_EQ(report, operation->Start()) << "a second start changes nothing";
  EXPECT_EQ(0, operation->Task(report));

  // The report alone keeps the operation; detaching lets it go.
  WeakRef::Ref weak = WeakRef::GetWeakRef(operation.Get());
  operation = nullptr;
  EXPECT_TRUE(weak->GetTarget());
  KsRef<KsOperation> held = weak->GetTargetAs<KsOperation>();
  EXPECT_EQ(0, held->DetachFromProgressReport(report));
  EXPECT_TRUE(report->GetOperationKeepAlive().IsEmpty());
  EXPECT_TRUE(held->GetProgressReport().IsEmpty());
  EXPECT_TRUE(held->Start().IsEmpty()) << "running but no longer attached";
  held = nullptr;
  EXPECT_FALSE(weak->GetTarget());
}

TEST_F(KsOperationTest, ACancelledOperationRefusesToStartAgainAndIgnoresItsReport) {
  auto operation = KsMakeRef<KsOperation>();
  KsRef<ProgressReport> report = operation->Start();
  EXPECT_EQ(0, report->CancelOperation());  // through DidCancel
  EXPECT_EQ(KsOperation::kTerminated, operation->GetOperationState());
  EXPECT_EQ(23, report->GetStatus());
  EXPECT_EQ(23, operation->Cancel(report));

  EXPECT_EQ(report, operation->Start());
  EXPECT_EQ(-28, report->GetStatus());
  EXPECT_EQ(std::vector<eAppErr>{KsOperation::kTerminatedStart}, EntryCodes(report));
  EXPECT_EQ(KsOperation::kTerminatedStart, operation->Task(report));
  report->Task();  // only traced
  EXPECT_EQ(KsOperation::kTerminated, operation->GetOperationState());
}

TEST_F(KsOperationTest, CancelLeavesAFinishedReportAsItEnded) {
  for (eAppErr final : {22, -28}) {
    auto operation = KsMakeRef<KsOperation>();
    KsRef<ProgressReport> report = operation->Start();
    report->SetStatus(final);
    EXPECT_EQ(23, operation->Cancel(report));
    EXPECT_EQ(final, report->GetStatus());
    EXPECT_EQ(KsOperation::kTerminated, operation->GetOperationState());
  }
  auto unattached = KsMakeRef<KsOperation>();
  EXPECT_EQ(23, unattached->Cancel(KsRef<ProgressReport>()));
}

TEST_F(KsOperationTest, FailureIsRecordedOnTheReport) {
  auto operation = KsMakeRef<KsOperation>();
  KsRef<ProgressReport> report = operation->Start();
  EXPECT_EQ(-28, operation->FailWithAppErr(-300));
  EXPECT_EQ(-28, report->GetStatus());
  EXPECT_EQ(std::vector<eAppErr>{-300}, EntryCodes(report));
  EXPECT_EQ(KsOperation::kTerminated, operation->GetOperationState());
}

TEST_F(KsOperationTest, AttachingTwiceRegistersOnceAndDetachingLeavesAnotherKeepAlive) {
  auto operation = KsMakeRef<KsOperation>();
  auto report = KsMakeRef<ProgressReport>();
  EXPECT_EQ(AppErr::kBadArgument, operation->AttachToProgressReport(KsRef<ProgressReport>()));
  EXPECT_EQ(AppErr::kBadArgument, operation->DetachFromProgressReport(KsRef<ProgressReport>()));
  EXPECT_EQ(0, operation->AttachToProgressReport(report));
  EXPECT_EQ(0, operation->AttachToProgressReport(report));
  EXPECT_EQ(report, operation->GetProgressReport());
  report->Task();  // DidTask starts the ready operation, once
  EXPECT_EQ(KsOperation::kRunning, operation->GetOperationState());
  EXPECT_EQ(21, report->GetStatus());

  auto other = KsMakeRef<ProgressReport>();
  report->SetOperationKeepAlive(other);
  EXPECT_EQ(0, operation->DetachFromProgressReport(report));
  EXPECT_EQ(KsRef<KsObject>(other), report->GetOperationKeepAlive());
}

TEST_F(KsOperationTest, StateIsReadOnlyAndOnlyTheCollectionIsMadeByName) {
  auto operation = KsMakeRef<KsOperation>();
  KsRef<HcProperty> state = operation->GetClassObject()->FindProperty("OperationState");
  int32_t value = -1;
  EXPECT_EQ(0, state->GetValue(operation.Get(), &value));
  EXPECT_EQ(1, value);
  EXPECT_TRUE(AppErrFailed(state->SetValue(operation.Get(), int32_t{3})));
  EXPECT_EQ(1, operation->GetOperationState());

  EXPECT_TRUE(MakeObject<KsOperation>("KsOperation").IsEmpty());
  KsRef<KsOperationCollection> operations = MakeObject<KsOperationCollection>("KsOperationCollection");
  ASSERT_TRUE(operations);
  EXPECT_EQ(0u, operations->GetCount());
  EXPECT_EQ(AppErr::kBadArgument, operations->AddObject(KsMakeRef<ProgressReport>()));
  EXPECT_EQ(0, operations->AddObject(operation));
}
