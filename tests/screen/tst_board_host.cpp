// The board in the hands of a host that does what hosts do at the worst moment: it deletes the
// board while a message box is open, calls it again from inside a box, calls it from other
// threads while the screen paints, and loads while the board prints. Run under the sanitizers
// as well, and under ThreadSanitizer for the threads.

#include "control/component_library.h"
#include "control/message_box_port.h"
#include "control/tool_bar.h"
#include "control/varnex_widget.h"
#include "grid/schedule_model.h"
#include "grid/schedule_view.h"
#include "tests/screen/board_examples.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPaintEngine>
#include <QPdfWriter>
#include <QPointer>
#include <QTest>
#include <QTextItem>
#include <QTimer>

#include <atomic>
#include <functional>
#include <thread>

using varnex::control::VarnexWidget;
using varnex::grid::ScheduleView;

using varnex::testing::Grid;
using varnex::testing::ReadExample;

namespace {

// A header document of one row; its fields are read by position.
QString Header(const char* from, const char* to) {
  return QStringLiteral(
             "<header><row doc_num=\"MRP-7\" doctype=\"MRP\" fromtimeperiod=\"%1\" "
             "guid=\"g\" hdncompanycode=\"K\" item_codefrom=\"A\" item_codeto1=\"Z\" "
             "mplanner1=\"P\" save_template=\"N\" supplier_code=\"\" "
             "totimeperiod=\"%2\" fprowno=\"1\"/></header>")
      .arg(QLatin1String(from), QLatin1String(to));
}
const QString kHeader = Header("2025-01-06", "2025-05-05");
// Parses, but has no order columns: the load fails with a box.
const QString kOrdersWithoutColumns = QStringLiteral("<workorders><wo a=\"1\"/></workorders>");
const QString kMalformed = QStringLiteral("<workorders><wo docuemntno=\"WO1\" item_code=</wo>");

QAbstractButton* ZoomIn(const VarnexWidget& board) {
  auto* bar = board.findChild<varnex::control::ToolBar*>(QStringLiteral("ctWOToolBar"));
  return bar->findChild<QAbstractButton*>(QStringLiteral("Zoom In"));
}

// What a host does to the board while one of its boxes is open.
enum class Farewell { Delete, DeleteLater, CloseOnDelete };

void SayFarewell(QPointer<VarnexWidget> board, Farewell how) {
  if (!board) return;
  switch (how) {
    case Farewell::Delete: delete board.data(); break;
    case Farewell::DeleteLater: board->deleteLater(); break;
    case Farewell::CloseOnDelete:
      board->setAttribute(Qt::WA_DeleteOnClose);
      board->close();
      break;
  }
}

// A host's own box: an event loop of its own in which `during` runs, that goes on for a while
// after it, as a host's dialog that outlives the board would.
class HostPort final : public varnex::control::MessageBoxPort {
 public:
  void ShowMessage(QWidget*, const QString&, const QString& text) override {
    messages << text;
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [this] {
      const std::function<void()> run = during;  // which may replace itself
      if (run) run();
    });
    QTimer::singleShot(30, &loop, &QEventLoop::quit);
    loop.exec();
  }
  std::function<void()> during;
  QStringList messages;
};

// Runs `during` on each default box as soon as it is open, and presses its OK button shortly
// after if the box is still there.
class DefaultBoxWatcher : public QObject {
 public:
  explicit DefaultBoxWatcher(std::function<void()> during) : mDuring(std::move(during)) {
    connect(&mTimer, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || box == mSeen) return;
      mSeen = box;
      ++boxes;
      // Pressed a little later, so that a deferred deletion comes round while the box is open.
      QTimer::singleShot(20, box, [box] { box->button(QMessageBox::Ok)->click(); });
      if (mDuring) mDuring();
    });
    mTimer.start(10);
  }
  int boxes = 0;

 private:
  std::function<void()> mDuring;
  QPointer<QMessageBox> mSeen;
  QTimer mTimer;
};

// A paged device that keeps the text drawn on each page, to compare two printouts: a PDF
// writer's page geometry with a painter that records instead of writing.
class TextPages final : public QPdfWriter {
 public:
  TextPages() : QPdfWriter(QString()), mEngine(this) {
    setPageSize(QPageSize(QPageSize::A4));
    setPageOrientation(QPageLayout::Landscape);
  }
  bool newPage() override {
    pages.append(QStringList());
    return true;
  }
  QList<QStringList> pages{QStringList()};

 protected:
  QPaintEngine* paintEngine() const override { return const_cast<Engine*>(&mEngine); }

 private:
  class Engine final : public QPaintEngine {
   public:
    explicit Engine(TextPages* device) : QPaintEngine(AllFeatures), mDevice(device) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
    }
    void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
    void drawRects(const QRectF*, int) override {}
    void drawRects(const QRect*, int) override {}
    void drawLines(const QLineF*, int) override {}
    void drawLines(const QLine*, int) override {}
    void drawEllipse(const QRectF&) override {}
    void drawTextItem(const QPointF&, const QTextItem& item) override {
      mDevice->pages.last().append(item.text());
    }
    Type type() const override { return User; }

