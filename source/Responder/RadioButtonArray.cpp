#include "Responder/RadioButtonArray.h"

#include "General/KsStringCollection.h"
#include "Responder/SourceDisplayObject.h"
#include "Responder/VectorObjectHost.h"
#include "Source/SourceCollection.h"
#include "View/HcView.h"

namespace {

const KsPointF kNowhere{-1.0f, -1.0f};

KsRef<PanoSource> FindSource(const KsRef<SourceCollection>& sources, const PWStringRef& name) {
  KsRef<PanoSource> source;
  if (sources) {
    KsRef<KsObject> found;
    if (!AppErrFailed(sources->GetObjectByName(name, &found))) source = found.DynamicCast<PanoSource>();
  }
  return source;
}

}  // namespace

RadioButtonArray::RadioButtonArray() : m_buttonNames(KsMakeRef<KsStringCollection>()) {}
RadioButtonArray::~RadioButtonArray() = default;

KsRef<SourceCollection> RadioButtonArray::GetSourceCollection() const { return m_sourceCollection; }

eAppErr RadioButtonArray::SetSourceCollection(const KsRef<SourceCollection>& sources) {
  m_sourceCollection = sources;
  m_buttonImages.clear();
  m_built = false;
  return AppErr::kNoErr;
}

KsRef<KsStringCollection> RadioButtonArray::GetButtonNames() const { return m_buttonNames; }

eAppErr RadioButtonArray::SetButtonNames(const KsRef<KsStringCollection>& names) {
  m_buttonNames = names ? names : KsMakeRef<KsStringCollection>();
  m_buttonImages.clear();
  m_built = false;
  return AppErr::kNoErr;
}

uint32_t RadioButtonArray::ButtonCount() const { return m_buttonNames ? m_buttonNames->GetCount() : 0; }

uint32_t RadioButtonArray::GetCurrentButtonIndex() const {
  const uint32_t count = ButtonCount();
  return m_currentButtonIndex < count ? m_currentButtonIndex : count - 1;
}

PWStringRef RadioButtonArray::GetCurrentButtonName() const {
  return m_buttonNames ? m_buttonNames->GetByIndex(GetCurrentButtonIndex()) : PWStringRef();
}

eAppErr RadioButtonArray::SetCurrentButtonIndex(uint32_t index) {
  m_currentButtonIndex = index;
  m_pressed = -1;
  Refresh(kNowhere);
  return AppErr::kNoErr;
}

void RadioButtonArray::BuildButtonImages() {
  const uint32_t count = ButtonCount();
  m_buttonImages.assign(count, nullptr);
  for (uint32_t i = 0; i < count; ++i) {
    const std::string name = m_buttonNames->GetByIndex(i).Str();
    auto images = KsMakeRef<SourceCollection>();
    if (KsRef<PanoSource> up = FindSource(m_sourceCollection, PWStringRef(name + "Up"))) images->Add(up);
    if (KsRef<PanoSource> down = FindSource(m_sourceCollection, PWStringRef(name + "Down"))) images->Add(down);
    m_buttonImages[i] = images;
  }
  m_built = true;
}

bool RadioButtonArray::ButtonContainsPoint(uint32_t index, const KsPointF& point) const {
  if (index >= ButtonCount()) return false;
  KsRef<HcView> view = GetView();
  VectorObjectHost* host = VectorObjectHost::Of(view.Get());
  return host && host->ObjectAtIndexContainsPoint(index, point);
}

// Shows image `down` (0 up, 1 down) of the button's list: a missing image
// leaves the display empty.
void RadioButtonArray::ShowButton(uint32_t index, bool down) {
  if (!m_built) BuildButtonImages();
  if (index >= m_buttonImages.size()) return;
  KsRef<PanoSource> source = m_buttonImages[index] ? m_buttonImages[index]->GetByIndex(down ? 1 : 0) : nullptr;
  KsRef<HcView> view = GetView();
  VectorObjectHost* host = VectorObjectHost::Of(view.Get());
  if (!host) return;
  KsRef<KsObject> object = host->GetVectorObjectAt(index);
  SourceDisplayObject* display = SourceDisplayObject::Of(object.Get());
  if (display && display->GetSource() != source) display->SetSource(source);
}

void RadioButtonArray::Refresh(const KsPointF& point) {
  const uint32_t count = ButtonCount();
  for (uint32_t i = 0; i < count; ++i) {
    bool down = i == GetCurrentButtonIndex();
    if (static_cast<int64_t>(i) == m_pressed && ButtonContainsPoint(i, point)) down = !down;
    ShowButton(i, down);
  }
}

bool RadioButtonArray::MouseDown(const KsPointF& point, uint32_t*) {
  const uint32_t count = ButtonCount();
  for (uint32_t i = 0; i < count; ++i) {
    if (ButtonContainsPoint(i, point)) m_pressed = static_cast<int32_t>(i);
  }
  Refresh(point);
  return true;
}

void RadioButtonArray::MouseUp(const KsPointF& point, uint32_t*) {
  const int32_t pressed = m_pressed;
  if (pressed >= 0 && ButtonContainsPoint(static_cast<uint32_t>(pressed), point)) {
    if (ButtonSelected(static_cast<uint32_t>(pressed))) SetCurrentButtonIndex(static_cast<uint32_t>(pressed));
  }
  m_pressed = -1;
  Refresh(point);
}

bool RadioButtonArray::MouseRightDown(const KsPointF&, uint32_t*) { return true; }

void RadioButtonArray::MouseRightUp(const KsPointF&, uint32_t*) {}

bool RadioButtonArray::MouseMoved(const KsPointF& point, uint32_t*) {
  Refresh(point);
  return true;
}
