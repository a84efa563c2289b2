#include "grid/schedule_view.h"

#include "grid/schedule_renderer.h"
#include "grid/text_fit.h"
#include "tests/grid/schedule_demo.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QFontInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QToolTip>

#include <cmath>
#include <memory>
#include <numeric>

using namespace varnex::grid;

namespace {

constexpr std::uint32_t kRed = 0x000000FF;  // 0x00BBGGRR

QColor fillOf(std::uint32_t colour) {
  return detail::barFill(colour);
}

// The x in the view where a moment lies, worked out from the scale the view reports rather
// than from its own mapping.
int expectedX(const ScheduleView& view, double dayPos) {
  const int bodyLeft = view.timelineBody()->mapTo(&view, QPoint(0, 0)).x();
  return bodyLeft + int(std::lround((dayPos - view.firstDay()) * view.pixelsPerDay())) -
         view.timelineScrollBar()->value();
}

// The longest run of pixels of exactly this colour on row y.
std::pair<int, int> colourRun(const QImage& image, int y, const QColor& colour) {
  int bestStart = -1, bestLength = 0, start = -1;
  for (int x = 0; x <= image.width(); ++x) {
    const bool match = x < image.width() && image.pixelColor(x, y).rgb() == colour.rgb();
    if (match && start < 0)
      start = x;
    if (!match && start >= 0) {
      if (x - start > bestLength) {
        bestLength = x - start;
        bestStart = start;
      }
      start = -1;
    }
  }
  return {bestStart, bestLength};
}

int countPixels(const QImage& image, const QRect& area, const QColor& colour) {
  int count = 0;
  const QRect r = area.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      count += image.pixelColor(x, y).rgb() == colour.rgb();
  return count;
}

// The demo's words: its suggested orders by colour, its "Reschedule in" orders by the action.
class DemoKinds final : public LineDescriber {
 public:
  QString colourName(std::uint32_t) const override { return QStringLiteral("some"); }
  QString lineText(const ScheduleModel& m, int line) const override { return m.cellText(line, 1); }
  QString countText(int lines) const override { return QStringLiteral("%1 orders").arg(lines); }
  QList<LineKind> kinds() const override {
    return {{QStringLiteral("Suggested"), {}, LineKind::Test::BarColour, demo::kSuggested, 0, {}},
            {QStringLiteral("Reschedule in"), QStringLiteral("<<"), LineKind::Test::CellText, 0, 10,
             QStringLiteral("Reschedule in")},
            {QStringLiteral("Reschedule out"), QStringLiteral(">>"), LineKind::Test::CellText, 0,
             10, QStringLiteral("Reschedule out")}};
  }
};

}  // namespace

