#include "grid/schedule_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

// Readable failure output for QString comparisons.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace varnex::grid {
namespace {

// Turns every Qt warning (the model tester reports through them) into a test failure.
class WarningGuard {
 public:
  WarningGuard() { previous = qInstallMessageHandler(&WarningGuard::handle); }
  ~WarningGuard() { qInstallMessageHandler(previous); }

 private:
  static void handle(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg)
      ADD_FAILURE() << "Qt warning: " << message.toStdString();
  }
  QtMessageHandler previous = nullptr;
};

QStringList rowTexts(const ScheduleModel& model, int line) {
  QStringList cells;
  for (int column = 1; column <= ScheduleModel::kColumnCount; ++column)
    cells << model.cellText(line, column);
  return cells;
}

TEST(ScheduleModel, StartsWithTenColumnsAndReadableDefaults) {
  ScheduleModel model;
  EXPECT_EQ(model.columnCount(), 10);
  EXPECT_EQ(model.lineCount(), 0);
  EXPECT_EQ(model.columnCaption(1), QStringLiteral("Order"));
  EXPECT_EQ(model.columnCaption(10), QStringLiteral("Action Message"));
  EXPECT_EQ(model.columnWidth(4), 200);
  EXPECT_EQ(model.columnStyle(8), 1);
  EXPECT_EQ(model.columnStyle(6), 3);
  EXPECT_EQ(model.headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(),
            QStringLiteral("Order Category"));
  // The style code decides alignment and elision.
  EXPECT_TRUE(model.columnAlignment(8) & Qt::AlignRight);
  EXPECT_TRUE(model.columnAlignment(1) & Qt::AlignLeft);
  EXPECT_EQ(model.columnElideMode(7), Qt::ElideMiddle);
  EXPECT_EQ(model.columnElideMode(2), Qt::ElideRight);

  EXPECT_EQ(model.zoom(), 230);
  EXPECT_EQ(model.rulerPattern(), QStringLiteral("M ,Y"));
  EXPECT_EQ(model.weekdayNames(), QStringLiteral("Sun;Mon;Tue;Wed;Thu;Fri;Sat;"));
  EXPECT_EQ(model.titleFont().family, QStringLiteral("Arial"));
  EXPECT_EQ(model.titleFont().pointSize, 12.0);
  EXPECT_EQ(model.todayLineWidth(), 0);
}

TEST(ScheduleModel, SplitsRowTextIntoTenFields) {
  ScheduleModel model;
  // All ten fields.
  EXPECT_EQ(model.appendLine(u"A1;I;V;Desc;5;Cat;Sup;7;2025-01-02;Move in"), 1);
  EXPECT_EQ(rowTexts(model, 1).join(u'|'),
            QStringLiteral("A1|I|V|Desc|5|Cat|Sup|7|2025-01-02|Move in"));
  // Missing fields are empty, a trailing separator too.
  model.appendLine(u"A2;I2;");
  EXPECT_EQ(rowTexts(model, 2).join(u'|'), QStringLiteral("A2|I2||||||||"));
  // A surplus stays joined in column 10.
  model.appendLine(u"1;2;3;4;5;6;7;8;9;10;11;;12");
  EXPECT_EQ(model.cellText(3, 10), QStringLiteral("10;11;;12"));
  EXPECT_EQ(model.cellText(3, 9), QStringLiteral("9"));
  // Empty text and empty fields in the middle.
  model.appendLine(u"");
  EXPECT_EQ(rowTexts(model, 4).join(QString()), QString());
  model.appendLine(u";;x");
  EXPECT_EQ(model.cellText(5, 3), QStringLiteral("x"));
  EXPECT_FALSE(model.cellText(5, 1).isNull());
  EXPECT_TRUE(model.cellText(5, 1).isEmpty());
  // Non-Latin text survives, and the Qt side reads the same cells 0-based.
  model.appendLine(u"Ä-7;Größe");
  EXPECT_EQ(model.data(model.index(5, 1)).toString(), QStringLiteral("Größe"));
  EXPECT_EQ(model.cellView(6, 1), u"Ä-7");
  EXPECT_EQ(model.headerData(5, Qt::Vertical, Qt::DisplayRole).toInt(), 6);
}

