#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <memory>
#include <vector>

#include "HcError.h"
#include "platform/runtime/ObjectRef.h"

class HcMovie;
class QTimer;
class HcViewerWindowController;

// The document of one opened panoramic movie. It opens the movie without
// blocking, waits until it has loaded, reads the presentation stored in it
// through the movie serializer (a movie without one gets a presentation
// whose projection is guessed from the picture's aspect), builds the
// presentation's live context with the application's viewsets and
// projections, and hands the result to its window controller. It owns the
// movie and the presentation proxy; the presentation owns the scene.
class HcViewerDocument : public QObject {
  Q_OBJECT
 public:
  static constexpr const char* kQuickTimeMovieType = "QuickTime Movie";
  static constexpr const char* kHalcyonMovieType = "Halcyon Movie";

  static constexpr const char* kLoadErrorMessage = "An error occured while attempting to load the movie.";
  static constexpr const char* kNoPresentationMessage =
      "A presentation is not included with this movie. Player cannot function without one.";
  static constexpr const char* kNoContextMessage = "A context could not be created for playback.";
  static constexpr const char* kPreparingErrorMessage = "An error occurred while preparing the movie for display.";

  // Load states of the movie.
  static constexpr int kLoadStateError = -1;
  static constexpr int kLoadStateLoaded = 2000;
  static constexpr int kLoadStatePlaythroughOK = 20000;
  static constexpr int kLoadStateComplete = 100000;

  explicit HcViewerDocument(QObject* parent = nullptr);
  // Releases the presentation at once and the movie a second later.
  ~HcViewerDocument() override;

  // Opens the movie. False, with the error, when the movie can't be made or
  // when it loaded at once and could not be prepared; a movie still loading
  // is prepared when it has loaded (a failure then is shown and the
  // document closes).
  bool readFromURL(const QUrl& url, const QString& typeName, HcError* error);
  bool readFromFile(const QString& path, const QString& typeName, HcError* error);
  // The type a file opens as: every file is offered to the movie reader,
  // which refuses what is not a movie.
  static QString typeForURL(const QUrl& url);

  // Takes the first window controller, or makes one, then applies the
  // presentation to it.
  void makeWindowControllers();
  const std::vector<std::unique_ptr<HcViewerWindowController>>& windowControllers() const {
    return m_windowControllers;
  }
  void showWindows();

  HcMovie* movie() const { return _movie.get(); }
  void setMovie(std::shared_ptr<HcMovie> movie);
  hc::runtime::Id presentation() const { return _presentation.Get(); }
  void setPresentation(hc::runtime::ObjectRef presentation);
  // The presentation's context; nil without a presentation.
  hc::runtime::ObjectRef contextHelper() const;
  QUrl fileURL() const { return m_fileURL; }

  static HcError errorWithDescriptionKey(const QString& key, const QUrl& url);

  // A movie signer knowing the application's public certificates; nil when
  // the application carries none.
  hc::runtime::ObjectRef _movieSigner() const;

  // Closes the windows and tells the document controller, which deletes the
  // document.
  void close();
  bool isClosed() const { return m_closed; }

 signals:
  void documentDidClose(HcViewerDocument* document);

 private slots:
  void _movieLoadStateDidChange();

 private:
  // Runs the load-state handler; the message of a failure, else "".
  QString HandleLoadState(bool fromNotification, bool* handled);
  QString _validateMovie();
  QString _finishMovieInitialization();
  void ReportAndClose(const QString& message);

  std::shared_ptr<HcMovie> _movie;
  hc::runtime::ObjectRef _presentation;
  QUrl m_fileURL;
  std::vector<std::unique_ptr<HcViewerWindowController>> m_windowControllers;
  QTimer* m_loadStateTimer = nullptr;
  bool m_observingLoadState = false;
  bool m_reading = false;
  bool m_closed = false;
};
