// What a screen reader is told while a planner works the board with the keyboard alone: the
// events the board sends through Qt's accessibility layer, recorded in process. Qt sends them
// only while its accessibility is switched on, so this runs in a session with the
// accessibility bus (atspi_session.sh) and fails when there is none.

#include "control/message_box_port.h"
#include "control/tool_bar.h"
#include "control/varnex_widget.h"
#include "grid/schedule_model.h"
#include "grid/schedule_view.h"
#include "tests/screen/board_examples.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QMetaEnum>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QVBoxLayout>

#include <utility>

using varnex::control::VarnexWidget;
using varnex::grid::ScheduleView;

using varnex::testing::ReadExample;

namespace {

QStringList gHeard;

// Keeps what a reader is told about focus, selection and descriptions, as
// "Event Role name | description".
void Hear(QAccessibleEvent* event) {
  static const QList<QAccessible::Event> kept{QAccessible::Focus, QAccessible::Selection,
                                              QAccessible::SelectionRemove,
                                              QAccessible::DescriptionChanged};
  if (!kept.contains(event->type())) return;
  QAccessibleInterface* iface = event->accessibleInterface();
  if (!iface) {
    gHeard << QStringLiteral("event for nothing");
    return;
  }
  gHeard << QStringLiteral("%1 %2 %3 | %4")
                .arg(QString::fromLatin1(
                         QMetaEnum::fromType<QAccessible::Event>().valueToKey(event->type())),
                     QString::fromLatin1(
                         QMetaEnum::fromType<QAccessible::Role>().valueToKey(iface->role())),
                     iface->text(QAccessible::Name), iface->text(QAccessible::Description));
}

// Takes what was heard since the last call.
QStringList Heard() {
  QCoreApplication::processEvents();
  return std::exchange(gHeard, {});
}

class RecordingPort final : public varnex::control::MessageBoxPort {
 public:
  void ShowMessage(QWidget*, const QString& title, const QString& text) override {
    messages << title + QStringLiteral(": ") + text;
  }
  QStringList messages;
};

// Every object under root that reads as focused.
QList<QAccessibleInterface*> FocusedIn(QAccessibleInterface* root) {
  QList<QAccessibleInterface*> focused;
  if (root->state().focused) focused << root;
  for (int i = 0; i < root->childCount(); ++i) focused << FocusedIn(root->child(i));
  return focused;
}

}  // namespace

class tst_BoardAccessibility : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase();
  void shouldTellReadersOfEachMoveAndZoomStep();
};

void tst_BoardAccessibility::initTestCase() {
  // The bridge to the accessibility bus switches Qt's accessibility on once it has connected.
  QTRY_VERIFY2_WITH_TIMEOUT(QAccessible::isActive(),
                            "Qt's accessibility is off: no accessibility bus in this session "
                            "(run through atspi_session.sh)",
                            10000);
  QAccessible::installUpdateHandler(Hear);
}

