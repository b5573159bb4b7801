#include "Time/ObjectValueRangeTween.h"

#include <algorithm>

#include "General/Int64Collection.h"
#include "KsTrace.h"
#include "Time/HcClock.h"
#include "Time/HcTimeScale.h"
#include "Time/ObjectValueRangeCollection.h"
#include "Utilities/HcPropertyBindingBase.h"

namespace {

constexpr int32_t kDefaultTimeScaleKind = 7;

KsRef<ObjectValueRange> EmptyRange(int64_t start, int64_t end) {
  auto range = KsMakeRef<ObjectValueRange>();
  range->SetStartTime(start);
  range->SetEndTime(end);
  return range;
}

void Append(ObjectValueRangeCollection& to, const KsRef<ObjectValueRangeCollection>& from) {
  for (uint32_t i = 0; from && i < from->GetCount(); ++i) {
    if (KsRef<ObjectValueRange> range = from->GetByIndex(i)) to.Add(range);
  }
}

}  // namespace

ObjectValueRangeTween::ObjectValueRangeTween()
    : m_valueRanges(KsMakeRef<ObjectValueRangeCollection>()),
      m_timeScale(HcTimeScale::MakeStandardTimeScale(kDefaultTimeScaleKind)) {}

ObjectValueRangeTween::~ObjectValueRangeTween() = default;

eAppErr ObjectValueRangeTween::DoEvaluate(double t, const KsRef<HcClock>&) {
  KsRef<HcTimeScale> timeScale = m_timeScale;
  if (!timeScale) return KS_TRACE_ERR(AppErr::kBadArgument, "DoEvaluate");
  const int64_t time = timeScale->ConvertValueInSeconds(t, false, false);
  if (m_currentValueRange && m_currentValueRange->IsInRange(time)) return kNothingDone;
  KsRef<ObjectValueRange> range = GetValueRangeAtTime(time);
  // Nothing was current and nothing is: there is nothing to write.
  if (range == m_currentValueRange) return kNothingDone;
  SetCurrentValueRange(range);
  return AppErr::kNoErr;
}

eAppErr ObjectValueRangeTween::SetCurrentValueRange(const KsRef<ObjectValueRange>& range) {
  {
    DidChangeCaller change(this, kCurrentValueRangeId);
    m_currentValueRange = range;
  }
  if (range) {
    KS_TRACE(KsTrace::kVerbose, "Switched to new value range (%lld, %lld)",
             static_cast<long long>(range->GetStartTime()), static_cast<long long>(range->GetEndTime()));
  } else {
    KS_TRACE(KsTrace::kVerbose, "Switched to empty value range");
  }
  if (KsRef<HcPropertyBindingBase> binding = GetBinding()) {
    binding->SetValue(range ? range->GetObjectValue() : KsRef<KsObject>());
  }
  return AppErr::kNoErr;
}

KsRef<ObjectValueRange> ObjectValueRangeTween::GetValueRangeAtTime(int64_t time, uint32_t* index) {
  KsRef<ObjectValueRangeCollection> ranges = m_valueRanges;
  for (uint32_t i = 0; ranges && i < ranges->GetCount(); ++i) {
    KsRef<ObjectValueRange> range = ranges->GetByIndex(i);
    if (range->IsInRange(time)) {
      if (index) *index = i;
      return range;
    }
    if (index && range->GetStartTime() > time) {
      *index = i;
      return {};
    }
  }
  return {};
}

eAppErr ObjectValueRangeTween::AddRange(const KsRef<ObjectValueRange>& range) {
  if (!range) return KS_TRACE_ERR(AppErr::kBadArgument, "AddRange");
  if (!m_valueRanges) m_valueRanges = KsMakeRef<ObjectValueRangeCollection>();
  uint32_t position = 0;
  const uint32_t count = m_valueRanges->GetCount();
  while (position < count && m_valueRanges->GetByIndex(position)->GetStartTime() < range->GetStartTime()) {
    ++position;
  }
  const eAppErr result = m_valueRanges->InsertAt(position, range);
  ResetStartEndTimes();
  return result;
}

eAppErr ObjectValueRangeTween::ResetStartEndTimes() {
  const uint32_t count = m_valueRanges ? m_valueRanges->GetCount() : 0;
  if (count > 0 && m_timeScale) {
    m_startTimeTS = m_valueRanges->GetByIndex(0)->GetStartTime();
    m_endTimeTS = m_valueRanges->GetByIndex(count - 1)->GetEndTime();
    SetStartTime(m_timeScale->TimeValueToSeconds(m_startTimeTS));
    SetEndTime(m_timeScale->TimeValueToSeconds(m_endTimeTS));
  } else {
    m_startTimeTS = 0;
    m_endTimeTS = 0;
    SetStartTime(0.0);
    SetEndTime(0.0);
  }
  return AppErr::kNoErr;
}

