#include "KsBugReporter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>

#include "KsConsoleLog.h"
#include "KsGzip.h"
#include "KsRecentDocuments.h"
#include "KsSystemFacts.h"
#include "KsTemporaryFile.h"

namespace {

constexpr const char* kGeneralFeedback = "General Feedback";
constexpr const char* kBugReport = "Bug Report";
constexpr const char* kCrashReport = "Crash Report";

QString DefaultFeedbackMessage() {
  return QObject::tr("Please describe what you were doing, what you expected to happen, and what happened instead.");
}

// The executable's name: the crash reports' prefix and the user agent.
QString ExecutableName() { return QCoreApplication::applicationName(); }

std::optional<std::string> MimeTypeFor(const QString& fileName) {
  const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
  if (!type.isValid() || type.isDefault()) return std::nullopt;
  return type.name().toStdString();
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

KsBugReporter* KsBugReporter::defaultBugReporter() {
  static QPointer<KsBugReporter> shared;
  if (!shared) shared = new KsBugReporter(qApp);
  return shared;
}

KsBugReporter* KsBugReporter::showBugReporter() {
  KsBugReporter* reporter = defaultBugReporter();
  reporter->showReportWindow();
  return reporter;
}

QStringList KsBugReporter::crashReportFiles() {
  QStringList names;
  for (const std::string& name : defaultBugReporter()->crashReports().CrashReportFiles()) {
    names.append(QString::fromStdString(name));
  }
  return names;
}

void KsBugReporter::checkForCrash() {
  const KsCrashReports reports = defaultBugReporter()->crashReports();
  const std::optional<double> newest = reports.NewestReportTime();
  if (!newest) return;
  QSettings settings;
  const double lastCheck = settings.value(kLastCrashReportDateKey, 0.0).toDouble();
  if (lastCheck < *newest) {
    KsBugReporter* reporter = defaultBugReporter();
    reporter->setFeedbackSubject(tr("%1 Crash Report").arg(ExecutableName()));
    reporter->setFeedbackType(QString::fromLatin1(kCrashReport));
    reporter->setFeedbackWindowMessage(
        tr("Halcyon crashed the last time it was run. Please help us to improve the software by reporting any "
           "details you may have regarding the crash."));
    reporter->showReportWindow();
  }
  settings.setValue(kLastCrashReportDateKey, static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0);
  settings.sync();
}

KsBugReporter::KsBugReporter(QObject* parent)
    : QObject(parent),
      m_feedbackWindowMessage(tr("Your feedback is important to us. Please let us know of any issues you have with "
                                 "the software, or any comments or suggestions you'd like to make.")),
      m_feedbackType(QString::fromLatin1(kGeneralFeedback)),
      m_feedbackMessage(DefaultFeedbackMessage()),
      m_progressWindowMessage(tr("Submitting Feedback...")),
      m_emailAddress(QSettings().value(kEmailAddressKey, QString()).toString()),
      m_network(new QNetworkAccessManager(this)),
      m_consoleLog(&KsConsoleLog::Read) {}

KsBugReporter::~KsBugReporter() {
  if (m_feedbackWindow) delete m_feedbackWindow;
}

KsCrashReports KsBugReporter::crashReports() const {
  return KsCrashReports(KsCrashReports::DefaultFolder(), Utf8(ExecutableName()));
}

void KsBugReporter::setFeedbackWindowMessage(const QString& message) {
  m_feedbackWindowMessage = message;
  emit changed();
}

void KsBugReporter::setFeedbackType(const QString& type) {
  m_feedbackType = type;
  m_allowCancel = true;
  if (type == QLatin1String(kCrashReport)) {
    m_attachConsoleLog = true;
    m_attachCrashLog = true;
  } else if (type == QLatin1String(kBugReport)) {
    m_attachLastProjectFile = true;
    m_attachConsoleLog = true;
  }
  emit changed();
}

void KsBugReporter::setFeedbackMessage(const QString& message) {
  m_feedbackMessage = message;
  emit changed();
}

void KsBugReporter::setUserSelectedFilePath(const QString& path) {
  m_userSelectedFilePath = path;
  emit changed();
}

void KsBugReporter::setProgressWindowMessage(const QString& message) {
  m_progressWindowMessage = message;
  if (m_progressPanel) {
    m_progressPanel->setLabelText(message);
    m_progressPanel->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  emit changed();
}

void KsBugReporter::setFeedbackSubject(const QString& subject) {
  m_feedbackSubject = subject;
  emit changed();
}

void KsBugReporter::setEmailAddress(const QString& address) {
  m_emailAddress = address;
  emit changed();
}

void KsBugReporter::setTransmitInProgress(bool inProgress) {
  m_transmitInProgress = inProgress;
  emit changed();
}

void KsBugReporter::setAttachCrashLog(bool attach) {
  m_attachCrashLog = attach;
  emit changed();
}

void KsBugReporter::setAttachConsoleLog(bool attach) {
  m_attachConsoleLog = attach;
  emit changed();
}

void KsBugReporter::setAttachLastProjectFile(bool attach) {
  m_attachLastProjectFile = attach;
  emit changed();
}

void KsBugReporter::setAttachSystemProfile(bool attach) {
  m_attachSystemProfile = attach;
  emit changed();
}

void KsBugReporter::setAttachUserSelectedFile(bool attach) {
  m_attachUserSelectedFile = attach;
  emit changed();
}

bool KsBugReporter::hasCrashReport() const { return crashReports().HasCrashReport(); }

std::optional<std::string> KsBugReporter::lastCrashReport() const { return crashReports().LastCrashReport(); }

QString KsBugReporter::lastProjectFile() const {
  const QList<QUrl> recent = KsRecentDocuments::recentDocumentURLs();
  if (recent.isEmpty()) return {};
  return recent.front().toLocalFile() + QStringLiteral("/Project.hcproj");
}

QUrl KsBugReporter::feedbackURL() {
  QString server = QSettings().value(kFeedbackServerKey, QString::fromLatin1(kDefaultFeedbackServer)).toString();
  while (server.endsWith(QLatin1Char('/'))) server.chop(1);
  return QUrl(server + QLatin1String(kFeedbackPath));
}

void KsBugReporter::showReportWindow() {
  m_feedbackMessage = DefaultFeedbackMessage();
  if (!m_feedbackWindow) makeWindow();
  updateWindowFromFields();
  m_feedbackWindow->show();
  m_feedbackWindow->raise();
  m_feedbackWindow->activateWindow();
}

void KsBugReporter::cancel() {
  if (m_feedbackWindow) m_feedbackWindow->hide();
}

void KsBugReporter::addIdentity(KsMultipartForm& form) const {
  const KsSystemFacts facts;
  form.AppendInput("user_name", KsSystemFacts::UserFullName());
  form.AppendInput("machine_name", KsSystemFacts::MachineName());
  form.AppendInput("app_name", Utf8(QCoreApplication::applicationName()));
  form.AppendInput("app_version", Utf8(QCoreApplication::applicationVersion()));
  form.AppendInput("platform", facts.PlatformDescription());
}

bool KsBugReporter::attachFile(KsMultipartForm& form, const char* inputName, const QString& path,
                               const QString& fileName, QString* error) {
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
    *error = tr("The file \"%1\" could not be read.").arg(path);
    return false;
  }
  if (file.size() > kMaxAttachmentBytes) {
    *error = tr("The file \"%1\" is too large to send.").arg(path);
    return false;
  }
  const QByteArray data = file.readAll();
  form.AppendFile(inputName, Utf8(fileName), MimeTypeFor(fileName), data.toStdString());
  return true;
}

// Compresses the text, or else the file at the path, into a temporary file
// and attaches it under the file name.
bool KsBugReporter::attachCompressed(KsMultipartForm& form, const char* inputName, const QString& fileName,
                                     const std::optional<std::string>& text, const QString& sourcePath,
                                     QString* error) {
  const KsTemporaryFile temporary(Utf8(fileName));
  if (temporary.GetPath().empty()) {
    *error = tr("No temporary file could be made for \"%1\".").arg(fileName);
    return false;
  }
  const eAppErr err = text ? KsGzip::CompressBytes(*text, temporary.GetPath())
                           : KsGzip::CompressFile(Utf8(sourcePath), temporary.GetPath());
  if (AppErrFailed(err)) {
    *error = tr("\"%1\" could not be compressed.").arg(fileName);
    return false;
  }
  return attachFile(form, inputName, QString::fromStdString(temporary.GetPath()), fileName, error);
}

KsBugReporter::PreparedRequest KsBugReporter::prepareRequestForURL(const QUrl& url) {
  PreparedRequest prepared;
  setProgressWindowMessage(tr("Preparing Request..."));
  KsMultipartForm form;
  addIdentity(form);
  form.AppendInput("report_type", Utf8(m_feedbackType));
  form.AppendInput("subject", Utf8(m_feedbackSubject));
  form.AppendInput("email", Utf8(m_emailAddress));
  QSettings().setValue(kEmailAddressKey, m_emailAddress);
  form.AppendInput("report_message", Utf8(m_feedbackMessage));
  if (m_attachCrashLog) {
    setProgressWindowMessage(tr("Preparing Crash Log..."));
    if (const std::optional<std::string> report = lastCrashReport()) form.AppendInput("crash_log", *report);
  }
  QString& error = prepared.error;
  if (m_attachConsoleLog) {
    setProgressWindowMessage(tr("Preparing Console Log..."));
    const std::optional<std::string> log = m_consoleLog ? m_consoleLog() : std::nullopt;
    if (log && !attachCompressed(form, "console_log", QStringLiteral("console.log.gz"), log, {}, &error)) {
      return prepared;
    }
  }
  if (m_attachSystemProfile) {
    setProgressWindowMessage(tr("Preparing System Profile..."));
    if (!attachCompressed(form, "system_profile", QStringLiteral("sysprofile.spx.gz"),
                          KsSystemFacts().SystemProfileXml(), {}, &error)) {
      return prepared;
    }
  }
  if (m_attachLastProjectFile) {
    setProgressWindowMessage(tr("Preparing Project File..."));
    const QString project = lastProjectFile();
    if (!project.isEmpty() && QFileInfo(project).isFile() &&
        !attachCompressed(form, "project_file", QStringLiteral("Project.hcproj.gz"), std::nullopt, project, &error)) {
      return prepared;
    }
  }
  if (m_attachUserSelectedFile) {
    setProgressWindowMessage(tr("Preparing User Selected File..."));
    if (!attachFile(form, "attached_file[]", m_userSelectedFilePath, QFileInfo(m_userSelectedFilePath).fileName(),
                    &error)) {
      return prepared;
    }
  }
  prepared.request = QNetworkRequest(url);
  prepared.request.setHeader(QNetworkRequest::ContentTypeHeader, QString::fromStdString(form.GetContentType()));
  prepared.request.setHeader(QNetworkRequest::UserAgentHeader, ExecutableName());
  prepared.request.setTransferTimeout(kTransferTimeoutMs);
  prepared.body = QByteArray::fromStdString(form.GetBody());
  return prepared;
}

bool KsBugReporter::sendRequest(const PreparedRequest& prepared, QString* failure) {
  setProgressWindowMessage(tr("Sending Request..."));
  QNetworkReply* reply = m_network->post(prepared.request, prepared.body);
  QEventLoop wait;
  connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
  if (!reply->isFinished()) wait.exec(QEventLoop::ExcludeUserInputEvents);
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  bool sent = true;
  if (reply->error() != QNetworkReply::NoError && status == 0) {
    *failure = reply->errorString();
    sent = false;
  } else if (status < 200 || status > 299) {
    *failure = tr("The feedback service answered with the status %1.").arg(status);
    sent = false;
  }
  reply->deleteLater();
  return sent;
}

void KsBugReporter::sendFeedback() {
  setTransmitInProgress(true);
  m_progressPanel = new QProgressDialog(m_progressWindowMessage, QString(), 0, m_transmitIsIndeterminate ? 0 : 100,
                                        m_feedbackWindow);
  m_progressPanel->setWindowModality(Qt::WindowModal);
  m_progressPanel->setMinimumDuration(0);
  m_progressPanel->setValue(static_cast<int>(m_transmitProgress * 100));
  m_progressPanel->show();

  PreparedRequest prepared = prepareRequestForURL(feedbackURL());
  QString failure = prepared.error;
  const bool sent = failure.isEmpty() && sendRequest(prepared, &failure);

  m_progressPanel->hide();
  m_progressPanel->deleteLater();
  setTransmitInProgress(false);
  m_lastResultMessage = sent ? tr("Sent successfully. Thank you for your feedback!") : failure;
  // A report that failed stays in its window, so that nothing the user
  // wrote is lost and it can be sent again.
  if (sent && m_feedbackWindow) m_feedbackWindow->hide();
  auto* box = new QMessageBox(sent ? QMessageBox::Information : QMessageBox::Warning, QApplication::applicationName(),
                              m_lastResultMessage, QMessageBox::Ok, m_feedbackWindow.data());
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setObjectName(QStringLiteral("feedbackResult"));
  box->open();
  emit feedbackFinished(sent, m_lastResultMessage);
}

void KsBugReporter::makeWindow() {
  auto* window = new QWidget(nullptr, Qt::Window);
  window->setObjectName(QStringLiteral("BugReport"));
  window->setWindowTitle(tr("Send Feedback"));
  auto* layout = new QVBoxLayout(window);
  m_messageLabel = new QLabel(window);
  m_messageLabel->setWordWrap(true);
  layout->addWidget(m_messageLabel);
  auto* form = new QFormLayout();
  m_typeBox = new QComboBox(window);
  m_typeBox->addItems({QString::fromLatin1(kGeneralFeedback), QString::fromLatin1(kBugReport),
                       QString::fromLatin1(kCrashReport)});
  form->addRow(tr("Type:"), m_typeBox);
  m_subjectEdit = new QLineEdit(window);
  form->addRow(tr("Subject:"), m_subjectEdit);
  m_emailEdit = new QLineEdit(window);
  form->addRow(tr("E-mail:"), m_emailEdit);
  layout->addLayout(form);
  m_messageEdit = new QTextEdit(window);
  m_messageEdit->setAcceptRichText(false);
  layout->addWidget(m_messageEdit);
  m_crashLogBox = new QCheckBox(tr("Attach the crash log"), window);
  m_consoleLogBox = new QCheckBox(tr("Attach the console log"), window);
  m_projectFileBox = new QCheckBox(tr("Attach the last project file"), window);
  m_systemProfileBox = new QCheckBox(tr("Attach the system profile"), window);
  m_userFileBox = new QCheckBox(tr("Attach a file:"), window);
  for (QCheckBox* box : {m_crashLogBox, m_consoleLogBox, m_projectFileBox, m_systemProfileBox}) layout->addWidget(box);
  auto* fileRow = new QHBoxLayout();
  m_userFileEdit = new QLineEdit(window);
  auto* chooseButton = new QPushButton(tr("Choose…"), window);
  fileRow->addWidget(m_userFileBox);
  fileRow->addWidget(m_userFileEdit, 1);
  fileRow->addWidget(chooseButton);
  layout->addLayout(fileRow);
  auto* buttons = new QHBoxLayout();
  m_cancelButton = new QPushButton(tr("Cancel"), window);
  auto* sendButton = new QPushButton(tr("Send"), window);
  sendButton->setObjectName(QStringLiteral("send"));
  sendButton->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(m_cancelButton);
  buttons->addWidget(sendButton);
  layout->addLayout(buttons);

  connect(this, &KsBugReporter::changed, this, &KsBugReporter::updateWindowFromFields);
  const auto unlessUpdating = [this](auto apply) {
    return [this, apply](auto value) {
      if (!m_updatingWindow) apply(value);
    };
  };
  connect(m_typeBox, &QComboBox::currentTextChanged, this,
          unlessUpdating([this](const QString& type) { setFeedbackType(type); }));
  connect(m_subjectEdit, &QLineEdit::textChanged, this,
          unlessUpdating([this](const QString& text) { setFeedbackSubject(text); }));
  connect(m_emailEdit, &QLineEdit::textChanged, this,
          unlessUpdating([this](const QString& text) { setEmailAddress(text); }));
  connect(m_userFileEdit, &QLineEdit::textChanged, this,
          unlessUpdating([this](const QString& text) { setUserSelectedFilePath(text); }));
  connect(m_messageEdit, &QTextEdit::textChanged, this, [this] {
    if (!m_updatingWindow) setFeedbackMessage(m_messageEdit->toPlainText());
  });
  connect(m_crashLogBox, &QCheckBox::toggled, this, unlessUpdating([this](bool on) { setAttachCrashLog(on); }));
  connect(m_consoleLogBox, &QCheckBox::toggled, this, unlessUpdating([this](bool on) { setAttachConsoleLog(on); }));
  connect(m_projectFileBox, &QCheckBox::toggled, this,
          unlessUpdating([this](bool on) { setAttachLastProjectFile(on); }));
  connect(m_systemProfileBox, &QCheckBox::toggled, this,
          unlessUpdating([this](bool on) { setAttachSystemProfile(on); }));
  connect(m_userFileBox, &QCheckBox::toggled, this,
          unlessUpdating([this](bool on) { setAttachUserSelectedFile(on); }));
  connect(chooseButton, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getOpenFileName(m_feedbackWindow, tr("Choose a File to Attach"));
    if (path.isEmpty()) return;
    setUserSelectedFilePath(path);
    setAttachUserSelectedFile(true);
  });
  connect(m_cancelButton, &QPushButton::clicked, this, &KsBugReporter::cancel);
  connect(sendButton, &QPushButton::clicked, this, &KsBugReporter::sendFeedback);
  window->resize(520, 560);
  m_feedbackWindow = window;
}

void KsBugReporter::updateWindowFromFields() {
  if (!m_feedbackWindow || m_updatingWindow) return;
  m_updatingWindow = true;
  m_messageLabel->setText(m_feedbackWindowMessage);
  m_typeBox->setCurrentText(m_feedbackType);
  if (m_subjectEdit->text() != m_feedbackSubject) m_subjectEdit->setText(m_feedbackSubject);
  if (m_emailEdit->text() != m_emailAddress) m_emailEdit->setText(m_emailAddress);
  if (m_messageEdit->toPlainText() != m_feedbackMessage) m_messageEdit->setPlainText(m_feedbackMessage);
  if (m_userFileEdit->text() != m_userSelectedFilePath) m_userFileEdit->setText(m_userSelectedFilePath);
  m_crashLogBox->setChecked(m_attachCrashLog);
  m_consoleLogBox->setChecked(m_attachConsoleLog);
  m_projectFileBox->setChecked(m_attachLastProjectFile);
  m_systemProfileBox->setChecked(m_attachSystemProfile);
  m_userFileBox->setChecked(m_attachUserSelectedFile);
  m_cancelButton->setEnabled(m_allowCancel);
  m_updatingWindow = false;
}
