#pragma once

#include <QByteArray>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "KsCrashReports.h"
#include "KsMultipartForm.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QNetworkAccessManager;
class QPushButton;
class QTextEdit;

// The feedback reporter: a window in which the user writes general
// feedback, a bug report or a crash report and sends it, with optional
// attachments, to the feedback service as one HTTP POST of multipart form
// data to "/halcyon/reportfeedback.php" of the server named by the setting
// "KsFeedbackServerURL". At launch it offers itself as a crash report when
// the player left a crash report newer than the previous check.
//
// Stand-ins on this system: crash reports are the player's files in
// "$XDG_STATE_HOME/HalcyonPlayer/CrashReports"; the console log is the
// player's entries in the user's journal; the system profile is a property
// list of facts from /etc/os-release, /proc and /sys; attachments are
// compressed with zlib into temporary files of unique names.
class KsBugReporter : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString feedbackWindowMessage READ feedbackWindowMessage WRITE setFeedbackWindowMessage NOTIFY changed)
  Q_PROPERTY(QString feedbackType READ feedbackType WRITE setFeedbackType NOTIFY changed)
  Q_PROPERTY(QString feedbackMessage READ feedbackMessage WRITE setFeedbackMessage NOTIFY changed)
  Q_PROPERTY(QString userSelectedFilePath READ userSelectedFilePath WRITE setUserSelectedFilePath NOTIFY changed)
  Q_PROPERTY(QString progressWindowMessage READ progressWindowMessage WRITE setProgressWindowMessage NOTIFY changed)
  Q_PROPERTY(QString feedbackSubject READ feedbackSubject WRITE setFeedbackSubject NOTIFY changed)
  Q_PROPERTY(QString emailAddress READ emailAddress WRITE setEmailAddress NOTIFY changed)
  Q_PROPERTY(bool transmitInProgress READ transmitInProgress WRITE setTransmitInProgress NOTIFY changed)
  Q_PROPERTY(bool attachCrashLog READ attachCrashLog WRITE setAttachCrashLog NOTIFY changed)
  Q_PROPERTY(bool attachConsoleLog READ attachConsoleLog WRITE setAttachConsoleLog NOTIFY changed)
  Q_PROPERTY(bool attachLastProjectFile READ attachLastProjectFile WRITE setAttachLastProjectFile NOTIFY changed)
  Q_PROPERTY(bool attachSystemProfile READ attachSystemProfile WRITE setAttachSystemProfile NOTIFY changed)
  Q_PROPERTY(bool attachUserSelectedFile READ attachUserSelectedFile WRITE setAttachUserSelectedFile NOTIFY changed)
  Q_PROPERTY(bool allowCancel READ allowCancel NOTIFY changed)

 public:
  static constexpr const char* kFeedbackServerKey = "KsFeedbackServerURL";
  static constexpr const char* kDefaultFeedbackServer = "https://www.halcyonplayer.invalid";
  static constexpr const char* kFeedbackPath = "/halcyon/reportfeedback.php";
  static constexpr const char* kEmailAddressKey = "KsFeedbackEmailAddress";
  static constexpr const char* kLastCrashReportDateKey = "WdCrashReporterLastCrashReportDate";
  // Larger files are not attached; the report is not sent.
  static constexpr qint64 kMaxAttachmentBytes = 64ll << 20;
  static constexpr int kTransferTimeoutMs = 120000;

  static KsBugReporter* defaultBugReporter();
  static KsBugReporter* showBugReporter();
  // The launch-time check: shows the reporter as a crash report when the
  // newest crash report changed after the time of the last check, and
  // stores the time of this one when any crash report exists.
  static void checkForCrash();
  // The crash report file names, newest first.
  static QStringList crashReportFiles();

  explicit KsBugReporter(QObject* parent = nullptr);
  ~KsBugReporter() override;

  QString feedbackWindowMessage() const { return m_feedbackWindowMessage; }
  QString feedbackType() const { return m_feedbackType; }
  QString feedbackMessage() const { return m_feedbackMessage; }
  QString userSelectedFilePath() const { return m_userSelectedFilePath; }
  QString progressWindowMessage() const { return m_progressWindowMessage; }
  QString feedbackSubject() const { return m_feedbackSubject; }
  QString emailAddress() const { return m_emailAddress; }
  bool transmitInProgress() const { return m_transmitInProgress; }
  bool attachCrashLog() const { return m_attachCrashLog; }
  bool attachConsoleLog() const { return m_attachConsoleLog; }
  bool attachLastProjectFile() const { return m_attachLastProjectFile; }
  bool attachSystemProfile() const { return m_attachSystemProfile; }
  bool attachUserSelectedFile() const { return m_attachUserSelectedFile; }
  bool allowCancel() const { return m_allowCancel; }

  void setFeedbackWindowMessage(const QString& message);
  // Also turns on the attachments the type calls for; never turns one off.
  void setFeedbackType(const QString& type);
  void setFeedbackMessage(const QString& message);
  void setUserSelectedFilePath(const QString& path);
  // Shown at once, even while the main thread is busy.
  void setProgressWindowMessage(const QString& message);
  void setFeedbackSubject(const QString& subject);
  void setEmailAddress(const QString& address);
  void setTransmitInProgress(bool inProgress);
  void setAttachCrashLog(bool attach);
  void setAttachConsoleLog(bool attach);
  void setAttachLastProjectFile(bool attach);
  void setAttachSystemProfile(bool attach);
  void setAttachUserSelectedFile(bool attach);

  QWidget* feedbackWindow() const { return m_feedbackWindow; }
  bool hasCrashReport() const;
  std::optional<std::string> lastCrashReport() const;
  // "Project.hcproj" in the most recent document's path; "" without one.
  QString lastProjectFile() const;
  // The feedback service's address: the setting's server and the path.
  static QUrl feedbackURL();

  // The request and its body, or an error text when an attachment the
  // user asked for can't be read or is too large.
  struct PreparedRequest {
    QNetworkRequest request;
    QByteArray body;
    QString error;
  };
  PreparedRequest prepareRequestForURL(const QUrl& url);
  // Sends and waits; true when the service answered with a 2xx status.
  bool sendRequest(const PreparedRequest& prepared, QString* failure);

  // Where the console log comes from (the journal unless replaced).
  void setConsoleLogSource(std::function<std::optional<std::string>()> source) { m_consoleLog = std::move(source); }
  // The text the last send ended with, and whether it succeeded.
  QString lastResultMessage() const { return m_lastResultMessage; }

 public slots:
  void showReportWindow();
  void sendFeedback();
  void cancel();

 signals:
  void changed();
  void feedbackFinished(bool sent, const QString& message);

 private:
  void addIdentity(KsMultipartForm& form) const;
  bool attachCompressed(KsMultipartForm& form, const char* inputName, const QString& fileName,
                        const std::optional<std::string>& text, const QString& sourcePath, QString* error);
  bool attachFile(KsMultipartForm& form, const char* inputName, const QString& path, const QString& fileName,
                  QString* error);
  void makeWindow();
  void updateWindowFromFields();
  KsCrashReports crashReports() const;

  QString m_feedbackWindowMessage;
  QString m_feedbackType;
  QString m_feedbackMessage;
  QString m_userSelectedFilePath;
  QString m_progressWindowMessage;
  QString m_feedbackSubject;
  QString m_emailAddress;
  float m_transmitProgress = 0;
  bool m_transmitIsIndeterminate = true;
  bool m_transmitInProgress = false;
  bool m_attachCrashLog = false;
  bool m_attachConsoleLog = false;
  bool m_attachLastProjectFile = false;
  bool m_attachSystemProfile = false;
  bool m_attachUserSelectedFile = false;
  bool m_allowCancel = true;

  QPointer<QWidget> m_feedbackWindow;
  QPointer<QProgressDialog> m_progressPanel;
  QNetworkAccessManager* m_network = nullptr;
  std::function<std::optional<std::string>()> m_consoleLog;
  QString m_lastResultMessage;
  bool m_updatingWindow = false;

  QLabel* m_messageLabel = nullptr;
  QComboBox* m_typeBox = nullptr;
  QLineEdit* m_subjectEdit = nullptr;
  QLineEdit* m_emailEdit = nullptr;
  QTextEdit* m_messageEdit = nullptr;
  QCheckBox* m_crashLogBox = nullptr;
  QCheckBox* m_consoleLogBox = nullptr;
  QCheckBox* m_projectFileBox = nullptr;
  QCheckBox* m_systemProfileBox = nullptr;
  QCheckBox* m_userFileBox = nullptr;
  QLineEdit* m_userFileEdit = nullptr;
  QPushButton* m_cancelButton = nullptr;
};
