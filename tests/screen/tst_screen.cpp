// The control's screen on the offscreen platform: the surface's children where they are stored,
// the legend before and after loads, real clicks on the grid and the toolbar, message boxes,
// late-bound calls, the library's factory and paged printing.

#include "control/component_library.h"
#include "control/message_box_port.h"
#include "control/screen_parts.h"
#include "control/tool_bar.h"
#include "control/varnex_widget.h"
#include "grid/schedule_model.h"
#include "grid/schedule_view.h"
#include "tests/screen/board_examples.h"
#include "tools/document_generator.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPdfWriter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <functional>
#include <memory>

using varnex::control::VarnexWidget;
using varnex::grid::ScheduleModel;
using varnex::grid::ScheduleSettings;
using varnex::grid::ScheduleView;
using varnex::testing::Grid;
using varnex::testing::ReadExample;

namespace {

class RecordingPort final : public varnex::control::MessageBoxPort {
 public:
  void ShowMessage(QWidget*, const QString& title, const QString& text) override {
    messages << title + QStringLiteral(": ") + text;
  }
  QStringList messages;
};

QAbstractButton* MainToolbarButton(const VarnexWidget& control, const char* caption) {
  auto* bar = control.findChild<varnex::control::ToolBar*>(QStringLiteral("ctWOToolBar"));
  return bar ? bar->findChild<QAbstractButton*>(QString::fromLatin1(caption)) : nullptr;
}

QColor SwatchPixel(VarnexWidget& control, const char* name) {
  auto* swatch = control.findChild<QWidget*>(QString::fromLatin1(name));
  const QPoint centre = swatch->mapTo(&control, swatch->rect().center());
  return control.grab().toImage().pixelColor(centre);
}

void LoadExample(VarnexWidget& control) {
  QString header = ReadExample("header.xml");
  QString orders = ReadExample("workorders.xml");
  control.TimeSet(header);
  control.PopulateWorkOrder(orders);
}

}  // namespace

class tst_Screen : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init();
  void cleanup();

  void shouldPlaceEveryChildAtItsStoredGeometry_data();
  void shouldPlaceEveryChildAtItsStoredGeometry();
  void shouldKeepTheStoredOrderOfChildren();
  void shouldFillItsSizeOnlyWhenAsked_data();
  void shouldFillItsSizeOnlyWhenAsked();
  void shouldShowEveryLegendTextWithinItsBand();
  void shouldDrawTitleAndLegendInTheirFontsAndColours();
  void shouldShowDesignFillsUntilALoadCompletes();
  void shouldHandTheClickedLineToTheHost();
  void shouldWalkEachActionAndMarkWhatAReloadChanged();
  void shouldShowThePlanOnFirstOpen_data();
  void shouldShowThePlanOnFirstOpen();
  void shouldStepTheZoomWithTheToolbarButtons();
  void shouldWalkTheBoardWithTheKeyboardAlone();
  void shouldReadTheBoardToAssistiveTechnology();
  void shouldShowAModalBoxForAMalformedDocument();
  void shouldWriteTheSiteAndAnswerTheGridsGestures();
  void shouldCallTheMembersByDispid();
  void shouldCreateTheControlByClassNameOnly();
  void shouldPrintTheWholeRunOnPages();

 private:
  void CheckScreenSanity() const;

  std::unique_ptr<VarnexWidget> mControl;
  RecordingPort mMessages;
};

void tst_Screen::init() {
  // Any warning fails, except the offscreen platform's note about dialogs' size hints.
  QTest::failOnWarning(
      QRegularExpression(QStringLiteral("^(?!This plugin does not support propagateSizeHints).*")));
  mControl = std::make_unique<VarnexWidget>();
  mControl->SetMessageBoxPort(&mMessages);
  mControl->show();
  QVERIFY(QTest::qWaitForWindowExposed(mControl.get()));
  mMessages.messages.clear();
}

void tst_Screen::cleanup() {
  if (mControl) CheckScreenSanity();
  mControl.reset();
}

// Whatever happened, the hidden children stay hidden and nothing has moved off the surface.
void tst_Screen::CheckScreenSanity() const {
  for (const char* hidden : {"Box1", "Box2", "ctWOToolBar1"}) {
    auto* child = mControl->findChild<QWidget*>(QString::fromLatin1(hidden));
    QVERIFY2(child && !child->isVisible(), hidden);
  }
  const QRect surface(QPoint(0, 0), mControl->sizeHint());
  QCOMPARE(mControl->size(), QSize(965, 552));
  for (const QWidget* child : mControl->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    QVERIFY2(surface.contains(child->geometry()), qPrintable(child->objectName()));
  }
}

