#pragma once

#include <QObject>
#include <QString>
#include <QMap>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <vector>

#include "QTAnnotation.h"

#include "platform/playback/Movie.h"
#include "platform/playback/PlaybackErr.h"

// The movie a viewer document plays: the shell's face of a playing movie
// (rate, time, volume, looping, stepping, selection, load state) over the
// playback layer's movie, which the presentation's sources share. Times are
// seconds. While it lives, the movie's actions (play, time jumps, end) are
// delivered on the main thread as signals.
class HcMovie : public QObject {
  Q_OBJECT
 public:
  // Load states: -1 error, 1000 loading, 2000 loaded, 10000 playable,
  // 20000 plays through, 100000 complete.
  enum LoadState { kLoadError = -1, kLoading = 1000, kLoaded = 2000, kPlayable = 10000, kPlaythroughOK = 20000,
                   kComplete = 100000 };

  // Opens a movie file (reads its header: callers on the main thread may
  // prefer a worker). Null with the error when it cannot be opened.
  static std::unique_ptr<HcMovie> openFile(const QString& path, hc::playback::PlaybackErr* error);
  // A file URL or an http(s) one; null with a short error text when it cannot be opened.
  static std::shared_ptr<HcMovie> movieWithURL(const QUrl& url, QString* error);
  explicit HcMovie(std::shared_ptr<hc::playback::Movie> movie, QObject* parent = nullptr);
  ~HcMovie() override;

  const std::shared_ptr<hc::playback::Movie>& movie() const { return m_movie; }
  hc::playback::Movie* quickTimeMovie() const { return m_movie.get(); }
  QString path() const;

  int loadState() const;
  double duration() const;
  double maxLoaded() const;
  double currentTime() const;
  void setCurrentTime(double seconds);
  double rate() const;
  void setRate(double rate);
  void play() { setRate(1.0); }
  void stop() { setRate(0.0); }
  // Any rate but 0, negative ones included.
  bool isPlaying() const { return rate() != 0.0; }
  float volume() const;
  void setVolume(float volume);
  bool muted() const;
  void setMuted(bool muted);
  bool isLooping() const;
  void setLooping(bool looping);
  bool loops() const { return isLooping(); }
  void setLoops(bool loops) { setLooping(loops); }
  void stepForward();
  void stepBackward();
  void gotoBeginning() { setCurrentTime(0.0); }
  void gotoEnd() { setCurrentTime(duration()); }
  bool playSelectionOnly() const;
  void setPlaySelectionOnly(bool selectionOnly);
  // Start and length in seconds; length 0 = no selection.
  void selection(double* start, double* length) const;
  void setSelection(double start, double length);
  // Pixel size of the first visual track (0 x 0 without one).
  QSize naturalSize() const;

  // The movie's common metadata: for each of the twenty common keys in
  // order, the first item with that key; read from the file each time.
  std::vector<std::unique_ptr<QTAnnotation>> annotationArray() const;
  // Each annotation's text under its key's title.
  QMap<QString, QString> annotationDictionary() const;

 signals:
  void rateChanged(double rate);
  // The rate was set here or the movie changed it.
  void rateDidChange();
  // Movies from files are complete once open; kept for movies that load.
  void loadStateDidChange();
  void timeJumped(double seconds);
  void didEnd();
  void statusMessage(const QString& text);

 private:
  void deliverActions();
  double toSeconds(int64_t units) const;
  int64_t toUnits(double seconds) const;

  std::shared_ptr<hc::playback::Movie> m_movie;
  QTimer m_taskTimer;
};
