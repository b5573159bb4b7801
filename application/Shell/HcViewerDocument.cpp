#include "HcViewerDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include "HcAlert.h"
#include "HcApplicationResources.h"
#include "HcMainBundle.h"
#include "HcMovie.h"
#include "HcProxyCalls.h"
#include "HcResourceManager.h"
#include "HcViewerWindowController.h"
#include "platform/playback/PlaybackErr.h"
#include "platform/runtime/KeyValueCoding.h"
#include "platform/runtime/MessageSend.h"

namespace rt = hc::runtime;
using HcProxyCalls::Call;
using HcProxyCalls::SendForInt;
using HcProxyCalls::SendForObject;

namespace {

constexpr int kMovieReleaseDelayMs = 1000;
constexpr qint64 kMaxCertificateBytes = 1 << 20;

QString Localized(const char* key) { return QCoreApplication::translate("HcViewerDocument", key); }

// The movie outlives its document by a second; a timer owned by the
// application keeps it, so that a run that ends first still frees it.
void ReleaseLater(std::shared_ptr<HcMovie> movie) {
  if (!movie) return;
  QCoreApplication* application = QCoreApplication::instance();
  if (!application) return;
  auto* timer = new QTimer(application);
  timer->setSingleShot(true);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, movie = std::move(movie)]() mutable {
    movie.reset();
    timer->deleteLater();
  });
  timer->start(kMovieReleaseDelayMs);
}

}  // namespace

HcViewerDocument::HcViewerDocument(QObject* parent) : QObject(parent) {}

HcViewerDocument::~HcViewerDocument() {
  m_windowControllers.clear();
  _presentation = {};
  if (_movie) QObject::disconnect(_movie.get(), nullptr, this, nullptr);
  ReleaseLater(std::move(_movie));
}

QString HcViewerDocument::typeForURL(const QUrl& url) {
  const QString suffix = QFileInfo(url.path()).suffix().toLower();
  if (suffix == QStringLiteral("hcmov")) return QString::fromUtf8(kHalcyonMovieType);
  return QString::fromUtf8(kQuickTimeMovieType);
}

bool HcViewerDocument::readFromFile(const QString& path, const QString& typeName, HcError* error) {
  return readFromURL(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()), typeName, error);
}

bool HcViewerDocument::readFromURL(const QUrl& url, const QString& typeName, HcError* error) {
  if (error) *error = {};
  m_fileURL = url;
  if (typeName != QString::fromUtf8(kQuickTimeMovieType) && typeName != QString::fromUtf8(kHalcyonMovieType)) {
    if (error) *error = errorWithDescriptionKey(QString::fromUtf8(kLoadErrorMessage), url);
    return false;
  }
  hc::playback::PlaybackErr movieError = hc::playback::PlaybackErr::BadArgument;
  std::shared_ptr<HcMovie> movie;
  if (url.isLocalFile()) movie = HcMovie::openFile(url.toLocalFile(), &movieError);
  setMovie(movie);
  if (!movie) {
    if (error) {
      *error = errorWithDescriptionKey(QString::fromUtf8(kLoadErrorMessage), url);
      error->failureReason = QString::fromUtf8(hc::playback::PlaybackErrName(movieError));
    }
    return false;
  }
  const int state = movie->loadState();
  if (state == kLoadStateComplete || state == kLoadStateError) {
    bool handled = false;
    const QString message = HandleLoadState(false, &handled);
    if (!message.isEmpty()) {
      // Opening answers the failure itself; the caller shows it once.
      if (error) *error = errorWithDescriptionKey(message, url);
      return false;
    }
  } else {
    // The movie tells no load-state changes; they are looked at as the
    // control timer does, every tenth of a second.
    m_observingLoadState = true;
    m_loadStateTimer = new QTimer(this);
    connect(m_loadStateTimer, &QTimer::timeout, this, &HcViewerDocument::_movieLoadStateDidChange);
    m_loadStateTimer->start(100);
  }
  return true;
}

void HcViewerDocument::_movieLoadStateDidChange() {
  bool handled = false;
  const QString message = HandleLoadState(true, &handled);
  if (handled && !message.isEmpty()) ReportAndClose(message);
}

QString HcViewerDocument::HandleLoadState(bool fromNotification, bool* handled) {
  *handled = false;
  if (!_movie) return {};
  const int state = _movie->loadState();
  if (state < kLoadStateLoaded && state != kLoadStateError) return {};
  // Validation runs once, whatever further changes the movie reports.
  if (fromNotification) {
    if (!m_observingLoadState) return {};
    m_observingLoadState = false;
    if (m_loadStateTimer) m_loadStateTimer->stop();
  }
  *handled = true;
  return _validateMovie();
}

void HcViewerDocument::ReportAndClose(const QString& message) {
  HcAlert::Run({nullptr, HcMainBundle::processName(), errorWithDescriptionKey(message, m_fileURL).localizedDescription,
                {}, {Localized("OK")}});
  close();
}

