#include "app/screen_commands.h"

#include "app/document_file.h"
#include "control/component_library.h"
#include "control/message_box_port.h"
#include "control/varnex_widget.h"
#include "grid/schedule_model.h"
#include "grid/schedule_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>

#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>

#include <unistd.h>

namespace varnex::app {

namespace {

constexpr char kShowUsage[] =
    "Usage: varnex show HEADER ORDERS [--fixed] [--previous OLD]\n"
    "\n"
    "Opens a host window with the control, loaded through the component library's factory,\n"
    "and hands it the header document HEADER (TimeSet) and the work-order document ORDERS\n"
    "(PopulateWorkOrder). Pick a line in the grid, then press \"Use picked order\" (or Enter):\n"
    "the host asks the control for the picked order (OrderOut), shows the answer beside the\n"
    "button and prints it as one line on standard output. Closing the window asks once more.\n"
    "\n"
    "The window may be resized or maximised, and the board fills it: the grid shows more lines\n"
    "and a wider timeline. With --fixed the board keeps its stored 965 x 552 design and the\n"
    "window keeps its size.\n"
    "\n"
    "With --previous OLD the work-order document OLD is loaded first, so that the board marks\n"
    "what ORDERS changed against it (new, moved and changed orders; the number gone).\n"
    "\n"
    "Every message box of the control is also printed on standard error, with its detail\n"
    "(which document, row, order, column and value it is about), and so is every note on a\n"
    "document that loads but may not show what its author meant.\n";

constexpr char kRenderUsage[] =
    "Usage: varnex render HEADER ORDERS -o FILE [--size WxH] [--pick ROW] [--zoom-in N]\n"
    "                     [--zoom-out N] [--previous OLD] [--kind TEXT]\n"
    "\n"
    "Loads the control offscreen with the header document HEADER and the work-order document\n"
    "ORDERS and draws it without a display.\n"
    "\n"
    "  -o FILE.png     the control as it stands on the screen (965 x 552 pixels)\n"
    "  --size WxH      for a PNG: the board filling W x H pixels, as in a larger window, with\n"
    "                  more lines and a wider timeline; at least 965x552, at most 8192x8192\n"
    "  -o FILE.pdf     the whole planning run for printing: every line, as many pages as\n"
    "                  needed, captions and time ruler on each page, the legends on the last\n"
    "  --pick ROW      click line ROW first and print the picked order (OrderOut) on stdout\n"
    "  --zoom-in N     press \"Zoom In\" N times first\n"
    "  --zoom-out N    press \"Zoom Out\" N times first\n"
    "  --previous OLD  load the work-order document OLD first, so that the board marks what\n"
    "                  ORDERS changed against it\n"
    "  --kind TEXT     choose the kind of line TEXT as the grid's menu does (a state, an\n"
    "                  action, or a change such as \"new since the last load\"), which picks\n"
    "                  its first line; TEXT is the menu's entry without its count, or its words\n"
    "\n"
    "Message boxes of the control are printed on standard error, each with its detail,\n"
    "instead of waiting for OK; so are notes on documents that load as written.\n"
    "Printing to PDF shows the pages done on standard error when that is a terminal.\n"
    "\n"
    "Exit status: 0 when the file was written and the control showed no message box,\n"
    "3 when it was written but the control showed at least one, 1 when it could not be\n"
    "written, 2 for a usage error or a document that cannot be read.\n";

// Every message box of the control, printed on standard error as it is shown and then handed
// on to `next` (the modal box of a window), or to nothing in a batch run.
class ReportingMessageBoxPort final : public control::MessageBoxPort {
 public:
  ReportingMessageBoxPort(const char* command, control::MessageBoxPort* next)
      : mCommand(command), mNext(next) {}

  void ShowMessage(QWidget* parent, const QString& title, const QString& text) override {
    ShowMessage(parent, title, text, QString());
  }
  void ShowMessage(QWidget* parent, const QString& title, const QString& text,
                   const QString& detail) override {
    ++mShown;
    std::fprintf(stderr, "varnex %s: message box \"%s\": %s\n", mCommand,
                 title.toUtf8().constData(), text.toUtf8().constData());
    if (!detail.isEmpty())
      std::fprintf(stderr, "varnex %s:   detail: %s\n", mCommand, detail.toUtf8().constData());
    std::fflush(stderr);
    if (mNext) mNext->ShowMessage(parent, title, text, detail);
  }
  void ShowNote(QWidget* parent, const QString& note) override {
    std::fprintf(stderr, "varnex %s: note: %s\n", mCommand, note.toUtf8().constData());
    std::fflush(stderr);
    if (mNext) mNext->ShowNote(parent, note);
  }

