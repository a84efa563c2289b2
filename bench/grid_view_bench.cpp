// The schedule grid on screen: loading a planning run into a visible view and painting it
// offscreen into a QImage, then repainting after a scroll and after a zoom step; and repainting
// and showing the tooltip when values are huge.
#include "grid/schedule_model.h"
#include "grid/schedule_view.h"
#include "tests/grid/schedule_demo.h"

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QScrollBar>
#include <QSplitter>
#include <QToolTip>

#include <benchmark/benchmark.h>

#include <array>
#include <map>
#include <random>
#include <vector>

namespace varnex::grid {
namespace {

constexpr int kMostLines = 32766;
const QSize kViewSize(1600, 900);

// The rows and bars of a load, built once so the timed part is the grid's own work.
struct LoadInput {
  struct Line {
    QString text;
    TimePoint start;
    TimePoint end;
    std::uint32_t colour;
    QString mark;
  };
  std::vector<Line> lines;
};

const LoadInput& input(int count) {
  static std::map<int, LoadInput> built;
  LoadInput& in = built[count];
  if (!in.lines.empty()) return in;
  ScheduleModel scratch;
  ScheduleSettings scratchSettings;
  demo::fill(scratch, scratchSettings, count);
  std::minstd_rand random(3);
  for (int line = 1; line <= count; ++line) {
    QStringList fields;
    for (int column = 1; column <= scratch.columnCount(); ++column)
      fields << scratch.cellText(line, column);
    const Bar* bar = scratch.bar(line, 1);
    in.lines.push_back({fields.join(u';'), bar->start, bar->end, bar->colour,
                        bar->hasText ? bar->text : QString()});
  }
  return in;
}

void load(ScheduleModel& model, ScheduleSettings& settings, const LoadInput& in) {
  if (model.columnCount() == 0) model.setColumns(demo::columns());
  settings.setHorizonStart(demo::firstDay());
  settings.setHorizonEnd(demo::lastDay());
  for (const LoadInput::Line& l : in.lines) {
    const int line = model.appendLine(l.text);
    const int bar = model.addBar(line, l.start, l.end);
    model.setBarColour(line, bar, l.colour);
    if (!l.mark.isEmpty()) model.setBarText(line, bar, l.mark);
  }
}

// A shown view of its own size, painted the way the window system would ask for it.
struct Screen {
  ScheduleModel model;
  ScheduleSettings settings;
  ScheduleView view{&model};
  QImage image{kViewSize, QImage::Format_ARGB32_Premultiplied};