void tst_Screen::shouldPlaceEveryChildAtItsStoredGeometry_data() {
  QTest::addColumn<QString>("container");
  QTest::addColumn<QRect>("twips");
  QTest::addColumn<bool>("visible");
  const auto row = [](const char* name, const char* container, int left, int top, int width,
                      int height, bool visible = true) {
    QTest::newRow(name) << QString::fromLatin1(container) << QRect(left, top, width, height)
                        << visible;
  };
  row("Frame2", "", 1950, 7770, 9255, 375);
  row("Label15", "Frame2", 7650, 150, 1050, 210);
  row("lblAmend", "Frame2", 7470, 90, 135, 285);
  row("lblCancel", "Frame2", 5880, 120, 225, 285);
  row("lblReschIn", "Frame2", 4230, 90, 255, 285);
  row("lblReschOut", "Frame2", 2400, 90, 255, 285);
  row("lblMatshortate", "Frame2", 510, 90, 225, 285);
  row("Label9", "Frame2", 2700, 135, 1170, 420);
  row("Label8", "Frame2", 4530, 135, 1080, 420);
  row("Label2", "Frame2", 780, 135, 1290, 420);
  row("Label1", "Frame2", 6090, 135, 1050, 420);
  row("Box2", "", 240, 4680, 975, 975, false);
  row("Box1", "", 240, 3720, 975, 855, false);
  row("Frame1", "", 1980, 7260, 8925, 375);
  row("ctPushRelease", "Frame1", 7380, 120, 375, 255);
  row("ctPushFirm", "Frame1", 5130, 120, 375, 255);
  row("ctPushAccepted", "Frame1", 2670, 120, 375, 255);
  row("ctPushSuggested", "Frame1", 390, 120, 375, 255);
  row("Label3", "Frame1", 7830, 135, 720, 210);
  row("Label6", "Frame1", 840, 135, 840, 210);
  row("Label4", "Frame1", 5580, 135, 540, 210);
  row("Label5", "Frame1", 3120, 135, 780, 210);
  row("ctWOToolBar1", "", 1320, 60, 1095, 495, false);
  row("ctWOSched", "", 60, 600, 14235, 6645);
  row("ctWOToolBar", "", 30, 60, 1065, 615);
  row("Shape1", "", 30, 30, 14355, 8205);
  row("Label7", "", 5460, 120, 2625, 375);
}

void tst_Screen::shouldPlaceEveryChildAtItsStoredGeometry() {
  QFETCH(QString, container);
  QFETCH(QRect, twips);
  QFETCH(bool, visible);
  const QString name = QString::fromLatin1(QTest::currentDataTag());
  auto* child = mControl->findChild<QWidget*>(name);
  QVERIFY(child);
  const QWidget* parent = child->parentWidget();
  QCOMPARE(parent == mControl.get() ? QString() : parent->objectName(), container);

  const QRect pixels(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
  QCOMPARE(child->pos(), pixels.topLeft());
  QCOMPARE(child->height(), pixels.height());
  // A legend text may run on to its right rather than wrap below its band (see below).
  if (qobject_cast<QLabel*>(child) && container.startsWith(QLatin1String("Frame"))) {
    QVERIFY(child->width() >= pixels.width());
  } else {
    QCOMPARE(child->width(), pixels.width());
  }
  QCOMPARE(child->isVisible(), visible);
}

void tst_Screen::shouldFillItsSizeOnlyWhenAsked_data() {
  QTest::addColumn<QSize>("size");
  QTest::newRow("stored") << QSize(965, 552);
  QTest::newRow("wide") << QSize(1600, 552);
  QTest::newRow("tall") << QSize(965, 900);
  QTest::newRow("maximised") << QSize(1920, 1080);
}

// Fixed keeps the stored design whatever size it is given; Fill gives the grid all the room
// beyond it, keeps the bands and the toolbar as they are under and over it, and comes back to
// the stored design exactly when switched back.
void tst_Screen::shouldFillItsSizeOnlyWhenAsked() {
  QFETCH(QSize, size);
  LoadExample(*mControl);
  QCoreApplication::processEvents();
  const QSize stored(965, 552);
  const auto geometries = [this] {
    QList<QRect> all;
    for (const QWidget* w : mControl->findChildren<QWidget*>()) all << w->geometry();
    return all;
  };
  const auto child = [this](const char* name) {
    return mControl->findChild<QWidget*>(QString::fromLatin1(name))->geometry();
  };
  const QList<QRect> design = geometries();
  ScheduleView* grid = Grid(*mControl);
  const auto visibleLines = [grid] {
    return (grid->timelineBody()->height() + grid->rowHeight() - 1) / grid->rowHeight();
  };
  const int storedLines = visibleLines();
  const int storedTimeline = grid->timelineBody()->width();
  QCOMPARE(mControl->sizing(), VarnexWidget::Sizing::Fixed);
  QCOMPARE(mControl->sizePolicy(), QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed));

  // Fixed: resized, nothing moves.
  mControl->resize(size);
  QCoreApplication::processEvents();
  QCOMPARE(geometries(), design);

  // Fill: the rules hold at every size.
  QSignalSpy changed(mControl.get(), &VarnexWidget::sizingChanged);
  mControl->setSizing(VarnexWidget::Sizing::Fill);
  QCOMPARE(changed.size(), 1);
  QCOMPARE(mControl->sizePolicy(), QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding));
  QCOMPARE(mControl->minimumSizeHint(), stored);
  QCOMPARE(mControl->sizeHint(), stored);
  QCoreApplication::processEvents();
  const QSize extra = size - stored;
  const QRect sched = child("ctWOSched");
  QCOMPARE(sched, QRect(4, 40, 949, 443).adjusted(0, 0, extra.width(), extra.height()));
  for (const char* band : {"Frame1", "Frame2"}) {
    const QRect r = child(band);
    const QRect was = design[mControl->findChildren<QWidget*>().indexOf(
        mControl->findChild<QWidget*>(QString::fromLatin1(band)))];
    QCOMPARE(r.size(), was.size());
    QCOMPARE(r.x(), was.x());
    QCOMPARE(r.top() - sched.bottom(), was.top() - QRect(4, 40, 949, 443).bottom());
  }
  const QRect title = child("Label7");
  QCOMPARE(title.size(), QSize(175, 25));
  // centred over the grid as in the design, to the pixel a halved width can be
  QVERIFY(std::abs((title.center().x() - sched.center().x()) - (451 - 478)) <= 1);
  QCOMPARE(child("Shape1"), QRect(QPoint(2, 2), size - QSize(8, 5)));
  QCOMPARE(child("ctWOToolBar"), QRect(2, 4, 71, 41));
  QVERIFY(visibleLines() >= storedLines + extra.height() / grid->rowHeight());
  QVERIFY(grid->timelineBody()->width() >= storedTimeline + extra.width() / 2);
  for (const QWidget* part : mControl->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    QVERIFY2(mControl->rect().contains(part->geometry()), qPrintable(part->objectName()));
  }

  // Back to Fixed: the stored design, to the pixel.
  mControl->setSizing(VarnexWidget::Sizing::Fixed);
  QCoreApplication::processEvents();
  QCOMPARE(mControl->size(), stored);
  QCOMPARE(geometries(), design);
  QCOMPARE(visibleLines(), storedLines);
  QCOMPARE(changed.size(), 2);
  QVERIFY(mMessages.messages.isEmpty());
}