QString HcViewerDocument::_validateMovie() {
  if (_movie->loadState() == kLoadStateError) return QString::fromUtf8(kLoadErrorMessage);
  rt::ObjectRef serializer = HcProxyCalls::NewProxy("C_MovieSerializer");
  if (!serializer) return QString::fromUtf8(kNoPresentationMessage);
  Call(serializer.Get(), "setMovie:", {rt::Value::Pointer(_movie->movie().get())});
  // A movie without a stored presentation still plays: its one source gets
  // the projection its picture's aspect suggests.
  Call(serializer.Get(), "setGuessPanoProjection:", {rt::Value::Bool(true)});
  int result = 0;
  if (rt::RespondsTo(serializer.Get(), rt::RegisterSelector("doInitDescriptionFromMovieFoundData:"))) {
    bool found = false;
    result = SendForInt(serializer.Get(), "doInitDescriptionFromMovieFoundData:", {rt::Value::OutPointer(&found)});
  } else {
    result = SendForInt(serializer.Get(), "setInitDescriptionFromMovie:", {rt::Value::Bool(true)});
  }
  rt::ObjectRef presentation = SendForObject(serializer.Get(), "presentation");
  // The serializer holds the movie without owning it; it lets go now.
  Call(serializer.Get(), "setMovie:", {rt::Value::Pointer(nullptr)});
  if (result != 0 || !presentation) return QString::fromUtf8(kNoPresentationMessage);
  setPresentation(std::move(presentation));
  Call(_presentation.Get(), "setUseIdle:", {rt::Value::Bool(true)});
  return _finishMovieInitialization();
}

QString HcViewerDocument::_finishMovieInitialization() {
  rt::ObjectRef context = contextHelper();
  if (!context) return QString::fromUtf8(kNoContextMessage);
  HcResourceManager& resources = HcResourceManager::defaultResourceManager();
  resources.loadViewsetsIntoContext(context.Get());
  resources.loadProjectionsIntoContext(context.Get());
  rt::Value built;
  const rt::RuntimeErr sent =
      HcProxyCalls::CallChecked(_presentation.Get(), "setInitContextFromHcML:", {rt::Value::Bool(true)}, &built);
  // The property's setter answers no status through the bridge; a scene
  // that was built has chosen a viewset and with it a main view.
  const bool failed = rt::RuntimeFailed(sent) || built.IntValue() != 0 ||
                      !HcProxyCalls::SendForObject(context.Get(), "mainView");
  if (failed) return QString::fromUtf8(kPreparingErrorMessage);
  for (const auto& controller : m_windowControllers) controller->updatePresentation();
  return {};
}

void HcViewerDocument::makeWindowControllers() {
  if (m_windowControllers.empty()) {
    m_windowControllers.push_back(std::make_unique<HcViewerWindowController>(this));
  }
  m_windowControllers.front()->updatePresentation();
}

void HcViewerDocument::showWindows() {
  for (const auto& controller : m_windowControllers) controller->showWindow();
}

void HcViewerDocument::setMovie(std::shared_ptr<HcMovie> movie) {
  if (movie == _movie) return;
  if (_movie) QObject::disconnect(_movie.get(), nullptr, this, nullptr);
  _movie = std::move(movie);
}

void HcViewerDocument::setPresentation(rt::ObjectRef presentation) {
  if (presentation == _presentation) return;
  _presentation = std::move(presentation);
}

rt::ObjectRef HcViewerDocument::contextHelper() const {
  if (!_presentation) return {};
  // Through key-value coding: the accessor's name follows the bridge's rule
  // for names that begin with the class prefix.
  rt::Value context;
  if (rt::RuntimeFailed(rt::ValueForKey(_presentation.Get(), "HcContext", &context))) return {};
  return context.GetType() == rt::Value::Type::kObject ? context.GetObjectRef() : rt::ObjectRef();
}

HcError HcViewerDocument::errorWithDescriptionKey(const QString& key, const QUrl& url) {
  HcError error;
  error.domain = QString::fromUtf8(HcError::kHalcyonErrorDomain);
  error.code = -1;
  error.localizedDescription = QCoreApplication::translate("HcViewerDocument", key.toUtf8().constData());
  error.url = url;
  return error;
}

void HcViewerDocument::close() {
  if (m_closed) return;
  m_closed = true;
  for (const auto& controller : m_windowControllers) controller->closeWindow();
  emit documentDidClose(this);
}

rt::ObjectRef HcViewerDocument::_movieSigner() const {
  const QDir folder(HcApplicationResources::path(QStringLiteral("Public Certificates")));
  rt::ObjectRef signer = HcProxyCalls::NewProxy("C_MovieSigner");
  rt::ObjectRef certificates = HcProxyCalls::NewProxy("C_KsPublicCertCollection");
  if (!signer || !certificates) return {};
  Call(signer.Get(), "setKnownPublicCertificates:", {rt::Value::Object(certificates)});
  const QStringList entries = folder.entryList(QDir::Files | QDir::Readable, QDir::Name);
  for (const QString& entry : entries) {
    const QFileInfo info(folder.filePath(entry));
    if (info.suffix() != QStringLiteral("pem") || info.size() > kMaxCertificateBytes) continue;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) continue;
    const QString text = QString::fromUtf8(file.readAll());
    rt::ObjectRef certificate = HcProxyCalls::NewProxy("C_PEMOpenSSLPublicCert");
    if (!certificate) continue;
    Call(certificate.Get(), "setPEMCertX509:", {rt::Value::String(text.toStdString())});
    Call(certificate.Get(), "setName:", {rt::Value::String(info.completeBaseName().toStdString())});
    Call(signer.Get(), "insertObject:inKnownPublicCertificatesAtIndex:",
         {rt::Value::Object(certificate), rt::Value::UInt(0)});
  }
  if (SendForInt(signer.Get(), "countOfKnownPublicCertificates") == 0) return {};
  return signer;
}
