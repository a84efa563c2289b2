// The schedule grid on screen: loading a planning run into a visible view and painting it
// offscreen into a QImage, then repainting after a scroll and after a zoom step.
#include "grid/schedule_model.h"
#include "grid/schedule_view.h"
#include "tests/grid/schedule_demo.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <benchmark/benchmark.h>

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
