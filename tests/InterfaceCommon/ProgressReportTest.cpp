#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "General/HcClassMap.h"
#include "InterfaceCommon/ProgressReport.h"
#include "InterfaceCommon/StatusReport.h"
#include "ReportTestSupport.h"
#include "platform/system/RunLoop.h"

using namespace std::chrono_literals;

namespace {

class ProgressReportTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureClassesRegistered(); }
};

std::vector<eAppErr> EntryCodes(const ProgressReport& report) {
  std::vector<eAppErr> codes;
  KsRef<StatusReportCollection> entries = report.GetStatusReports();
  for (uint32_t i = 0; i < entries->GetCount(); ++i) codes.push_back(entries->GetByIndex(i)->GetStatus());
  return codes;
}

}  // namespace

TEST_F(ProgressReportTest, ANewReportMadeByNameIsWaitingAndIndeterminate) {
  KsRef<ProgressReport> report = MakeObject<ProgressReport>("ProgressReport");
  ASSERT_TRUE(report);
  EXPECT_EQ(20, report->GetStatus());
  EXPECT_EQ(0.0f, report->GetProgress());
  EXPECT_EQ(1.0f, report->GetMaxProgress());
  EXPECT_EQ(0.0f, report->GetPercentComplete());
  EXPECT_TRUE(report->GetIsIndeterminate());
  EXPECT_TRUE(report->GetCanCancel());
  EXPECT_EQ(0u, report->GetStatusReports()->GetCount());
  EXPECT_TRUE(MakeObject<StatusReport>("StatusReport"));
  EXPECT_TRUE(MakeObject<KsObject>("StatusReportCollection"));
  EXPECT_TRUE(MakeObject<KsObject>("ProgressReportCollection"));
}