void tst_Screen::shouldKeepTheStoredOrderOfChildren() {
  QStringList order;
  for (const QObject* child : mControl->children()) {
    if (child->isWidgetType()) order << child->objectName();
  }
  QCOMPARE(order,
           QStringList({QStringLiteral("Frame2"), QStringLiteral("Box2"), QStringLiteral("Box1"),
                        QStringLiteral("Frame1"), QStringLiteral("ctWOToolBar1"),
                        QStringLiteral("ctWOSched"), QStringLiteral("ctWOToolBar"),
                        QStringLiteral("Shape1"), QStringLiteral("Label7")}));
  // The outline is drawn over the grid but lets the pointer through to it.
  auto* shape = mControl->findChild<QWidget*>(QStringLiteral("Shape1"));
  QVERIFY(shape->testAttribute(Qt::WA_TransparentForMouseEvents));
  QCOMPARE(mControl->childAt(300, 300),
           Grid(*mControl)->childAt(Grid(*mControl)->mapFrom(mControl.get(), QPoint(300, 300))));
}

// A band is 25 pixels high and its texts start 9 pixels down: a second line would be cut off.
void tst_Screen::shouldShowEveryLegendTextWithinItsBand() {
  for (const char* band : {"Frame1", "Frame2"}) {
    auto* frame = mControl->findChild<QWidget*>(QString::fromLatin1(band));
    for (const QLabel* label : frame->findChildren<QLabel*>()) {
      if (label->objectName().startsWith(QLatin1String("lbl"))) continue;  // markers
      const QFontMetrics metrics(label->font());
      const QRect text =
          metrics.boundingRect(QRect(0, 0, label->width(), 1000),
                               label->wordWrap() ? Qt::TextWordWrap : 0, label->text());
      QVERIFY2(label->y() + text.height() <= frame->height(), qPrintable(label->text()));
      QVERIFY2(text.width() <= label->width(), qPrintable(label->text()));
      // and it ends before the next item of its legend begins
      for (const QWidget* other : frame->findChildren<QWidget*>()) {
        if (other == label || other->x() <= label->x()) continue;
        QVERIFY2(label->x() + text.width() <= other->x(), qPrintable(label->text()));
      }
    }
  }
}

void tst_Screen::shouldDrawTitleAndLegendInTheirFontsAndColours() {
  const QColor ink(0, 0, 192);
  auto* title = mControl->findChild<QLabel*>(QStringLiteral("Label7"));
  QCOMPARE(title->text(), QStringLiteral("Kestrova"));
  QCOMPARE(title->font().pixelSize(), 21);
  QVERIFY(title->alignment() & Qt::AlignHCenter);
  QVERIFY(QFontInfo(title->font()).family() == QLatin1String("Arial") ||
          QFontInfo(title->font()).family() == QLatin1String("Liberation Sans"));

  // Pixels: the title's ink, the outline, a band and the toolbar's face.
  const QImage image = mControl->grab().toImage();
  bool titleInk = false;
  for (int x = title->x(); x < title->geometry().right() && !titleInk; ++x) {
    for (int y = title->y(); y < title->geometry().bottom() && !titleInk; ++y) {
      titleInk = image.pixelColor(x, y) == ink;
    }
  }
  QVERIFY(titleInk);
  QCOMPARE(image.pixelColor(2, 300), ink);
  QCOMPARE(image.pixelColor(3, 300), ink);
  QCOMPARE(image.pixelColor(960, 551), mControl->palette().color(QPalette::Button));
  QCOMPARE(image.pixelColor(140, 488), QColor(212, 208, 200));

  for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label8",
                           "Label9", "Label15"}) {
    auto* text = mControl->findChild<QLabel*>(QString::fromLatin1(name));
    QCOMPARE(text->font().pixelSize(), 11);
    QCOMPARE(text->palette().color(text->foregroundRole()), ink);
  }
  for (const char* name :
       {"lblMatshortate", "lblReschOut", "lblReschIn", "lblCancel", "lblAmend"}) {
    auto* marker = mControl->findChild<QLabel*>(QString::fromLatin1(name));
    QCOMPARE(marker->font().pixelSize(), 16);
    QVERIFY(marker->font().bold());
    QCOMPARE(marker->palette().color(marker->foregroundRole()),
             mControl->palette().color(QPalette::Text));
  }
}

