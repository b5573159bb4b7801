#pragma once

#include <QList>
#include <QUrl>

// The recent documents, newest first, kept in the user's settings under
// "RecentDocumentURLs" (a list of URL texts). Opening a document notes it;
// a document noted again moves to the front; the list keeps the newest
// `kMaxCount` entries.
namespace KsRecentDocuments {

constexpr const char* kSettingsKey = "RecentDocumentURLs";
constexpr int kMaxCount = 10;

QList<QUrl> recentDocumentURLs();
void noteNewRecentDocumentURL(const QUrl& url);
void clearRecentDocuments();

}  // namespace KsRecentDocuments
