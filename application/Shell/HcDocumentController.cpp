#include "HcDocumentController.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>

#include "HcAlert.h"
#include "HcMainBundle.h"
#include "HcViewerApplicationDelegate.h"
#include "HcViewerDocument.h"

namespace {

HcDocumentController::OpenPanel& CurrentOpenPanel() {
  static HcDocumentController::OpenPanel panel;
  return panel;
}

QStringList RunFileDialog(QWidget* parent) {
  return QFileDialog::getOpenFileNames(parent, QCoreApplication::translate("HcDocumentController", "Open"), QString(),
                                       QCoreApplication::translate("HcDocumentController",
                                                                   "Movies (*.mov *.qt *.mp4 *.m4v *.hcmov);;"
                                                                   "All files (*)"));
}

}  // namespace

HcDocumentController::HcDocumentController(HcViewerApplicationDelegate* delegate, QObject* parent)
    : QObject(parent), m_delegate(delegate) {}

HcDocumentController::~HcDocumentController() { closeAllDocuments(); }

void HcDocumentController::SetOpenPanel(OpenPanel panel) { CurrentOpenPanel() = std::move(panel); }

HcViewerDocument* HcDocumentController::openDocumentWithContentsOfURL(const QUrl& url, bool display, HcError* error) {
  auto document = std::make_unique<HcViewerDocument>();
  HcError readError;
  if (!document->readFromURL(url, HcViewerDocument::typeForURL(url), &readError)) {
    if (error) *error = readError;
    return nullptr;
  }
  HcViewerDocument* opened = document.get();
  connect(opened, &HcViewerDocument::documentDidClose, this, &HcDocumentController::DocumentDidClose,
          Qt::QueuedConnection);
  m_documents.push_back(std::move(document));
  // A movie that failed while its load finished asynchronously closes its
  // document right away; it gets no window.
  if (opened->isClosed()) return opened;
  opened->makeWindowControllers();
  if (display) opened->showWindows();
  emit documentOpened(opened);
  return opened;
}

void HcDocumentController::openFiles(const QStringList& paths) {
  for (const QString& path : paths) {
    HcError error;
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (!openDocumentWithContentsOfURL(url, true, &error)) presentError(error);
  }
}

void HcDocumentController::openDocument() {
  const OpenPanel& panel = CurrentOpenPanel();
  openFiles(panel ? panel(nullptr) : RunFileDialog(nullptr));
}

void HcDocumentController::presentError(const HcError& error) {
  const HcError shown = m_delegate ? m_delegate->willPresentError(error) : error;
  QString detail = shown.url.isLocalFile() ? QFileInfo(shown.url.toLocalFile()).fileName() : shown.url.toString();
  if (!shown.failureReason.isEmpty()) detail += (detail.isEmpty() ? "" : "\n") + shown.failureReason;
  HcAlert::Run({nullptr, HcMainBundle::processName(), shown.localizedDescription, detail,
                {QCoreApplication::translate("HcDocumentController", "OK")}});
}

void HcDocumentController::DocumentDidClose(HcViewerDocument* document) {
  const auto found = std::find_if(m_documents.begin(), m_documents.end(),
                                  [document](const auto& held) { return held.get() == document; });
  if (found == m_documents.end()) return;
  std::unique_ptr<HcViewerDocument> closing = std::move(*found);
  m_documents.erase(found);
  closing.reset();
  if (m_documents.empty()) emit lastDocumentClosed();
}

void HcDocumentController::closeAllDocuments() {
  while (!m_documents.empty()) {
    std::unique_ptr<HcViewerDocument> closing = std::move(m_documents.back());
    m_documents.pop_back();
    closing->close();
    closing.reset();
  }
}