void tst_Screen::shouldShowDesignFillsUntilALoadCompletes() {
  // Given a new control: design fills, and the markers' captions from the creation step
  const auto marker = [this](const char* name) {
    return mControl->findChild<QLabel*>(QString::fromLatin1(name))->text();
  };
  QCOMPARE(marker("lblMatshortate"), QStringLiteral("?"));
  QCOMPARE(marker("lblReschOut"), QStringLiteral(">>"));
  QCOMPARE(marker("lblReschIn"), QStringLiteral("<<"));
  QCOMPARE(marker("lblCancel"), QStringLiteral("X"));
  QCOMPARE(marker("lblAmend"), QStringLiteral("\u00e2"));
  const auto designFills = [this] {
    QCOMPARE(SwatchPixel(*mControl, "ctPushSuggested"), QColor(0, 145, 72));
    QCOMPARE(SwatchPixel(*mControl, "ctPushAccepted"), QColor(255, 255, 0));
    QCOMPARE(SwatchPixel(*mControl, "ctPushFirm"), mControl->palette().color(QPalette::ButtonText));
    QCOMPARE(SwatchPixel(*mControl, "ctPushRelease"), QColor(0, 0, 255));
  };
  designFills();

  // When a load fails on a malformed document: one message, fills unchanged
  QString header = ReadExample("header.xml");
  mControl->TimeSet(header);
  QString broken = QStringLiteral("<workorders><wo docuemntno=\"1\"");
  mControl->PopulateWorkOrder(broken);
  QCOMPARE(mMessages.messages.size(), 1);
  designFills();

  // When a load completes: the state colours
  QString orders = ReadExample("workorders.xml");
  mControl->PopulateWorkOrder(orders);
  QCOMPARE(mMessages.messages, QStringList{mMessages.messages.first()});
  QCOMPARE(SwatchPixel(*mControl, "ctPushSuggested"), QColor(234, 179, 255));
  QCOMPARE(SwatchPixel(*mControl, "ctPushAccepted"), QColor(255, 255, 174));
  QCOMPARE(SwatchPixel(*mControl, "ctPushFirm"), QColor(94, 174, 255));
  QCOMPARE(SwatchPixel(*mControl, "ctPushRelease"), QColor(0, 213, 106));

  // And a later failing load leaves them so
  mControl->PopulateWorkOrder(broken);
  QCOMPARE(SwatchPixel(*mControl, "ctPushSuggested"), QColor(234, 179, 255));
}

void tst_Screen::shouldHandTheClickedLineToTheHost() {
  LoadExample(*mControl);
  QCOMPARE(mControl->OrderOut(), QString());
  ScheduleView* grid = Grid(*mControl);

  const auto clickLine = [grid](int line, ScheduleView::Pane pane) {
    QWidget* body = pane == ScheduleView::Pane::List ? grid->listBody() : grid->timelineBody();
    const QRect band = grid->lineRect(line, pane);
    QVERIFY(!band.isEmpty());
    QTest::mouseClick(body, Qt::LeftButton, {}, body->mapFrom(grid, band.center()));
  };
  clickLine(3, ScheduleView::Pane::List);
  QCOMPARE(mControl->OrderOut(), QStringLiteral("WO100002"));
  clickLine(6, ScheduleView::Pane::Timeline);
  QCOMPARE(mControl->OrderOut(), QStringLiteral("WO100005"));
  // The pick outlives a reload.
  LoadExample(*mControl);
  QCOMPARE(mControl->OrderOut(), QStringLiteral("WO100005"));
  QVERIFY(mMessages.messages.isEmpty());
}