KsRef<Int64Collection> ObjectValueRangeTween::GetValuedRunTimes() {
  auto times = KsMakeRef<Int64Collection>();
  bool inRun = false;
  int64_t runEnd = 0;
  for (uint32_t i = 0; m_valueRanges && i < m_valueRanges->GetCount(); ++i) {
    KsRef<ObjectValueRange> range = m_valueRanges->GetByIndex(i);
    const bool continues = inRun && range->HasObjectValue() && range->GetStartTime() == runEnd;
    if (inRun && !continues) {
      times->Add(runEnd);
      inRun = false;
    }
    if (!range->HasObjectValue()) continue;
    if (!inRun) {
      times->Add(range->GetStartTime());
      inRun = true;
    }
    runEnd = range->GetEndTime();
  }
  if (inRun) times->Add(runEnd);
  return times;
}

KsRef<ObjectValueRangeCollection> ObjectValueRangeTween::CopyRangesBetween(int64_t from, int64_t to, bool fillGaps) {
  auto result = KsMakeRef<ObjectValueRangeCollection>();
  if (!(from < to)) return result;
  const uint32_t count = m_valueRanges ? m_valueRanges->GetCount() : 0;
  // Past every range the lookup leaves the index alone: it stays at the end.
  uint32_t index = count;
  KsRef<ObjectValueRange> range = GetValueRangeAtTime(from, &index);
  int64_t cursor = from;
  if (!range) {
    range = index < count ? m_valueRanges->GetByIndex(index) : KsRef<ObjectValueRange>();
    if (fillGaps) {
      cursor = range ? std::min(range->GetStartTime(), to) : to;
      if (cursor > from) result->Add(EmptyRange(from, cursor));
    }
  }
  while (range && range->GetStartTime() < to) {
    KsRef<ObjectValueRange> copy = range->CopyRange();
    if (copy->GetEndTime() > to) copy->SetEndTime(to);
    cursor = copy->GetEndTime();
    result->Add(copy);
    range = ++index < count ? m_valueRanges->GetByIndex(index) : KsRef<ObjectValueRange>();
  }
  if (fillGaps && cursor < to) result->Add(EmptyRange(cursor, to));
  return result;
}

KsRef<ObjectValueRangeTween> ObjectValueRangeTween::MergeWithRangeTween(const KsRef<ObjectValueRangeTween>& other) {
  if (!other) return {};
  if (m_timeScale && other->m_timeScale && !m_timeScale->IsEqual(other->m_timeScale)) return {};
  auto merged = KsMakeRef<ObjectValueRangeTween>();
  merged->SetTimeScale(m_timeScale);
  merged->SetClock(GetClock());
  const int64_t maxEnd = std::max(m_endTimeTS, other->m_endTimeTS);
  KsRef<Int64Collection> runs = GetValuedRunTimes();
  const uint32_t n = runs->GetCount();
  auto ranges = KsMakeRef<ObjectValueRangeCollection>();
  int64_t previous = 0;
  // Each run of this tween's valued ranges, and the other tween's ranges in
  // every stretch before, between and after them.
  for (uint32_t i = 0; i + 1 < n; i += 2) {
    const int64_t runStart = runs->GetByIndex(i);
    const int64_t runEnd = runs->GetByIndex(i + 1);
    Append(*ranges, other->CopyRangesBetween(previous, runStart, true));
    Append(*ranges, CopyRangesBetween(runStart, runEnd, true));
    previous = runEnd;
  }
  Append(*ranges, other->CopyRangesBetween(previous, maxEnd, true));
  merged->SetValueRanges(ranges);
  merged->ResetStartEndTimes();
  return merged;
}

eAppErr ObjectValueRangeTween::SetValueRanges(const KsRef<ObjectValueRangeCollection>& ranges) {
  DidChangeCaller change(this, kValueRangesId);
  m_valueRanges = ranges;
  return AppErr::kNoErr;
}

eAppErr ObjectValueRangeTween::SetTimeScale(const KsRef<HcTimeScale>& timeScale) {
  DidChangeCaller change(this, kTimeScaleId);
  m_timeScale = timeScale;
  return AppErr::kNoErr;
}

eAppErr ObjectValueRangeTween::SetStartTimeTS(int64_t time) {
  DidChangeCaller change(this, kStartTimeTSId);
  m_startTimeTS = time;
  return AppErr::kNoErr;
}

eAppErr ObjectValueRangeTween::SetEndTimeTS(int64_t time) {
  DidChangeCaller change(this, kEndTimeTSId);
  m_endTimeTS = time;
  return AppErr::kNoErr;
}
