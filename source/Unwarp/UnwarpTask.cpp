#include "Unwarp/UnwarpTask.h"

#include <climits>
#include <cmath>

#include "Projection/CartesianFuncProj.h"
#include "Projection/LinearFunc.h"
#include "Source/BufferSource.h"
#include "Source/SourceErr.h"
#include "Unwarp/Sampler.h"

namespace {

constexpr float kFullCircleDeg = 360.0f;

// A derived dimension truncated toward zero; 0 for what no buffer can have.
int ToDimension(float value) {
  if (!(value >= 0.0f && value < static_cast<float>(INT_MAX))) return 0;
  return static_cast<int>(value);
}

// A multiple of at least 2, or 0 for none.
int ToMultiple(float value) {
  if (!(value >= 2.0f && value < static_cast<float>(INT_MAX))) return 0;
  return static_cast<int>(value);
}

}  // namespace

UnwarpTask::UnwarpTask() = default;

UnwarpTask::~UnwarpTask() = default;

eAppErr UnwarpTask::SetSource(const KsRef<PanoSource>& source) {
  DidChangeCaller change(this, kSourceId);
  m_source = source;
  return AppErr::kNoErr;
}

eAppErr UnwarpTask::SetSourceProjection(const KsRef<PanoProjection>& projection) {
  DidChangeCaller change(this, kSourceProjectionId);
  m_sourceProjection = projection;
  return AppErr::kNoErr;
}

eAppErr UnwarpTask::SetOutput(const KsRef<OutputBuffer>& output) {
  DidChangeCaller change(this, kOutputId);
  m_output = output;
  return AppErr::kNoErr;
}

eAppErr UnwarpTask::SetOutputProjection(const KsRef<PanoProjection>& projection) {
  DidChangeCaller change(this, kOutputProjectionId);
  m_outputProjection = projection;
  return AppErr::kNoErr;
}

eAppErr UnwarpTask::SetWidthMultiple(float multiple) {
  DidChangeCaller change(this, kWidthMultipleId);
  m_widthMultiple = multiple;
  return AppErr::kNoErr;
}

eAppErr UnwarpTask::SetHeightMultiple(float multiple) {
  DidChangeCaller change(this, kHeightMultipleId);
  m_heightMultiple = multiple;
  return AppErr::kNoErr;
}

eAppErr UnwarpTask::SetAreaScale(float scale) {
  DidChangeCaller change(this, kAreaScaleId);
  m_areaScale = scale;
  return AppErr::kNoErr;
}

KsRef<BufferSource> UnwarpTask::SampledSource() {
  KsRef<BufferSource> buffer = m_source.DynamicCast<BufferSource>();
  if (!buffer || !buffer->GetBaseAddress() || !Sampler::CanSample(buffer->GetPixelFormatInfo())) return {};
  return buffer;
}

eAppErr UnwarpTask::Unwarp() {
  if (!m_output || !m_source) return AppErr::kNoImageYet;
  if (!m_sourceProjection || !m_outputProjection) return AppErr::kNoUnwarpProjection;
  // Refused before anything changes: a source no sampler can read, or an
  // output that already holds another format.
  KsRef<BufferSource> source = SampledSource();
  if (!source) return KS_TRACE_ERR(AppErr::kBadArgument, "Unwarp");
  m_output->SetPixelFormat(source->GetPixelFormat());
  if (m_output->GetPixelFormatInfo() != source->GetPixelFormatInfo()) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "Unwarp");
  }

  const eAppErr prepared = PrepareOutput();
  if (AppErrFailed(prepared)) return KS_TRACE_ERR(prepared, "Unwarp");

  // The output describes its picture with a copy of the output projection,
  // which the output gives its own image aspect; the pass maps through that
  // copy, so the pixels show what the output says they show.
  KsRef<KsObject> copy;
  m_outputProjection->Copy(copy);
  KsRef<PanoProjection> outputCopy = copy.DynamicCast<PanoProjection>();
  m_output->SetProjection(outputCopy);
  KsRef<PanoProjection> mapping = outputCopy ? outputCopy : m_outputProjection;

  std::unique_ptr<Sampler> sampler = Sampler::Create(source, m_output);
  if (!sampler) return KS_TRACE_ERR(AppErr::kBadArgument, "Unwarp");
  sampler->SetWrapsHorizontally(SourceWrapsHorizontally());

  KsRef<CartesianFuncProj> cartesian = mapping.DynamicCast<CartesianFuncProj>();
  if (!cartesian || !RunCartesianPath(*sampler, *cartesian, 0, m_outputWidth, 0, m_outputHeight)) {
    RunGeneralPath(*sampler, *mapping, 0, m_outputWidth, 0, m_outputHeight);
  }
  sampler.reset();
  m_output->FrameReady();
  return AppErr::kNoErr;
}

