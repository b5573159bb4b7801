#include "HcMovie.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QSize>
#include <algorithm>
#include <cmath>

#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovMetadataReader.h"

using hc::playback::Movie;
using hc::playback::PlaybackErr;

namespace {

// How often the movie's own actions are looked for on the main thread.
constexpr int kTaskIntervalMs = 50;

}  // namespace

std::unique_ptr<HcMovie> HcMovie::openFile(const QString& path, PlaybackErr* error) {
  hc::playback::DataReference reference;
  PlaybackErr err = hc::playback::DataReference::FromPath(path.toStdString(), &reference);
  std::unique_ptr<Movie> opened;
  if (!hc::playback::PlaybackFailed(err)) err = Movie::Open(reference, &opened);
  if (error) *error = err;
  if (hc::playback::PlaybackFailed(err) || !opened) return nullptr;
  return std::make_unique<HcMovie>(std::shared_ptr<Movie>(std::move(opened)));
}

std::shared_ptr<HcMovie> HcMovie::movieWithURL(const QUrl& url, QString* error) {
  hc::playback::DataReference reference;
  PlaybackErr err = url.isLocalFile()
                        ? hc::playback::DataReference::FromPath(url.toLocalFile().toStdString(), &reference)
                        : hc::playback::DataReference::FromUrl(url.toString().toStdString(), &reference);
  std::unique_ptr<Movie> opened;
  if (!hc::playback::PlaybackFailed(err)) err = Movie::Open(reference, &opened);
  if (hc::playback::PlaybackFailed(err) || !opened) {
    if (error) *error = QString::fromUtf8(hc::playback::PlaybackErrName(err));
    return {};
  }
  return std::make_shared<HcMovie>(std::shared_ptr<Movie>(std::move(opened)));
}

HcMovie::HcMovie(std::shared_ptr<Movie> movie, QObject* parent) : QObject(parent), m_movie(std::move(movie)) {
  QPointer<HcMovie> self(this);
  // Actions may be raised on any thread; they reach the signals on ours.
  m_movie->SetActionCallback([self](const Movie::Action& action) {
    QMetaObject::invokeMethod(
        qApp ? static_cast<QObject*>(qApp) : nullptr,
        [self, action] {
          if (!self) return;
          switch (action.kind) {
            case Movie::Action::Kind::Play:
              emit self->rateChanged(action.rate);
              emit self->rateDidChange();
              break;
            case Movie::Action::Kind::GoToTime: emit self->timeJumped(self->toSeconds(action.time)); break;
            case Movie::Action::Kind::Finished: emit self->didEnd(); break;
            case Movie::Action::Kind::Status: emit self->statusMessage(QString::fromStdString(action.status)); break;
          }
        },
        Qt::QueuedConnection);
  });
  m_taskTimer.setInterval(kTaskIntervalMs);
  connect(&m_taskTimer, &QTimer::timeout, this, &HcMovie::deliverActions);
  m_taskTimer.start();
}

HcMovie::~HcMovie() { m_movie->SetActionCallback(nullptr); }

void HcMovie::deliverActions() { m_movie->Task(2); }

QString HcMovie::path() const { return QString::fromStdString(m_movie->Reference().Text()); }

double HcMovie::toSeconds(int64_t units) const {
  const int32_t scale = m_movie->TimeScale();
  return scale > 0 ? static_cast<double>(units) / scale : 0.0;
}

int64_t HcMovie::toUnits(double seconds) const {
  if (!std::isfinite(seconds)) return 0;
  const double units = std::round(seconds * m_movie->TimeScale());
  return static_cast<int64_t>(std::clamp(units, -9.0e15, 9.0e15));
}

int HcMovie::loadState() const { return static_cast<int>(m_movie->GetLoadState()); }

double HcMovie::duration() const { return toSeconds(m_movie->Duration()); }
double HcMovie::maxLoaded() const { return toSeconds(m_movie->MaxLoadedTime()); }
double HcMovie::currentTime() const { return toSeconds(m_movie->Time()); }
void HcMovie::setCurrentTime(double seconds) { m_movie->SetTime(toUnits(std::clamp(seconds, 0.0, duration()))); }
double HcMovie::rate() const { return m_movie->Rate(); }
void HcMovie::setRate(double rate) {
  m_movie->SetRate(std::isfinite(rate) ? rate : 0.0);
  emit rateDidChange();
}
float HcMovie::volume() const { return m_movie->Volume(); }
void HcMovie::setVolume(float volume) { m_movie->SetVolume(std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 1.0f); }
bool HcMovie::muted() const { return m_movie->IsMuted(); }
void HcMovie::setMuted(bool muted) { m_movie->SetMuted(muted); }
bool HcMovie::isLooping() const { return m_movie->IsLooping(); }
void HcMovie::setLooping(bool looping) { m_movie->SetLooping(looping); }
void HcMovie::stepForward() { m_movie->StepFrames(1); }
void HcMovie::stepBackward() { m_movie->StepFrames(-1); }
bool HcMovie::playSelectionOnly() const { return m_movie->PlaysSelectionOnly(); }
void HcMovie::setPlaySelectionOnly(bool selectionOnly) { m_movie->SetPlaySelectionOnly(selectionOnly); }

void HcMovie::selection(double* start, double* length) const {
  int64_t s = 0;
  int64_t d = 0;
  m_movie->GetSelection(&s, &d);
  if (start) *start = toSeconds(s);
  if (length) *length = toSeconds(d);
}

void HcMovie::setSelection(double start, double length) {
  m_movie->SetSelection(toUnits(std::max(0.0, start)), toUnits(std::max(0.0, length)));
}

QSize HcMovie::naturalSize() const {
  hc::playback::MovieTrackInfo track;
  if (!m_movie->FirstVisualTrack(true, &track)) return {};
  return QSize(static_cast<int>(track.width), static_cast<int>(track.height));
}

std::vector<std::unique_ptr<QTAnnotation>> HcMovie::annotationArray() const {
  std::vector<std::unique_ptr<QTAnnotation>> annotations;
  if (!m_movie->Reference().IsFile()) return annotations;
  hc::movfile::MovFile file;
  auto items = std::make_shared<std::vector<hc::movfile::MovMetadataItem>>();
  if (file.OpenForRead(m_movie->Reference().Text()) != hc::movfile::MovErr::Ok ||
      file.Metadata(*items) != hc::movfile::MovErr::Ok) {
    return annotations;
  }
  for (const QTAnnotationKey& common : QTAnnotationKey::commonKeys()) {
    for (size_t i = 0; i < items->size(); ++i) {
      if (hc::movfile::MovMetadataReader::CommonKey((*items)[i]) == common.osType()) {
        annotations.push_back(std::make_unique<QTAnnotation>(items, i, common));
        break;
      }
    }
  }
  return annotations;
}

QMap<QString, QString> HcMovie::annotationDictionary() const {
  QMap<QString, QString> dictionary;
  for (const auto& annotation : annotationArray()) dictionary.insert(annotation->key().title(), annotation->stringValue());
  return dictionary;
}
