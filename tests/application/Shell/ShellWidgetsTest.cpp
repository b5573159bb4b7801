#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "HcCursorTable.h"
#include "HcImageCache.h"
#include "HcResourceManager.h"
#include "HcSegmentedControl.h"
#include "HcSlider.h"
#include "HcTimeFormatter.h"
#include "HcTimelineView.h"
#include "KsHoldButton.h"
#include "PWSizeFormatter.h"

// Receives the time line's actions and notes the order of events.
class TimelineReceiver : public QObject {
  Q_OBJECT
 public:
  QStringList events;
  Q_INVOKABLE void positionMoved(HcTimelineView* view) {
    events << QString("position %1 %2").arg(view->eventType()).arg(view->position());
  }
  Q_INVOKABLE void inMoved(HcTimelineView* view) { events << QString("in %1").arg(view->inPoint()); }
};

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

TEST(TimelineView, StartsAtItsDefaultsAndClampsWhatItIsGiven) {
  HcTimelineView line(nullptr, QSize(221, 20));
  EXPECT_EQ(60.0, line.length());
  EXPECT_EQ(60.0, line.loaded());
  EXPECT_EQ(0.0, line.position());
  EXPECT_EQ(-1.0, line.inPoint());
  EXPECT_EQ(-1.0, line.outPoint());
  line.setPosition(-5);
  EXPECT_EQ(0.0, line.position());
  line.setPosition(500);
  EXPECT_EQ(60.0, line.position());
  line.setOutPoint(45);
  line.setInPoint(40);
  line.setLength(30);
  EXPECT_EQ(30.0, line.outPoint());
  EXPECT_EQ(40.0, line.inPoint()) << "only the out point follows the length";
  line.setLength(0);
  line.setPosition(12);
  EXPECT_EQ(0.0, line.position());
}

TEST(TimelineView, DrawingAndTheMouseMapTimesThroughOneSpan) {
  HcTimelineView line(nullptr, QSize(221, 20));
  line.setLength(100);
  line.setPosition(50);
  EXPECT_EQ(200, line.span());
  EXPECT_EQ(105, line.playheadX());
  // A click where the play head's stem stands gives back its time.
  EXPECT_DOUBLE_EQ(50.0, line.timeAtX(110));
  EXPECT_DOUBLE_EQ(0.0, line.timeAtX(3));
  EXPECT_DOUBLE_EQ(100.0, line.timeAtX(400));
  TimelineReceiver receiver;
  line.setTarget(&receiver);
  line.setPositionAction("positionMoved");
  line.setInPointAction("inMoved");
  line.setOutPointAction("noSuchMethod");
  EXPECT_EQ(HcTimelineView::kPosition | HcTimelineView::kInPoint, line.targetRespondsToActionMask());

  QSignalSpy notices(&line, &HcTimelineView::notificationPosted);
  QTest::mousePress(&line, Qt::LeftButton, {}, QPoint(60, 10));
  EXPECT_DOUBLE_EQ(25.0, line.position());
  QTest::mouseRelease(&line, Qt::LeftButton, {}, QPoint(60, 10));
  ASSERT_EQ(2, notices.size());
  EXPECT_EQ(HcTimelineView::kPositionScrubbingStart, notices[0][0].toString());
  EXPECT_EQ(HcTimelineView::kPositionScrubbingEnd, notices[1][0].toString());
  EXPECT_EQ((QStringList{"position 1 25", "position 3 25"}), receiver.events)
      << "the release sends the position once more";

  // Left of the track: no drag, no notice.
  notices.clear();
  QTest::mousePress(&line, Qt::LeftButton, {}, QPoint(5, 2));
  EXPECT_EQ(HcTimelineView::kNoHandle, line.draggedHandle());
  EXPECT_TRUE(notices.isEmpty());
  QTest::mouseRelease(&line, Qt::LeftButton, {}, QPoint(5, 2));
}