// The menu lists the board's states and actions; F3 reaches each "<<" order in turn and hands it
// to the host. A reload of a second run marks what changed, with the counts in the title strip.
void tst_Screen::shouldWalkEachActionAndMarkWhatAReloadChanged() {
  LoadExample(*mControl);
  ScheduleView* grid = Grid(*mControl);
  ScheduleModel* model = grid->model();
  QStringList labels;
  for (const varnex::grid::LineKind& kind : model->kinds()) labels << kind.label();
  QCOMPARE(labels.mid(0, 5), (QStringList{QStringLiteral("Suggested"), QStringLiteral("Accepted"),
                                          QStringLiteral("Firmed"), QStringLiteral("Released"),
                                          QStringLiteral("other state")}));
  QCOMPARE(labels.size(), 13);
  const int in = int(labels.indexOf(QStringLiteral("<<: orders to reschedule in")));
  QCOMPARE(labels.value(12), QStringLiteral("sales orders with matl shortage"));
  const std::vector<int>& lines = model->linesOf(in);
  QCOMPARE(int(lines.size()), 27);

  grid->chooseKind(in);
  for (int step = 1; step <= 27; ++step) {
    const int line = lines[std::size_t(step - 1)];
    QCOMPARE(grid->currentLine(), line);
    QCOMPARE(mControl->OrderOut(), model->cellText(line, 1));
    QCOMPARE(grid->positionText(),
             QStringLiteral("<<: orders to reschedule in, %1 of 27").arg(step) +
                 (step == 1 && lines.front() == 1 ? QStringLiteral(", from the top again")
                                                  : QString()));
    QTest::keyClick(grid, Qt::Key_F3);
  }
  QCOMPARE(grid->currentLine(), lines.front());

  // A first load compares with nothing; a second run is compared with it.
  QVERIFY(!model->changeCounts().any());
  varnex::tools::RerunCounts expected;
  QString rerun = varnex::tools::GenerateRerun(ReadExample("workorders.xml"), 3, &expected);
  mControl->PopulateWorkOrder(rerun);
  const varnex::grid::ChangeCounts found = model->changeCounts();
  QCOMPARE(found.added, expected.added);
  QCOMPARE(found.moved, expected.moved);
  QCOMPARE(found.changed, expected.changed);
  QCOMPARE(found.gone, expected.gone);
  QVERIFY2(grid->shownTitle().endsWith(QStringLiteral("%1 new, %2 moved, %3 changed, %4 gone since "
                                                      "the last load")
                                           .arg(expected.added)
                                           .arg(expected.moved)
                                           .arg(expected.changed)
                                           .arg(expected.gone)),
           qPrintable(grid->shownTitle()));
  // The chosen kind stays chosen across the reload.
  QCOMPARE(grid->chosenKind(), in);
  QVERIFY(mMessages.messages.isEmpty());
  // A reload that fails keeps the plan, and with it the marks of what changed.
  const int moved = model->linesOf(int(model->kinds().size()) - 2).front();
  rerun.insert(rerun.lastIndexOf(QStringLiteral("daysto=\"")) + 8, QStringLiteral("soon"));
  mControl->PopulateWorkOrder(rerun);
  QCOMPARE(mMessages.messages.size(), 1);
  QCOMPARE(model->changeCounts(), found);
  QCOMPARE(model->lineChange(moved), varnex::grid::LineChange::Moved);
  mMessages.messages.clear();
}

void tst_Screen::shouldShowThePlanOnFirstOpen_data() {
  QTest::addColumn<int>("orders");
  QTest::addColumn<int>("days");
  QTest::addColumn<int>("atLeast");
  QTest::newRow("the bundled example") << 0 << 0 << 8;
  QTest::newRow("a year of 32,766 orders") << 32766 << 365 << 6;
}

void tst_Screen::shouldShowThePlanOnFirstOpen() {
  QFETCH(int, orders);
  QFETCH(int, days);
  QFETCH(int, atLeast);
  if (orders == 0) {
    LoadExample(*mControl);
  } else {
    varnex::tools::GeneratorOptions options;
    options.orders = orders;
    options.days = days;
    mControl->TimeSet(varnex::tools::GenerateHeader(options));
    mControl->PopulateWorkOrder(varnex::tools::GenerateWorkOrders(options));
  }
  QCoreApplication::processEvents();
  QVERIFY(mMessages.messages.isEmpty());
  // Of the lines in view, enough show their bar, at least 3 pixels wide, inside the timeline.
  ScheduleView* grid = Grid(*mControl);
  const QRect timeline(grid->timelineBody()->mapTo(grid, QPoint(0, 0)),
                       grid->timelineBody()->size());
  const int visible = (timeline.height() + grid->rowHeight() - 1) / grid->rowHeight();
  QCOMPARE(visible, 16);
  int shown = 0;
  for (int line = 1; line <= visible; ++line) {
    const QRect bar = grid->barRect(line, 1).intersected(timeline);
    shown += bar.width() >= 3 ? 1 : 0;
  }
  QVERIFY2(shown >= atLeast, qPrintable(QString::number(shown)));
  // The period shows from its start.
  QCOMPARE(grid->timelineScrollBar()->value(), 0);
}

