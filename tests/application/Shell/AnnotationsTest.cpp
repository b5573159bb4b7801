#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "HcMovie.h"
#include "QTAnnotation.h"
#include "QTAnnotationKey.h"

namespace {

using hc::movfile::MovMetadataItem;

TEST(Annotations, CommonKeysAndTheirTitles) {
  ASSERT_EQ(20, QTAnnotationKey::commonKeys().size());
  EXPECT_EQ("Author", QTAnnotationKey::commonKeyStrings().front());
  EXPECT_EQ("Writer", QTAnnotationKey::commonKeyStrings().back());
  // A key read from an item: 'auth' in the common format takes the title.
  const QTAnnotationKey read = QTAnnotationKey::withBytes({'a', 'u', 't', 'h'}, QTAnnotationKey::kCommonFormat);
  EXPECT_EQ("Author", read.title());
  EXPECT_TRUE(read.isEqualTo(QTAnnotationKey::commonKeys().front()));
  const QTAnnotationKey named = QTAnnotationKey::withBytes({'m', 'y', '.', 'k', 'e', 'y'}, 0x6D647461);
  EXPECT_EQ("my.key", named.title()) << "without a table entry, the key's text";
  EXPECT_FALSE(named.isEqualTo(read));
  EXPECT_EQ(6u, named.keySize());
}

TEST(Annotations, TextIsStoredMacEncodedWhenItCanBeElseUtf8) {
  auto items = std::make_shared<std::vector<MovMetadataItem>>();
  auto plain = QTAnnotation::annotationWithMetaData(items, QTAnnotationKey::commonKeys()[0], "Café");
  ASSERT_TRUE(plain);
  EXPECT_EQ(MovMetadataItem::kMacText, plain->dataType());
  EXPECT_EQ("Café", plain->stringValue());
  plain->setStringValue(QString::fromUtf8("全景"));
  EXPECT_EQ(MovMetadataItem::kUtf8, plain->dataType());
  EXPECT_EQ(QString::fromUtf8("全景"), plain->stringValue());

  auto other = std::make_shared<std::vector<MovMetadataItem>>();
  EXPECT_TRUE(plain->copyToMetaData(other));
  ASSERT_EQ(1u, other->size());
  plain->remove();
  EXPECT_TRUE(items->empty());
  EXPECT_EQ("", plain->stringValue());
  plain->remove();  // a second removal does nothing
}

TEST(Annotations, AMoviesCommonMetadataOncePerKey) {
  QTemporaryDir dir;
  const QString path = dir.filePath("tagged.mov");
  ASSERT_EQ(0, QProcess::execute("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "color=c=blue:s=64x32:d=0.2",
                                            "-metadata", "author=Someone", "-metadata", "comment=Looking around",
                                            "-c:v", "libx264", "-f", "mov", path}));
  hc::playback::PlaybackErr error;
  std::unique_ptr<HcMovie> movie = HcMovie::openFile(path, &error);
  ASSERT_TRUE(movie);
  const QMap<QString, QString> found = movie->annotationDictionary();
  EXPECT_EQ("Someone", found.value("Author"));
  EXPECT_EQ("Looking around", found.value("Comment"));
  EXPECT_EQ(1, static_cast<int>(std::count_if(found.keyBegin(), found.keyEnd(),
                                              [](const QString& key) { return key == "Author"; })));
}

}  // namespace