  [[nodiscard]] int Shown() const { return mShown; }

 private:
  const char* mCommand;
  control::MessageBoxPort* mNext;
  int mShown = 0;
};

// The exit status of a render that wrote its file after the control showed a message box.
constexpr int kRenderedWithMessages = 3;

// The host window's margins and the gap between the control and the button, in pixels.
constexpr int kHostMargin = 8;

// The largest board `render --size` draws, so that a slip of the keyboard cannot ask for
// gigabytes of image.
constexpr int kLargestRender = 8192;

int gSignalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(gSignalPipe[1], &byte, 1);
}

// Ctrl+C or a termination request closes the window the ordinary way, so the host still asks
// for the picked order once more before it ends.
void CloseOnTerminationSignals(QWidget& window) {
  if (::pipe(gSignalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte = 0;
    [[maybe_unused]] const auto got = ::read(gSignalPipe[0], &byte, 1);
    window.close();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool IsHelp(const QString& arg) {
  return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

void PrintLine(const QString& text) {
  std::fputs(text.toUtf8().constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

int UsageError(const char* command, const QString& message, const char* usage) {
  std::fprintf(stderr, "varnex %s: %s\n\n%s", command, qPrintable(message), usage);
  return 2;
}

struct Documents {
  QString header;
  QString orders;
  std::optional<QString> previous;  ///< loaded before orders, for the board to compare with
};

// Reads both documents before any window exists, so a bad path fails clearly even without a
// display.
std::optional<Documents> ReadDocuments(const char* command, const QString& headerPath,
                                       const QString& ordersPath,
                                       const QString& previousPath = {}) {
  Documents docs;
  QString previous;
  for (auto [path, text] :
       {std::pair{&headerPath, &docs.header}, std::pair{&ordersPath, &docs.orders},
        std::pair{&previousPath, &previous}}) {
    if (path->isEmpty()) continue;
    QString error;
    const std::optional<QString> read = ReadDocumentFile(*path, &error);
    if (!read) {
      std::fprintf(stderr, "varnex %s: %s\n", command, qPrintable(error));
      return std::nullopt;
    }
    *text = *read;
  }
  if (!previousPath.isEmpty()) docs.previous = previous;
  return docs;
}

control::VarnexWidget* CreateLoadedControl(QWidget* parent) {
  auto* control = qobject_cast<control::VarnexWidget*>(
      varnex::CreateControl(QStringLiteral("Zeb_Varnex"), parent));
  Q_ASSERT(control);
  return control;
}

void Load(control::VarnexWidget& control, Documents docs) {
  control.TimeSet(docs.header);
  if (docs.previous) control.PopulateWorkOrder(*docs.previous);
  control.PopulateWorkOrder(docs.orders);
}

// The index of the grid's kind whose label or words are `text` (case aside), or -1.
int KindNamed(const grid::ScheduleView& view, const QString& text) {
  const QList<grid::LineKind> kinds = view.model()->kinds();
  for (qsizetype k = 0; k < kinds.size(); ++k) {
    if (kinds[k].label().compare(text, Qt::CaseInsensitive) == 0 ||
        kinds[k].words.compare(text, Qt::CaseInsensitive) == 0)
      return int(k);
  }
  return -1;
}

// Clicks a line of the grid as the planner would; false when the line does not exist.
bool ClickLine(control::VarnexWidget& control, int line) {
  auto* view = control.findChild<grid::ScheduleView*>(QStringLiteral("ctWOSched"));
  if (!view || line < 1 || line > view->model()->lineCount()) return false;
  view->scrollToLine(line);
  QWidget* body = view->listBody();
  const QPoint at =
      body->mapFrom(view, view->lineRect(line, grid::ScheduleView::Pane::List).center());
  const QPointF global = body->mapToGlobal(QPointF(at));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(body, &press);
  QApplication::sendEvent(body, &release);
  return true;
}

void PressToolbarButton(control::VarnexWidget& control, const QString& caption, int times) {
  QWidget* bar = control.findChild<QWidget*>(QStringLiteral("ctWOToolBar"));
  auto* button = bar ? bar->findChild<QAbstractButton*>(caption) : nullptr;
  Q_ASSERT(button);
  for (int i = 0; i < times && button; ++i) button->click();
}

// Pages done of all, on one line of a terminal; nothing when standard error is not one.
std::function<void(int, int)> PageProgress() {
  if (!::isatty(STDERR_FILENO)) return {};
  return [](int done, int total) {
    std::fprintf(stderr, "\rvarnex render: printed %d of %d pages", done, total);
    if (done == total) std::fputc('\n', stderr);
    std::fflush(stderr);
  };
}

// "WxH" from the stored size up to kLargestRender on each side, or nothing.
std::optional<QSize> SizeArgument(const QString& text, QSize smallest) {
  static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$"));
  const QRegularExpressionMatch match = pattern.match(text);
  if (!match.hasMatch()) return std::nullopt;
  const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
  const QSize largest(kLargestRender, kLargestRender);
  if (size.width() < smallest.width() || size.height() < smallest.height() ||
      size.width() > largest.width() || size.height() > largest.height()) {
    return std::nullopt;
  }
  return size;
}

std::optional<int> CountArgument(const QString& text) {
  bool ok = false;
  const int value = text.toInt(&ok);
  return ok && value >= 0 ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

int RunShow(int argc, char** argv) {
  QStringList args;
  for (int i = 2; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  if (args.size() == 1 && IsHelp(args[0])) {
    std::fputs(kShowUsage, stdout);
    return 0;
  }
  const bool fixed = args.removeAll(QStringLiteral("--fixed")) > 0;
  QString previous;
  if (const qsizetype at = args.indexOf(QStringLiteral("--previous")); at >= 0) {
    if (at + 1 >= args.size())
      return UsageError("show", QStringLiteral("--previous needs a value"), kShowUsage);
    previous = args.takeAt(at + 1);
    args.removeAt(at);
  }
  for (const QString& arg : std::as_const(args)) {
    if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1)
      return UsageError("show", QStringLiteral("unknown option %1").arg(arg), kShowUsage);
  }
  if (args.size() != 2)
    return UsageError("show", QStringLiteral("expected HEADER and ORDERS"), kShowUsage);
  const std::optional<Documents> docs = ReadDocuments("show", args[0], args[1], previous);
  if (!docs) return 2;

  QApplication app(argc, argv);
  // The ports outlive the window and the control in it.
  control::ModalMessageBoxPort modal;
  ReportingMessageBoxPort messages("show", &modal);
  QWidget window;
  window.setWindowTitle(QStringLiteral("%1 host").arg(varnex::ProductName()));
  auto* layout = new QVBoxLayout(&window);
  layout->setContentsMargins(kHostMargin, kHostMargin, kHostMargin, kHostMargin);
  layout->setSpacing(kHostMargin);
  control::VarnexWidget* control = CreateLoadedControl(&window);
  control->SetMessageBoxPort(&messages);
  if (!fixed) control->setSizing(control::VarnexWidget::Sizing::Fill);
  layout->addWidget(control);
  // Under the control: the button, and beside it the order it was last given.
  auto* row = new QHBoxLayout;
  auto* use = new QPushButton(QStringLiteral("Use picked order"), &window);
  use->setObjectName(QStringLiteral("usePickedOrder"));
  auto* answer = new QLabel(&window);
  answer->setObjectName(QStringLiteral("pickedOrder"));
  answer->setTextInteractionFlags(Qt::TextSelectableByMouse);
  row->addWidget(use);
  row->addWidget(answer, 1);
  layout->addLayout(row);
  // A fixed board's window takes its size plus the margins and the button row, and keeps it; a
  // filling board's window opens at that size and may grow, never shrink below it.
  if (fixed) layout->setSizeConstraint(QLayout::SetFixedSize);
  QObject::connect(use, &QPushButton::clicked, control, [control, answer] {
    const QString order = control->OrderOut();
    answer->setText(order.isEmpty() ? QStringLiteral("No order picked yet")
                                    : QStringLiteral("Picked order: %1").arg(order));
    PrintLine(order);
  });
  for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* shortcut = new QShortcut(QKeySequence(key), &window);
    QObject::connect(shortcut, &QShortcut::activated, use, &QPushButton::animateClick);
  }

  CloseOnTerminationSignals(window);
  window.show();
  // Loaded once the window stands, so any message box has it as its owner.
  QTimer::singleShot(0, control, [control, docs] { Load(*control, *docs); });
  const int code = app.exec();
  PrintLine(control->OrderOut());
  return code;
}

int RunRender(int argc, char** argv) {
  QStringList positional;
  QString output;
  QString sizeText;
  QString previous;
  QString kind;
  int pick = 0;
  int zoomIn = 0;
  int zoomOut = 0;
  for (int i = 2; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (IsHelp(arg)) {
      std::fputs(kRenderUsage, stdout);
      return 0;
    }
    const bool takesValue = arg == QLatin1String("-o") || arg == QLatin1String("--size") ||
                            arg == QLatin1String("--pick") || arg == QLatin1String("--zoom-in") ||
                            arg == QLatin1String("--zoom-out") ||
                            arg == QLatin1String("--previous") || arg == QLatin1String("--kind");
    if (!takesValue) {
      if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
        return UsageError("render", QStringLiteral("unknown option %1").arg(arg), kRenderUsage);
      }
      positional << arg;
      continue;
    }
    if (i + 1 >= argc)
      return UsageError("render", QStringLiteral("%1 needs a value").arg(arg), kRenderUsage);
    const QString value = QString::fromLocal8Bit(argv[++i]);
    if (arg == QLatin1String("-o") || arg == QLatin1String("--size") ||
        arg == QLatin1String("--previous") || arg == QLatin1String("--kind")) {
      (arg == QLatin1String("-o")           ? output
       : arg == QLatin1String("--size")     ? sizeText
       : arg == QLatin1String("--previous") ? previous
                                            : kind) = value;
      continue;
    }
    const std::optional<int> count = CountArgument(value);
    if (!count || (arg == QLatin1String("--pick") && *count < 1)) {
      return UsageError("render", QStringLiteral("%1 needs a number, not '%2'").arg(arg, value),
                        kRenderUsage);
    }
    (arg == QLatin1String("--pick")      ? pick
     : arg == QLatin1String("--zoom-in") ? zoomIn
                                         : zoomOut) = *count;
  }
  if (positional.size() != 2)
    return UsageError("render", QStringLiteral("expected HEADER and ORDERS"), kRenderUsage);
  if (output.isEmpty())
    return UsageError("render", QStringLiteral("-o FILE is required"), kRenderUsage);
  const QString suffix = QFileInfo(output).suffix().toLower();
  if (suffix != QLatin1String("png") && suffix != QLatin1String("pdf")) {
    return UsageError("render",
                      QStringLiteral("%1: the output must end in .png or .pdf").arg(output),
                      kRenderUsage);
  }
  if (!sizeText.isEmpty() && suffix != QLatin1String("png")) {
    return UsageError("render", QStringLiteral("--size applies to PNG output only"), kRenderUsage);
  }
  std::optional<QSize> size;
  if (!sizeText.isEmpty()) {
    const QSize stored(965, 552);  // the board's stored size, its sizeHint()
    size = SizeArgument(sizeText, stored);
    if (!size) {
      return UsageError("render",
                        QStringLiteral("--size needs WIDTHxHEIGHT from %1x%2 to %3x%3, not '%4'")
                            .arg(stored.width())
                            .arg(stored.height())
                            .arg(kLargestRender)
                            .arg(sizeText),
                        kRenderUsage);
    }
  }
  const std::optional<Documents> docs =
      ReadDocuments("render", positional[0], positional[1], previous);
  if (!docs) return 2;

  // Drawn offscreen whatever display there is, unless a platform was asked for.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ReportingMessageBoxPort messages("render", nullptr);
  std::unique_ptr<control::VarnexWidget> control(CreateLoadedControl(nullptr));
  control->SetMessageBoxPort(&messages);
  control->setAttribute(Qt::WA_DontShowOnScreen);
  if (size) {
    control->setSizing(control::VarnexWidget::Sizing::Fill);
    control->resize(*size);
  }
  control->show();
  Load(*control, *docs);
  QApplication::processEvents();
  PressToolbarButton(*control, QStringLiteral("Zoom Out"), zoomOut);
  PressToolbarButton(*control, QStringLiteral("Zoom In"), zoomIn);
  if (!kind.isEmpty()) {
    auto* view = control->findChild<grid::ScheduleView*>(QStringLiteral("ctWOSched"));
    const int index = view ? KindNamed(*view, kind) : -1;
    if (index < 0) {
      QStringList known;
      for (const grid::LineKind& k : view->model()->kinds()) known << k.label();
      std::fprintf(stderr, "varnex render: there is no kind of line '%s'; the kinds are: %s\n",
                   qPrintable(kind), qPrintable(known.join(QStringLiteral("; "))));
      return 2;
    }
    view->chooseKind(index);
  }
  if (pick > 0) {
    if (!ClickLine(*control, pick)) {
      std::fprintf(stderr, "varnex render: there is no line %d to pick\n", pick);
      return 2;
    }
    PrintLine(control->OrderOut());
  }
  QApplication::processEvents();

  bool written = false;
  if (suffix == QLatin1String("png")) {
    written = control->grab().save(output, "PNG");
  } else {
    QPdfWriter writer(output);
    writer.setTitle(QStringLiteral("%1 planning run").arg(varnex::ProductName()));
    writer.setCreator(QStringLiteral("varnex render"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    written = control->PrintRun(writer, PageProgress());
  }
  if (!written) {
    std::fprintf(stderr, "varnex render: cannot write %s\n", qPrintable(output));
    return 1;
  }
  return messages.Shown() > 0 ? kRenderedWithMessages : 0;
}

}  // namespace varnex::app
