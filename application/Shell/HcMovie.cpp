#include "HcMovie.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>

#include "platform/playback/DataReference.h"
#include "platform/playback/Movie.h"

namespace hp = hc::playback;

std::shared_ptr<HcMovie> HcMovie::movieWithURL(const QUrl& url, QString* error) {
  hp::DataReference reference;
  const hp::PlaybackErr made = url.isLocalFile() ? hp::DataReference::FromPath(url.toLocalFile().toStdString(), &reference)
                                                 : hp::DataReference::FromUrl(url.toString().toStdString(), &reference);
  std::unique_ptr<hp::Movie> movie;
  const hp::PlaybackErr opened = made == hp::PlaybackErr::Ok ? hp::Movie::Open(reference, &movie) : made;
  if (opened != hp::PlaybackErr::Ok || !movie) {
    if (error) *error = QString::fromUtf8(hp::PlaybackErrName(opened));
    return {};
  }
  return std::shared_ptr<HcMovie>(new HcMovie(std::move(movie)));
}

HcMovie::HcMovie(std::unique_ptr<hp::Movie> movie) : m_movie(std::move(movie)) {
  QPointer<HcMovie> self(this);
  m_movie->SetActionCallback([self](const hp::Movie::Action& action) {
    if (action.kind != hp::Movie::Action::Kind::Finished && action.kind != hp::Movie::Action::Kind::Play) return;
    const bool finished = action.kind == hp::Movie::Action::Kind::Finished;
    QMetaObject::invokeMethod(self, [self, finished] {
      if (!self) return;
      if (finished) {
        emit self->didEnd();
      } else {
        emit self->rateDidChange();
      }
    }, Qt::QueuedConnection);
  });
}

HcMovie::~HcMovie() { m_movie->SetActionCallback({}); }

int HcMovie::loadState() const { return static_cast<int>(m_movie->GetLoadState()); }
float HcMovie::rate() const { return static_cast<float>(m_movie->Rate()); }
void HcMovie::setRate(float rate) {
  m_movie->SetRate(rate);
  emit rateDidChange();
}
double HcMovie::currentTime() const { return static_cast<double>(m_movie->Time()) / m_movie->TimeScale(); }
void HcMovie::setCurrentTime(double seconds) {
  m_movie->SetTime(static_cast<int64_t>(seconds * m_movie->TimeScale()));
}
double HcMovie::duration() const { return m_movie->DurationSeconds(); }
double HcMovie::maxLoaded() const { return static_cast<double>(m_movie->MaxLoadedTime()) / m_movie->TimeScale(); }
bool HcMovie::loops() const { return m_movie->IsLooping(); }
void HcMovie::setLoops(bool loops) { m_movie->SetLooping(loops); }
bool HcMovie::playSelectionOnly() const { return m_movie->PlaysSelectionOnly(); }
void HcMovie::setPlaySelectionOnly(bool selectionOnly) { m_movie->SetPlaySelectionOnly(selectionOnly); }
float HcMovie::volume() const { return m_movie->Volume(); }
void HcMovie::setVolume(float volume) { m_movie->SetVolume(volume); }
bool HcMovie::muted() const { return m_movie->IsMuted(); }
void HcMovie::setMuted(bool muted) { m_movie->SetMuted(muted); }
void HcMovie::gotoBeginning() { m_movie->SetTime(0); }
void HcMovie::gotoEnd() { m_movie->SetTime(m_movie->Duration()); }
void HcMovie::stepForward() { m_movie->StepFrames(1); }
void HcMovie::stepBackward() { m_movie->StepFrames(-1); }
