#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <QWidget>
#include <functional>

class QPushButton;
class QTableWidget;

// The splash panel shown when the player has finished launching without a
// document: a new document, the open panel, or one of the recent documents
// listed in a table. The panel hides as soon as the user picks one, and
// when it stops being the active window while a document is open.
//
// The panel reaches the documents through the hooks of a DocumentController
// (the shell's document handling); a hook left empty is skipped, and the
// New button shows only with a hook for it.
class KsSplashController : public QObject {
  Q_OBJECT
 public:
  struct DocumentController {
    std::function<bool()> hasOpenDocuments;
    std::function<QList<QUrl>()> recentDocumentURLs;  // newest first
    std::function<void()> newDocument;
    std::function<void()> openDocument;  // runs the open panel
    // Opens and shows the document; false when it could not be opened.
    std::function<bool(const QUrl&)> openDocumentWithContentsOfURL;
  };

  // The panel's window title; the one interface the player has.
  static constexpr const char* kSplashWindowName = "HcViewerSplashWindow";

  // Makes a controller with its panel and shows it, unless a document is
  // open already (then null). The controller lives as long as `parent`
  // (the application when null).
  static KsSplashController* showSplashWindowForNibNamed(const QString& name, DocumentController documents,
                                                        QObject* parent = nullptr);
  ~KsSplashController() override;

  // One entry per recent document: "URL" (the URL) and "Name" (the last
  // component of its path), in the document controller's order.
  QList<QVariantMap> recentDocuments() const;
  QWidget* panel() const { return iSplashPanel; }
  QTableWidget* recentDocsTable() const { return iRecentDocsTable; }

 public slots:
  void newFile();
  void openFile();
  // Opens the chosen recent document; a failure is not reported here.
  void openDocument(const QUrl& url);
  void windowDidResignKey();

 signals:
  // After the panel went away for a choice of the user's (or for losing
  // the focus while a document is open).
  void panelHidden();
  // The user closed the panel through its window.
  void panelClosed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  KsSplashController(const QString& name, DocumentController documents, QObject* parent);
  void awakeFromNib();
  void fillRecentDocuments();
  bool anyDocumentOpen() const;
  void hidePanel();

  DocumentController m_documents;
  QPointer<QWidget> iSplashPanel;
  QTableWidget* iRecentDocsTable = nullptr;
};
