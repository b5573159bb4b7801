#include "KsRecentDocuments.h"

#include <QSettings>
#include <QStringList>

namespace KsRecentDocuments {

QList<QUrl> recentDocumentURLs() {
  QList<QUrl> urls;
  const QStringList texts = QSettings().value(kSettingsKey).toStringList();
  for (const QString& text : texts) {
    const QUrl url(text);
    if (url.isValid() && !url.isEmpty() && urls.size() < kMaxCount) urls.append(url);
  }
  return urls;
}

void noteNewRecentDocumentURL(const QUrl& url) {
  if (!url.isValid() || url.isEmpty()) return;
  QStringList texts = QSettings().value(kSettingsKey).toStringList();
  const QString text = url.toString();
  texts.removeAll(text);
  texts.prepend(text);
  while (texts.size() > kMaxCount) texts.removeLast();
  QSettings settings;
  settings.setValue(kSettingsKey, texts);
}

void clearRecentDocuments() { QSettings().remove(kSettingsKey); }

}  // namespace KsRecentDocuments