TEST(TimelineView, MarkersStopAtEachOtherAndAnUnsetOutPointBoundsNothing) {
  HcTimelineView line(nullptr, QSize(221, 20));
  line.setLength(100);
  line.setShowInOutPoints(true);
  line.setInPoint(0);
  TimelineReceiver receiver;
  line.setTarget(&receiver);
  line.setInPointAction("inMoved");
  // The out point is unset: dragging the in point keeps it within the movie.
  const QPoint inMarker(line.inMarkerX() + 2, 18);
  QTest::mousePress(&line, Qt::LeftButton, {}, inMarker);
  ASSERT_EQ(HcTimelineView::kInPoint, line.draggedHandle());
  QMouseEvent drag(QEvent::MouseMove, QPointF(110, 18), QPointF(110, 18), Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(&line, &drag);
  EXPECT_DOUBLE_EQ(50.0, line.inPoint());
  EXPECT_EQ(QStringList{"in 50"}, receiver.events);
  QTest::mouseRelease(&line, Qt::LeftButton, {}, QPoint(110, 18));
  EXPECT_EQ(QStringList{"in 50"}, receiver.events) << "a marker's release sends nothing";

  line.setOutPoint(30);
  line.setInPoint(10);
  QTest::mousePress(&line, Qt::LeftButton, {}, QPoint(line.inMarkerX() + 2, 18));
  QMouseEvent past(QEvent::MouseMove, QPointF(200, 18), QPointF(200, 18), Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(&line, &past);
  EXPECT_DOUBLE_EQ(30.0, line.inPoint()) << "the in point stops at the out point";
  QTest::mouseRelease(&line, Qt::LeftButton, {}, QPoint(200, 18));
  QTest::mousePress(&line, Qt::LeftButton, {}, QPoint(line.outMarkerX() + 2, 18));
  ASSERT_EQ(HcTimelineView::kOutPoint, line.draggedHandle());
  QMouseEvent below(QEvent::MouseMove, QPointF(12, 18), QPointF(12, 18), Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(&line, &below);
  EXPECT_DOUBLE_EQ(30.0, line.outPoint()) << "the out point stops at the in point";
}

TEST(TimeFormatter, WritesAndReadsBackItsTexts) {
  HcTimeFormatter plain(0);
  HcTimeFormatter frames(30);
  EXPECT_EQ("01:01:01", plain.stringForSeconds(3661.0));
  EXPECT_EQ("00:00:01:15/30", frames.stringForSeconds(1.5));
  EXPECT_EQ("00:00:00", plain.stringForSeconds(std::nan("")));
  struct Case {
    const char* text;
    double seconds;
  } cases[] = {{"1:02:03", 3723}, {"90", 90}, {"00:00:01:15/30", 1.5}, {"01:01:01", 3661}, {"1.5", 1.5}, {"x", 0}};
  for (const Case& c : cases) {
    double seconds = -1;
    ASSERT_TRUE(plain.secondsForString(c.text, &seconds)) << c.text;
    EXPECT_DOUBLE_EQ(c.seconds, seconds) << c.text;
  }
  double back = 0;
  ASSERT_TRUE(frames.secondsForString(frames.stringForSeconds(3725.5), &back));
  EXPECT_DOUBLE_EQ(3725.5, back);
}

TEST(SizeFormatter, ReadsSizesWithTheirSeparatorsAndRoundsWhenWriting) {
  for (const char* text : {"640 x 480", "640x480", "640,480", "640 X 480"}) {
    const auto size = PWSizeFormatter::sizeForString(text);
    ASSERT_TRUE(size.has_value()) << text;
    EXPECT_EQ(QSizeF(640, 480), *size) << text;
  }
  EXPECT_FALSE(PWSizeFormatter::sizeForString("640 x 480 px").has_value());
  EXPECT_FALSE(PWSizeFormatter::sizeForString("640").has_value());
  EXPECT_EQ("640 x 480", PWSizeFormatter::stringForSize(QSizeF(639.6, 480.4)));
  QString description;
  EXPECT_TRUE(PWSizeFormatter::sizeForString("1x2", &description).has_value());
  EXPECT_EQ("Couldn't convert to float", description);
}

TEST(ImageCache, OneImagePerHeightKeptForTheRun) {
  const QImage& twenty = HcImageCache::playheadImageOfHeight(20);
  EXPECT_EQ(&twenty, &HcImageCache::playheadImageOfHeight(20));
  EXPECT_NE(&twenty, &HcImageCache::playheadImageOfHeight(21));
  EXPECT_EQ(QSize(11, 20), twenty.size());
  EXPECT_EQ(QSize(8, 15), HcImageCache::inPointMarker().size());
  EXPECT_EQ(QSize(8, 15), HcImageCache::outPointMarker().size());
  // The stem is drawn: the column at x 5 has opaque pixels, the corner none.
  EXPECT_GT(qAlpha(twenty.pixel(5, 10)), 0);
  EXPECT_EQ(0, qAlpha(twenty.pixel(0, 10)));
}

TEST(CursorTable, ReadsItsListAndTheLaterEntryOfAnIdWins) {
  QTemporaryDir dir;
  QImage arrow(16, 16, QImage::Format_ARGB32);
  arrow.fill(Qt::red);
  ASSERT_TRUE(arrow.save(dir.filePath("first.png")));
  arrow.fill(Qt::blue);
  ASSERT_TRUE(arrow.save(dir.filePath("second.png")));
  WriteFile(dir.filePath("ArrowCursors.plist"), R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><array>
<dict><key>name</key><string>first</string><key>x</key><integer>3</integer><key>y</key><integer>4</integer><key>id</key><integer>8</integer></dict>
<dict><key>name</key><string>second</string><key>x</key><integer>5</integer><key>y</key><integer>6</integer><key>id</key><integer>8</integer></dict>
<dict><key>name</key><string>missing</string><key>id</key><integer>9</integer></dict>
</array></plist>)");
  const std::map<int, QCursor> table = HcCursorTable::load(dir.path());
  ASSERT_EQ(1u, table.size());
  EXPECT_EQ(QPoint(5, 6), table.at(8).hotSpot());
  EXPECT_EQ(QColor(Qt::blue), table.at(8).pixmap().toImage().pixelColor(0, 0));
  EXPECT_TRUE(HcCursorTable::load(dir.filePath("nowhere")).empty());
}

TEST(ResourceManager, ReadsHcmlFilesInOrderWithTheirFolderSubstituted) {
  QTemporaryDir dir;
  const QString projections = dir.filePath("Projections");
  const QString viewsets = dir.filePath("Viewsets");
  WriteFile(projections + "/01 Cylinder.hcml", "<P dir=\"&ViewsetDir;\"/>&ViewsetDir;");
  WriteFile(projections + "/notes.txt", "x");
  WriteFile(projections + "/Upper.HCML", "x");
  WriteFile(projections + "/00 Sphere.hcml", "<S/>");
  WriteFile(projections + "/More & more/02 Deep.hcml", "&ViewsetDir;");
  WriteFile(projections + "/7.hcml", "<nameless/>");
  WriteFile(viewsets + "/b.hcml", "<B/>");
  WriteFile(viewsets + "/a.hcml", "<A/>");
  HcResourceManager resources(dir.path());
  ASSERT_EQ(3, resources.projections().size());
  EXPECT_EQ("Sphere", resources.projections()[0].name);
  EXPECT_EQ("Cylinder", resources.projections()[1].name);
  EXPECT_EQ("More & more/02 Deep", resources.projections()[2].name);
  const QString folder = QFileInfo(projections).absoluteFilePath();
  EXPECT_EQ("<P dir=\"" + folder + "\"/>" + folder, resources.projections()[1].hcml);
  EXPECT_EQ(folder + "/More &amp; more", resources.projections()[2].hcml) << "the folder is escaped for XML";
  EXPECT_EQ(projections + "/01 Cylinder.hcml", resources.projections()[1].path);
  ASSERT_EQ(2, resources.viewsets().size());
  EXPECT_EQ("a", resources.defaultViewsetName());

  QMenu menu;
  menu.addAction("stale");
  resources.populateProjectionMenu(&menu);
  ASSERT_EQ(3, menu.actions().size());
  QAction* cylinder = menu.actions()[1];
  EXPECT_EQ("Cylinder", cylinder->text());
  EXPECT_EQ("Cylinder", resources.nameForMenuItem(cylinder));
  EXPECT_EQ(projections + "/01 Cylinder.hcml", resources.pathForMenuItem(cylinder));
  QAction stranger("x");
  EXPECT_TRUE(resources.hcmlForMenuItem(&stranger).isEmpty());
  EXPECT_TRUE(HcResourceManager(dir.filePath("nothing")).projections().isEmpty());
  EXPECT_EQ(QString(), HcResourceManager(dir.filePath("nothing")).defaultViewsetName());
}

TEST(ResourceManager, NamesLoseTheirOrderNumberAndExtension) {
  EXPECT_EQ("Wide View", HcResourceManager::nameForRelativePath("03 Wide View.hcml"));
  EXPECT_EQ("Sub/x", HcResourceManager::nameForRelativePath("Sub/x.hcml"));
  EXPECT_EQ("", HcResourceManager::nameForRelativePath("12.hcml"));
}

TEST(SmallHelpers, HoldButtonReportsBothEndsAndSegmentsClear) {
  KsHoldButton button;
  int actions = 0;
  QObject::connect(&button, &KsHoldButton::action, [&](KsHoldButton* sender) {
    EXPECT_EQ(&button, sender);
    ++actions;
  });
  QTest::mousePress(&button, Qt::LeftButton);
  EXPECT_EQ(1, actions);
  EXPECT_TRUE(button.isHeld());
  QTest::mouseRelease(&button, Qt::LeftButton);
  EXPECT_EQ(2, actions);

  QButtonGroup group;
  QPushButton a, b;
  a.setCheckable(true);
  b.setCheckable(true);
  group.addButton(&a);
  group.addButton(&b);
  b.setChecked(true);
  HcSegmentedControl::unselectAllSegments(&group);
  EXPECT_FALSE(a.isChecked());
  EXPECT_FALSE(b.isChecked());
  EXPECT_TRUE(group.exclusive());
}

TEST(Slider, KnobFollowsTheValue) {
  HcSlider slider;
  slider.resize(115, 15);
  slider.setRange(0, 100);
  slider.setValue(50);
  EXPECT_EQ(QPoint(52, 2), slider.knobRect().topLeft());
  EXPECT_EQ(QSize(50, 15), slider.minimumSizeHint());
}

}  // namespace

#include "ShellWidgetsTest.moc"