   private:
    TextPages* mDevice;
  };
  Engine mEngine;
};

}  // namespace

Q_DECLARE_METATYPE(Farewell)

class tst_BoardHost : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init();
  void cleanup();
  void shouldSurviveBeingDeletedDuringAnyBox_data();
  void shouldSurviveBeingDeletedDuringAnyBox();
  void shouldNotRedoAnOuterCallAfterTheParseErrorBox_data();
  void shouldNotRedoAnOuterCallAfterTheParseErrorBox();
  void shouldRunCallsFromOtherThreadsOnItsOwn();
  void shouldCreateBoardsOnTheGuiThreadOnly();
  void shouldPrintTheRunAsItStoodWhenPrintingBegan();

 private:
  QPointer<VarnexWidget> mBoard;
};

void tst_BoardHost::init() {
  mBoard = new VarnexWidget;
  mBoard->show();
  QVERIFY(QTest::qWaitForWindowExposed(mBoard.data()));
}

void tst_BoardHost::cleanup() {
  delete mBoard.data();
  QVERIFY(varnex::CanUnloadNow());
}

void tst_BoardHost::shouldSurviveBeingDeletedDuringAnyBox_data() {
  QTest::addColumn<QString>("trigger");
  QTest::addColumn<Farewell>("how");
  QTest::addColumn<bool>("ownPort");
  const char* triggers[] = {"failing load", "malformed orders", "malformed header", "bad header",
                            "zoom button"};
  const std::pair<const char*, Farewell> farewells[] = {{"delete", Farewell::Delete},
                                                        {"deleteLater", Farewell::DeleteLater},
                                                        {"close", Farewell::CloseOnDelete}};
  for (const char* trigger : triggers) {
    for (const auto& [name, how] : farewells) {
      for (const bool ownPort : {false, true}) {
        QTest::addRow("%s, %s, %s", trigger, name, ownPort ? "own port" : "default box")
            << QString::fromLatin1(trigger) << how << ownPort;
      }
    }
  }
}

// The board goes while its box is open; the box closes, and every call on the stack returns
// without touching the board (AddressSanitizer tells when one does).
void tst_BoardHost::shouldSurviveBeingDeletedDuringAnyBox() {
  QFETCH(QString, trigger);
  QFETCH(Farewell, how);
  QFETCH(bool, ownPort);
  mBoard->TimeSet(kHeader);
  mBoard->PopulateWorkOrder(ReadExample("workorders.xml"));

  const QPointer<VarnexWidget> board = mBoard;
  HostPort port;
  port.during = [board, how] { SayFarewell(board, how); };
  std::unique_ptr<DefaultBoxWatcher> watcher;
  if (ownPort) {
    mBoard->SetMessageBoxPort(&port);
  } else {
    watcher = std::make_unique<DefaultBoxWatcher>([board, how] { SayFarewell(board, how); });
  }

  if (trigger == QLatin1String("failing load")) {
    mBoard->PopulateWorkOrder(kOrdersWithoutColumns);
  } else if (trigger == QLatin1String("malformed orders")) {
    QString text = kMalformed;
    mBoard->PopulateWorkOrder(text);
  } else if (trigger == QLatin1String("malformed header")) {
    mBoard->TimeSet(QStringLiteral("<header><row fromtimeperiod=</header>"));
  } else if (trigger == QLatin1String("bad header")) {
    QVariantList args{Header("someday", "2025-02-01")};
    QVERIFY(mBoard->Invoke(VarnexWidget::kTimeSetId, args));
  } else {
    // The zoom handler's own box, the overflow of the zoom value. The grid keeps the button
    // off that far past its largest scale, so the press comes as a script's would.
    Grid(*mBoard)->settings()->setZoom(32750);
    ZoomIn(*mBoard)->setEnabled(true);
    ZoomIn(*mBoard)->click();
  }
  // A board that was only told to go goes when its deferred deletion comes round.
  QTRY_VERIFY(board.isNull());
  QCOMPARE(ownPort ? port.messages.size() : watcher->boxes, 1);
  QTRY_VERIFY(!QApplication::activeModalWidget());
}

void tst_BoardHost::shouldNotRedoAnOuterCallAfterTheParseErrorBox_data() {
  QTest::addColumn<bool>("header");
  QTest::newRow("orders") << false;
  QTest::newRow("header") << true;
}

