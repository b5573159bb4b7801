#include <gtest/gtest.h>

#include "BridgedMethodTable.h"
#include "General/HcClassMap.h"
#include "General/KsValueWrapper.h"
#include "InterfaceCommon/AggregateProgressReport.h"
#include "InterfaceCommon/ProgressReportCollection.h"
#include "InterfaceCommon/StatusReport.h"
#include "InterfaceCommon/StatusReportCollection.h"
#include "InterfaceCommon/StringLocalizer.h"
#include "Utilities/FileManager.h"
#include "Utilities/KsOperationSequence.h"

using namespace bridged_test;

namespace {

V ReportState(ProgressReport& report) {
  return V::Array({V::Int(report.GetStatus()), V::UInt(report.GetStatusReports()->GetCount())});
}

// A report that has finished: waiting on it answers at once.
KsRef<ProgressReport> DoneReport() {
  auto report = KsMakeRef<ProgressReport>();
  report->SetStatus(StatusReport::kDone);
  return report;
}

}  // namespace

TEST(BridgedReportMethodsTest, ProgressReportSelectorsCallTheirOperations) {
  using R = ProgressReport;
  static auto observer = KsMakeRef<KsValueWrapper>();
  static auto status = KsMakeRef<StatusReport>();
  const Case<R> cases[] = {
      {"cancelOperation", [](Outs&) { return Args{}; }, [](R& r, Outs&) { return V::Int(r.CancelOperation()); }},
      {"task", [](Outs&) { return Args{}; }, [](R& r, Outs&) { return V::Int(r.Task()); }},
      {"addStandardObservationsForObserver:", [](Outs&) { return Args{Object(observer)}; },
       [](R& r, Outs&) { return V::Int(r.AddStandardObservationsForObserver(observer)); }},
      {"removeStandardObservationsForObserver:", [](Outs&) { return Args{Object(observer)}; },
       [](R& r, Outs&) { return V::Int(r.RemoveStandardObservationsForObserver(observer)); }},
      {"addStatusReportreport:", [](Outs&) { return Args{Object(status)}; },
       [](R& r, Outs&) { return V::Int(r.AddStatusReport(status)); }},
      {"addStatusReportreport:", [](Outs&) { return Args{Object(observer)}; },
       [](R& r, Outs&) { return V::Int(r.AddStatusReport(observer)); }},
      {"addStatusReportForAppErrappErr:", [](Outs&) { return Args{V::Int(-43)}; },
       [](R& r, Outs&) { return V::Int(r.AddStatusReportForAppErr(-43)); }},
  };
  ExpectLikeModel<R>(&Make<R>, &ReportState, cases);

  const Case<R> finished[] = {
      {"wait", [](Outs&) { return Args{}; }, [](R& r, Outs&) { return V::Int(r.Wait()); }},
  };
  ExpectLikeModel<R>(&DoneReport, &ReportState, finished);
}

TEST(BridgedReportMethodsTest, AggregateReportSelectorsCallTheirOperations) {
  using A = AggregateProgressReport;
  static KsRef<ProgressReport> child = DoneReport();
  const auto state = [](A& a) {
    return V::Array({ReportState(a), V::UInt(a.GetProgressReports()->GetCount())});
  };
  const Case<A> cases[] = {
      {"addReport:", [](Outs&) { return Args{Object(child)}; }, [](A& a, Outs&) { return V::Int(a.AddReport(child)); }},
      {"addReport:", [](Outs&) { return Args{V::Nil()}; }, [](A& a, Outs&) { return V::Int(a.AddReport({})); }},
      {"removeReport:", [](Outs&) { return Args{Object(child)}; },
       [](A& a, Outs&) { return V::Int(a.RemoveReport(child)); }},
      {"cancelOperation", [](Outs&) { return Args{}; }, [](A& a, Outs&) { return V::Int(a.CancelOperation()); }},
      {"task", [](Outs&) { return Args{}; }, [](A& a, Outs&) { return V::Int(a.Task()); }},
  };
  ExpectLikeModel<A>(&Make<A>, state, cases);
  // With one finished child the aggregate is finished too, so waiting answers.
  const Case<A> finished[] = {
      {"wait", [](Outs&) { return Args{}; }, [](A& a, Outs&) { return V::Int(a.Wait()); }},
  };
  ExpectLikeModel<A>(
      [] {
        auto aggregate = KsMakeRef<A>();
        aggregate->AddReport(DoneReport());
        return aggregate;
      },
      state, finished);
}

TEST(BridgedReportMethodsTest, LocalizerAnswersNilForAnyString) {
  using L = StringLocalizer;
  const Case<L> cases[] = {
      {"localizeString:", [](Outs&) { return Args{V::String("Open")}; },
       [](L& l, Outs&) { return Box(l.LocalizeString(PWStringRef("Open"))); }},
      {"localizeString:", [](Outs&) { return Args{V::Nil()}; },
       [](L& l, Outs&) { return Box(l.LocalizeString(PWStringRef())); }},
  };
  ExpectLikeModel<L>(&Make<L>, [](L&) { return V(); }, cases);
}

TEST(BridgedReportMethodsTest, OperationSelectorsCallTheirOperations) {
  // The file manager is an operation of its own: it answers every selector
  // of an operation.
  using O = FileManager;
  const auto state = [](O& o) { return V::Int(o.GetOperationState()); };
  const Case<O> cases[] = {
      {"start", [](Outs&) { return Args{}; }, [](O& o, Outs&) { return Box(o.Start()); }, true},
      {"taskreport:", [](Outs&) { return Args{Object(DoneReport())}; },
       [](O& o, Outs&) { return V::Int(o.Task(DoneReport())); }},
      {"cancelreport:", [](Outs&) { return Args{Object(KsMakeRef<ProgressReport>())}; },
       [](O& o, Outs&) { return V::Int(o.Cancel(KsMakeRef<ProgressReport>())); }},
      {"cancelreport:", [](Outs&) { return Args{V::Nil()}; }, [](O& o, Outs&) { return V::Int(o.Cancel({})); }},
      {"attachToProgressReportreport:", [](Outs&) { return Args{Object(KsMakeRef<ProgressReport>())}; },
       [](O& o, Outs&) { return V::Int(o.AttachToProgressReport(KsMakeRef<ProgressReport>())); }},
      {"detachFromProgressReportreport:", [](Outs&) { return Args{Object(KsMakeRef<ProgressReport>())}; },
       [](O& o, Outs&) { return V::Int(o.DetachFromProgressReport(KsMakeRef<ProgressReport>())); }},
      {"failWithAppErrerror:", [](Outs&) { return Args{V::Int(-36)}; },
       [](O& o, Outs&) { return V::Int(o.FailWithAppErr(-36)); }},
  };
  ExpectLikeModel<O>(&Make<O>, state, cases);

  using S = KsOperationSequence;
  const auto sequenceState = [](S& s) { return V::Int(s.GetOperationState()); };
  const Case<S> sequenceCases[] = {
      {"start", [](Outs&) { return Args{}; }, [](S& s, Outs&) { return Box(s.Start()); }, true},
      {"taskreport:", [](Outs&) { return Args{Object(DoneReport())}; },
       [](S& s, Outs&) { return V::Int(s.Task(DoneReport())); }},
      {"cancelreport:", [](Outs&) { return Args{Object(KsMakeRef<ProgressReport>())}; },
       [](S& s, Outs&) { return V::Int(s.Cancel(KsMakeRef<ProgressReport>())); }},
  };
  ExpectLikeModel<S>([] { return MakeObject<S>("KsOperationSequence"); }, sequenceState, sequenceCases);
}
