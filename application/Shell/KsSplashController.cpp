#include "KsSplashController.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWidget>

KsSplashController* KsSplashController::showSplashWindowForNibNamed(const QString& name, DocumentController documents,
                                                                   QObject* parent) {
  if (documents.hasOpenDocuments && documents.hasOpenDocuments()) return nullptr;
  auto* controller = new KsSplashController(name, std::move(documents), parent ? parent : qApp);
  controller->iSplashPanel->show();
  controller->iSplashPanel->raise();
  controller->iSplashPanel->activateWindow();
  return controller;
}

KsSplashController::KsSplashController(const QString& name, DocumentController documents, QObject* parent)
    : QObject(parent), m_documents(std::move(documents)) {
  auto* panel = new QWidget(nullptr, Qt::Window);
  panel->setObjectName(name);
  panel->setWindowTitle(QApplication::applicationName());
  panel->setAttribute(Qt::WA_DeleteOnClose, false);
  auto* layout = new QVBoxLayout(panel);
  layout->addWidget(new QLabel(tr("Open a panoramic movie to begin."), panel));
  iRecentDocsTable = new QTableWidget(0, 1, panel);
  iRecentDocsTable->setObjectName(QStringLiteral("recentDocuments"));
  iRecentDocsTable->setHorizontalHeaderLabels({tr("Recent Documents")});
  iRecentDocsTable->horizontalHeader()->setStretchLastSection(true);
  iRecentDocsTable->verticalHeader()->hide();
  iRecentDocsTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  iRecentDocsTable->setSelectionMode(QAbstractItemView::SingleSelection);
  iRecentDocsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  layout->addWidget(iRecentDocsTable);
  auto* buttons = new QHBoxLayout();
  auto* newButton = new QPushButton(tr("New"), panel);
  newButton->setObjectName(QStringLiteral("newFile"));
  auto* openButton = new QPushButton(tr("Open…"), panel);
  openButton->setObjectName(QStringLiteral("openFile"));
  newButton->setVisible(static_cast<bool>(m_documents.newDocument));
  buttons->addWidget(newButton);
  buttons->addStretch();
  buttons->addWidget(openButton);
  layout->addLayout(buttons);
  connect(newButton, &QPushButton::clicked, this, &KsSplashController::newFile);
  connect(openButton, &QPushButton::clicked, this, &KsSplashController::openFile);
  connect(iRecentDocsTable, &QTableWidget::cellActivated, this, [this](int row, int) {
    const QTableWidgetItem* item = iRecentDocsTable->item(row, 0);
    if (item) openDocument(item->data(Qt::UserRole).toUrl());
  });
  iSplashPanel = panel;
  awakeFromNib();
}

KsSplashController::~KsSplashController() { delete iSplashPanel; }

void KsSplashController::awakeFromNib() {
  fillRecentDocuments();
  iSplashPanel->resize(420, 320);
  if (const QScreen* screen = QApplication::primaryScreen()) {
    QRect frame = iSplashPanel->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    iSplashPanel->move(frame.topLeft());
  }
  iSplashPanel->installEventFilter(this);
}

void KsSplashController::fillRecentDocuments() {
  const QList<QVariantMap> documents = recentDocuments();
  iRecentDocsTable->setRowCount(static_cast<int>(documents.size()));
  for (int row = 0; row < documents.size(); ++row) {
    auto* item = new QTableWidgetItem(documents[row].value(QStringLiteral("Name")).toString());
    const QUrl url = documents[row].value(QStringLiteral("URL")).toUrl();
    item->setData(Qt::UserRole, url);
    item->setToolTip(url.toDisplayString());
    iRecentDocsTable->setItem(row, 0, item);
  }
}

QList<QVariantMap> KsSplashController::recentDocuments() const {
  QList<QVariantMap> documents;
  if (!m_documents.recentDocumentURLs) return documents;
  for (const QUrl& url : m_documents.recentDocumentURLs()) {
    documents.append(QVariantMap{{QStringLiteral("URL"), url},
                                 {QStringLiteral("Name"), QFileInfo(url.path()).fileName()}});
  }
  return documents;
}

bool KsSplashController::anyDocumentOpen() const {
  return m_documents.hasOpenDocuments && m_documents.hasOpenDocuments();
}

void KsSplashController::hidePanel() {
  if (iSplashPanel) iSplashPanel->hide();
}

void KsSplashController::newFile() {
  hidePanel();
  if (m_documents.newDocument) m_documents.newDocument();
  emit panelHidden();
}

void KsSplashController::openFile() {
  hidePanel();
  if (m_documents.openDocument) m_documents.openDocument();
  emit panelHidden();
}

void KsSplashController::openDocument(const QUrl& url) {
  hidePanel();
  if (m_documents.openDocumentWithContentsOfURL) m_documents.openDocumentWithContentsOfURL(url);
  emit panelHidden();
}

void KsSplashController::windowDidResignKey() {
  if (!iSplashPanel || !iSplashPanel->isVisible() || !anyDocumentOpen()) return;
  hidePanel();
  emit panelHidden();
}

bool KsSplashController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == iSplashPanel) {
    if (event->type() == QEvent::WindowDeactivate) windowDidResignKey();
    if (event->type() == QEvent::Close) {
      // Hidden, never closed, so that it can be shown again.
      event->ignore();
      hidePanel();
      emit panelClosed();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}
