#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

#include "HcError.h"

class HcViewerApplicationDelegate;
class HcViewerDocument;
class QWidget;

// Keeps the open documents: opens movies from the command line and the Open
// panel, shows each in its window, shows what went wrong, and lets a closed
// document go.
class HcDocumentController : public QObject {
  Q_OBJECT
 public:
  // Answers the files chosen; empty when the panel was cancelled.
  using OpenPanel = std::function<QStringList(QWidget* parent)>;

  explicit HcDocumentController(HcViewerApplicationDelegate* delegate, QObject* parent = nullptr);
  ~HcDocumentController() override;

  // Opens the movie in a new document and, when asked, shows its window.
  // Null, with the error, when it could not be opened.
  HcViewerDocument* openDocumentWithContentsOfURL(const QUrl& url, bool display, HcError* error);
  // Opens each file, showing the error of each that fails.
  void openFiles(const QStringList& paths);
  // The Open panel, then the files chosen.
  void openDocument();
  void presentError(const HcError& error);
  const std::vector<std::unique_ptr<HcViewerDocument>>& documents() const { return m_documents; }
  void closeAllDocuments();

  static void SetOpenPanel(OpenPanel panel);

 signals:
  void documentOpened(HcViewerDocument* document);
  void lastDocumentClosed();

 private:
  void DocumentDidClose(HcViewerDocument* document);

  HcViewerApplicationDelegate* m_delegate;
  std::vector<std::unique_ptr<HcViewerDocument>> m_documents;
};