TEST_F(ProgressReportTest, SetStatusKeepsOtherCodesAsEntriesAndFailsOnNegativeOnes) {
  struct Case {
    eAppErr code;
    eAppErr status;  // afterwards
    std::vector<eAppErr> entries;
    int notices;
  };
  const Case cases[] = {
      {0, 20, {}, 0},    {5, 21, {5}, 1},   {-43, -28, {-43}, 1}, {-28, -28, {}, 1},
      {21, 21, {}, 1},   {22, 22, {}, 1},   {23, 23, {}, 1},      {20, 20, {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    auto report = KsMakeRef<ProgressReport>();
    auto log = KsMakeRef<NoticeLog>();
    log->Watch(report, {StatusReport::kStatusId});
    EXPECT_EQ(0, report->SetStatus(c.code));
    EXPECT_EQ(c.status, report->GetStatus());
    EXPECT_EQ(c.entries, EntryCodes(*report));
    EXPECT_EQ(c.notices, log->Count(StatusReport::kStatusId));
  }
  // Through the property, the same rules apply.
  auto report = KsMakeRef<ProgressReport>();
  KsRef<HcProperty> status = report->GetClassObject()->FindProperty("status");
  EXPECT_EQ(0, status->SetValue(report.Get(), int32_t{7}));
  EXPECT_EQ(21, report->GetStatus());
  EXPECT_EQ(std::vector<eAppErr>{7}, EntryCodes(*report));
}

TEST_F(ProgressReportTest, ProgressAnnouncesItselfThePercentageAndTheIndeterminateFlag) {
  auto report = KsMakeRef<ProgressReport>();
  auto log = KsMakeRef<NoticeLog>();
  log->Watch(report, {ProgressReport::kProgressId, ProgressReport::kPercentCompleteId,
                      ProgressReport::kIsIndeterminateId});
  report->SetProgress(0.5f);
  EXPECT_EQ((std::vector<int32_t>{304, 300, 301}), log->Ids());
  EXPECT_EQ(0.5f, report->GetPercentComplete());
  EXPECT_FALSE(report->GetIsIndeterminate());
  report->SetProgress(-1.0f);
  EXPECT_TRUE(report->GetIsIndeterminate());
  report->SetProgress(2.0f);
  report->SetMaxProgress(0.0f);
  EXPECT_TRUE(report->GetIsIndeterminate());
}

TEST_F(ProgressReportTest, CancellingTellsOnlyDidCancelAndLeavesAFinishedTaskAsItEnded) {
  auto report = KsMakeRef<ProgressReport>();
  auto log = KsMakeRef<NoticeLog>();
  log->Watch(report, {StatusReport::kStatusId, ProgressReport::kDidCancelId});
  report->SetCanCancel(false);
  EXPECT_EQ(ProgressReport::kCancelRefused, report->CancelOperation());
  EXPECT_EQ(20, report->GetStatus());
  report->SetCanCancel(true);
  EXPECT_EQ(0, report->CancelOperation());
  EXPECT_EQ(23, report->GetStatus());
  EXPECT_EQ(std::vector<int32_t>{ProgressReport::kDidCancelId}, log->Ids());

  for (eAppErr final : {22, -28}) {
    auto finished = KsMakeRef<ProgressReport>();
    finished->SetStatus(final);
    auto quiet = KsMakeRef<NoticeLog>();
    quiet->Watch(finished, {ProgressReport::kDidCancelId});
    EXPECT_EQ(0, finished->CancelOperation());
    EXPECT_EQ(final, finished->GetStatus());
    EXPECT_TRUE(quiet->Ids().empty());
  }
}

TEST_F(ProgressReportTest, WaitReturnsAFinalStatusAtOnceAndBlocksOtherwiseUntilTheStatusChanges) {
  for (int32_t mode : {0, 1, 2, 6}) {
    for (eAppErr final : {22, 23, -28}) {
      auto report = KsMakeRef<ProgressReport>();
      report->SetTaskMode(mode);
      report->SetStatus(final);
      EXPECT_EQ(final, report->Wait());
    }
  }
  for (eAppErr wakeWith : {22, 20}) {
    auto report = KsMakeRef<ProgressReport>();
    report->SetStatus(21);
    std::thread setter([&] {
      std::this_thread::sleep_for(30ms);
      report->SetStatus(5);  // still running: wakes nobody
      std::this_thread::sleep_for(30ms);
      report->SetStatus(wakeWith);
    });
    EXPECT_EQ(wakeWith, report->Wait());
    setter.join();
  }
}

TEST_F(ProgressReportTest, CancellingWakesEveryWaiter) {
  auto report = KsMakeRef<ProgressReport>();
  report->SetStatus(21);
  std::atomic<int> woken{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i) {
    waiters.emplace_back([&] {
      if (report->Wait() == 23) ++woken;
    });
  }
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(0, report->CancelOperation());
  for (auto& waiter : waiters) waiter.join();
  EXPECT_EQ(3, woken.load());
}

TEST_F(ProgressReportTest, SteppingWaitDrivesTheTaskAndPausesWhenAStepChangesNothing) {
  // Mode 1: every step does work; three steps finish it.
  auto report = KsMakeRef<ProgressReport>();
  report->SetTaskMode(1);
  report->SetStatus(21);
  auto worker = KsMakeRef<Stepper>([](ProgressReport& r) {
    r.SetProgress(r.GetProgress() + 1.0f);
    if (r.GetProgress() >= 3.0f) r.SetStatus(22);
  });
  report->AddStandardObservationsForObserver(worker);
  EXPECT_EQ(22, report->Wait());
  EXPECT_EQ(3, worker->steps.load());

  // A task that never started ends the wait after one step.
  auto idle = KsMakeRef<ProgressReport>();
  idle->SetTaskMode(1);
  auto counter = KsMakeRef<Stepper>([](ProgressReport&) {});
  idle->AddStandardObservationsForObserver(counter);
  EXPECT_EQ(20, idle->Wait());
  EXPECT_EQ(1, counter->steps.load());

  // Mode 2: the work is done elsewhere and reports through this thread's run
  // loop; the waiter runs that loop between steps instead of spinning.
  auto remote = KsMakeRef<ProgressReport>();
  remote->SetTaskMode(2);
  remote->SetStatus(21);
  auto steps = KsMakeRef<Stepper>([](ProgressReport&) {});
  remote->AddStandardObservationsForObserver(steps);
  std::shared_ptr<hc::system::RunLoop> loop = hc::system::RunLoop::Current();
  std::thread worker2([&] {
    std::this_thread::sleep_for(300ms);
    loop->Post([&] { remote->SetStatus(22); });
  });
  EXPECT_EQ(22, remote->Wait());
  worker2.join();
  EXPECT_LT(steps->steps.load(), 100) << "a waiting thread must not spin";
}

TEST_F(ProgressReportTest, PropertiesWithoutSettersRefuseWritesAndTheKeepAliveAnnouncesEvenWhenUnchanged) {
  auto report = KsMakeRef<ProgressReport>();
  auto classObject = report->GetClassObject();
  EXPECT_EQ(AppErr::kUnsupportedType, classObject->FindProperty("PercentComplete")->SetValue(report.Get(), 0.5f));
  EXPECT_EQ(AppErr::kUnsupportedType, classObject->FindProperty("DidCancel")->SetValue(report.Get(), true));
  bool value = false;
  EXPECT_EQ(AppErr::kUnsupportedType, classObject->FindProperty("DidTask")->GetValue(report.Get(), &value));
  EXPECT_EQ(AppErr::kUnsupportedType,
            classObject->FindProperty("StatusReports")->SetValue(report.Get(), KsRef<KsObject>()));

  auto keep = KsMakeRef<StatusReport>();
  report->SetOperationKeepAlive(keep);
  const int32_t count = keep->GetRetainCount();
  auto log = KsMakeRef<NoticeLog>();
  log->Watch(report, {ProgressReport::kOperationKeepAliveId});
  report->SetOperationKeepAlive(keep);
  EXPECT_EQ(count, keep->GetRetainCount());
  EXPECT_EQ(1, log->Count(ProgressReport::kOperationKeepAliveId));
  EXPECT_EQ(keep, report->GetOperationKeepAlive());
}

TEST_F(ProgressReportTest, StatusEntriesMustBeStatusReports) {
  auto report = KsMakeRef<ProgressReport>();
  EXPECT_EQ(AppErr::kBadArgument, report->AddStatusReport(KsMakeRef<NoticeLog>()));
  EXPECT_EQ(0, report->AddStatusReport(KsMakeRef<ProgressReport>()));
  EXPECT_EQ(0, report->AddStatusReportForAppErr(-300));
  EXPECT_EQ((std::vector<eAppErr>{20, -300}), EntryCodes(*report));
  EXPECT_EQ(20, report->GetStatus());
}