void tst_Screen::shouldStepTheZoomWithTheToolbarButtons() {
  LoadExample(*mControl);
  ScheduleSettings* settings = Grid(*mControl)->settings();
  QCOMPARE(settings->zoom(), 230);
  QAbstractButton* zoomIn = MainToolbarButton(*mControl, "Zoom In");
  QAbstractButton* zoomOut = MainToolbarButton(*mControl, "Zoom Out");
  QVERIFY(zoomIn && zoomIn->isVisible() && zoomOut && zoomOut->isVisible());

  QTest::mouseClick(zoomIn, Qt::LeftButton);
  QCOMPARE(settings->zoom(), 280);
  QTest::mouseClick(zoomOut, Qt::LeftButton);
  QTest::mouseClick(zoomOut, Qt::LeftButton);
  QCOMPARE(settings->zoom(), 180);
  // Both buttons fit the bar; the four buttons without an action are not offered.
  auto* bar = mControl->findChild<varnex::control::ToolBar*>(QStringLiteral("ctWOToolBar"));
  for (int number = 1; number <= bar->ButtonCount(); ++number) {
    QAbstractButton* button = bar->ButtonAt(number);
    QCOMPARE(button->isVisible(), number == 4 || number == 5);
    if (button->isVisible()) QVERIFY(bar->rect().contains(button->geometry()));
  }
  // The hidden toolbar's buttons reach nothing.
  auto* hidden = mControl->findChild<varnex::control::ToolBar*>(QStringLiteral("ctWOToolBar1"));
  hidden->ButtonAt(2)->click();
  QCOMPARE(settings->zoom(), 180);

  // Ctrl + wheel over the grid presses the same buttons, a notch at a time.
  QWidget* timeline = Grid(*mControl)->timelineBody();
  const QPointF at(40, 20);
  QWheelEvent wheel(at, timeline->mapToGlobal(at), {}, {0, 240}, Qt::NoButton, Qt::ControlModifier,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(timeline, &wheel);
  QCOMPARE(settings->zoom(), 280);
  // Zoom Out stops at the smallest scale, every press before it showing a change. There the
  // button is off and says why; the press that turned it off handed the focus to Zoom In, and
  // Ctrl + wheel does nothing. The buttons carry no tooltip.
  mControl->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(mControl.get()));
  zoomOut->setFocus(Qt::TabFocusReason);
  int presses = 0;
  for (; zoomOut->isEnabled() && presses < 100; ++presses) {
    const double before = Grid(*mControl)->pixelsPerDay();
    QTest::keyClick(zoomOut, Qt::Key_Space);
    QVERIFY(Grid(*mControl)->pixelsPerDay() < before);
  }
  QVERIFY2(presses >= 6, qPrintable(QString::number(presses)));
  QCOMPARE(QApplication::focusWidget(), zoomIn);
  QVERIFY2(zoomOut->accessibleDescription().startsWith(QLatin1String("The smallest scale")),
           qPrintable(zoomOut->accessibleDescription()));
  const int atEnd = settings->zoom();
  QWheelEvent out(at, timeline->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::ControlModifier,
                  Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(timeline, &out);
  QCOMPARE(settings->zoom(), atEnd);
  QVERIFY(zoomIn->toolTip().isEmpty() && zoomOut->toolTip().isEmpty());
  // A load sets the load's scale, from which both ways are open again.
  LoadExample(*mControl);
  QVERIFY(zoomOut->isEnabled() && zoomIn->isEnabled());
  QVERIFY(zoomOut->accessibleDescription().isEmpty());
  QVERIFY(mMessages.messages.isEmpty());
}

// The grid, the zoom buttons and then the host's next widget take the keyboard, both ways
// round; nothing else on the board does. A key sent to the board reaches the grid as a press.
void tst_Screen::shouldWalkTheBoardWithTheKeyboardAlone() {
  QWidget host;
  auto* layout = new QVBoxLayout(&host);
  auto* control = new VarnexWidget(&host);
  control->SetMessageBoxPort(&mMessages);
  auto* after = new QPushButton(QStringLiteral("After the board"), &host);
  layout->addWidget(control);
  layout->addWidget(after);
  host.show();
  host.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&host));
  LoadExample(*control);
  QWidget* zoomOut = MainToolbarButton(*control, "Zoom Out");
  QWidget* zoomIn = MainToolbarButton(*control, "Zoom In");
  ScheduleView* grid = Grid(*control);

  const auto walk = [](QWidget* from, Qt::KeyboardModifiers modifiers) {
    from->setFocus(Qt::TabFocusReason);
    QList<QWidget*> seen{QApplication::focusWidget()};
    for (int step = 0; step < 4; ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
      seen << QApplication::focusWidget();
    }
    return seen;
  };
  QCOMPARE(walk(grid, Qt::NoModifier), (QList<QWidget*>{grid, zoomOut, zoomIn, after, grid}));
  QCOMPARE(walk(after, Qt::ShiftModifier), (QList<QWidget*>{after, zoomIn, zoomOut, grid, after}));
  QList<QWidget*> tabStops;
  for (QWidget* widget : control->findChildren<QWidget*>()) {
    if ((widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy()) tabStops << widget;
  }
  QCOMPARE(tabStops.size(), 3);
  QVERIFY(tabStops.contains(zoomOut) && tabStops.contains(zoomIn) && tabStops.contains(grid));

  // Ctrl + plus (or =) and Ctrl + minus over the grid press the zoom buttons.
  ScheduleSettings* settings = grid->settings();
  QCOMPARE(settings->zoom(), 230);
  QTest::keyClick(grid, Qt::Key_Plus, Qt::ControlModifier);
  QCOMPARE(settings->zoom(), 280);
  QTest::keyClick(grid, Qt::Key_Equal, Qt::ControlModifier);
  QCOMPARE(settings->zoom(), 330);
  QTest::keyClick(grid, Qt::Key_Minus, Qt::ControlModifier);
  QCOMPARE(settings->zoom(), 280);
  QCOMPARE(grid->currentLine(), 0);

  // Keys sent to the board go to its focused part; one the part leaves alone reaches the host
  // once.
  QTest::keyClick(after, Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), grid);
  QTest::keyClick(control, Qt::Key_Down);
  QTest::keyClick(control, Qt::Key_Down);
  QCOMPARE(grid->currentLine(), 2);
  QCOMPARE(control->OrderOut(), QStringLiteral("WO100001"));
  struct KeyCounter final : QObject {
    int presses = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      presses += event->type() == QEvent::KeyPress ? 1 : 0;
      return false;
    }
  } counter;
  host.installEventFilter(&counter);
  QTest::keyClick(control, Qt::Key_F8);
  QCOMPARE(counter.presses, 1);
  QTest::keyClick(grid, Qt::Key_F8);
  QCOMPARE(counter.presses, 2);
  QVERIFY(mMessages.messages.isEmpty());
}

