#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QuickTime/DataRefMgr.h"
#include "General/KsClassMacros.h"
#include "KsAppErr.h"
#include "InterfaceCommon/KsContextHelper.h"
#include "PWString.h"
#include "Utilities/FileAccessPolicy.h"
#include "platform/movfile/MovFile.h"

namespace hc::playback {
class Movie;
}

// Holds one movie for the classes that read and write what a movie carries
// in its user data. The movie is either handed in (Movie, DataHandler: held,
// never disposed here) or opened from Path or URL (owned, disposed by
// CloseMovie and on destruction).
//
// Two layers stand for the one movie: the movie that plays (Movie, a
// playback movie, which the media sources show) and the movie file opened
// for update (DataHandler), which holds the user data that is written and
// saves it without touching the media data. Reading user data uses the data
// handler when there is one, else the file of the playing movie, opened for
// reading when first needed.
class MovieModifier : public KsContextHelper {
  HC_CLASS_HEADER(MovieModifier)
 public:
  enum : int32_t { kMovieId = 300, kDataHandlerId = 301, kPathId = 302, kURLId = 303, kCreator4CCId = 304 };
  // What SaveMovie answers without a data handler.
  static constexpr eAppErr kNoDataHandler = -310;

  MovieModifier();
  ~MovieModifier() override;

  hc::playback::Movie* GetMovie() const { return m_movie; }
  // Closes an owned movie first, then holds the given one without owning it.
  eAppErr SetMovie(hc::playback::Movie* movie);
  hc::movfile::MovFile* GetDataHandler() const { return m_dataHandler; }
  // Closes an owned movie first, then holds the given file without owning it.
  eAppErr SetDataHandler(hc::movfile::MovFile* dataHandler);
  // The source string when the source is a path (a URL), else -902.
  eAppErr GetPath(PWStringRef* path) const;
  eAppErr SetPath(const PWStringRef& path);
  eAppErr GetURL(PWStringRef* url) const;
  eAppErr SetURL(const PWStringRef& url);
  uint32_t GetCreator4CC() const { return m_creator4CC; }
  eAppErr SetCreator4CC(uint32_t creator);

  // Opens the playing movie from Path or URL; a movie already held is closed
  // (or, when handed in, let go) first. -2 without a source.
  eAppErr OpenMovieForRead();
  // Opens only the movie file at Path for reading (its outline and user
  // data), not the movie for playing: enough for work on what the movie
  // stores, and possible for movies whose media can't be decoded here. What
  // was held is let go first. -2 without a path.
  eAppErr OpenMovieFileForRead();
  // Opens the existing movie file at Path for update as the data handler;
  // never creates a file or empties one. What was held is let go first.
  // -2 without a path (a URL cannot be written).
  eAppErr OpenMovieForWrite();
  // Disposes an owned movie and data handler; in every case forgets both.
  void CloseMovie();
  // Writes the data handler's changes into its file (see MovFile::Save).
  eAppErr SaveMovie();
  // Writes a self-contained copy of the movie, header first and compressed,
  // to Path; the file there is replaced only once the copy is complete.
  eAppErr FlattenMovie();

  bool GetOwnsMovie() const { return m_ownsMovie; }
  // Whether a movie (playing or file) is held.
  bool HoldsMovie() const { return m_movie || m_dataHandler || m_readFile; }
  // The movie file whose user data and tracks are read: the data handler,
  // else the playing movie's file opened for reading (kept until the movie
  // is let go). -903 without a movie; -2 for a movie that is not a local
  // file (its user data can't be read).
  eAppErr GetMovieFile(hc::movfile::MovFile** file);

  // The application's resource folders (viewsets, projections).
  void SetResourceFolders(std::vector<std::string> folders) { m_resourceFolders = std::move(folders); }
  const std::vector<std::string>& GetResourceFolders() const { return m_resourceFolders; }
  // Where an object graph read from the movie may read files: the movie's
  // own folder and the resource folders, nowhere else.
  FileAccessPolicy UntrustedFileAccess() const;

 protected:
  const DataRefMgr& GetDataRefMgr() const { return m_dataRefMgr; }
  // Lets go of the playing movie's file read so far (it changed on disk).
  void ForgetMovieFile() { m_readFile.reset(); }

 private:
  // The pointer forms of Movie and DataHandler for the property table.
  void* GetMoviePointer() const { return m_movie; }
  eAppErr SetMoviePointer(void* movie) { return SetMovie(static_cast<hc::playback::Movie*>(movie)); }
  void* GetDataHandlerPointer() const { return m_dataHandler; }
  eAppErr SetDataHandlerPointer(void* file) { return SetDataHandler(static_cast<hc::movfile::MovFile*>(file)); }

  bool m_ownsMovie = false;
  hc::playback::Movie* m_movie = nullptr;
  hc::movfile::MovFile* m_dataHandler = nullptr;
  DataRefMgr m_dataRefMgr;
  uint32_t m_creator4CC = 0;
  // The playing movie's file, opened for reading on demand.
  std::unique_ptr<hc::movfile::MovFile> m_readFile;
  std::vector<std::string> m_resourceFolders;
};
HC_CLASS_OBJECT(MovieModifier, KsContextHelper)
