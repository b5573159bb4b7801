#include "InterfaceCommon/MovieModifier.h"

#include <filesystem>
#include <new>
#include <utility>

#include "KsTrace.h"
#include "QuickTime/MovieLayerErr.h"
#include "platform/movfile/MovFile.h"
#include "platform/playback/Movie.h"

using hc::movfile::MovErr;
using hc::movfile::MovFile;

namespace {

// A movie-layer failure, traced under the operation's name; a result that
// doesn't translate to a failure counts as success.
eAppErr MovieLayerResult(eAppErr err, const char* method) {
  return AppErrFailed(err) ? KS_TRACE_ERR(err, method) : AppErr::kNoErr;
}

}  // namespace

MovieModifier::MovieModifier() = default;

MovieModifier::~MovieModifier() { CloseMovie(); }

eAppErr MovieModifier::SetMovie(hc::playback::Movie* movie) {
  DidChangeCaller change(this, kMovieId);
  if (m_ownsMovie) CloseMovie();
  m_readFile.reset();
  m_movie = movie;
  return AppErr::kNoErr;
}

eAppErr MovieModifier::SetDataHandler(MovFile* dataHandler) {
  DidChangeCaller change(this, kDataHandlerId);
  if (m_ownsMovie) CloseMovie();
  m_dataHandler = dataHandler;
  return AppErr::kNoErr;
}

eAppErr MovieModifier::GetPath(PWStringRef* path) const { return m_dataRefMgr.GetPath(path); }

eAppErr MovieModifier::SetPath(const PWStringRef& path) {
  DidChangeCaller change(this, kPathId);
  CloseMovie();
  const eAppErr err = m_dataRefMgr.SetPath(path);
  return AppErrFailed(err) ? KS_TRACE_ERR(err, "SetPath") : err;
}

eAppErr MovieModifier::GetURL(PWStringRef* url) const { return m_dataRefMgr.GetURL(url); }

eAppErr MovieModifier::SetURL(const PWStringRef& url) {
  DidChangeCaller change(this, kURLId);
  CloseMovie();
  const eAppErr err = m_dataRefMgr.SetURL(url);
  return AppErrFailed(err) ? KS_TRACE_ERR(err, "SetURL") : err;
}

eAppErr MovieModifier::SetCreator4CC(uint32_t creator) {
  DidChangeCaller change(this, kCreator4CCId);
  m_creator4CC = creator;
  return AppErr::kNoErr;
}

eAppErr MovieModifier::OpenMovieForRead() {
  const DataRefMgr::SourceTypes source = m_dataRefMgr.GetSourceType();
  if (source != DataRefMgr::kSourceTypePath && source != DataRefMgr::kSourceTypeURL) return AppErr::kBadArgument;
  const hc::playback::DataReference* reference = m_dataRefMgr.GetDataRef();
  if (!reference) return KS_TRACE_ERR(AppErr::kBadArgument, "OpenMovieForRead");
  CloseMovie();
  std::unique_ptr<hc::playback::Movie> movie;
  const eAppErr err = AppErrFromPlaybackErr(hc::playback::Movie::Open(*reference, &movie));
  if (AppErrFailed(err) || !movie) return MovieLayerResult(AppErrFailed(err) ? err : AppErr::kGeneral, "OpenMovieForRead");
  DidChangeCaller change(this, kMovieId);
  m_movie = movie.release();
  m_ownsMovie = true;
  return AppErr::kNoErr;
}

eAppErr MovieModifier::OpenMovieForWrite() {
  const hc::playback::DataReference* reference = m_dataRefMgr.GetDataRef();
  if (!reference || m_dataRefMgr.GetDataRefType() == 0) return KS_TRACE_ERR(AppErr::kBadArgument, "OpenMovieForWrite");
  // Only a file can be updated in place.
  if (!reference->IsFile()) return KS_TRACE_ERR(AppErr::kBadArgument, "OpenMovieForWrite");
  CloseMovie();
  std::unique_ptr<MovFile> file(new (std::nothrow) MovFile);
  if (!file) return KS_TRACE_ERR(AppErr::kOutOfMemory, "OpenMovieForWrite");
  const MovErr err = file->OpenForUpdate(reference->Text());
  if (err != MovErr::Ok) return MovieLayerResult(AppErrFromMovErr(err), "OpenMovieForWrite");
  DidChangeCaller change(this, kDataHandlerId);
  m_dataHandler = file.release();
  m_ownsMovie = true;
  return AppErr::kNoErr;
}