// Assistive technology reads the board as its parts in reading order: the toolbar's shown
// buttons, the title, the grid and the two legends as named groups, each mark with its words.
// Hidden holders, the hidden toolbar and the inert buttons are not there at all.
void tst_Screen::shouldReadTheBoardToAssistiveTechnology() {
  LoadExample(*mControl);
  const QMetaEnum roles = QMetaEnum::fromType<QAccessible::Role>();
  const auto describe = [&](QAccessibleInterface* iface) {
    return QStringLiteral("%1 %2").arg(QString::fromLatin1(roles.valueToKey(iface->role())),
                                       iface->text(QAccessible::Name));
  };
  const auto children = [&](QAccessibleInterface* iface) {
    QStringList described;
    for (int i = 0; i < iface->childCount(); ++i) {
      QAccessibleInterface* child = iface->child(i);
      const bool placed = child->parent() == iface && iface->indexOfChild(child) == i;
      described << describe(child) + (placed ? QString() : QStringLiteral(" (misplaced)"));
    }
    return described;
  };
  QAccessibleInterface* board = QAccessible::queryAccessibleInterface(mControl.get());
  const QStringList parts = children(board);
  QCOMPARE(parts.size(), 5);
  QCOMPARE(parts[0], QStringLiteral("ToolBar "));
  QCOMPARE(parts[1], QStringLiteral("StaticText Kestrova"));
  QVERIFY2(parts[2].startsWith(QLatin1String("Grouping Schedule grid: 300 orders, ")),
           qPrintable(parts[2]));
  QCOMPARE(parts[3], QStringLiteral("Grouping Order states"));
  QCOMPARE(parts[4], QStringLiteral("Grouping Planning actions"));
  QCOMPARE(children(board->child(0)),
           (QStringList{QStringLiteral("Button Zoom Out"), QStringLiteral("Button Zoom In")}));
  QCOMPARE(children(board->child(3)),
           (QStringList{QStringLiteral("StaticText Suggested"),
                        QStringLiteral("StaticText Accepted"), QStringLiteral("StaticText Firmed"),
                        QStringLiteral("StaticText Released")}));
  QCOMPARE(children(board->child(4)),
           (QStringList{QStringLiteral("StaticText ?: Material Shortage"),
                        QStringLiteral("StaticText >>: Reschedule Out"),
                        QStringLiteral("StaticText <<: Reschedule In"),
                        QStringLiteral("StaticText X: Cancel Orders"),
                        QStringLiteral("StaticText \u00e2: Amend orders")}));

  // Everything in the tree is shown, and nothing reads as focused but the one object that is.
  ScheduleView* grid = Grid(*mControl);
  mControl->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(mControl.get()));
  const QRect line6 = grid->lineRect(6, ScheduleView::Pane::List);
  QTest::mouseClick(grid->listBody(), Qt::LeftButton, {},
                    grid->listBody()->mapFrom(grid, line6.center()));
  QList<QAccessibleInterface*> focused;
  QStringList hidden;
  const std::function<void(QAccessibleInterface*)> visit = [&](QAccessibleInterface* iface) {
    const auto* widget = qobject_cast<const QWidget*>(iface->object());
    if (widget && !widget->isVisible()) hidden << describe(iface);
    if (iface->state().focused) focused << iface;
    for (int i = 0; i < iface->childCount(); ++i) visit(iface->child(i));
  };
  visit(board);
  QCOMPARE(hidden, QStringList());
  QCOMPARE(focused.size(), 1);
  // It is the picked line's first cell, which tells the order's state and action.
  ScheduleModel* model = grid->model();
  QCOMPARE(focused[0]->tableCellInterface()->rowIndex(), 5);
  QCOMPARE(focused[0]->text(QAccessible::Name), QStringLiteral("WO100005"));
  QCOMPARE(focused[0]->text(QAccessible::Description), model->lineText(6));
  QVERIFY2(model->lineText(6).startsWith(QLatin1String("Order WO100005, ")),
           qPrintable(model->lineText(6)));
  // A bar whose colour no swatch shows reads as of another state.
  model->setBarColour(6, 1, 0x00123456);
  QAccessibleInterface* timeline = QAccessible::queryAccessibleInterface(grid->timelineBody());
  QVERIFY2(timeline->child(0)->text(QAccessible::Name).startsWith(QLatin1String("other state, ")),
           qPrintable(timeline->child(0)->text(QAccessible::Name)));
  QVERIFY2(model->lineText(6).startsWith(QLatin1String("Order WO100005, other state, ")),
           qPrintable(model->lineText(6)));
}

void tst_Screen::shouldShowAModalBoxForAMalformedDocument() {
  mControl->SetMessageBoxPort(nullptr);
  QString seenTitle;
  QString seenText;
  QList<QAbstractButton*> seenButtons;
  QTimer closer;
  connect(&closer, &QTimer::timeout, this, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seenTitle = box->windowTitle();
    seenText = box->text();
    seenButtons = box->buttons();
    box->button(QMessageBox::Ok)->click();
  });
  closer.start(20);

  QString broken = QStringLiteral("<workorders><wo docuemntno=\"WO1\" item_code=</workorders>");
  mControl->PopulateWorkOrder(broken);
  closer.stop();
  QCOMPARE(seenTitle, QStringLiteral("Kestrova"));
  QVERIFY(!seenText.isEmpty());
  QCOMPARE(seenButtons.size(), 1);
  QVERIFY(!QApplication::activeModalWidget());
}