void tst_BoardAccessibility::shouldTellReadersOfEachMoveAndZoomStep() {
  // Given the board loaded in a host window with a button after it.
  QWidget host;
  auto* layout = new QVBoxLayout(&host);
  auto* control = new VarnexWidget(&host);
  RecordingPort messages;
  control->SetMessageBoxPort(&messages);
  layout->addWidget(control);
  layout->addWidget(new QPushButton(QStringLiteral("After the board"), &host));
  host.show();
  host.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&host));
  const QStringList onOpen = Heard();
  QString header = ReadExample("header.xml");
  QString orders = ReadExample("workorders.xml");
  control->TimeSet(header);
  control->PopulateWorkOrder(orders);
  auto* grid = control->findChild<ScheduleView*>(QStringLiteral("ctWOSched"));
  auto* bar = control->findChild<varnex::control::ToolBar*>(QStringLiteral("ctWOToolBar"));
  QAbstractButton* zoomIn = bar->ButtonAt(5);
  QAccessibleInterface* board = QAccessible::queryAccessibleInterface(control);
  QAccessibleInterface* view = QAccessible::queryAccessibleInterface(grid);
  const QString gridName = view->text(QAccessible::Name);
  const QString before = view->text(QAccessible::Description);
  // The window starts on the grid: the table is announced after the grid's own focus event,
  // which does not read as focused and so is passed over.
  QCOMPARE(QApplication::focusWidget(), grid);
  QVERIFY2(onOpen.value(0).startsWith(QLatin1String("Focus Grouping Schedule grid: ")),
           qPrintable(onOpen.join(QLatin1Char('\n'))));
  QCOMPARE(onOpen.value(1), QStringLiteral("Focus Table Line list | "));
  Heard();

  // Each move of the current line: the new line's first cell takes focus and selection, with the
  // line's state and action as its description; the old one loses its selection.
  const auto words = [&](int line) { return grid->model()->lineText(line); };
  QTest::keyClick(grid, Qt::Key_Down);
  QTest::keyClick(grid, Qt::Key_Down);
  QCOMPARE(Heard(), (QStringList{QStringLiteral("Focus Cell WO100000 | ") + words(1),
                                 QStringLiteral("Selection Cell WO100000 | ") + words(1),
                                 QStringLiteral("SelectionRemove Cell WO100000 | ") + words(1),
                                 QStringLiteral("Focus Cell WO100001 | ") + words(2),
                                 QStringLiteral("Selection Cell WO100001 | ") + words(2)}));
  QVERIFY2(words(2).startsWith(QLatin1String("Order WO100001, ")), qPrintable(words(2)));
  QCOMPARE(FocusedIn(board).size(), 1);

  // A zoom step from the keyboard: the timeline, described by the new scale, takes the reader's
  // focus; the zoom buttons keep their names and describe the scale too.
  QTest::keyClick(grid, Qt::Key_Plus, Qt::ControlModifier);
  const QString after = view->text(QAccessible::Description);
  QVERIFY2(after != before, qPrintable(after));
  QVERIFY2(QRegularExpression(
               QStringLiteral("^(Days|Weeks|Months), \\d+ \\w+( \\d{4})? to \\d+ \\w+ \\d{4}$"))
               .match(after)
               .hasMatch(),
           qPrintable(after));
  QCOMPARE(Heard(),
           (QStringList{QStringLiteral("DescriptionChanged Chart Timeline | ") + after,
                        QStringLiteral("DescriptionChanged Grouping %1 | %2").arg(gridName, after),
                        QStringLiteral("Focus Chart Timeline | ") + after,
                        QStringLiteral("DescriptionChanged Button Zoom Out | ") + after,
                        QStringLiteral("DescriptionChanged Button Zoom In | ") + after}));
  const QList<QAccessibleInterface*> focused = FocusedIn(board);
  QCOMPARE(focused.size(), 1);
  QCOMPARE(focused[0]->role(), QAccessible::Chart);

  // Pressed with Space, Zoom In tells the step on itself; the grid does not take the focus.
  QTest::keyClick(grid, Qt::Key_Tab);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), zoomIn);
  Heard();
  QTest::keyClick(zoomIn, Qt::Key_Space);
  const QString further = view->text(QAccessible::Description);
  QCOMPARE(
      Heard(),
      (QStringList{QStringLiteral("DescriptionChanged Chart Timeline | ") + further,
                   QStringLiteral("DescriptionChanged Grouping %1 | %2").arg(gridName, further),
                   QStringLiteral("DescriptionChanged Button Zoom Out | ") + further,
                   QStringLiteral("DescriptionChanged Button Zoom In | ") + further}));
  QCOMPARE(zoomIn->accessibleName(), QStringLiteral("Zoom In"));

  // Back in the grid, the current line is announced where it was.
  QTest::keyClick(zoomIn, Qt::Key_Tab, Qt::ShiftModifier);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
  QCOMPARE(Heard(), (QStringList{QStringLiteral("Focus Button Zoom Out | ") + further,
                                 QStringLiteral("Focus Grouping %1 | %2").arg(gridName, further),
                                 QStringLiteral("Focus Cell WO100001 | ") + words(2)}));
  QCOMPARE(grid->currentLine(), 2);
  QCOMPARE(FocusedIn(board).size(), 1);

  // Walking a kind: the picked cell is described with where the planner stands, and F3 tells
  // each step again as the focused cell's description.
  QStringList labels;
  for (const varnex::grid::LineKind& kind : grid->model()->kinds()) labels << kind.label();
  const int in = int(labels.indexOf(QStringLiteral("<<: orders to reschedule in")));
  const std::vector<int>& lines = grid->model()->linesOf(in);
  grid->chooseKind(in);
  QTest::keyClick(grid, Qt::Key_F3);
  const QString second = QStringLiteral("<<: orders to reschedule in, 2 of 27");
  const QString cell = grid->model()->cellText(lines[1], 1);
  const QStringList heard = Heard();
  QVERIFY2(heard.contains(
               QStringLiteral("Focus Cell %1 | %2. %3").arg(cell, words(lines[1]), second)),
           qPrintable(heard.join(QLatin1Char('\n'))));
  QVERIFY2(heard.contains(QStringLiteral("DescriptionChanged Cell %1 | %2. %3")
                              .arg(cell, words(lines[1]), second)),
           qPrintable(heard.join(QLatin1Char('\n'))));
  QVERIFY(messages.messages.isEmpty());
}

QTEST_MAIN(tst_BoardAccessibility)
#include "tst_board_accessibility.moc"
