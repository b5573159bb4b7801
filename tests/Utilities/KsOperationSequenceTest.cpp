#include <gtest/gtest.h>

#include "General/FloatCollection.h"
#include "General/HcClassMap.h"
#include "OperationTestSupport.h"
#include "Utilities/KsOperationSequence.h"

using namespace operations_test;

namespace {

class KsOperationSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterOnce(); }

  KsRef<KsOperationSequence> Sequence(const std::vector<KsRef<ScriptedOperation>>& operations,
                                      const std::vector<float>& weights) {
    KsRef<KsOperationSequence> sequence = MakeObject<KsOperationSequence>("KsOperationSequence");
    for (const auto& operation : operations) sequence->GetOperationSequence()->Add(operation);
    for (float weight : weights) sequence->GetOperationWeights()->Add(weight);
    return sequence;
  }
};

}  // namespace

TEST_F(KsOperationSequenceTest, WeighsFinishedOperationsAndTheRunningOnesFraction) {
  auto first = KsMakeRef<ScriptedOperation>(1);
  auto second = KsMakeRef<ScriptedOperation>(4);
  auto third = KsMakeRef<ScriptedOperation>(1);
  auto sequence = Sequence({first, second, third}, {1, 2, 1});
  KsRef<ProgressReport> report = sequence->Start();
  EXPECT_EQ(4.0f, report->GetMaxProgress());
  EXPECT_EQ(1, report->GetTaskMode());
  report->Task();  // starts the first
  report->Task();  // the first does its step and is done
  report->Task();  // starts the second
  report->Task();
  report->Task();  // the second is at 2 of 4
  EXPECT_FLOAT_EQ(2.0f, report->GetProgress());
  EXPECT_EQ(21, report->GetStatus());

  struct Case {
    size_t operations;
    std::vector<float> weights;
    float maximum;
  };
  for (const Case& c : {Case{2, {}, 2.0f}, Case{3, {5}, 7.0f}, Case{0, {}, 0.0f}}) {
    std::vector<KsRef<ScriptedOperation>> operations;
    for (size_t i = 0; i < c.operations; ++i) operations.push_back(KsMakeRef<ScriptedOperation>(1));
    EXPECT_EQ(c.maximum, Sequence(operations, c.weights)->Start()->GetMaxProgress());
  }
}

TEST_F(KsOperationSequenceTest, WaitingOnTheReportRunsEveryOperationInTurn) {
  auto first = KsMakeRef<ScriptedOperation>(2);
  auto second = KsMakeRef<ScriptedOperation>(3);
  auto sequence = Sequence({first, second}, {});
  KsRef<ProgressReport> report = sequence->Start();
  auto watcher = KsMakeRef<ReportWatcher>();
  watcher->Watch(report, {StatusReport::kStatusId});
  EXPECT_EQ(22, report->Wait());
  EXPECT_EQ(2, first->tasks);
  EXPECT_EQ(3, second->tasks);
  EXPECT_FLOAT_EQ(2.0f, report->GetProgress());
  EXPECT_EQ(KsOperation::kTerminated, sequence->GetOperationState());
  for (const auto& notice : watcher->Notices()) {
    if (notice.status == 22) {
      EXPECT_FLOAT_EQ(2.0f, notice.progress) << "never done while operations remain";
    }
  }
}

TEST_F(KsOperationSequenceTest, AnEmptySequenceFinishesOnItsFirstStep) {
  auto sequence = Sequence({}, {});
  auto report = KsMakeRef<ProgressReport>();
  EXPECT_EQ(0, sequence->Task(report));
  EXPECT_EQ(22, report->GetStatus());
  EXPECT_EQ(KsOperation::kTerminated, sequence->GetOperationState());
}

TEST_F(KsOperationSequenceTest, AnOperationDoneAtItsStartLeavesTheSequenceRunning) {
  auto instant = KsMakeRef<ScriptedOperation>(0);
  auto later = KsMakeRef<ScriptedOperation>(1);
  auto sequence = Sequence({instant, later}, {});
  KsRef<ProgressReport> report = sequence->Start();
  report->Task();
  EXPECT_EQ(21, report->GetStatus());
  EXPECT_EQ(22, report->Wait());
  EXPECT_EQ(1, later->tasks);
}

TEST_F(KsOperationSequenceTest, AFailingOperationFailsTheSequenceWhichStaysOnIt) {
  auto failing = KsMakeRef<ScriptedOperation>(3, 2);
  auto after = KsMakeRef<ScriptedOperation>(1);
  auto sequence = Sequence({failing, after}, {});
  KsRef<ProgressReport> report = sequence->Start();
  EXPECT_EQ(-28, report->Wait());
  EXPECT_EQ(0, after->tasks);
  EXPECT_EQ(KsOperation::kRunning, sequence->GetOperationState());
}

TEST_F(KsOperationSequenceTest, ACancelledOperationCancelsTheSequence) {
  auto first = KsMakeRef<ScriptedOperation>(5);
  auto second = KsMakeRef<ScriptedOperation>(1);
  auto sequence = Sequence({first, second}, {});
  KsRef<ProgressReport> report = sequence->Start();
  report->Task();
  report->Task();
  first->GetProgressReport()->CancelOperation();
  EXPECT_EQ(23, report->GetStatus());
  EXPECT_EQ(KsOperation::kTerminated, sequence->GetOperationState());
  EXPECT_EQ(23, report->Wait());
  EXPECT_EQ(0, second->tasks);

  // Cancelling the sequence cancels the running operation; again, once more.
  auto running = KsMakeRef<ScriptedOperation>(5);
  auto whole = Sequence({running}, {});
  KsRef<ProgressReport> wholeReport = whole->Start();
  wholeReport->Task();
  EXPECT_EQ(0, wholeReport->CancelOperation());
  EXPECT_EQ(23, running->GetProgressReport()->GetStatus());
  EXPECT_EQ(KsOperation::kTerminated, running->GetOperationState());
  EXPECT_EQ(23, whole->Cancel(wholeReport));
  EXPECT_EQ(23, wholeReport->GetStatus());
}