TEST(ScheduleModel, RefusesBadArgumentsQuietly) {
  ScheduleModel model;
  model.appendLine(u"A;B");
  ASSERT_EQ(model.addBar(1, {45000, 0}, {45003, 0}), 1);

  // Line 0 and a line past the end.
  for (int line : {0, 2, -1}) {
    EXPECT_TRUE(model.cellText(line, 1).isNull()) << line;
    EXPECT_EQ(model.addBar(line, {1, 0}, {2, 0}), -1) << line;
    EXPECT_EQ(model.barCount(line), 0) << line;
    EXPECT_FALSE(model.setBarColour(line, 1, 0xFF)) << line;
  }
  // Column 0 and 11.
  for (int column : {0, 11}) {
    EXPECT_TRUE(model.cellText(1, column).isNull()) << column;
    EXPECT_TRUE(model.columnCaption(column).isNull()) << column;
    EXPECT_EQ(model.columnWidth(column), -1) << column;
    EXPECT_EQ(model.columnStyle(column), -1) << column;
  }
  EXPECT_FALSE(model.headerData(10, Qt::Horizontal, Qt::DisplayRole).isValid());
  // Bar 0 and a bar past the end.
  for (int barIndex : {0, 2}) {
    EXPECT_EQ(model.bar(1, barIndex), nullptr) << barIndex;
    EXPECT_FALSE(model.setBarColour(1, barIndex, 0xFF)) << barIndex;
    EXPECT_FALSE(model.setBarText(1, barIndex, QStringLiteral(">>"))) << barIndex;
    EXPECT_FALSE(model.setBarSetting(1, barIndex, 216, 1)) << barIndex;
    EXPECT_FALSE(model.barSetting(1, barIndex, 216).isValid()) << barIndex;
  }
  // A zoom below 1 keeps the scale.
  QSignalSpy zoomSpy(&model, &ScheduleModel::zoomChanged);
  EXPECT_FALSE(model.setZoom(0));
  EXPECT_FALSE(model.setZoom(-5));
  EXPECT_EQ(model.zoom(), 230);
  EXPECT_TRUE(model.setZoom(1));
  EXPECT_EQ(zoomSpy.count(), 1);
}

TEST(ScheduleModel, KeepsBarsPerLineInAnyAddingOrder) {
  ScheduleModel model;
  for (int i = 0; i < 3; ++i)
    model.appendLine(u"x");
  // Bars arrive interleaved across lines; each line numbers its own from 1.
  EXPECT_EQ(model.addBar(2, {100, 0}, {102, 0}), 1);
  EXPECT_EQ(model.addBar(1, {90, 60}, {95, 0}), 1);
  EXPECT_EQ(model.addBar(2, {110, 0}, {111, 720}), 2);
  EXPECT_EQ(model.addBar(2, {120, 0}, {121, 0}), 3);
  EXPECT_EQ(model.barCount(2), 3);
  EXPECT_EQ(model.barCount(3), 0);
  ASSERT_NE(model.bar(2, 2), nullptr);
  EXPECT_EQ(model.bar(2, 2)->start, (TimePoint{110, 0}));
  EXPECT_EQ(model.bar(2, 3)->index, 3);
  EXPECT_EQ(model.totalBarCount(), 4);
  EXPECT_EQ(model.earliestBarStart(), (TimePoint{90, 60}));
  EXPECT_EQ(model.latestBarEnd(), (TimePoint{121, 0}));

  // Defaults, then colour, mark and numbered settings on one bar only.
  const Bar* b = model.bar(2, 2);
  EXPECT_EQ(b->colour, 0x00FFFFFFu);
  EXPECT_FALSE(b->hasText);
  QSignalSpy barsSpy(&model, &ScheduleModel::barsChanged);
  EXPECT_TRUE(model.setBarColour(2, 2, 0x006AD500));
  EXPECT_TRUE(model.setBarText(2, 2, QString()));
  EXPECT_TRUE(model.setBarSetting(2, 2, 276, QStringLiteral("v")));
  EXPECT_EQ(barsSpy.count(), 2);
  EXPECT_EQ(barsSpy.at(0).at(0).toInt(), 2);
  EXPECT_EQ(model.bar(2, 2)->colour, 0x006AD500u);
  EXPECT_TRUE(model.bar(2, 2)->hasText);
  EXPECT_EQ(model.barSetting(2, 2, 276).toString(), QStringLiteral("v"));
  EXPECT_FALSE(model.barSetting(2, 1, 276).isValid());
  EXPECT_FALSE(model.bar(2, 1)->hasText);

  const QVariantList bars = model.data(model.index(1, 0), ScheduleModel::BarsRole).toList();
  ASSERT_EQ(bars.size(), 3);
  EXPECT_EQ(bars.at(1).toMap().value(QStringLiteral("colour")).toUInt(), 0x006AD500u);
}