void tst_Screen::shouldWriteTheSiteAndAnswerTheGridsGestures() {
  QString header = QStringLiteral(
      "<header><row a=\"x & y\" fromtimeperiod=\"2025-01-06\" totimeperiod=\"2025-02-06\"/>"
      "</header>");
  mControl->TimeSet(header);
  QVERIFY(header.contains(QLatin1String("x &amp; y")));
  auto* box1 = mControl->findChild<varnex::control::TextBox*>(QStringLiteral("Box1"));
  QCOMPARE(box1->Text(), header);
  QString orders = ReadExample("workorders.xml");
  mControl->PopulateWorkOrder(orders);
  QCOMPARE(mControl->findChild<varnex::control::TextBox*>(QStringLiteral("Box2"))->Text(), orders);

  // The grid's hover reaches the control, whose summary becomes the grid's tooltip text.
  ScheduleView* grid = Grid(*mControl);
  Q_EMIT grid->hovered(1, 1);
  QCOMPARE(grid->settings()->toolTipText().count(QStringLiteral(" / ")), 4);
  QVERIFY(grid->settings()->toolTipText().startsWith(grid->model()->cellText(1, 4)));
  Q_EMIT grid->hovered(1, 0);
  QCOMPARE(grid->settings()->toolTipText(), QString());
  // A bar the planner activates comes back from the control as the focused bar.
  Q_EMIT grid->barActivated(3, 1, -1);
  QCOMPARE(grid->focusedBarLine(), 3);
  QCOMPARE(grid->focusedBarIndex(), 1);
}

void tst_Screen::shouldCallTheMembersByDispid() {
  QVariantList args{ReadExample("header.xml")};
  QString error;
  QVERIFY(mControl->Invoke(VarnexWidget::kTimeSetId, args, nullptr, &error));
  QVERIFY(args[0].toString().contains(QLatin1String("Kestrel &amp; Sons")));
  args = {ReadExample("workorders.xml")};
  QVERIFY(mControl->Invoke(VarnexWidget::kPopulateWorkOrderId, args));
  QCOMPARE(Grid(*mControl)->model()->lineCount(), 300);

  Q_EMIT Grid(*mControl)->linePicked(2);
  QVariantList none;
  QVariant result;
  QVERIFY(mControl->Invoke(VarnexWidget::kOrderOutId, none, &result));
  QCOMPARE(result, QVariant(QStringLiteral("WO100001")));

  // Refused by the boundary, returned to the caller and never shown
  QVERIFY(!mControl->Invoke(0x60030007, none, &result, &error));
  QVERIFY(error.startsWith(QLatin1String("438 ")));
  QVERIFY(!mControl->Invoke(VarnexWidget::kOrderOutId, args, &result, &error));
  QVERIFY(error.startsWith(QLatin1String("450 ")));
  QVERIFY(mMessages.messages.isEmpty());
}

void tst_Screen::shouldCreateTheControlByClassNameOnly() {
  QCOMPARE(varnex::ProductName(), QStringLiteral("Kestrova"));
  QCOMPARE(varnex::VersionText(), QStringLiteral("1.00"));
  QVERIFY(!varnex::CanUnloadNow());  // the fixture's control
  mControl.reset();
  QVERIFY(varnex::CanUnloadNow());

  QCOMPARE(varnex::CreateControl(QStringLiteral("Zeb_Varnex2")), nullptr);
  QCOMPARE(varnex::CreateControl(QStringLiteral("zeb_varnex")), nullptr);
  QCOMPARE(varnex_create_control(nullptr, nullptr), nullptr);
  QWidget host;
  QWidget* created = varnex_create_control("Zeb_Varnex", &host);
  QVERIFY(qobject_cast<VarnexWidget*>(created));
  QCOMPARE(created->parentWidget(), &host);
  QCOMPARE(varnex_can_unload_now(), 0);
  delete created;
  QCOMPARE(varnex_can_unload_now(), 1);
}

void tst_Screen::shouldPrintTheWholeRunOnPages() {
  LoadExample(*mControl);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("run.pdf"));
  {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    QVERIFY(mControl->PrintRun(writer));
  }
  QFile pdf(path);
  QVERIFY(pdf.open(QIODevice::ReadOnly));
  const QByteArray bytes = pdf.readAll();
  const qsizetype pages = bytes.count("/Type /Page\n");
  // An A4 page holds a few dozen lines, so 300 lines take several pages, not one each.
  QVERIFY2(pages >= 4 && pages <= 20, QByteArray::number(pages));

  // A portrait page holds more lines than a landscape one, so it needs no more pages.
  const QString portraitPath = dir.filePath(QStringLiteral("portrait.pdf"));
  {
    QPdfWriter writer(portraitPath);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QVERIFY(mControl->PrintRun(writer));
  }
  QFile portrait(portraitPath);
  QVERIFY(portrait.open(QIODevice::ReadOnly));
  QVERIFY(portrait.readAll().count("/Type /Page\n") <= pages);
}

QTEST_MAIN(tst_Screen)
#include "tst_screen.moc"
