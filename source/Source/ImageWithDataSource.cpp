#include "Source/ImageWithDataSource.h"

#include "QuickTime/MovieLayerErr.h"
#include "Security/Base64.h"
#include "Source/InlineImageDescription.h"
#include "Source/SourceErr.h"
#include "platform/playback/InlineImageData.h"

ImageWithDataSource::ImageWithDataSource() = default;

ImageWithDataSource::~ImageWithDataSource() {
  m_description.Clear();
  m_data.Clear();
}

void ImageWithDataSource::Part::DecodeText() {
  if (handle || !text) return;
  auto decoded = std::make_unique<hc::foundation::ByteHandle>();
  if (!AppErrFailed(Base64DecodeToHandle(text, decoded.get())) && !decoded->IsEmpty()) handle = std::move(decoded);
}

void ImageWithDataSource::Part::EncodeHandle() {
  if (!text && handle) text = Base64EncodeHandle(handle.get());
}

void ImageWithDataSource::ConvertDescriptionByteOrder(hc::foundation::ByteHandle& description) {
  InlineImageDescription::ApplyByteOrderRule(description.View());
}

void ImageWithDataSource::PartChanged() { ++m_changes; }

void ImageWithDataSource::UpdateIfComplete() {
  if ((m_description.handle || m_description.text) && (m_data.handle || m_data.text)) DoUpdate();
}

eAppErr ImageWithDataSource::StoreHandleCopy(Part& part, const void* handle, const char* method) {
  part.Clear();
  PartChanged();
  if (!handle) return AppErr::kNoErr;
  auto copy = std::make_unique<hc::foundation::ByteHandle>();
  const auto* given = static_cast<const hc::foundation::ByteHandle*>(handle);
  if (copy->Assign(given->GetBytes(), given->GetSize()) != hc::foundation::FoundationErr::Ok) {
    return KS_TRACE_ERR(AppErr::kOutOfMemory, method);
  }
  part.handle = std::move(copy);
  return AppErr::kNoErr;
}

eAppErr ImageWithDataSource::SetImageDescriptionDataBEHandle(void* handle) {
  const eAppErr err = StoreHandleCopy(m_description, handle, "SetImageDescriptionDataBEHandle");
  if (AppErrFailed(err)) return err;
  UpdateIfComplete();
  return AppErr::kNoErr;
}

eAppErr ImageWithDataSource::SetImageDataBEHandle(void* handle) {
  const eAppErr err = StoreHandleCopy(m_data, handle, "SetImageDataBEHandle");
  if (AppErrFailed(err)) return err;
  if (m_data.handle) SetDataFlag(true);
  UpdateIfComplete();
  return AppErr::kNoErr;
}

eAppErr ImageWithDataSource::SetImageDescriptionDataBEBase64(const PWStringRef& text) {
  m_description.Clear();
  PartChanged();
  m_description.text = text;
  m_description.DecodeText();
  UpdateIfComplete();
  return AppErr::kNoErr;
}

eAppErr ImageWithDataSource::SetImageDataBEBase64(const PWStringRef& text) {
  m_data.Clear();
  PartChanged();
  m_data.text = text;
  m_data.DecodeText();
  if (m_data.text) SetDataFlag(true);
  UpdateIfComplete();
  return AppErr::kNoErr;
}

void* ImageWithDataSource::GetImageDescriptionDataBEHandle() {
  if (!m_description.handle && m_description.text) {
    m_description.DecodeText();
    if (m_data.handle || m_data.text) DoUpdate();
  }
  return m_description.handle.get();
}

void* ImageWithDataSource::GetImageDataBEHandle() {
  m_data.DecodeText();
  return m_data.handle.get();
}

PWStringRef ImageWithDataSource::GetImageDescriptionDataBEBase64() {
  m_description.EncodeHandle();
  return m_description.text;
}

PWStringRef ImageWithDataSource::GetImageDataBEBase64() {
  m_data.EncodeHandle();
  return m_data.text;
}

eAppErr ImageWithDataSource::SetImagePath(const PWStringRef& path) {
  if (!path) return KS_TRACE_ERR(AppErr::kBadArgument, "SetImagePath");
  std::string file = path.Str();
  if (m_fileAccess.IsRestricted()) {
    std::string ignored;
    if (AppErrFailed(m_fileAccess.ReadFile(path, &ignored))) return KS_TRACE_ERR(AppErr::kBadArgument, "SetImagePath");
    if (!file.empty() && file.front() != '/') file = m_fileAccess.GetFolders().front() + "/" + file;
  }
  hc::playback::InlineImage image;
  const hc::playback::PlaybackErr err = hc::playback::InlineImageData::ReadFirstPicture(file, image);
  if (err == hc::playback::PlaybackErr::InvalidTrack) return KS_TRACE_ERR(AppErr::kBadArgument, "SetImagePath");
  if (err != hc::playback::PlaybackErr::Ok) {
    KS_TRACE(KsTrace::kError, "Error %i in NewMovieFromDataRef (%@)", hc::playback::PlaybackErrCode(err), path);
    return KS_TRACE_ERR(AppErrFromPlaybackErr(err), "SetImagePath");
  }
  hc::foundation::ByteHandle description;
  hc::foundation::ByteHandle data;
  if (description.Assign(image.description.data(), image.description.size()) != hc::foundation::FoundationErr::Ok ||
      data.Assign(image.data.data(), image.data.size()) != hc::foundation::FoundationErr::Ok) {
    return KS_TRACE_ERR(AppErr::kOutOfMemory, "SetImagePath");
  }
  ConvertDescriptionByteOrder(description);
  eAppErr result = SetImageDescriptionDataBEHandle(&description);
  if (!AppErrFailed(result)) result = SetImageDataBEHandle(&data);
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "SetImagePath");
  return AppErr::kNoErr;
}

eAppErr ImageWithDataSource::DoUpdate() {
  m_data.DecodeText();
  m_description.DecodeText();
  if (!m_description.handle || !m_data.handle) return KS_TRACE_ERR(AppErr::kNotReady, "DoUpdate");
  // The picture in the buffer already shows these bytes.
  if (m_drawn == m_changes && GetBaseAddress()) return AppErr::kNoErr;
  if (!IsWellFormedDescription(m_description.handle->View())) return KS_TRACE_ERR(AppErr::kBadArgument, "DoUpdate");

  hc::foundation::ByteHandle description = *m_description.handle;
  ConvertDescriptionByteOrder(description);
  eAppErr err = SetImageDescription(&description);
  if (!AppErrFailed(err)) err = SetImageDescriptionSeed(1);
  if (!AppErrFailed(err)) err = SetDataSize(static_cast<uint32_t>(m_data.handle->GetSize()));
  if (!AppErrFailed(err)) err = SetData(m_data.handle->GetBytes());
  SetImageDescription(nullptr);
  SetData(nullptr);
  SetDataSize(0);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DoUpdate");
  m_drawn = m_changes;
  return AppErr::kNoErr;
}