TEST(ScheduleModel, ClearLinesRemovesLinesAndBarsButKeepsSettings) {
  WarningGuard guard;
  ScheduleModel model;
  QAbstractItemModelTester tester(&model,
                                  QAbstractItemModelTester::FailureReportingMode::Warning);
  model.setZoom(400);
  model.setSetting(3001, 7);
  model.appendLine(u"A;B");
  model.addBar(1, {5, 0}, {6, 0});
  model.setBarSetting(1, 1, 216, 3);

  QSignalSpy resetSpy(&model, &QAbstractItemModel::modelReset);
  model.clearLines();
  EXPECT_EQ(resetSpy.count(), 1);
  EXPECT_EQ(model.lineCount(), 0);
  EXPECT_EQ(model.totalBarCount(), 0);
  EXPECT_EQ(model.zoom(), 400);
  EXPECT_EQ(model.setting(3001).toInt(), 7);

  // Lines appended after a clear start again from 1 with no bars and no stale settings.
  EXPECT_EQ(model.appendLine(u"C"), 1);
  EXPECT_EQ(model.barCount(1), 0);
  EXPECT_EQ(model.addBar(1, {9, 0}, {9, 60}), 1);
  EXPECT_FALSE(model.barSetting(1, 1, 216).isValid());
  EXPECT_EQ(model.cellText(1, 1), QStringLiteral("C"));
  EXPECT_EQ(model.earliestBarStart(), (TimePoint{9, 0}));
}

TEST(ScheduleModel, KeepsEveryCellThroughLargeLoadsAndReloads) {
  // Enough text to outgrow the small blocks several times over, loaded twice.
  ScheduleModel model;
  const auto row = [](int i) {
    return QStringLiteral("WO-%1;IT-%2;V;Long item description number %1;%2;Cat;Supplier %1;1;d;")
        .arg(i)
        .arg(i % 977);
  };
  for (int pass = 0; pass < 2; ++pass) {
    model.clearLines();
    for (int i = 1; i <= 40000; ++i)
      ASSERT_EQ(model.appendLine(row(i + pass)), i);
    for (int line : {1, 2, 19999, 40000}) {
      EXPECT_EQ(model.cellText(line, 1), QStringLiteral("WO-%1").arg(line + pass));
      EXPECT_EQ(model.cellText(line, 7), QStringLiteral("Supplier %1").arg(line + pass));
      EXPECT_TRUE(model.cellText(line, 10).isEmpty());
    }
  }
}

TEST(ScheduleModel, PassesTheItemModelTesterWhileGrowing) {
  WarningGuard guard;
  ScheduleModel model;
  QAbstractItemModelTester tester(&model,
                                  QAbstractItemModelTester::FailureReportingMode::Warning);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  for (int i = 1; i <= 50; ++i)
    model.appendLine(QStringLiteral("O%1;I;V;D;1;C;S;2;d;a").arg(i));
  EXPECT_EQ(inserted.count(), 50);
  EXPECT_EQ(inserted.last().at(1).toInt(), 49);
  EXPECT_EQ(model.rowCount(), 50);
  EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
  EXPECT_FALSE(model.data(model.index(50, 0)).isValid());
  model.clearLines();
  model.appendLine(u"again");
}

TEST(ScheduleModel, RaisesEventsAndFocusesOnlyExistingBars) {
  ScheduleModel model;
  model.appendLine(u"A");
  model.addBar(1, {1, 0}, {2, 0});
  QSignalSpy picked(&model, &ScheduleModel::linePicked);
  QSignalSpy hovered(&model, &ScheduleModel::hovered);
  QSignalSpy activated(&model, &ScheduleModel::barActivated);
  QSignalSpy focus(&model, &ScheduleModel::barFocusRequested);

  model.raiseLinePicked(1);
  model.raiseHover(0, 0);
  model.raiseBarActivated(1, 1, -1);
  model.focusBar(1, 2);
  model.focusBar(2, 1);
  model.focusBar(1, 1);

  ASSERT_EQ(picked.count(), 1);
  EXPECT_EQ(picked.at(0).at(0).toInt(), 1);
  ASSERT_EQ(hovered.count(), 1);
  EXPECT_EQ(hovered.at(0).at(1).toInt(), 0);
  ASSERT_EQ(activated.count(), 1);
  EXPECT_EQ(activated.at(0).at(2).toInt(), -1);
  ASSERT_EQ(focus.count(), 1);
  EXPECT_EQ(focus.at(0).at(1).toInt(), 1);
}

TEST(ScheduleModel, StoresNumberedSettingsWithoutMeaning) {
  ScheduleModel model;
  EXPECT_FALSE(model.hasSetting(9));
  EXPECT_FALSE(model.setting(9).isValid());
  model.setSetting(9, QStringLiteral("a"));
  model.setSetting(9, 12);
  EXPECT_TRUE(model.hasSetting(9));
  EXPECT_EQ(model.setting(9).toInt(), 12);
}

}  // namespace
}  // namespace varnex::grid