eAppErr UnwarpTask::PrepareOutput() {
  m_outputWidth = m_output->GetWidth();
  m_outputHeight = m_output->GetHeight();
  if (m_outputWidth != 0 && m_outputHeight != 0) {
    // A size without a buffer (its creation failed) is made again.
    if (m_output->GetBaseAddress()) return AppErr::kNoErr;
    return m_output->Initialize(m_outputWidth, m_outputHeight);
  }
  const KsSize<int> size = DeriveOutputSize();
  m_outputWidth = size.w;
  m_outputHeight = size.h;
  return m_output->Initialize(m_outputWidth, m_outputHeight);
}

KsSize<int> UnwarpTask::DeriveOutputSize() {
  const float area = m_sourceProjection->GetCleanArea({m_source->GetWidth(), m_source->GetHeight()}) * m_areaScale;
  const KsSizeF dimensions = m_outputProjection->GetDimensionsForCleanArea(area);
  const float aspect = dimensions.w / dimensions.h;
  int width = ToDimension(dimensions.w);
  int height = ToDimension(dimensions.h);
  const int widthMultiple = ToMultiple(m_widthMultiple);
  if (widthMultiple > 1 && width % widthMultiple != 0) {
    width -= width % widthMultiple;
    height = ToDimension(static_cast<float>(width) / aspect + 0.5f);
  }
  const int heightMultiple = ToMultiple(m_heightMultiple);
  if (heightMultiple > 1 && height % heightMultiple != 0) {
    height -= height % heightMultiple;
    width = ToDimension(aspect * static_cast<float>(height) + 0.5f);
  }
  return {width, height};
}

bool UnwarpTask::SourceWrapsHorizontally() {
  KsRef<CartesianFuncProj> cartesian = m_sourceProjection.DynamicCast<CartesianFuncProj>();
  KsRef<LinearFunc> horizontal = cartesian ? cartesian->GetHorizontalFunc() : KsRef<LinearFunc>();
  if (!horizontal) return false;
  float minDeg = 0.0f;
  float maxDeg = 0.0f;
  cartesian->GetPanRange(&minDeg, &maxDeg);
  if (!(std::fabs(std::fabs(maxDeg - minDeg) - kFullCircleDeg) < 1e-3f)) return false;
  // The pan range must span the image's width exactly.
  float atMin = 0.0f;
  float atMax = 0.0f;
  if (!horizontal->Evaluate(horizontal->GetDomainMin(), &atMin) ||
      !horizontal->Evaluate(horizontal->GetDomainMax(), &atMax)) {
    return false;
  }
  return std::fabs(std::fabs(atMax - atMin) - 1.0f) < 1e-5f;
}

void UnwarpTask::RunGeneralPath(Sampler& sampler, PanoProjection& output, int x0, int x1, int y0, int y1) {
  PanoProjection& source = *m_sourceProjection;
  const float su = 1.0f / static_cast<float>(m_outputWidth);
  const float sv = 1.0f / static_cast<float>(m_outputHeight);
  for (int y = y0; y < y1; ++y) {
    sampler.SetCursor({x0, y});
    const float v = static_cast<float>(y) * sv;
    for (int x = x0; x < x1; ++x) {
      const float u = static_cast<float>(x) * su;
      float pan = 0.0f;
      float tilt = 0.0f;
      KsPoint<float> point;
      if (output.GetAngleRadForPoint(u, v, &pan, &tilt) && source.GetPointForAngleRad(pan, tilt, &point.x, &point.y)) {
        sampler.SamplePixel(point);
      } else {
        sampler.BackgroundPixel();
      }
    }
  }
}

bool UnwarpTask::RunCartesianPath(Sampler& sampler, CartesianFuncProj& output, int x0, int x1, int y0, int y1) {
  // Pan at the left and right edges of the picture, as the output
  // projection maps them (its zero-pan offset included).
  KsRef<LinearFunc> horizontal = output.GetHorizontalFunc();
  float panLeft = 0.0f;
  float panRight = 0.0f;
  if (!horizontal || !horizontal->Inverse(0.0f, &panLeft) || !horizontal->Inverse(1.0f, &panRight)) return false;
  KS_TRACE(KsTrace::kVerbose, "Using cartesian output projection");
  const float panStart = panLeft + output.GetZeroPanOffsetRad();
  const float panStep = (panRight - panLeft) / static_cast<float>(m_outputWidth);
  const float sv = 1.0f / static_cast<float>(m_outputHeight);
  PanoProjection& source = *m_sourceProjection;
  for (int y = y0; y < y1; ++y) {
    sampler.SetCursor({x0, y});
    const float v = static_cast<float>(y) * sv;
    float rowPan = 0.0f;
    float tilt = 0.0f;
    const bool rowValid = output.GetAngleRadForPoint(0.0f, v, &rowPan, &tilt);
    for (int x = x0; x < x1; ++x) {
      const float pan = panStart + panStep * static_cast<float>(x);
      KsPoint<float> point;
      if (rowValid && source.GetPointForAngleRad(pan, tilt, &point.x, &point.y)) {
        sampler.SamplePixel(point);
      } else {
        sampler.BackgroundPixel();
      }
    }
  }
  return true;
}