  Screen() {
    view.setSettings(&settings);
    view.resize(kViewSize);
    view.show();
    QCoreApplication::processEvents();
  }
  // One paint of the whole view; a pending layout is done inside it, as on screen.
  void paint() { view.render(&image); }
  bool showsBarOf(int line) {
    const QRect r = view.barRect(line, 1);
    const QColor fill(int(model.bar(line, 1)->colour & 0xFF),
                      int((model.bar(line, 1)->colour >> 8) & 0xFF),
                      int((model.bar(line, 1)->colour >> 16) & 0xFF));
    // Away from the mark, which sits in the middle.
    return image.rect().contains(r.topLeft()) &&
           image.pixelColor(r.left() + 2, r.top() + 2) == fill;
  }
};

void BM_LoadAndFirstPaint(benchmark::State& state) {
  const int count = int(state.range(0));
  const LoadInput& in = input(count);
  Screen screen;
  load(screen.model, screen.settings, in);
  QCoreApplication::processEvents();
  screen.view.scrollToTime(screen.model.bar(1, 1)->start);
  screen.paint();
  if (screen.model.lineCount() != count || !screen.showsBarOf(1)) {
    state.SkipWithError("the loaded view does not show the first line's bar");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    screen.model.clearLines();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    load(screen.model, screen.settings, in);
    screen.paint();
    benchmark::DoNotOptimize(screen.image.constBits());
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_LoadAndFirstPaint)->Arg(1000)->Arg(kMostLines)->Unit(benchmark::kMillisecond);

// Repaint after a scroll to the middle (arg 1) or the end (arg 2) of the lines.
void BM_RepaintAfterScroll(benchmark::State& state) {
  static Screen screen;
  if (screen.model.lineCount() == 0) load(screen.model, screen.settings, input(kMostLines));
  QCoreApplication::processEvents();
  QScrollBar* bar = screen.view.verticalScrollBar();
  const int target = state.range(0) == 1 ? bar->maximum() / 2 : bar->maximum();
  bar->setValue(target);
  screen.paint();
  const int line =
      screen.view.lineAt(screen.view.timelineBody()->mapTo(&screen.view, QPoint(5, 5)));
  if (line < (state.range(0) == 1 ? kMostLines / 2 - 50 : kMostLines - 60)) {
    state.SkipWithError("the scroll did not reach its lines");
    return;
  }
  int step = 0;
  for (auto _ : state) {
    bar->setValue(target - (++step % 2) * screen.view.rowHeight() * 3);
    screen.paint();
    benchmark::DoNotOptimize(screen.image.constBits());
  }
}
BENCHMARK(BM_RepaintAfterScroll)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_RepaintAfterZoomStep(benchmark::State& state) {
  static Screen screen;
  if (screen.model.lineCount() == 0) load(screen.model, screen.settings, input(kMostLines));
  QCoreApplication::processEvents();
  screen.view.verticalScrollBar()->setValue(screen.view.verticalScrollBar()->maximum() / 2);
  screen.settings.setZoom(230);
  const double before = screen.view.pixelsPerDay();
  screen.settings.setZoom(260);
  if (screen.view.pixelsPerDay() <= before) {
    state.SkipWithError("the zoom step did not change the scale");
    return;
  }
  int step = 0;
  for (auto _ : state) {
    screen.settings.setZoom(++step % 2 ? 230 : 260);
    screen.paint();
    benchmark::DoNotOptimize(screen.image.constBits());
  }
}
BENCHMARK(BM_RepaintAfterZoomStep)->Unit(benchmark::kMillisecond);

// Huge values: a value of `size` characters in some cells of the lines in view, as a host may
// send an item description of a megabyte. Only what fits in a cell or in the tooltip's line is
// ever seen, so a repaint and the tooltip should cost about what they cost with ordinary values.

// Demo columns that carry the value, one for each elision: the description (elided at the end),
// the category (in the middle) and the new quantity (at the start).
constexpr int kDescription = 4;
constexpr std::array kHugeColumns = {kDescription, 6, 8};
constexpr int kHugeLines = 300;

// Words of item descriptions, repeated up to `size` characters; the line number leads, so that
// the values of two lines differ from their first word on.
QString hugeValue(qsizetype size, int line) {
  static const QString words = QStringLiteral(
      "Hex bolt M8x40 zinc plated, bearing housing cast, hydraulic hose 1/2in 2m, control board "
      "rev C, gear shaft 42 teeth, gasket set for high temperature, steel sheet 2mm S235, ");
  QString value = QStringLiteral("Line %1: ").arg(line);
  value.reserve(size);
  while (value.size() < size) value += words.left(size - value.size());
  return value;
}

// Where a benchmark puts the value: in the description of line 1 (what a planner meets with one
// such order), or in all three columns of the first 40 lines, more than the view shows (the most
// that one screen can hold).
enum class Spread { OneDescription = 1, ThreeColumnsOf40Lines = 2 };

// The demo lines, with the value put where `spread` says; size 0 keeps the ordinary values.
void loadWithValue(ScheduleModel& model, ScheduleSettings& settings, qsizetype size,
                   Spread spread) {
  LoadInput in = input(kHugeLines);
  if (size > 0) {
    const int lines = spread == Spread::OneDescription ? 1 : 40;
    for (int line = 1; line <= lines; ++line) {
      QStringList fields = in.lines[std::size_t(line - 1)].text.split(u';');
      for (const int column : kHugeColumns) {
        if (spread == Spread::OneDescription && column != kDescription) continue;
        fields[column - 1] = hugeValue(size, line);
      }
      in.lines[std::size_t(line - 1)].text = fields.join(u';');
    }
  }
  load(model, settings, in);
}

// One repaint of the whole view, line 1 at the top; range(0) is the size of the value (0 for
// ordinary values), range(1) the Spread. The list pane is 1,200 of the 1,600 pixels, so that it
// shows the first eight columns, all three that carry the value among them.
void BM_RepaintWithHugeValues(benchmark::State& state) {
  const qsizetype size = qsizetype(state.range(0));
  Screen screen;
  loadWithValue(screen.model, screen.settings, size, Spread(state.range(1)));
  screen.view.splitter()->setSizes({1200, kViewSize.width() - 1200});
  QCoreApplication::processEvents();
  screen.paint();
  if (size > 0 && screen.model.cellView(1, kDescription).size() != size) {
    state.SkipWithError("the value did not reach its cell");
    return;
  }
  for (auto _ : state) {
    screen.paint();
    benchmark::DoNotOptimize(screen.image.constBits());
  }
}
BENCHMARK(BM_RepaintWithHugeValues)
    ->ArgNames({"chars", "spread"})
    ->Args({0, 1})
    ->Args({100'000, 1})
    ->Args({1'000'000, 1})
    ->Args({100'000, 2})
    ->Args({1'000'000, 2})
    ->Unit(benchmark::kMillisecond);

// The tooltip's summary as the control writes it: item description, action, category, new
// quantity and new date, joined by " / ".
QString summaryOf(const ScheduleModel& model, int line) {
  QStringList parts;
  for (const int column : {kDescription, 10, 6, 8, 9}) parts << model.cellText(line, column);
  return parts.join(QStringLiteral(" / "));
}

// The tooltip shown for the pointer resting on line 1 or line 2 by turns, both with the value
// in their description, and the tip drawn: one iteration is what moving to the next line costs
// the grid and the tooltip. range(0) is the size of the value (0 for ordinary values).
void BM_ShowToolTipWithHugeValue(benchmark::State& state) {
  const qsizetype size = qsizetype(state.range(0));
  Screen screen;
  LoadInput in = input(kHugeLines);
  if (size > 0) {
    for (int line = 1; line <= 2; ++line) {
      QStringList fields = in.lines[std::size_t(line - 1)].text.split(u';');
      fields[kDescription - 1] = hugeValue(size, line);
      in.lines[std::size_t(line - 1)].text = fields.join(u';');
    }
  }
  load(screen.model, screen.settings, in);
  // Written once: the control's part, which copies the values, is not the grid's to time.
  const std::array<QString, 3> summaries = {QString(), summaryOf(screen.model, 1),
                                            summaryOf(screen.model, 2)};
  QObject::connect(&screen.view, &ScheduleView::hovered, &screen.view, [&](int line, int) {
    screen.settings.setToolTipText(line == 1 || line == 2 ? summaries[std::size_t(line)]
                                                          : QString());
  });
  QCoreApplication::processEvents();
  screen.paint();
  QWidget* body = screen.view.timelineBody();
  const auto showFor = [&](int line) {
    const QPoint at =
        body->mapFrom(&screen.view,
                      screen.view.lineRect(line, ScheduleView::Pane::Timeline).center());
    QHelpEvent help(QEvent::ToolTip, at, body->mapToGlobal(at));
    QCoreApplication::sendEvent(body, &help);
  };
  const auto tip = [] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->inherits("QTipLabel") && widget->isVisible()) return widget;
    }
    return static_cast<QWidget*>(nullptr);
  };
  QImage tipImage;
  showFor(1);
  QCoreApplication::processEvents();
  const QString start = screen.model.cellText(1, kDescription).left(6);
  if (!QToolTip::isVisible() || !QToolTip::text().startsWith(start) || !tip()) {
    state.SkipWithError("the tooltip does not show the line's summary");
    return;
  }
  int line = 1;
  for (auto _ : state) {
    line = 3 - line;
    showFor(line);
    QWidget* shown = tip();
    tipImage = shown->grab().toImage();
    benchmark::DoNotOptimize(tipImage.constBits());
  }
  state.counters["tip_width"] = double(tipImage.width());
  state.counters["tip_height"] = double(tipImage.height());
  QToolTip::hideText();
}
BENCHMARK(BM_ShowToolTipWithHugeValue)
    ->ArgName("chars")
    ->Arg(0)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnex::grid

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