eAppErr MovieModifier::OpenMovieFileForRead() {
  const hc::playback::DataReference* reference = m_dataRefMgr.GetDataRef();
  if (!reference || !reference->IsFile()) return KS_TRACE_ERR(AppErr::kBadArgument, "OpenMovieFileForRead");
  CloseMovie();
  std::unique_ptr<MovFile> file(new (std::nothrow) MovFile);
  if (!file) return KS_TRACE_ERR(AppErr::kOutOfMemory, "OpenMovieFileForRead");
  const MovErr err = file->OpenForRead(reference->Text());
  if (err != MovErr::Ok) return MovieLayerResult(AppErrFromMovErr(err), "OpenMovieFileForRead");
  m_readFile = std::move(file);
  m_ownsMovie = true;
  return AppErr::kNoErr;
}

void MovieModifier::CloseMovie() {
  if (m_ownsMovie) {
    KS_TRACE(KsTrace::kVerbose, "Disposing movie: 0x%p", static_cast<void*>(m_movie));
    delete m_movie;
    delete m_dataHandler;
    m_ownsMovie = false;
  }
  m_movie = nullptr;
  m_dataHandler = nullptr;
  m_readFile.reset();
}

eAppErr MovieModifier::SaveMovie() {
  if (!m_dataHandler) return KS_TRACE_ERR(kNoDataHandler, "SaveMovie");
  return MovieLayerResult(AppErrFromMovErr(m_dataHandler->Save()), "SaveMovie");
}

eAppErr MovieModifier::FlattenMovie() {
  const hc::playback::DataReference* reference = m_dataRefMgr.GetDataRef();
  if (!reference || !reference->IsFile()) return KS_TRACE_ERR(AppErr::kBadArgument, "FlattenMovie");
  MovFile* source = nullptr;
  const eAppErr err = GetMovieFile(&source);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "FlattenMovie");
  hc::movfile::MovFlattenOptions options;
  options.compressHeader = true;
  return MovieLayerResult(AppErrFromMovErr(source->FlattenTo(reference->Text(), options)), "FlattenMovie");
}

eAppErr MovieModifier::GetMovieFile(MovFile** file) {
  if (!file) return KS_TRACE_ERR(AppErr::kBadArgument, "GetMovieFile");
  *file = nullptr;
  if (m_dataHandler) {
    *file = m_dataHandler;
    return AppErr::kNoErr;
  }
  if (!m_movie && !m_readFile) return KS_TRACE_ERR(AppErr::kNotReady, "GetMovieFile");
  if (!m_readFile) {
    const hc::playback::DataReference& reference = m_movie->Reference();
    if (!reference.IsFile()) return AppErr::kBadArgument;
    std::unique_ptr<MovFile> opened(new (std::nothrow) MovFile);
    if (!opened) return KS_TRACE_ERR(AppErr::kOutOfMemory, "GetMovieFile");
    const MovErr err = opened->OpenForRead(reference.Text());
    if (err != MovErr::Ok) return MovieLayerResult(AppErrFromMovErr(err), "GetMovieFile");
    m_readFile = std::move(opened);
  }
  *file = m_readFile.get();
  return AppErr::kNoErr;
}

FileAccessPolicy MovieModifier::UntrustedFileAccess() const {
  std::vector<std::string> folders;
  std::string moviePath;
  if (m_movie && m_movie->Reference().IsFile()) {
    moviePath = m_movie->Reference().Text();
  } else if (const hc::playback::DataReference* reference = m_dataRefMgr.GetDataRef(); reference && reference->IsFile()) {
    moviePath = reference->Text();
  }
  if (!moviePath.empty()) folders.push_back(std::filesystem::path(moviePath).parent_path().string());
  folders.insert(folders.end(), m_resourceFolders.begin(), m_resourceFolders.end());
  return FileAccessPolicy::InsideFolders(folders);
}
