#pragma once

// Stand-in until the movie object of the player lands: the calls the
// document and the window controller make of it.
#include <QObject>
#include <QString>
#include <QUrl>
#include <memory>

namespace hc::playback {
class Movie;
}

class HcMovie : public QObject {
  Q_OBJECT
 public:
  static std::shared_ptr<HcMovie> movieWithURL(const QUrl& url, QString* error);
  ~HcMovie() override;

  int loadState() const;
  hc::playback::Movie* quickTimeMovie() const { return m_movie.get(); }
  float rate() const;
  void setRate(float rate);
  bool isPlaying() const { return rate() != 0.0f; }
  double currentTime() const;
  void setCurrentTime(double seconds);
  double duration() const;
  double maxLoaded() const;
  bool loops() const;
  void setLoops(bool loops);
  bool playSelectionOnly() const;
  void setPlaySelectionOnly(bool selectionOnly);
  float volume() const;
  void setVolume(float volume);
  bool muted() const;
  void setMuted(bool muted);
  void gotoBeginning();
  void gotoEnd();
  void stepForward();
  void stepBackward();

 signals:
  void loadStateDidChange();
  void rateDidChange();
  void didEnd();

 private:
  explicit HcMovie(std::unique_ptr<hc::playback::Movie> movie);
  std::unique_ptr<hc::playback::Movie> m_movie;
};
