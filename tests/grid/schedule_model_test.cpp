#include "grid/schedule_model.h"

#include "grid/schedule_settings.h"
#include "tests/grid/schedule_demo.h"
#include "tests/support/qt_printers.h"

#include <QCoreApplication>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace varnex::grid {
namespace {

using namespace Qt::Literals::StringLiterals;

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
  for (int column = 1; column <= model.columnCount(); ++column)
    cells << model.cellText(line, column);
  return cells;
}

// A model with the demo's ten columns.
class TenColumns : public ScheduleModel {
 public:
  TenColumns() { setColumns(demo::columns()); }
};

// Posted events (the model's coalesced change notices) need an application object.
QCoreApplication& app() {
  static int argc = 1;
  static char name[] = "schedule_model_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* instance =
      QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
  Q_UNUSED(instance);
  return *QCoreApplication::instance();
}

TEST(ScheduleModel, TakesItsColumnsFromItsOwner) {
  WarningGuard guard;
  ScheduleModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
  EXPECT_EQ(model.columnCount(), 0);
  model.setColumns(demo::columns());
  EXPECT_EQ(model.columnCount(), 10);
  EXPECT_EQ(model.columnCaption(1), QStringLiteral("Order"));
  EXPECT_EQ(model.columnWidth(4), 200);
  EXPECT_EQ(model.headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(),
            QStringLiteral("Category"));
  EXPECT_EQ(model.headerData(7, Qt::Horizontal, ScheduleModel::ColumnStyleRole).toInt(),
            int(ColumnStyle::RightAligned));
  // The style decides alignment and elision.
  EXPECT_TRUE(model.columnAlignment(8) & Qt::AlignRight);
  EXPECT_EQ(model.columnElideMode(8), Qt::ElideLeft);
  EXPECT_TRUE(model.columnAlignment(1) & Qt::AlignLeft);
  EXPECT_EQ(model.columnElideMode(7), Qt::ElideMiddle);
  EXPECT_EQ(model.columnElideMode(2), Qt::ElideRight);

  // New captions for as many columns keep the lines; another number of columns drops them.
  model.appendLine(u"A;B");
  QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
  QList<ColumnSpec> renamed = demo::columns();
  renamed[0].caption = QStringLiteral("Number");
  model.setColumns(renamed);
  EXPECT_EQ(headers.count(), 1);
  EXPECT_EQ(model.columnCaption(1), QStringLiteral("Number"));
  EXPECT_EQ(model.cellText(1, 2), QStringLiteral("B"));
  model.setColumns(renamed.mid(0, 2));
  EXPECT_EQ(model.lineCount(), 0);
  EXPECT_EQ(model.appendLine(u"A;B;C"), 1);
  EXPECT_EQ(rowTexts(model, 1), (QStringList{QStringLiteral("A"), QStringLiteral("B;C")}));
}

TEST(ScheduleModel, SplitsRowTextIntoTenFields) {
  TenColumns model;
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
  TenColumns model;
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
    EXPECT_EQ(model.columnStyle(column), ColumnStyle::LeftAligned) << column;
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
}

TEST(ScheduleModel, KeepsBarsPerLineInAnyAddingOrder) {
  app();
  TenColumns model;
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
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
  EXPECT_TRUE(model.setBarColour(2, 2, 0x006AD500));
  EXPECT_TRUE(model.setBarText(2, 2, QString()));
  EXPECT_TRUE(model.setBarSetting(2, 2, 276, QStringLiteral("v")));
  // Every change so far reaches views as one notice over the lines it touched.
  EXPECT_EQ(changed.count(), 0);
  QCoreApplication::sendPostedEvents();
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.at(0).at(0).toModelIndex(), model.index(0, 0));
  EXPECT_EQ(changed.at(0).at(1).toModelIndex(), model.index(1, 9));
  EXPECT_EQ(changed.at(0).at(2).value<QList<int>>(), QList<int>{ScheduleModel::BarsRole});
  EXPECT_EQ(model.bar(2, 2)->colour, 0x006AD500u);
  EXPECT_TRUE(model.bar(2, 2)->hasText);
  EXPECT_EQ(model.barSetting(2, 2, 276).toString(), QStringLiteral("v"));
  EXPECT_FALSE(model.barSetting(2, 1, 276).isValid());
  EXPECT_FALSE(model.bar(2, 1)->hasText);
  const QVariantList bars = model.data(model.index(1, 0), ScheduleModel::BarsRole).toList();
  ASSERT_EQ(bars.size(), 3);
  EXPECT_EQ(bars.at(1).toMap().value(QStringLiteral("colour")).toUInt(), 0x006AD500u);

  // A change that the lines' reset overtakes sends no notice of its own.
  model.setBarColour(1, 1, 0x00AAAAAA);
  model.clearLines();
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(changed.count(), 1);
}