// During the box of a document that does not parse, a host timer loads a good document and the
// planner zooms in. Once the box is closed the outer call has nothing left to do: the board
// shows what the nested call loaded, at the planner's zoom, and no second box appears.
void tst_BoardHost::shouldNotRedoAnOuterCallAfterTheParseErrorBox() {
  QFETCH(bool, header);
  HostPort port;
  mBoard->SetMessageBoxPort(&port);
  mBoard->TimeSet(kHeader);
  const QString orders = ReadExample("workorders.xml");
  mBoard->PopulateWorkOrder(orders);
  ScheduleView* grid = Grid(*mBoard);
  const int lines = grid->model()->lineCount();
  const int zoom = grid->settings()->zoom();

  port.during = [&] {
    port.during = nullptr;
    if (header) {
      mBoard->TimeSet(kHeader);
    } else {
      mBoard->PopulateWorkOrder(orders);
    }
    ZoomIn(*mBoard)->click();
  };
  if (header) {
    mBoard->TimeSet(QStringLiteral("<header><row fromtimeperiod=</header>"));
  } else {
    mBoard->PopulateWorkOrder(kMalformed);
  }
  QCOMPARE(port.messages.size(), 1);
  QCOMPARE(grid->model()->lineCount(), lines);
  QCOMPARE(grid->settings()->zoom(), zoom + 50);
}

// Workers load good and failing documents, read the picked order and call late-bound while the
// board's own thread paints; each call runs there whole, with the caller waiting, its text
// written back, and the box of a failing one shown on the board's thread.
void tst_BoardHost::shouldRunCallsFromOtherThreadsOnItsOwn() {
  QThread* const gui = QThread::currentThread();
  QThread* boxThread = nullptr;
  DefaultBoxWatcher watcher(
      [&boxThread] { boxThread = QApplication::activeModalWidget()->thread(); });
  mBoard->TimeSet(kHeader);
  const QString orders = ReadExample("workorders.xml");

  VarnexWidget* const board = mBoard.data();
  std::atomic<int> workersDone{0};
  QString written;
  QString picked = QStringLiteral("unset");
  bool invoked = false;
  QVariantList args;
  const auto load = [&](int rounds) {
    for (int i = 0; i < rounds; ++i) {
      QString text = orders;
      board->PopulateWorkOrder(text);
      if (i == 0) written = text;
      board->PopulateWorkOrder(kOrdersWithoutColumns);
    }
    ++workersDone;
  };
  std::thread first(load, 3);
  std::thread second([&] {
    load(2);
    picked = board->OrderOut();
    args = {kHeader};
    invoked = board->Invoke(VarnexWidget::kTimeSetId, args);
    ++workersDone;
  });
  while (workersDone.load() < 3) {
    (void)mBoard->grab();
    QTest::qWait(5);
  }
  first.join();
  second.join();

  QCOMPARE(watcher.boxes, 5);
  QCOMPARE(boxThread, gui);
  QVERIFY(written.contains(QLatin1String("Baxter &amp; Co.")));  // written back escaped
  QCOMPARE(picked, QString());
  QVERIFY(invoked);
  QCOMPARE(args.value(0).toString(), kHeader);
  QVERIFY(Grid(*mBoard)->model()->lineCount() > 0);
}

void tst_BoardHost::shouldCreateBoardsOnTheGuiThreadOnly() {
  QWidget* made = nullptr;
  QTest::ignoreMessage(QtWarningMsg,
                       QRegularExpression(QStringLiteral("only be created on the application's "
                                                         "GUI thread")));
  std::thread worker([&made] { made = varnex::CreateControl(QStringLiteral("Zeb_Varnex")); });
  worker.join();
  QCOMPARE(made, nullptr);
  std::unique_ptr<QWidget> here(varnex::CreateControl(QStringLiteral("Zeb_Varnex")));
  QVERIFY(here);
}

// A load that comes while printing, from the progress callback, shows on the screen; the pages
// are those of the run that was shown when printing began.
void tst_BoardHost::shouldPrintTheRunAsItStoodWhenPrintingBegan() {
  mBoard->SetMessageBoxPort(nullptr);
  mBoard->TimeSet(kHeader);
  mBoard->PopulateWorkOrder(ReadExample("workorders.xml"));
  TextPages undisturbed;
  QVERIFY(mBoard->PrintRun(undisturbed));
  QVERIFY(undisturbed.pages.size() > 2);

  // The example's first order alone.
  const QString fewer = ReadExample("workorders.xml").section(QLatin1Char('\n'), 0, 2) +
                        QStringLiteral("\n</workorders>");
  TextPages disturbed;
  QVERIFY(mBoard->PrintRun(disturbed, [&](int done, int) {
    if (done == 1) mBoard->PopulateWorkOrder(fewer);
  }));
  QCOMPARE(Grid(*mBoard)->model()->lineCount(), 1);
  QCOMPARE(disturbed.pages, undisturbed.pages);

  // A host that deletes the board from the callback gets the rest of the pages, without legends.
  TextPages orphaned;
  QVERIFY(mBoard->PrintRun(orphaned, [this](int, int) { delete mBoard.data(); }));
  QVERIFY(mBoard.isNull());
  QVERIFY(!orphaned.pages.isEmpty());
}

QTEST_MAIN(tst_BoardHost)
#include "tst_board_host.moc"
