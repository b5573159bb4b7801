#include "Source/QTStillImageSource.h"

#include <cmath>
#include <vector>

#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/KestrelProj.h"
#include "Projection/PlanarProjection.h"
#include "QuickTime/MovieLayerErr.h"
#include "Source/PanoramaMakerNote.h"
#include "Source/SourceErr.h"
#include "platform/playback/GraphicsImporter.h"

namespace {

constexpr eAppErr kCantOpenImporter = -301;
constexpr eAppErr kDrawFailed = -1000;
constexpr float kSmallestPanoramaAspect = 1.6f;

}  // namespace

QTStillImageSource::QTStillImageSource() = default;
QTStillImageSource::~QTStillImageSource() = default;

eAppErr QTStillImageSource::Initialize(int32_t, int32_t) { return KS_TRACE_ERR(AppErr::kUnsupportedType, "Initialize"); }

eAppErr QTStillImageSource::SetPath(const PWStringRef& path) {
  if (GetHasData()) return KS_TRACE_ERR(AppErr::kNotReady, "SetPath");
  const eAppErr err = m_mgr.SetPath(path);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetPath");
  return InitFromMgr();
}

eAppErr QTStillImageSource::SetURL(const PWStringRef& url) {
  if (GetHasData()) return KS_TRACE_ERR(AppErr::kNotReady, "SetURL");
  const eAppErr err = m_mgr.SetURL(url);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetURL");
  return InitFromMgr();
}

eAppErr QTStillImageSource::InitFromMgr() {
  const hc::playback::DataReference* reference = m_mgr.GetDataRef();
  if (!reference || reference->IsEmpty() || m_mgr.GetDataRefType() == 0) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "InitFromMgr");
  }
  const eAppErr err = Initialize(*reference);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "InitFromMgr");
  return err;
}

std::unique_ptr<hc::playback::GraphicsImporter> QTStillImageSource::OpenImporter() const {
  if (!m_dataRef) return nullptr;
  auto importer = std::make_unique<hc::playback::GraphicsImporter>();
  const std::string text = m_dataRef->Text();
  hc::playback::PlaybackErr err = hc::playback::PlaybackErr::Ok;
  if (!m_fileAccess.IsRestricted()) {
    err = m_dataRef->IsUrl() ? importer->OpenUrl(text) : importer->OpenFile(text);
  } else {
    // The path as given, so that the policy resolves a relative one.
    PWStringRef path;
    std::string bytes;
    if (m_dataRef->IsUrl() || AppErrFailed(m_mgr.GetPath(&path)) || AppErrFailed(m_fileAccess.ReadFile(path, &bytes))) {
      err = hc::playback::PlaybackErr::FileNotFound;
    } else {
      err = importer->OpenBytes(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }
  }
  if (err != hc::playback::PlaybackErr::Ok) {
    KS_TRACE(KsTrace::kError, "Error %i opening graphics importer", hc::playback::PlaybackErrCode(err));
    return nullptr;
  }
  return importer;
}

bool QTStillImageSource::MayChooseProjection() {
  KsRef<PanoProjection> projection = GetProjection();
  return !projection || projection->GetClassObject() == PlanarProjection::ClassGetClassObject();
}

eAppErr QTStillImageSource::Initialize(const hc::playback::DataReference& reference) {
  if (GetImageBuffer()) DisposeBuffer();
  m_dataRef = reference;
  m_importer = OpenImporter();
  if (!m_importer) return KS_TRACE_ERR(kCantOpenImporter, "Initialize");

  const int32_t imageWidth = m_importer->Width();
  const int32_t imageHeight = m_importer->Height();
  float ratio = GetPixelAspectRatioForDescription(m_importer->ImageDescription(), 0, 0);
  int32_t width = imageWidth;
  int32_t height = imageHeight;
  if (GetUseForcedDimensions() && GetForceWidth() != 0 && GetForceHeight() != 0) {
    ratio *= GetAspectScale(imageWidth, imageHeight, GetForceWidth(), GetForceHeight());
    width = GetForceWidth();
    height = GetForceHeight();
  }
  if (ratio != 1.0f) SetPixelAspectRatio(ratio);
  SetDimensions(width, height);
  SetProjection(GetProjection());

  if (MayChooseProjection()) ApplyMakerNote(*m_importer);
  if (MayChooseProjection()) ApplyProjectionByAspect(imageWidth, imageHeight);

  const eAppErr err = DoUpdate();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Initialize");
  return err;
}

void QTStillImageSource::ApplyMakerNote(const hc::playback::GraphicsImporter& importer) {
  std::vector<uint8_t> note;
  if (importer.ExifMakerNote(note) != hc::playback::PlaybackErr::Ok || note.empty()) return;
  PanoramaMakerNote metadata;
  if (!PanoramaMakerNote::Parse(note, &metadata)) return;
  KsRef<PanoProjection> projection;
  if (metadata.projection == "cyli") {
    projection = KsMakeRef<CylindricalProj>();
  } else if (metadata.projection == "equi") {
    projection = KsMakeRef<EquirectangularProj>();
  } else {
    return;
  }
  projection->SetTiltMinDeg(metadata.tiltMinDeg);
  projection->SetTiltMaxDeg(metadata.tiltMaxDeg);
  SetProjection(projection);
}

void QTStillImageSource::ApplyProjectionByAspect(int32_t imageWidth, int32_t imageHeight) {
  if (imageWidth == 0 || imageHeight == 0) return;
  const float aspect = static_cast<float>(imageWidth) / static_cast<float>(imageHeight);
  if (aspect < kSmallestPanoramaAspect) {
    SetProjection(KsMakeRef<KestrelProj>());
  } else if (std::fabs(aspect - 2.0f) < 0.00001f) {
    SetProjection(KsMakeRef<EquirectangularProj>());
  } else {
    SetProjection(KsMakeRef<CylindricalProj>());
  }
}

eAppErr QTStillImageSource::DoUpdate() {
  if (GetBaseAddress() || !m_dataRef) return AppErr::kNoErr;
  const eAppErr err = CreateBuffer(GetWidth(), GetHeight());
  if (AppErrFailed(err)) {
    m_importer.reset();
    return KS_TRACE_ERR(err, "DoUpdate");
  }
  std::unique_ptr<hc::playback::GraphicsImporter> importer = std::move(m_importer);
  if (!importer) importer = OpenImporter();
  if (!importer) return KS_TRACE_ERR(AppErr::kNotReady, "DoUpdate");
  if (importer->Draw(*GetImageBuffer()) != hc::playback::PlaybackErr::Ok) return kDrawFailed;
  FrameReady();
  return AppErr::kNoErr;
}