TEST(ScheduleModel, ClearLinesRemovesLinesAndBars) {
  WarningGuard guard;
  TenColumns model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
  model.appendLine(u"A;B");
  model.addBar(1, {5, 0}, {6, 0});
  model.setBarSetting(1, 1, 216, 3);

  QSignalSpy resetSpy(&model, &QAbstractItemModel::modelReset);
  model.clearLines();
  EXPECT_EQ(resetSpy.count(), 1);
  EXPECT_EQ(model.lineCount(), 0);
  EXPECT_EQ(model.totalBarCount(), 0);

  // Lines appended after a clear start again from 1 with no bars and no stale settings.
  EXPECT_EQ(model.appendLine(u"C"), 1);
  EXPECT_EQ(model.barCount(1), 0);
  EXPECT_EQ(model.addBar(1, {9, 0}, {9, 60}), 1);
  EXPECT_FALSE(model.barSetting(1, 1, 216).isValid());
  EXPECT_EQ(model.cellText(1, 1), QStringLiteral("C"));
  EXPECT_EQ(model.earliestBarStart(), (TimePoint{9, 0}));
}

TEST(ScheduleModel, KeepsEveryCellThroughLargeLoadsAndReloads) {
  // Enough text to outgrow the storage many times over, of uneven lengths, loaded twice: every
  // cell of every line must come back as it went in.
  TenColumns model;
  const auto row = [](int i) {
    return QStringLiteral("WO-%1;IT-%2;%3;Item description %1;%2;Cat;Supplier %1;1;;%4")
        .arg(i)
        .arg(i % 977)
        .arg(QString(i % 13, u'v'))
        .arg(i % 5 == 0 ? QStringLiteral("Cancel") : QString());
  };
  for (int pass = 0; pass < 2; ++pass) {
    model.clearLines();
    for (int i = 1; i <= 40000; ++i)
      ASSERT_EQ(model.appendLine(row(i + pass)), i);
    ASSERT_EQ(model.lineCount(), 40000);
    for (int line = 1; line <= 40000; ++line) {
      const QStringList expected = row(line + pass).split(u';');
      for (int column = 1; column <= 10; ++column) {
        if (model.cellView(line, column) != expected.at(column - 1)) {
          FAIL() << "pass " << pass << ", line " << line << ", column " << column << ": "
                 << model.cellText(line, column).toStdString();
        }
      }
    }
  }
}

TEST(ScheduleModel, PassesTheItemModelTesterWhileGrowing) {
  WarningGuard guard;
  app();
  TenColumns model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  for (int i = 1; i <= 50; ++i)
    model.appendLine(QStringLiteral("O%1;I;V;D;1;C;S;2;d;a").arg(i));
  EXPECT_EQ(inserted.count(), 50);
  EXPECT_EQ(inserted.last().at(1).toInt(), 49);
  EXPECT_EQ(model.rowCount(), 50);
  EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
  EXPECT_FALSE(model.data(model.index(50, 0)).isValid());
  model.addBar(3, {1, 0}, {2, 0});
  QCoreApplication::sendPostedEvents();
  model.clearLines();
  model.appendLine(u"again");
}

