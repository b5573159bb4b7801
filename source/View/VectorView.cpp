#include "View/VectorView.h"

#include "Renderer/HcVertexBuffer.h"
#include "Renderer/PanoRenderer.h"
#include "Responder/KeyboardResponder.h"
#include "Responder/MouseIgnoreResponder.h"
#include "View/HcVectorObject.h"
#include "View/PanoView.h"
#include "View/VectorObjectCollection.h"

VectorView::VectorView() = default;
VectorView::~VectorView() = default;

KsRef<MouseResponder> VectorView::CreateDefaultMouseResponder() {
  auto responder = KsMakeRef<MouseIgnoreResponder>();
  responder->SetTransparent(true);
  return responder;
}

KsRef<KeyboardResponder> VectorView::CreateDefaultKeyboardResponder() { return KsMakeRef<KeyboardResponder>(); }

eAppErr VectorView::Draw(const KsRef<PanoRenderer>& renderer) {
  if (!renderer) return KS_TRACE_ERR(AppErr::kNotReady, "Draw");
  const KsRef<PanoView> contextView = m_contextView;
  const KsRect<int32_t> frame = GetPixelFrame();
  eAppErr err = renderer->SetViewport(frame);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  err = renderer->Ortho2D(KsRectF(static_cast<float>(frame.x), static_cast<float>(frame.y),
                                  static_cast<float>(frame.w), static_cast<float>(frame.h)),
                          true);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  err = renderer->ModelViewIdentity();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  if (!m_vectorObjects) return err;

  const KsColorF savedBackground = renderer->GetBackgroundColor();
  renderer->SetBackgroundColor(m_backgroundColor);
  if (m_drawBackground && m_drawObjectsOverBackground) renderer->FillRectWithBackground(frame);
  if (m_drawBackground) err = renderer->ClearDepthBuffer();
  if (err == AppErr::kNoErr) err = DrawObjects(renderer, contextView);
  if (err == AppErr::kNoErr && m_drawBackground && !m_drawObjectsOverBackground) {
    renderer->FillRectWithBackground(frame);
  }
  renderer->SetDepthFunc(kDepthLessOrEqual);
  renderer->SetBackgroundColor(savedBackground);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  return err;
}

eAppErr VectorView::DrawObjects(const KsRef<PanoRenderer>& renderer, const KsRef<PanoView>& contextView) {
  const KsRect<int32_t> frame = GetPixelFrame();
  const uint32_t count = m_vectorObjects->GetCount();
  for (uint32_t i = 0; i < count; ++i) {
    KsRef<HcVectorObject> object = m_vectorObjects->GetByIndex(i);
    if (!object) continue;
    const eAppErr err = object->Draw(frame, contextView, renderer, DepthOfObject(i));
    if (err != AppErr::kNoErr) return err;
  }
  return AppErr::kNoErr;
}

bool VectorView::ObjectContainsPoint(const KsRef<KsObject>& object, const KsPointF& point) {
  auto* vectorObject = dynamic_cast<HcVectorObject*>(object.Get());
  return vectorObject && vectorObject->ContainsPoint(GetPixelFrame(), m_contextView, point);
}

bool VectorView::ObjectAtIndexContainsPoint(uint32_t index, const KsPointF& point) {
  if (!m_vectorObjects || index >= m_vectorObjects->GetCount()) return false;
  return ObjectContainsPoint(m_vectorObjects->GetByIndex(index), point);
}

KsRef<KsObject> VectorView::GetObjectAtPoint(const KsPointF& point) {
  if (!m_vectorObjects) return {};
  // Later objects are drawn nearer the viewer: the topmost one answers.
  for (uint32_t i = m_vectorObjects->GetCount(); i-- > 0;) {
    KsRef<KsObject> object = m_vectorObjects->GetByIndex(i);
    if (ObjectContainsPoint(object, point)) return object;
  }
  return {};
}

KsRef<KsObject> VectorView::GetVectorObjectAt(uint32_t index) {
  return m_vectorObjects ? KsRef<KsObject>(m_vectorObjects->GetByIndex(index)) : KsRef<KsObject>();
}

eAppErr VectorView::DrawTextureSetFlat(const KsRectF& destination, const KsRef<PanoRenderer>& renderer,
                                       const KsRef<HcTextureSet>& textureSet, bool drawTileBoundary,
                                       const KsColorF& color, FlatTextureSetDrawing::Cache& cache, float z) {
  return FlatTextureSetDrawing::DrawTextureSetFlat(destination, renderer, textureSet, drawTileBoundary, color, cache,
                                                   z);
}

eAppErr VectorView::SetBackgroundColor(const KsColorF& color) {
  DidChangeCaller change(this, kBackgroundColorId);
  m_backgroundColor = color;
  return AppErr::kNoErr;
}

KsRef<PanoView> VectorView::GetContextView() const { return m_contextView; }

eAppErr VectorView::SetContextView(const KsRef<PanoView>& view) {
  if (view == m_contextView) return AppErr::kNoErr;
  DidChangeCaller change(this, kContextViewId);
  m_contextView = view;
  return AppErr::kNoErr;
}

eAppErr VectorView::SetDrawBackground(bool draw) {
  DidChangeCaller change(this, kDrawBackgroundId);
  m_drawBackground = draw;
  return AppErr::kNoErr;
}

eAppErr VectorView::SetDrawObjectsOverBackground(bool over) {
  DidChangeCaller change(this, kDrawObjectsOverBackgroundId);
  m_drawObjectsOverBackground = over;
  return AppErr::kNoErr;
}

KsRef<VectorObjectCollection> VectorView::GetVectorObjects() const { return m_vectorObjects; }

eAppErr VectorView::SetVectorObjects(const KsRef<VectorObjectCollection>& objects) {
  if (objects == m_vectorObjects) return AppErr::kNoErr;
  DidChangeCaller change(this, kVectorObjectsId);
  m_vectorObjects = objects;
  return AppErr::kNoErr;
}