class TestScheduleView : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ScheduleModel> model;
  std::unique_ptr<ScheduleSettings> settings;
  std::unique_ptr<ScheduleView> view;

  ScheduleView& show(int lines, QSize size = {1200, 600}) {
    model = std::make_unique<ScheduleModel>();
    settings = std::make_unique<ScheduleSettings>();
    demo::fill(*model, *settings, lines);
    view = std::make_unique<ScheduleView>(model.get());
    view->setSettings(settings.get());
    view->setToday(demo::firstDay() + 30);
    view->resize(size);
    view->show();
    [&] { QVERIFY(QTest::qWaitForWindowExposed(view.get())); }();
    QCoreApplication::processEvents();
    return *view;
  }

  QPoint lineCentre(QWidget* body, int line) const {
    const QRect band =
        view->lineRect(line, body == view->listBody() ? ScheduleView::Pane::List
                                                      : ScheduleView::Pane::Timeline);
    return body->mapFrom(view.get(), band.center());
  }

  // What must hold after every interaction: both panes place every line alike, the scroll
  // ranges match the content, and every bar sits on the shared time scale inside the horizon.
  void checkSanity() {
    ScheduleView& v = *view;
    QCoreApplication::processEvents();
    QWidget* list = v.listBody();
    QWidget* timeline = v.timelineBody();
    QCOMPARE(list->mapTo(&v, QPoint(0, 0)).y(), timeline->mapTo(&v, QPoint(0, 0)).y());
    QCOMPARE(list->height(), timeline->height());
    QCOMPARE(v.header()->height(), v.headerHeight());
    const int lines = v.model()->lineCount();
    const int contentHeight = lines * v.rowHeight();
    QCOMPARE(v.verticalScrollBar()->maximum(), std::max(0, contentHeight - timeline->height()));
    QVERIFY(v.currentLine() >= 0 && v.currentLine() <= lines);

    const RowGeometry rows = v.rowGeometry();
    const auto [first, last] = rows.linesIn(0, timeline->height(), lines);
    for (int line = first; line <= last; ++line) {
      const QRect a = v.lineRect(line, ScheduleView::Pane::List);
      const QRect b = v.lineRect(line, ScheduleView::Pane::Timeline);
      QCOMPARE(a.top(), b.top());
      QCOMPARE(a.height(), v.rowHeight());
      for (int index = 1; index <= v.model()->barCount(line); ++index) {
        const Bar* bar = v.model()->bar(line, index);
        QVERIFY(bar->start.day >= v.firstDay() && bar->end.day <= v.lastDay() + 1);
        const QRect r = v.barRect(line, index);
        QVERIFY(std::abs(r.left() - expectedX(v, TimeAxis::dayPosition(bar->start))) <= 1);
        QVERIFY(r.top() > b.top() && r.bottom() < b.bottom());
      }
    }
    // At the end of the range the last line ends exactly at the bottom of both bodies.
    if (contentHeight > timeline->height() &&
        v.verticalScrollBar()->value() == v.verticalScrollBar()->maximum()) {
      for (QWidget* body : {list, timeline}) {
        const auto pane = body == list ? ScheduleView::Pane::List : ScheduleView::Pane::Timeline;
        QCOMPARE(v.lineRect(lines, pane).bottom(),
                 body->mapTo(&v, QPoint(0, body->height() - 1)).y());
      }
    }
  }

 private Q_SLOTS:
  void init() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^(?!This plugin does not support).*")));
  }

  void cleanup() {
    if (view && !QTest::currentTestFailed())
      checkSanity();
    view.reset();
    settings.reset();
    model.reset();
  }

  void clicksAndKeysPickLines() {
    ScheduleView& v = show(100);
    QSignalSpy picked(&v, &ScheduleView::linePicked);
    // Given a click on either pane, the line under the pointer is picked.
    QTest::mouseClick(v.listBody(), Qt::LeftButton, {}, lineCentre(v.listBody(), 3));
    QTest::mouseClick(v.timelineBody(), Qt::LeftButton, {}, lineCentre(v.timelineBody(), 5));
    QCOMPARE(picked.count(), 2);
    QCOMPARE(picked.at(0).at(0).toInt(), 3);
    QCOMPARE(picked.at(1).at(0).toInt(), 5);
    QCOMPARE(v.currentLine(), 5);
    // A click below the last line picks nothing.
    v.verticalScrollBar()->setValue(v.verticalScrollBar()->maximum());
    QTest::mouseClick(v.listBody(), Qt::LeftButton, {}, QPoint(10, v.listBody()->height() + 40));
    QCOMPARE(picked.count(), 2);

    // Then the keys move the current line and raise each move, also where the body's height
    // is no whole number of lines.
    v.resize(v.width(), v.height() + v.rowHeight() / 2);
    QCoreApplication::processEvents();
    const int page = v.timelineBody()->height() / v.rowHeight() - 1;
    const std::pair<int, int> moves[] = {{Qt::Key_Down, 6},
                                         {Qt::Key_Up, 5},
                                         {Qt::Key_PageDown, 5 + page},
                                         {Qt::Key_PageDown, 5 + 2 * page},
                                         {Qt::Key_PageUp, 5 + page},
                                         {Qt::Key_PageUp, 5},
                                         {Qt::Key_End, 100},
                                         {Qt::Key_Home, 1}};
    for (const auto& [key, line] : moves) {
      QTest::keyClick(&v, Qt::Key(key));
      QCOMPARE(picked.last().at(0).toInt(), line);
      QCOMPARE(v.currentLine(), line);
      QVERIFY(QRect(v.listBody()->mapTo(&v, QPoint(0, 0)), v.listBody()->size())
                  .contains(v.lineRect(line, ScheduleView::Pane::List)));
      // A whole line stands at the top, short of the list's very end.
      if (key != Qt::Key_End)
        QCOMPARE(v.verticalScrollBar()->value() % v.rowHeight(), 0);
    }
    // Up at the first line does not move, so nothing is raised.
    const qsizetype before = picked.count();
    QTest::keyClick(&v, Qt::Key_Up);
    QCOMPARE(picked.count(), before);

    // Typing jumps to the next line whose first column starts with the text, as a pick.
    const std::pair<const char*, int> typed[] = {{"WO-250004", 4},
                                                 {"wo-2500", 5},
                                                 {"W", 6},
                                                 {"x", 6}};
    for (const auto& [text, line] : typed) {
      QTest::keyClicks(&v, QString::fromLatin1(text));
      QCOMPARE(v.currentLine(), line);
      QCOMPARE(picked.last().at(0).toInt(), line);
      QTest::qWait(QApplication::keyboardInputInterval() + 50);
    }
  }

  void showsWhichLineHasTheKeyboard() {
    ScheduleView& v = show(10);
    v.setCurrentLine(3);
    const detail::GridColours colours = detail::GridColours::fromPalette(v.palette());
    const QRect band = v.lineRect(3, ScheduleView::Pane::List);
    const auto pixelsOf = [&](const QColor& colour) {
      return countPixels(v.grab().toImage(), band, colour);
    };
    // Without focus the picked line is tinted grey; with it, in the highlight with a frame.
    QApplication::setActiveWindow(&v);
    v.clearFocus();
    QTRY_VERIFY(!v.hasFocus());
    QVERIFY(pixelsOf(colours.pickInactive) > band.width());
    QVERIFY(pixelsOf(colours.pickBorderInactive) >= 2 * band.width());
    QCOMPARE(pixelsOf(colours.pickBorder), 0);
    v.setFocus();
    QTRY_VERIFY(v.hasFocus());
    QVERIFY(pixelsOf(colours.pick) > band.width());
    QVERIFY(pixelsOf(colours.pickBorder) >= 2 * band.width());
  }

  void firstColumnStaysInPlaceWhileTheListScrolls() {
    ScheduleView& v = show(30, {1200, 400});
    v.splitter()->setSizes({320, 880});
    QCoreApplication::processEvents();
    QScrollBar* sideways = v.listScrollBar();
    QVERIFY(sideways->isVisible() && sideways->maximum() > 0);
    const int first = model->columnWidth(1);
    const QRect frozen(v.listBody()->mapTo(&v, QPoint(0, 0)),
                       QSize(first - 1, v.listBody()->height()));
    const QRect beside = frozen.translated(first + 1, 0);
    const QImage before = v.grab().toImage();
    sideways->setValue(sideways->maximum());
    QCoreApplication::processEvents();
    const QImage after = v.grab().toImage();
    // The order numbers and their caption stay; the columns beside them move under them.
    const QRect caption(frozen.left(), v.header()->mapTo(&v, QPoint(0, 0)).y(), frozen.width(),
                        v.headerHeight());
    for (const QRect& area : {frozen, caption})
      QCOMPARE(after.copy(area), before.copy(area));
    QVERIFY(after.copy(beside) != before.copy(beside));
    // Picking and the last column's end still follow the scroll; resizing the first column
    // widens what there is to scroll.
    QTest::mouseClick(v.listBody(), Qt::LeftButton, {}, lineCentre(v.listBody(), 4));
    QCOMPARE(v.currentLine(), 4);
    QHeaderView* firstCaption = nullptr;
    for (QHeaderView* h : v.listPane()->findChildren<QHeaderView*>())
      firstCaption = h != v.header() ? h : firstCaption;
    QVERIFY(firstCaption);
    const int range = sideways->maximum();
    firstCaption->resizeSection(0, first + 40);
    QCoreApplication::processEvents();
    QCOMPARE(sideways->maximum(), range + 40);
  }

  void survivesItsModelAndSettingsBeingDeleted() {
    ScheduleView& v = show(10);
    settings->setZoom(400);
    model.reset();
    QVERIFY(v.model());
    QCOMPARE(v.model()->lineCount(), 0);
    QVERIFY(!v.grab().isNull());
    // Its own model takes lines like any other.
    v.model()->appendLine(u"WO-1");
    QCOMPARE(v.lineAt(v.lineRect(1, ScheduleView::Pane::Timeline).center()), 1);
    // Settings that go are replaced by the view's own, at the fitted scale.
    const double zoomed = v.pixelsPerDay();
    settings.reset();
    QVERIFY(v.settings());
    QCOMPARE(v.settings()->zoom(), 230);
    QVERIFY(v.pixelsPerDay() < zoomed);
    QVERIFY(!v.grab().isNull());
  }

  void doubleClickOnBarActivatesIt() {
    ScheduleView& v = show(20);
    QSignalSpy activated(&v, &ScheduleView::barActivated);
    v.scrollToTime(model->bar(4, 1)->start);
    const QRect bar = v.barRect(4, 1);
    QTest::mouseDClick(v.timelineBody(), Qt::LeftButton, {},
                       v.timelineBody()->mapFrom(&v, bar.center()));
    QCOMPARE(activated.count(), 1);
    QCOMPARE(activated.at(0).at(0).toInt(), 4);
    QCOMPARE(activated.at(0).at(1).toInt(), 1);
    QCOMPARE(activated.at(0).at(2).toInt(), -1);
    // Away from any bar a double click activates nothing.
    const QPoint empty(bar.right() + 60 < v.timelineBody()->width() ? bar.right() + 60
                                                                    : bar.left() - 60,
                       bar.center().y());
    QTest::mouseDClick(v.timelineBody(), Qt::LeftButton, {}, v.timelineBody()->mapFrom(&v, empty));
    QCOMPARE(activated.count(), 1);
  }

  void restingPointerShowsTheModelsToolTip() {
    ScheduleView& v = show(5, {1200, 500});
    settings->setZoom(400);  // wider than the view, so that it scrolls
    QSignalSpy hovered(&v, &ScheduleView::hovered);
    connect(&v, &ScheduleView::hovered, this, [this](int line, int) {
      settings->setToolTipText(line > 0 ? QStringLiteral("Order on line %1").arg(line) : QString());
    });
    QWidget* body = v.timelineBody();
    const QPoint at = lineCentre(body, 2);
    QHelpEvent help(QEvent::ToolTip, at, body->mapToGlobal(at));
    QCoreApplication::sendEvent(body, &help);
    QCOMPARE(hovered.count(), 1);
    QCOMPARE(hovered.at(0).at(0).toInt(), 2);
    QCOMPARE(hovered.at(0).at(1).toInt(), 1);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Order on line 2"));

    // Any key hides it; so does a scroll.
    QTest::keyClick(&v, Qt::Key_Right);
    QTRY_VERIFY(!QToolTip::isVisible());
    QCoreApplication::sendEvent(body, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    v.timelineScrollBar()->setValue(v.timelineScrollBar()->value() + 30);
    QTRY_VERIFY(!QToolTip::isVisible());

    // Leaving the lines raises hover with line 0 and value 0, once.
    const QPoint below(40, body->height() - 5);
    QMouseEvent move(QEvent::MouseMove, below, body->mapToGlobal(below), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(body, &move);
    QCOMPARE(hovered.count(), 3);
    QCOMPARE(hovered.last().at(0).toInt(), 0);
    QCOMPARE(hovered.last().at(1).toInt(), 0);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(body, &leave);
    QCOMPARE(hovered.count(), 3);
  }

  void barPixelsCarryTheirColourAtTheirSpan() {
    ScheduleView& v = show(12);
    const std::uint32_t colours[] = {demo::kSuggested, demo::kAccepted, demo::kFirmed,
                                     demo::kReleased,  demo::kOther,    kRed};
    for (int line = 1; line <= 6; ++line) {
      model->setBarColour(line, 1, colours[line - 1]);
      model->setBarText(line, 1, QString());
      const Bar* bar = model->bar(line, 1);
      v.scrollToTime(bar->start);
      QCoreApplication::processEvents();
      const QImage image = v.grab().toImage();
      const int y = v.lineRect(line, ScheduleView::Pane::Timeline).center().y();
      const int left = expectedX(v, TimeAxis::dayPosition(bar->start));
      const int right = expectedX(v, TimeAxis::dayPosition(bar->end));
      const auto [runStart, runLength] = colourRun(image, y, fillOf(colours[line - 1]));
      // Filled inside its span (the outline takes one pixel each side), not beyond it.
      QVERIFY2(std::abs(runStart - (left + 1)) <= 1, qPrintable(QString::number(runStart)));
      QVERIFY(std::abs(runStart + runLength - (std::min(right, image.width()) - 1)) <= 1);
    }
  }

  void zoomDoublesTheScaleEveryHundredWithinBounds() {
    ScheduleView& v = show(3, {1400, 400});
    model->setBarText(1, 1, QString());
    model->setBarColour(1, 1, kRed);
    const Bar* bar = model->bar(1, 1);
    const auto barWidth = [&] {
      v.scrollToTime(bar->start);
      QCoreApplication::processEvents();
      const int y = v.lineRect(1, ScheduleView::Pane::Timeline).center().y();
      return colourRun(v.grab().toImage(), y, fillOf(kRed)).second + 2;
    };
    const int base = barWidth();
    const double days = TimeAxis::dayPosition(bar->end) - TimeAxis::dayPosition(bar->start);
    QVERIFY(std::abs(base - days * v.pixelsPerDay()) <= 2);

    // Other settings bring their own zoom.
    const double fitted = v.pixelsPerDay();
    ScheduleModel otherModel;
    ScheduleSettings other;
    demo::fill(otherModel, other, 3);
    other.setZoom(330);
    v.setSettings(&other);
    QCOMPARE(v.pixelsPerDay(), 2 * fitted);
    v.setSettings(settings.get());
    QCOMPARE(v.pixelsPerDay(), fitted);
    settings->setZoom(330);
    QVERIFY(std::abs(barWidth() - 2 * base) <= 3);
    settings->setZoom(130);
    QVERIFY(std::abs(barWidth() - base / 2.0) <= 2);
    // The ends of the 16-bit range show the ends of the zoom range: the whole period in a
    // sixteenth of the timeline, and one day across it.
    const double width = v.timelineBody()->width();
    settings->setZoom(-32768);
    QCOMPARE(v.pixelsPerDay(), width / 16 / (v.lastDay() - v.firstDay() + 1));
    settings->setZoom(32767);
    QCOMPARE(v.pixelsPerDay(), width);
    checkSanity();
  }

  void zoomStepsStopWhereTheScaleStops_data() {
    QTest::addColumn<int>("horizonStart");
    QTest::addColumn<int>("horizonEnd");
    QTest::addColumn<int>("lines");
    QTest::newRow("the orders' months") << demo::firstDay() << demo::lastDay() << 20;
    QTest::newRow("one day") << demo::firstDay() + 10 << demo::firstDay() + 10 << 0;
    QTest::newRow("no horizon, no orders") << 0 << 0 << 0;
  }
  void zoomStepsStopWhereTheScaleStops() {
    QFETCH(int, horizonStart);
    QFETCH(int, horizonEnd);
    QFETCH(int, lines);
    ScheduleView& v = show(lines, {1000, 400});
    settings->setHorizonStart(horizonStart);
    settings->setHorizonEnd(horizonEnd);
    QCoreApplication::processEvents();
    // The owner answers each request with a step, as the board's zoom buttons do.
    connect(&v, &ScheduleView::zoomRequested, this,
            [&](int direction) { settings->setZoom(settings->zoom() + 50 * direction); });
    QSignalSpy limits(&v, &ScheduleView::zoomLimitsChanged);
    int presses = 0;
    const auto pressUntilTheEnd = [&](int key) {
      const int direction = key == Qt::Key_Minus ? -1 : 1;
      presses = 0;
      for (; v.canZoom(direction) && presses < 100; ++presses) {
        const double before = v.pixelsPerDay();
        QVERIFY(v.zoomEndText(direction).isEmpty());
        QTest::keyClick(&v, Qt::Key(key), Qt::ControlModifier);
        QVERIFY2(direction > 0 ? v.pixelsPerDay() > before : v.pixelsPerDay() < before,
                 qPrintable(QStringLiteral("press %1").arg(presses + 1)));
      }
      // Past the end a press asks for nothing; the view says why it stopped.
      const int zoom = settings->zoom();
      QTest::keyClick(&v, Qt::Key(key), Qt::ControlModifier);
      QCOMPARE(settings->zoom(), zoom);
      QVERIFY(!v.zoomEndText(direction).isEmpty());
    };
    // Five steps each way from the load's scale always show a change.
    pressUntilTheEnd(Qt::Key_Minus);
    QVERIFY(presses >= 5);
    const double width = v.timelineBody()->width();
    const double days = v.lastDay() - v.firstDay() + 1;
    QVERIFY(v.pixelsPerDay() <= width / 16 / days + 1e-9 || settings->zoom() <= 230 - 250);
    const int out = settings->zoom();
    pressUntilTheEnd(Qt::Key_Plus);
    QVERIFY(presses >= 5 + (230 - out) / 50);
    QVERIFY(v.pixelsPerDay() >= width - 1e-9);
    QVERIFY(limits.count() >= 2);
    // At the largest scale the ruler shows the day and its hours.
    const QString ruler =
        QAccessible::queryAccessibleInterface(&v)->child(2)->text(QAccessible::Name);
    QVERIFY2(ruler.startsWith(QLatin1String("Time ruler: Days over hours")), qPrintable(ruler));

    // A narrower timeline keeps the largest scale at one day across it: the zoom value follows,
    // so that the next step out shows a change at once.
    v.resize(800, 400);
    QCoreApplication::processEvents();
    QCOMPARE(v.pixelsPerDay(), double(v.timelineBody()->width()));
    QVERIFY(!v.canZoom(1) && v.canZoom(-1));
    const double atEnd = v.pixelsPerDay();
    QTest::keyClick(&v, Qt::Key_Minus, Qt::ControlModifier);
    QVERIFY(v.pixelsPerDay() < atEnd);
    // A wider one keeps the planner's scale and lets the zoom go further again.
    const double kept = v.pixelsPerDay();
    v.resize(1400, 400);
    QCoreApplication::processEvents();
    QVERIFY(std::abs(v.pixelsPerDay() - kept) / kept < 0.01);
    QVERIFY(v.canZoom(1) && v.canZoom(-1));
    // Back at the load's zoom a resize fits the period again.
    settings->setZoom(230);
    const double fitted = v.pixelsPerDay();
    v.resize(1000, 400);
    QCoreApplication::processEvents();
    QCOMPARE(settings->zoom(), 230);
    QVERIFY(v.pixelsPerDay() != fitted || days == 1);
  }

  void zoomKeepsTheMomentUnderTheCentreOrUnderTheWheel() {
    ScheduleView& v = show(50, {1000, 400});
    settings->setZoom(460);
    v.scrollToTime({demo::firstDay() + 40, 0});
    const double half = v.timelineBody()->width() / 2.0;
    const double before = v.timeAxis().dayAt(half);
    for (int zoom : {700, 300, 520}) {
      settings->setZoom(zoom);
      QVERIFY2(std::abs(v.timeAxis().dayAt(half) - before) < 1.0 / v.pixelsPerDay() + 1e-9,
               qPrintable(QString::number(zoom)));
    }

    // Ctrl + wheel asks the owner once per notch (touchpad deltas add up) and anchors the
    // answer at the pointer.
    QList<int> requests;
    connect(&v, &ScheduleView::zoomRequested, this, [&](int direction) {
      requests << direction;
      settings->setZoom(settings->zoom() + 50 * direction);
    });
    const QPointF at(v.timelineBody()->width() / 4.0, 20);
    const double under = v.timeAxis().dayAt(at.x());
    const auto wheel = [&](int delta) {
      QWheelEvent event(at, v.timelineBody()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton,
                        Qt::ControlModifier, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(v.timelineBody(), &event);
    };
    wheel(120);
    wheel(60);
    wheel(60);
    wheel(-240);
    QCOMPARE(requests, QList<int>({1, 1, -1, -1}));
    QCOMPARE(settings->zoom(), 520);
    QVERIFY(std::abs(v.timeAxis().dayAt(at.x()) - under) < 1.0 / v.pixelsPerDay() + 1e-9);
  }

  void walksTheLinesOfAKindFromTheMenuAndWithF3() {
    ScheduleView& v = show(60);
    model->setDescriber(std::make_shared<DemoKinds>());
    QSignalSpy picked(&v, &ScheduleView::linePicked);
    const std::vector<int> in = model->linesOf(1);
    QVERIFY(in.size() >= 3);

    // The menu (here from the keyboard) lists each kind with its count.
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(10, 10),
                              v.mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(&v, &menuKey);
    auto* menu = v.findChild<QMenu*>();
    QVERIFY(menu && menu->isVisible());
    QStringList entries;
    for (QAction* action : menu->actions())
      entries << action->text();
    QCOMPARE(
        entries.mid(0, 3),
        (QStringList{QStringLiteral("Suggested (%1)").arg(model->linesOf(0).size()),
                     QStringLiteral("<<: Reschedule in (%1)").arg(in.size()),
                     QStringLiteral(">>: Reschedule out (%1)").arg(model->linesOf(2).size())}));
    const QImage unmarked = v.verticalScrollBar()->grab().toImage();
    menu->actions()[1]->trigger();
    menu->close();

    // Choosing goes to the first line of the kind below the current one, as a pick; the title
    // strip and the picked cell's description say where the planner stands.
    const auto position = [&](std::size_t at) {
      return QStringLiteral("<<: Reschedule in, %1 of %2").arg(at + 1).arg(in.size());
    };
    QCOMPARE(v.currentLine(), in[0]);
    QCOMPARE(picked.count(), 1);
    QCOMPARE(v.positionText(), position(0));
    QVERIFY(v.shownTitle().startsWith(position(0) + QStringLiteral("  \u00B7  ")));
    QAccessibleInterface* cell =
        QAccessible::queryAccessibleInterface(v.listBody())->tableInterface()->cellAt(in[0] - 1, 0);
    QVERIFY2(cell->text(QAccessible::Description).endsWith(position(0)),
             qPrintable(cell->text(QAccessible::Description)));
    // The scroll bar carries a tick for each of its lines.
    QVERIFY(v.verticalScrollBar()->grab().toImage() != unmarked);

    // F3 walks on and wraps to the top, saying so; Shift+F3 walks back and wraps to the bottom.
    for (std::size_t at = 1; at <= in.size(); ++at) {
      QTest::keyClick(&v, Qt::Key_F3);
      QCOMPARE(v.currentLine(), in[at % in.size()]);
    }
    QCOMPARE(v.positionText(), position(0) + QStringLiteral(", from the top again"));
    QTest::keyClick(&v, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(v.currentLine(), in.back());
    QCOMPARE(v.positionText(), position(in.size() - 1) + QStringLiteral(", from the bottom again"));
    QCOMPARE(picked.count(), int(in.size()) + 2);
    // Off the kind's lines the position gives the count alone.
    QTest::keyClick(&v, Qt::Key_Home);
    if (model->cellText(1, 10) != QStringLiteral("Reschedule in"))
      QCOMPARE(v.positionText(), QStringLiteral("<<: Reschedule in, %1 orders").arg(in.size()));

    // With no kind chosen F3 follows the current line's action, and on a line without one it
    // stays and says so.
    v.chooseKind(-1);
    QVERIFY(v.positionText().isEmpty());
    int without = 1;
    while (!model->cellText(without, 10).isEmpty())
      ++without;
    v.setCurrentLine(without);
    QTest::keyClick(&v, Qt::Key_F3);
    QCOMPARE(v.currentLine(), without);
    QVERIFY2(v.positionText().startsWith(QLatin1String("Nothing to follow")),
             qPrintable(v.positionText()));
    const int out = model->linesOf(2).front();
    v.setCurrentLine(out);
    QTest::keyClick(&v, Qt::Key_F3);
    QCOMPARE(v.chosenKind(), 2);
    QCOMPARE(v.currentLine(), model->linesOf(2).size() > 1 ? model->linesOf(2)[1] : out);
  }

  void marksBarEndsHiddenPastAnEdgeAndGoesThereOnAClick() {
    ScheduleView& v = show(40);
    settings->setZoom(480);
    v.scrollToTime({demo::firstDay() + 50, 0});
    QCoreApplication::processEvents();
    const double left = v.timeAxis().dayAt(0);
    const double right = v.timeAxis().dayAt(v.timelineBody()->width());
    const QString format = QStringLiteral("d MMM yyyy");
    int checked = 0;
    for (int line = 1; line <= 12; ++line) {
      const Bar* bar = model->bar(line, 1);
      const std::vector<EdgeMarker> markers = v.edgeMarkers(line);
      const bool before = TimeAxis::dayPosition(bar->start) < left;
      const bool after = TimeAxis::dayPosition(bar->end) > right;
      QCOMPARE(int(markers.size()), int(before) + int(after));
      for (const EdgeMarker& marker : markers) {
        const TimePoint hidden = marker.left ? bar->start : bar->end;
        QCOMPARE(marker.left, before && &marker == &markers.front());
        QCOMPARE(marker.time, hidden);
        QVERIFY(!marker.outside);
        QCOMPARE(marker.text, v.locale().toString(dateOfDay(hidden.day), format));
      }
      // A click on the marker picks the line and brings the hidden end into view.
      if (!markers.empty() && checked++ < 2) {
        const EdgeMarker marker = markers.front();
        QTest::mouseClick(v.timelineBody(), Qt::LeftButton, {},
                          v.timelineBody()->mapFrom(&v, marker.rect.center()));
        QCOMPARE(v.currentLine(), line);
        const double x = v.timeAxis().x(marker.time);
        QVERIFY2(x >= 0 && x <= v.timelineBody()->width(), qPrintable(QString::number(x)));
        v.scrollToTime({demo::firstDay() + 50, 0});
      }
    }
    QVERIFY(checked > 0);

    // An end beyond the period is named so, and its marker only picks the line.
    const Bar* first = model->bar(1, 1);
    settings->setHorizonStart(first->start.day + 1);
    QCoreApplication::processEvents();
    v.scrollToTime({v.firstDay(), 0});
    const std::vector<EdgeMarker> markers = v.edgeMarkers(1);
    QVERIFY(!markers.empty() && markers.front().left && markers.front().outside);
    QCOMPARE(markers.front().text, QStringLiteral("before the period: ") +
                                       v.locale().toString(dateOfDay(first->start.day), format));
    const int scrolled = v.timelineScrollBar()->value();
    QTest::mouseClick(v.timelineBody(), Qt::LeftButton, {},
                      v.timelineBody()->mapFrom(&v, markers.front().rect.center()));
    QCOMPARE(v.currentLine(), 1);
    QCOMPARE(v.timelineScrollBar()->value(), scrolled);
    settings->setHorizonStart(demo::firstDay());
  }

  void lastLineStaysVisibleWithAndWithoutHorizontalBars() {
    // Given a view wide enough for every column and the whole horizon at a low zoom...
    model = std::make_unique<ScheduleModel>();
    settings = std::make_unique<ScheduleSettings>();
    demo::fill(*model, *settings, 200);
    settings->setZoom(20);
    view = std::make_unique<ScheduleView>(model.get());
    view->setSettings(settings.get());
    ScheduleView& v = *view;
    v.resize(2400, 500);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    v.splitter()->setSizes({model->columnWidth(1) + v.header()->length() + 10, 900});
    QCoreApplication::processEvents();
    QVERIFY(v.timelineScrollBar()->isHidden());
    QVERIFY(v.listScrollBar()->isHidden());
    v.verticalScrollBar()->setValue(v.verticalScrollBar()->maximum());
    checkSanity();
    QVERIFY(!QTest::currentTestFailed());

    // ...when zooming in brings the horizontal bars, the last line moves up above them.
    for (int zoom : {300, 400, 900}) {
      settings->setZoom(zoom);
      QCoreApplication::processEvents();
      QVERIFY(v.timelineScrollBar()->isVisible());
      QVERIFY(v.listScrollBar()->isVisible());
      v.verticalScrollBar()->setValue(v.verticalScrollBar()->maximum());
      const QRect last = v.lineRect(200, ScheduleView::Pane::Timeline);
      QVERIFY(last.bottom() < v.timelineScrollBar()->mapTo(&v, QPoint(0, 0)).y());
      checkSanity();
      QVERIFY(!QTest::currentTestFailed());
    }
  }

  void scrollsToADistantLineOfALargeModel() {
    ScheduleView& v = show(32766);
    QCOMPARE(model->lineCount(), 32766);
    v.scrollToLine(30000);
    QCoreApplication::processEvents();
    const QRect band = v.lineRect(30000, ScheduleView::Pane::List);
    const QRect body(v.listBody()->mapTo(&v, QPoint(0, 0)), v.listBody()->size());
    QVERIFY(body.contains(band));
    QCOMPARE(v.lineAt(band.center()), 30000);
    // The line's cells are painted there: its first column holds dark text pixels.
    const QImage image = v.grab().toImage();
    int dark = 0;
    for (int y = band.top(); y <= band.bottom(); ++y)
      for (int x = band.left(); x < band.left() + 80; ++x)
        dark += qGray(image.pixel(x, y)) < 100;
    QVERIFY(dark > 20);
  }

  void focusBarBringsItIntoViewAndHighlightsIt() {
    ScheduleView& v = show(2000);
    v.focusBar(1500, 1);
    QCoreApplication::processEvents();
    QCOMPARE(v.focusedBarLine(), 1500);
    QCOMPARE(v.focusedBarIndex(), 1);
    const QRect body(v.timelineBody()->mapTo(&v, QPoint(0, 0)), v.timelineBody()->size());
    const QRect bar = v.barRect(1500, 1);
    QVERIFY(body.contains(bar.center()));
    // The highlight ring sits just outside the bar.
    const QImage image = v.grab().toImage();
    const QColor ring = detail::GridColours::fromPalette(v.palette()).focusRing;
    QVERIFY(countPixels(image, bar.adjusted(-3, -3, 3, 3), ring) > bar.width());
    // A bar that does not exist changes nothing.
    v.focusBar(1500, 2);
    v.focusBar(0, 1);
    QCOMPARE(v.focusedBarLine(), 1500);
    // The next pick, by mouse or key, takes the highlight away: one line stands out.
    for (const bool byKey : {false, true}) {
      v.focusBar(1500, 1);
      if (byKey)
        QTest::keyClick(&v, Qt::Key_Down);
      else
        QTest::mouseClick(
            v.listBody(), Qt::LeftButton, {},
            v.listBody()->mapFrom(&v, v.lineRect(1499, ScheduleView::Pane::List).center()));
      QCOMPARE(v.focusedBarLine(), 0);
      QCOMPARE(countPixels(v.grab().toImage(), bar.adjusted(-3, -3, 3, 3), ring), 0);
    }
  }

  void marksStayLegible_data() {
    QTest::addColumn<uint>("colour");
    QTest::addColumn<QColor>("mark");
    QTest::newRow("suggested") << uint(demo::kSuggested) << QColor(Qt::black);
    QTest::newRow("accepted") << uint(demo::kAccepted) << QColor(Qt::black);
    QTest::newRow("firmed") << uint(demo::kFirmed) << QColor(Qt::black);
    QTest::newRow("released") << uint(demo::kReleased) << QColor(Qt::black);
    QTest::newRow("dark blue") << uint(0x00800000) << QColor(Qt::white);
    QTest::newRow("black") << uint(0) << QColor(Qt::white);
  }
  void marksStayLegible() {
    QFETCH(uint, colour);
    QFETCH(QColor, mark);
    QCOMPARE(detail::markColourOn(fillOf(colour)), mark);
    if (QByteArray(QTest::currentDataTag()) != "released")
      return;
    // A bar narrower than its mark gets the mark beside it, in the text colour.
    ScheduleView& v = show(2);
    const int day = demo::firstDay() + 3;
    model->addBar(2, {day, 0}, {day, 60});
    model->setBarColour(2, 2, colour);
    model->setBarText(2, 2, QStringLiteral(">>"));
    QCoreApplication::processEvents();
    const QRect narrow = v.barRect(2, 2);
    QVERIFY(narrow.width() < 8);
    const QImage image = v.grab().toImage();
    int ink = 0;
    for (int y = narrow.top(); y <= narrow.bottom(); ++y)
      for (int x = narrow.right() + 2; x < narrow.right() + 24; ++x)
        ink += qGray(image.pixel(x, y)) < 110;
    QVERIFY(ink > 6);
  }

  void drawsCrispAtFractionalPixelRatios_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1") << 1.0;
    QTest::newRow("1.5") << 1.5;
    QTest::newRow("2") << 2.0;
  }
  void drawsCrispAtFractionalPixelRatios() {
    QFETCH(qreal, ratio);
    ScheduleView& v = show(4);
    model->setBarColour(2, 1, demo::kFirmed);
    model->setBarText(2, 1, QString());
    const QSize logical(900, 4 * v.rowHeight());
    QImage image(logical * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    ScheduleView::PaintOptions options;
    options.listWidth = 0;
    v.paintLines(&painter, QRect(QPoint(0, 0), logical), 1, 4, options);
    painter.end();

    // Across the bar's middle row: the fill, its outline, and nothing blended in between.
    const QColor fill = fillOf(demo::kFirmed);
    const QColor outline = fill.darker(165);
    const int y = int((v.rowHeight() * 1.5) * ratio);
    const auto [start, length] = colourRun(image, y, fill);
    QVERIFY(length > 10);
    QCOMPARE(image.pixelColor(start - 1, y).rgb(), outline.rgb());
    QCOMPARE(image.pixelColor(start + length, y).rgb(), outline.rgb());
    // Down the bar's middle column likewise.
    const int x = start + length / 2;
    int top = y;
    while (image.pixelColor(x, top - 1).rgb() == fill.rgb())
      --top;
    QCOMPARE(image.pixelColor(x, top - 1).rgb(), outline.rgb());
  }

  void paintsAnyRangeOfLinesOntoADevice() {
    ScheduleView& v = show(40);
    for (int line = 1; line <= 40; ++line) {
      model->setBarColour(line, 1, line == 21 ? kRed : demo::kFirmed);
      model->setBarText(line, 1, QString());
    }
    ScheduleView::PaintOptions options;
    options.listWidth = 300;
    const QRect target(10, 20, 1500, 11 * v.rowHeight());
    QImage image(1600, target.bottom() + 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    v.paintLines(&painter, target, 10, 20, options);
    painter.end();

    // Line 10 sits at the top, and its bar where the fitted scale puts it.
    const double ppd = (target.width() - 300) / double(v.lastDay() - v.firstDay() + 1);
    const Bar* bar = model->bar(10, 1);
    const int y = target.top() + v.rowHeight() / 2;
    const auto [start, length] = colourRun(image, y, fillOf(demo::kFirmed));
    const double left =
        target.left() + 300 + (TimeAxis::dayPosition(bar->start) - v.firstDay()) * ppd;
    QVERIFY2(std::abs(start - 1 - left) <= 1.5, qPrintable(QString::number(start)));
    QVERIFY(length > 0);
    // Line 21 lies past the range and is not drawn, nor anything below the target.
    QCOMPARE(countPixels(image, image.rect(), fillOf(kRed)), 0);
    QCOMPARE(countPixels(image, QRect(0, target.bottom() + 1, 1600, 199), QColor(Qt::white)),
             1600 * 199);
    // The picked line stands out when highlights are asked for, as on paper.
    v.setCurrentLine(12);
    const detail::GridColours colours = detail::GridColours::fromPalette(v.palette());
    const QRect picked(target.left(), target.top() + 2 * v.rowHeight(), 300, v.rowHeight());
    for (const bool highlights : {false, true}) {
      options.highlights = highlights;
      QPainter again(&image);
      v.paintLines(&again, target, 10, 20, options);
      again.end();
      const QColor tint = v.hasFocus() ? colours.pick : colours.pickInactive;
      QCOMPARE(countPixels(image, picked, tint) > 100, highlights);
    }

    // The header and title paint too, with the captions from the model.
    QImage header(1600, v.titleHeight() + v.headerHeight(), QImage::Format_ARGB32_Premultiplied);
    header.fill(Qt::white);
    QPainter headerPainter(&header);
    v.paintTitle(&headerPainter, QRect(0, 0, 1600, v.titleHeight()));
    v.paintHeader(&headerPainter, QRect(0, v.titleHeight(), 1600, v.headerHeight()), options);
    headerPainter.end();
    QVERIFY(countPixels(header, header.rect(), QColor(Qt::white)) <
            header.width() * header.height());
  }

  void fitsPrintedColumnsToTheirLongestTextOrAFairShare() {
    ScheduleView& v = show(60);
    const int columns = model->columnCount();
    QFont font = v.font();
    font.setPixelSize(QFontInfo(font).pixelSize());
    const QFontMetrics metrics(font);
    std::vector<int> widest(std::size_t(columns), 0);
    for (int column = 1; column <= columns; ++column)
      for (int line = 1; line <= 60; ++line)
        widest[std::size_t(column - 1)] =
            std::max(widest[std::size_t(column - 1)],
                     metrics.horizontalAdvance(model->cellText(line, column)));
    // Each word of a caption fits as well, so a caption on two lines reads in full.
    QFont captionFont = font;
    captionFont.setWeight(QFont::DemiBold);
    for (int column = 1; column <= columns; ++column)
      for (const QString& word : model->columnCaption(column).split(u' '))
        widest[std::size_t(column - 1)] =
            std::max(widest[std::size_t(column - 1)],
                     QFontMetrics(captionFont).horizontalAdvance(word));
    // With room for all, every column holds its longest text and no more is taken.
    const QList<int> roomy = v.fittedColumnWidths(5000);
    for (int column = 0; column < columns; ++column)
      QVERIFY(roomy[column] >= widest[std::size_t(column)] + 2 * detail::kCellPadding);
    QVERIFY(std::accumulate(roomy.begin(), roomy.end(), 0) < 5000);
    // Without, the narrow columns still hold theirs and the others share the rest alike.
    const int tight = 600;
    const QList<int> shared = v.fittedColumnWidths(tight);
    QVERIFY(std::accumulate(shared.begin(), shared.end(), 0) <= tight);
    const int widestShare = *std::max_element(shared.begin(), shared.end());
    for (int column = 0; column < columns; ++column) {
      const bool fits = shared[column] >= widest[std::size_t(column)] + 2 * detail::kCellPadding;
      QVERIFY(fits || shared[column] >= widestShare - 1);
    }
  }

  // A value of any length shows in its cell and in the tooltip as Qt shows it whole; the row's
  // `seen` is a short text that Qt shows alike, which goes through painting as any ordinary
  // value does.
  void showsOfAHugeValueWhatItsCellAndTheTooltipHold_data() {
    QTest::addColumn<int>("column");  // 4 is elided at the end, 6 in the middle, 8 at the start
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("seen");
    const auto repeated = [](const QString& piece, qsizetype size) {
      QString text;
      while (text.size() < size)
        text += piece;
      return text.left(size);
    };
    const QString words = repeated(QStringLiteral("gear shaft 42 teeth, gasket set, "), 100'000);
    const QString digits = repeated(QStringLiteral("1234567890"), 100'000);
    // Pairs from an odd position on, so that a cut at an even length splits one at either end.
    const QString astral =
        u'x' + repeated(QStringLiteral("\U0001D400\U0001D41B\U0001D42C"), 100'000) + u'y';
    const QString start = QStringLiteral("START ");
    const QString end = QStringLiteral(" END");
    // The first, last, or first and last 100 units, or fewer for a cell of 100 pixels; every
    // one of them fills the line.
    const auto startOf = [](const QString& text) { return text.left(100); };
    const auto bothEndsOf = [](const QString& text) { return text.left(40) + text.right(40); };
    const auto endOf = [](const QString& text) { return text.right(80); };
    const QString ordinary = QStringLiteral("Hex bolt M8x40 zinc plated");
    QTest::newRow("ordinary, fits") << 4 << ordinary << ordinary;
    QTest::newRow("ordinary, elided at the end") << 4 << words.left(50) << words.left(50);
    QTest::newRow("long, elided at the end")
        << 4 << start + words.left(600) << startOf(start + words.left(600));
    QTest::newRow("long, elided in the middle")
        << 6 << start + words.left(600) + end << bothEndsOf(start + words.left(600) + end);
    QTest::newRow("long, elided at the start")
        << 8 << digits.left(600) + end << endOf(digits.left(600) + end);
    QTest::newRow("huge, keeps its start") << 4 << start + words << startOf(start + words);
    QTest::newRow("huge, keeps both ends")
        << 6 << start + words + end << bothEndsOf(start + words + end);
    QTest::newRow("huge, keeps its end") << 8 << digits + end << endOf(digits + end);
    QTest::newRow("huge astral, keeps its start") << 4 << astral << u'x' + astral.mid(1, 100);
    QTest::newRow("huge astral, keeps both ends")
        << 6 << astral << u'x' + astral.mid(1, 40) + astral.right(41);
    QTest::newRow("huge astral, keeps its end") << 8 << astral << astral.right(81);
    // What fills the line lies past thousands of characters of no width.
    const QString hidden(3000, QChar(0x200B));
    QTest::newRow("huge, starts with what shows nothing")
        << 4 << hidden + words << hidden + words.left(100);
  }
  void showsOfAHugeValueWhatItsCellAndTheTooltipHold() {
    QFETCH(int, column);
    QFETCH(QString, value);
    QFETCH(QString, seen);
    ScheduleView& v = show(3, {1600, 400});
    v.splitter()->setSizes({1200, 400});
    const auto fill = [&](const QString& text) {
      model->clearLines();
      for (int line = 1; line <= 3; ++line) {
        QStringList fields{QStringLiteral("WO-%1").arg(line),
                           QStringLiteral("IT-4000"),
                           QStringLiteral("STD"),
                           QStringLiteral("Gear shaft 42 teeth"),
                           QStringLiteral("100"),
                           QStringLiteral("Raw material"),
                           QStringLiteral("In-house production"),
                           QStringLiteral("100"),
                           QStringLiteral("2025-02-03"),
                           QStringLiteral("Cancel")};
        if (line == 1)
          fields[column - 1] = text;
        model->appendLine(fields.join(u';'));
      }
      QCoreApplication::processEvents();
      return v.listBody()->grab().toImage();
    };
    const Qt::TextElideMode mode = model->columnElideMode(column);
    const QFontMetrics fm(v.font());
    const int inner = model->columnWidth(column) - 2 * detail::kCellPadding;
    const auto shownByQt = [&](const QString& text) {
      return fm.horizontalAdvance(text) > inner ? fm.elidedText(text, mode, inner) : text;
    };
    const QString expected = shownByQt(value);
    QCOMPARE(shownByQt(seen), expected);

    // The cell shows what Qt makes of the whole value, in the same pixels as the short text.
    QCOMPARE(detail::fitText(fm, value, mode, inner).text, expected);
    const QImage painted = fill(value);
    QVERIFY(painted == fill(seen));

    // A cut keeps the end or ends that the elision keeps, and never half of a surrogate pair.
    for (const qsizetype length : {1, 2, 3, 4, 5, 141, 142, 143, 284, 285}) {
      const QString cut = detail::cutForElision(value, mode, length);
      QVERIFY(cut.size() <= length && cut.size() >= std::min(value.size(), length - 2));
      QVERIFY(QStringView(cut).isValidUtf16());
      const qsizetype tail = mode == Qt::ElideLeft ? cut.size() : length / 2 - 1;
      const qsizetype head = mode == Qt::ElideMiddle ? (length - length / 2) - 1
                             : mode == Qt::ElideLeft ? 0
                                                     : cut.size();
      QVERIFY(value.startsWith(QStringView(cut).first(std::max<qsizetype>(0, head))));
      if (mode != Qt::ElideRight)
        QVERIFY(value.endsWith(QStringView(cut).last(std::max<qsizetype>(0, tail))));
    }

    // The tooltip is one line on the screen: the whole value when it fits, else its start
    // elided at the end; the settings keep the value as it was given.
    fill(value);
    connect(&v, &ScheduleView::hovered, this, [this, &value](int line, int) {
      settings->setToolTipText(line == 1 ? value : QString());
    });
    QWidget* body = v.timelineBody();
    const QPoint at = lineCentre(body, 1);
    QHelpEvent help(QEvent::ToolTip, at, body->mapToGlobal(at));
    QCoreApplication::sendEvent(body, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    const QString tip = QToolTip::text();
    QCOMPARE(settings->toolTipText(), value);
    const QFontMetrics tipFm(QToolTip::font());
    const int screenWidth = body->screen()->availableGeometry().width();
    const int valueWidth = tipFm.horizontalAdvance(value);
    QVERIFY(valueWidth < screenWidth / 2 || valueWidth > screenWidth);
    if (valueWidth < screenWidth / 2) {
      QCOMPARE(tip, value);
    } else {
      QVERIFY(tip.endsWith(QChar(0x2026)));
      QVERIFY(value.startsWith(QStringView(tip).chopped(1)));
      QVERIFY(tipFm.horizontalAdvance(tip) <= screenWidth);
      QVERIFY(tip.size() > 20 && QStringView(tip).isValidUtf16());
    }
    for (QWidget* label : QApplication::topLevelWidgets()) {
      if (label->inherits("QTipLabel") && label->isVisible())
        QVERIFY(label->height() < 2 * tipFm.height());
    }
    QToolTip::hideText();
  }

  void emptyOrInvertedHorizonFallsBackToTheBars_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("before any header") << -2 << -2;
    QTest::newRow("inverted") << demo::lastDay() << demo::firstDay();
    QTest::newRow("holds no bar") << demo::firstDay() - 400 << demo::firstDay() - 300;
  }
  void emptyOrInvertedHorizonFallsBackToTheBars() {
    QFETCH(int, start);
    QFETCH(int, end);
    ScheduleView& v = show(30);
    settings->setHorizonStart(start);
    settings->setHorizonEnd(end);
    QCoreApplication::processEvents();
    QVERIFY(v.firstDay() <= model->earliestBarStart().day);
    QVERIFY(v.lastDay() >= model->latestBarEnd().day);
    QVERIFY(v.lastDay() - v.firstDay() < 200);
    // The title says which period it shows; the horizon is kept as written.
    QVERIFY2(v.shownTitle().contains(QLatin1String("span of the bars")),
             qPrintable(v.shownTitle()));
    QCOMPARE(settings->horizonStart(), start);
    // Without bars: a horizon that is set, else some weeks around today.
    model->clearLines();
    QCoreApplication::processEvents();
    if (start > 0 && end >= start)
      QVERIFY(v.firstDay() == start && v.lastDay() == end);
    else
      QVERIFY(v.firstDay() <= v.today() && v.lastDay() > v.today() + 14);
    QVERIFY(!v.grab().isNull());
  }

  void settingsShowOnlyWhatTheyMean() {
    ScheduleView& v = show(10);
    v.scrollToTime({v.today() - 5, 0});
    QCoreApplication::processEvents();
    // The grid's own parts (the splitter handle between them shows the pointer's hover).
    const auto panes = [&v] {
      return QList<QImage>{v.grab(QRect(0, 0, v.width(), v.titleHeight())).toImage(),
                           v.listPane()->grab().toImage(), v.timelinePane()->grab().toImage()};
    };
    const QList<QImage> unchanged = panes();
    const QImage before = v.grab().toImage();
    // Settings known by number only change nothing visible.
    settings->setSetting(4711, 3);
    model->setBarSetting(2, 1, 216, 5);
    QCoreApplication::processEvents();
    QVERIFY(panes() == unchanged);

    // The today line appears only with a positive width, at today's x.
    const int x = expectedX(v, v.today() + 0.5);
    const QRect column(x - 3, v.timelineBody()->mapTo(&v, QPoint(0, 0)).y(), 7, 100);
    const QColor today = detail::GridColours::fromPalette(v.palette()).today;
    QCOMPARE(countPixels(before, column, today), 0);
    settings->setTodayLineWidth(3);
    QCoreApplication::processEvents();
    QVERIFY(countPixels(v.grab().toImage(), column, today) >= 3 * 100);

    // The title colour colours the title text.
    settings->setTitleColour(kRed);
    QCoreApplication::processEvents();
    const QImage titled = v.grab(QRect(0, 0, v.width(), v.titleHeight())).toImage();
    QVERIFY(countPixels(titled, titled.rect(), fillOf(kRed)) > 10);
  }

  void readsAsATableToAssistiveTechnology() {
    // Given a large run: every line is a row of the table, made only when read.
    {
      ScheduleView& big = show(32766);
      QAccessibleTableInterface* table =
          QAccessible::queryAccessibleInterface(big.listBody())->tableInterface();
      QVERIFY(table);
      QCOMPARE(table->rowCount(), 32766);
      QAccessibleInterface* last = table->cellAt(32765, 0);
      QCOMPARE(last->text(QAccessible::Name), model->cellText(32766, 1));
      QCOMPARE(QAccessible::queryAccessibleInterface(big.listBody())->indexOfChild(last),
               32766 * 12);
    }
    ScheduleView& v = show(10);
    // The words come from the model's owner.
    class Words final : public LineDescriber {
     public:
      QString colourName(std::uint32_t colour) const override {
        return colour == demo::kReleased ? QStringLiteral("released") : QStringLiteral("open");
      }
      QString lineText(const ScheduleModel& m, int line) const override {
        return m.cellText(line, 1) + QStringLiteral(", ") + colourName(m.bar(line, 1)->colour);
      }
      QString countText(int lines) const override { return QStringLiteral("%1 jobs").arg(lines); }
    };
    model->setDescriber(std::make_shared<Words>());
    model->setBarColour(7, 1, demo::kReleased);
    model->setBarText(7, 1, QStringLiteral("X"));

    // The grid names its lines and period; its parts follow in on-screen order.
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(&v);
    QCOMPARE(grid->role(), QAccessible::Grouping);
    QCOMPARE(grid->text(QAccessible::Name),
             QStringLiteral("Schedule grid: 10 jobs, 6 January to 27 April 2025"));
    QCOMPARE(grid->childCount(), 4);
    QAccessibleInterface* title = grid->child(0);
    QAccessibleInterface* list = grid->child(1);
    QAccessibleInterface* ruler = grid->child(2);
    QAccessibleInterface* timeline = grid->child(3);
    QCOMPARE(title->role(), QAccessible::StaticText);
    QCOMPARE(title->text(QAccessible::Name), v.shownTitle());
    QCOMPARE(list->role(), QAccessible::Table);
    // At the fitted scale the whole period is in view, in weeks.
    QCOMPARE(ruler->role(), QAccessible::StaticText);
    QCOMPARE(ruler->text(QAccessible::Name),
             QStringLiteral("Time ruler: Months over weeks, 6 January to 27 April 2025"));
    QCOMPARE(timeline->role(), QAccessible::Chart);
    QCOMPARE(timeline->text(QAccessible::Description),
             QStringLiteral("Weeks, 6 January to 27 April 2025"));
    QCOMPARE(grid->text(QAccessible::Description), timeline->text(QAccessible::Description));
    for (int i = 0; i < grid->childCount(); ++i) {
      QCOMPARE(grid->child(i)->parent(), grid);
      QCOMPARE(grid->indexOfChild(grid->child(i)), i);
    }

    // Twelve columns: the captions, then the bar's start and end in the user's locale.
    QAccessibleTableInterface* table = list->tableInterface();
    QCOMPARE(table->rowCount(), 10);
    QCOMPARE(table->columnCount(), 12);
    QStringList headers;
    for (int column = 0; column < 12; ++column) {
      const QList<QAccessibleInterface*> header =
          table->cellAt(0, column)->tableCellInterface()->columnHeaderCells();
      QCOMPARE(header.size(), 1);
      QCOMPARE(header[0]->role(), QAccessible::ColumnHeader);
      headers << header[0]->text(QAccessible::Name);
    }
    QStringList captions;
    for (const ColumnSpec& column : demo::columns())
      captions << column.caption;
    captions << QStringLiteral("Start") << QStringLiteral("End");
    QCOMPARE(headers, captions);
    const auto moment = [](TimePoint t) {
      return QLocale().toString(QDateTime(dateOfDay(t.day), QTime(0, 0).addSecs(t.minute * 60)),
                                QLocale::ShortFormat);
    };
    for (int line = 1; line <= 10; ++line) {
      QStringList cells;
      QStringList expected;
      for (int column = 0; column < 12; ++column)
        cells << table->cellAt(line - 1, column)->text(QAccessible::Name);
      for (int column = 1; column <= 10; ++column)
        expected << model->cellText(line, column);
      expected << moment(model->bar(line, 1)->start) << moment(model->bar(line, 1)->end);
      QCOMPARE(cells, expected);
      QCOMPARE(table->rowDescription(line - 1), model->lineText(line));
    }
    QCOMPARE(table->cellAt(6, 3)->text(QAccessible::Description),
             model->cellText(7, 1) + QStringLiteral(", released"));
    // Every child, headers first, is found where it is; nothing lies outside.
    for (int index = 0; index < list->childCount(); ++index) {
      QAccessibleInterface* cell = list->child(index);
      QCOMPARE(list->indexOfChild(cell), index);
      QCOMPARE(cell->parent(), list);
      QCOMPARE(cell->tableCellInterface()->rowIndex(), index / 12 - 1);
    }
    QCOMPARE(list->childCount(), 11 * 12);
    QVERIFY(!table->cellAt(10, 0) && !table->cellAt(0, 12) && !table->cellAt(-1, 0));
    QVERIFY(!list->child(-1));

    // One object reads as focused: the table until a line is current, then the line's first
    // cell, which reads as selected with the rest of its row.
    v.activateWindow();
    v.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&v));
    QCOMPARE(focusedIn(grid), QList<QAccessibleInterface*>{list});
    v.setCurrentLine(7);
    QCOMPARE(focusedIn(grid), QList<QAccessibleInterface*>{table->cellAt(6, 0)});
    QCOMPARE(grid->focusChild(), table->cellAt(6, 0));
    QCOMPARE(table->selectedRows(), QList<int>{6});
    QVERIFY(table->isRowSelected(6) && !table->isRowSelected(5));
    QList<QAccessibleInterface*> row;
    for (int column = 0; column < 12; ++column)
      row << table->cellAt(6, column);
    QCOMPARE(table->selectedCells(), row);
    QVERIFY(table->cellAt(6, 11)->state().selected && !table->cellAt(5, 0)->state().selected);

    // The timeline holds the current line's bar with its span.
    const Bar* bar = model->bar(7, 1);
    QCOMPARE(timeline->childCount(), 1);
    QCOMPARE(timeline->child(0)->text(QAccessible::Name),
             QStringLiteral("released state, %1 to %2, marked X")
                 .arg(moment(bar->start), moment(bar->end)));

    // A reader that selects a row picks its line, as a click does.
    QSignalSpy picked(&v, &ScheduleView::linePicked);
    QVERIFY(table->selectRow(2));
    QCOMPARE(picked.value(0), QVariantList{3});
    QCOMPARE(focusedIn(grid), QList<QAccessibleInterface*>{table->cellAt(2, 0)});

    // Cells read the model live: once the lines go, so do their cells.
    QAccessibleInterface* cell = table->cellAt(2, 0);
    model->clearLines();
    QVERIFY(!cell->isValid());
    QCOMPARE(table->rowCount(), 0);
  }

 private:
  // Every object under root that reads as focused.
  static QList<QAccessibleInterface*> focusedIn(QAccessibleInterface* root) {
    QList<QAccessibleInterface*> focused;
    if (root->state().focused)
      focused << root;
    for (int i = 0; i < root->childCount(); ++i)
      focused << focusedIn(root->child(i));
    return focused;
  }
};

QTEST_MAIN(TestScheduleView)
#include "tst_schedule_view.moc"