TEST(ScheduleModel, DescribesLinesInItsOwnersWords) {
  TenColumns model;
  model.appendLine(u"WO-1;IT");
  model.addBar(1, {1, 0}, {2, 0});
  model.setBarColour(1, 1, 0x00FF8000);
  // Without a describer: plain words.
  EXPECT_EQ(model.lineText(1), QStringLiteral("WO-1, IT, , , , , , , , "));
  EXPECT_EQ(model.colourName(0x00FF8000), QStringLiteral("#0080ff"));
  EXPECT_EQ(model.countText(2), QStringLiteral("2 lines"));
  EXPECT_TRUE(model.lineDescription(1).isEmpty());

  class Words final : public LineDescriber {
   public:
    QString colourName(std::uint32_t) const override { return QStringLiteral("late"); }
    QString lineText(const ScheduleModel& m, int line) const override {
      return QStringLiteral("Job ") + m.cellText(line, 1) + QStringLiteral(" is ") +
             colourName(m.bar(line, 1)->colour);
    }
    QString lineDescription(const ScheduleModel& m, int line) const override {
      return m.cellText(line, 2);
    }
    QString countText(int lines) const override { return QStringLiteral("%1 jobs").arg(lines); }
  };
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  model.setDescriber(std::make_shared<Words>());
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(model.data(model.index(0, 0), Qt::AccessibleTextRole).toString(),
            QStringLiteral("Job WO-1 is late"));
  EXPECT_EQ(model.data(model.index(0, 3), Qt::AccessibleDescriptionRole).toString(),
            QStringLiteral("IT"));
  EXPECT_EQ(model.countText(3), QStringLiteral("3 jobs"));
  EXPECT_TRUE(model.lineText(2).isNull());
}

// Words for three columns: the key, a state cell and an action cell; kinds by colour and text.
class KindWords final : public LineDescriber {
 public:
  QString colourName(std::uint32_t) const override { return QStringLiteral("c"); }
  QString lineText(const ScheduleModel& m, int line) const override { return m.cellText(line, 1); }
  QString countText(int lines) const override { return QString::number(lines); }
  QList<LineKind> kinds() const override {
    return {{QStringLiteral("red"), {}, LineKind::Test::BarColour, 0x0000FF, 0, {}},
            {QStringLiteral("late"), QStringLiteral("<<"), LineKind::Test::CellText, 0, 3,
             QStringLiteral("late")}};
  }
};

// A load of "key;cell;action@startday" lines, as a completed load leaves them.
void load(ScheduleModel& model, const QStringList& lines, bool completed = true) {
  model.clearLines();
  for (const QString& entry : lines) {
    const QStringList parts = entry.split(u'@');
    const int line = model.appendLine(parts[0]);
    const int day = parts.value(1, QStringLiteral("100")).toInt();
    model.addBar(line, {day, 0}, {day + 5, 0});
    model.setBarColour(line, 1, parts[0].contains(u"red") ? 0x0000FF : 0x00FF00);
  }
  if (completed)
    model.loadCompleted();
}

TEST(ScheduleModel, CountsKindsAndComparesEachLoadWithTheLastCompletedOne) {
  ScheduleModel model;
  model.setColumns({{}, {}, {}});
  model.setDescriber(std::make_shared<KindWords>());
  QSignalSpy compared(&model, &ScheduleModel::loadCompared);
  using enum LineChange;

  // A first load: the owner's kinds, counted; nothing to compare with.
  load(model, {u"A;red;late"_s, u"B;green;"_s, u"C;red;"_s, u"C;green;late"_s});
  EXPECT_EQ(model.kinds().size(), 2);
  EXPECT_EQ(model.kinds()[1].label(), QStringLiteral("<<: late"));
  EXPECT_EQ(model.linesOf(0), (std::vector<int>{1, 3}));
  EXPECT_EQ(model.linesOf(1), (std::vector<int>{1, 4}));
  EXPECT_TRUE(model.linesOf(7).empty());
  EXPECT_EQ(model.lineChange(1), None);
  EXPECT_EQ(compared.count(), 1);

  struct Reload {
    const char* what;
    QStringList lines;
    std::vector<LineChange> changes;
    std::vector<int> moved;
    ChangeCounts counts;
  } reloads[] = {
      {"the same",
       {u"A;red;late"_s, u"B;green;"_s, u"C;red;"_s, u"C;green;late"_s},
       {None, None, None, None},
       {0, 0, 0, 0},
       {}},
      // Repeated keys match in order: the first C kept its cells, the second moved.
      {"moved, changed, new, gone",
       {u"C;red;"_s, u"C;green;late@97"_s, u"B;green;soon"_s, u"D;green;"_s},
       {None, Moved, Changed, New},
       {0, -3, 0, 0},
       {1, 1, 1, 1}},
      {"a colour is a change",
       {u"C;green;"_s, u"C;green;late@97"_s, u"B;green;soon"_s, u"D;green;"_s},
       {Changed, None, None, None},
       {0, 0, 0, 0},
       {0, 0, 1, 0}},
  };
  for (const Reload& r : reloads) {
    load(model, r.lines);
    for (int line = 1; line <= model.lineCount(); ++line) {
      EXPECT_EQ(model.lineChange(line), r.changes[std::size_t(line - 1)]) << r.what << line;
      EXPECT_EQ(model.movedDays(line), r.moved[std::size_t(line - 1)]) << r.what << line;
    }
    EXPECT_EQ(model.changeCounts(), r.counts) << r.what;
    EXPECT_EQ(model.kinds().size(), 5) << r.what;
    EXPECT_EQ(model.linesOf(2).size(), std::size_t(r.counts.added)) << r.what;
  }

  // A load that fails part-way shows no changes; the next completed one is compared with the
  // last completed load, not with the failed one.
  load(model, {u"X;green;"_s}, false);
  EXPECT_EQ(model.lineChange(1), None);
  EXPECT_EQ(model.changeCounts(), ChangeCounts{});
  EXPECT_EQ(model.kinds().size(), 2);
  load(model,
       {u"C;green;"_s, u"C;green;late@97"_s, u"B;green;soon"_s, u"D;green;"_s, u"E;green;"_s});
  EXPECT_EQ(model.changeCounts(), (ChangeCounts{1, 0, 0, 0}));
  EXPECT_EQ(model.lineChange(5), New);
}

TEST(ScheduleSettings, KeepsAnyValueAndNotifiesOnlyWhenItChanged) {
  ScheduleSettings settings;
  QSignalSpy zoom(&settings, &ScheduleSettings::zoomChanged);
  QSignalSpy horizon(&settings, &ScheduleSettings::horizonChanged);
  QSignalSpy appearance(&settings, &ScheduleSettings::appearanceChanged);
  QSignalSpy toolTip(&settings, &ScheduleSettings::toolTipTextChanged);
  const auto counts = [&] {
    return std::vector<qsizetype>{zoom.count(), horizon.count(), appearance.count(),
                                  toolTip.count()};
  };

  // Each setter, twice with one value: one notice, from the signal that belongs to it.
  const std::vector<std::pair<std::function<void()>, std::vector<qsizetype>>> steps = {
      {[&] { settings.setZoom(-32768); }, {1, 0, 0, 0}},
      {[&] { settings.setHorizonStart(45290); }, {0, 1, 0, 0}},
      {[&] { settings.setHorizonEnd(-2); }, {0, 1, 0, 0}},
      {[&] { settings.setTitleAlign(TitleAlignment(7)); }, {0, 0, 1, 0}},
      {[&] { settings.setTitleBorder(TitleBorder::Sunken); }, {0, 0, 1, 0}},
      {[&] { settings.setTitleColour(0x800000); }, {0, 0, 1, 0}},
      {[&] {
         settings.setTitleFont({QStringLiteral("Verdana"), 10, true});
       },
       {0, 0, 1, 0}},
      {[&] { settings.setRulerPattern(QStringLiteral("Y")); }, {0, 0, 1, 0}},
      {[&] { settings.setWeekdayNames(QStringLiteral("S;M;T;W;T;F;S;")); }, {0, 0, 1, 0}},
      {[&] { settings.setTodayLineWidth(3); }, {0, 0, 1, 0}},
      {[&] { settings.setSetting(81, QVariant::fromValue<qint16>(3)); }, {0, 0, 1, 0}},
      {[&] { settings.setToolTipText(QStringLiteral("a / b")); }, {0, 0, 0, 1}},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::vector<qsizetype> before = counts();
    steps[i].first();
    steps[i].first();
    std::vector<qsizetype> notices = counts();
    for (std::size_t k = 0; k < notices.size(); ++k)
      notices[k] -= before[k];
    EXPECT_EQ(notices, steps[i].second) << "step " << i;
  }
  EXPECT_EQ(settings.zoom(), -32768);
  EXPECT_EQ(settings.titleAlign(), TitleAlignment(7));

  // A numbered setting keeps its type: the same number as a 32-bit value is a change.
  settings.setSetting(81, QVariant::fromValue<qint32>(3));
  EXPECT_EQ(settings.setting(81).typeId(), QMetaType::Int);
  EXPECT_EQ(appearance.count(), 9);
  EXPECT_FALSE(settings.setting(9).isValid());
}

}  // namespace
}  // namespace varnex::grid
