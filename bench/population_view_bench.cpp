// PopulateWorkOrder through the control on the real schedule widget, first paint included, the
// repaints that scrolling and zooming cause, and what a full widget costs in memory. Painting
// renders the whole widget offscreen into an image, as the screen would draw it.
#include "bench/bench_support.h"
#include "control/board.h"
#include "control/zeb_varnex.h"
#include "grid/schedule_model.h"
#include "grid/schedule_settings.h"
#include "grid/schedule_view.h"
#include "interaction/grid_events.h"
#include "platform/variant.h"
#include "schedule/schedule_ids.h"
#include "tools/document_generator.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <array>
#include <cstdio>
#include <memory>

namespace varnex::bench {
namespace {

// One control on a shown widget of a typical screen size, with the horizon set.
struct Board {
  Board() : board(site), model(board.Model()), control(board.Control()), view(&model) {
    view.setSettings(&board.Settings());
    platform::Variant header = platform::Variant::Bstr(HeaderDocument());
    control.TimeSet(header);
    view.resize(1280, 800);
    view.show();
    QCoreApplication::processEvents();
  }

  void Load(const QString& document) {
    platform::Variant wohxml = platform::Variant::Bstr(document);
    control.PopulateWorkOrder(wohxml);
  }

  // Delivers what the change posted, then draws the whole widget once.
  const QImage& Paint() {
    QCoreApplication::sendPostedEvents();
    view.render(&image);
    return image;
  }

  void Toolbar(std::int16_t button) {
    std::array<platform::Variant, 1> args = {platform::Variant::I2(button)};
    control.ToolbarEvents().OnEvent(schedule::toolbar_events::kButtonPressed, args);
  }

  BenchSite site;
  control::Board board;
  grid::ScheduleModel& model;
  control::Zeb_Varnex& control;
  grid::ScheduleView view;
  QImage image{1280, 800, QImage::Format_ARGB32_Premultiplied};
};

// True when the loaded widget shows what it should: every order as a line and a painted image.
bool Loaded(const Board& board, int orders) {
  if (!board.site.messages.isEmpty() || board.model.lineCount() != orders) return false;
  const QImage& image = board.image;
  const QRgb corner = image.pixel(0, 0);
  for (int y = image.height() / 2; y < image.height(); y += 7) {
    for (int x = 0; x < image.width(); x += 7) {
      if (image.pixel(x, y) != corner) return true;
    }
  }
  return false;
}

void BM_PopulateView(benchmark::State& state) {
  const int orders = static_cast<int>(state.range(0));
  const QString& document = WorkOrderDocument(orders);
  Board board;
  board.Load(document);
  board.Paint();
  if (!Loaded(board, orders)) {
    state.SkipWithError("the widget does not show one line per order");
    return;
  }
  for (auto _ : state) {
    board.Load(document);
    benchmark::DoNotOptimize(board.Paint().constBits());
  }
}

// Each round scrolls one line up from `position` or back and paints, so every paint follows a
// real scroll.
void RepaintScrollingByOneLine(benchmark::State& state, Board& board, int position) {
  bool away = false;
  for (auto _ : state) {
    board.view.verticalScrollBar()->setValue(away ? position : position - board.view.rowHeight());
    away = !away;
    benchmark::DoNotOptimize(board.Paint().constBits());
  }
}

// A reload of a second run, a tenth of whose orders are new, moved, changed or gone, and the
// other way again: range(1) is 1 with the comparison the board makes after each completed load
// (its counts included), 0 without it, so that the two figures give what the comparison adds.
void BM_ReloadChangedRun(benchmark::State& state) {
  const int orders = static_cast<int>(state.range(0));
  const QString& first = WorkOrderDocument(orders);
  tools::RerunCounts counts;
  const QString second = tools::GenerateRerun(first, 7, &counts);
  Board board;
  if (state.range(1) == 0) board.control.OnLoadCompleted({});
  board.Load(first);
  board.Load(second);
  board.Paint();
  if (state.range(1) == 1 && board.model.changeCounts().added != counts.added) {
    state.SkipWithError("the reload was not compared with the run before it");
    return;
  }
  bool again = false;
  for (auto _ : state) {
    board.Load(again ? second : first);
    again = !again;
    benchmark::DoNotOptimize(board.model.changeCounts());
    benchmark::DoNotOptimize(board.Paint().constBits());
  }
}

// Repaint after a scroll to the middle with a kind chosen (the scroll bar's map drawn for every
// line of it) and the timeline zoomed in, so that many bars reach past its edges and carry their
// markers.
void BM_RepaintWithMapAndMarkers(benchmark::State& state) {
  const int orders = static_cast<int>(state.range(0));
  Board board;
  board.Load(WorkOrderDocument(orders));
  for (int step = 0; step < 4; ++step) board.Toolbar(interaction::buttons::kZoomIn);
  board.view.chooseKind(0);
  board.view.scrollToLine(orders / 2);
  board.Paint();
  const int position = board.view.verticalScrollBar()->value();
  int markers = 0;
  for (int line = orders / 2 - 10; line < orders / 2 + 10; ++line)
    markers += int(board.view.edgeMarkers(line).size());
  if (!Loaded(board, orders) || board.model.linesOf(0).size() < std::size_t(orders) / 10 ||
      markers < 5) {
    state.SkipWithError("no map, or too few markers in view");
    return;
  }
  RepaintScrollingByOneLine(state, board, position);
}

// Repaint after the list scrolls to a line: each round moves by one line and back, so every
// paint follows a real scroll.
void RepaintAfterScroll(benchmark::State& state, int line) {
  const int orders = static_cast<int>(state.range(0));
  Board board;
  board.Load(WorkOrderDocument(orders));
  board.Paint();
  board.view.scrollToLine(line);
  board.Paint();
  const int position = board.view.verticalScrollBar()->value();
  if (!Loaded(board, orders) || (line > 40 && position == 0)) {
    state.SkipWithError("the widget does not scroll to the line");
    return;
  }
  RepaintScrollingByOneLine(state, board, position);
}

void BM_RepaintScrolledToMiddle(benchmark::State& state) {
  RepaintAfterScroll(state, static_cast<int>(state.range(0)) / 2);
}

void BM_RepaintScrolledToEnd(benchmark::State& state) {
  RepaintAfterScroll(state, static_cast<int>(state.range(0)));
}

// Repaint after one zoom step from the toolbar, in and out by turns.
void BM_RepaintAfterZoom(benchmark::State& state) {
  const int orders = static_cast<int>(state.range(0));
  Board board;
  board.Load(WorkOrderDocument(orders));
  board.view.scrollToLine(orders / 2);
  board.Paint();
  const int zoom = board.board.Settings().zoom();
  board.Toolbar(interaction::buttons::kZoomIn);
  board.Paint();
  if (!Loaded(board, orders) || board.board.Settings().zoom() == zoom) {
    state.SkipWithError("the toolbar's zoom step does not change the scale");
    return;
  }
  bool in = false;
  for (auto _ : state) {
    board.Toolbar(in ? interaction::buttons::kZoomIn : interaction::buttons::kZoomOut);
    in = !in;
    benchmark::DoNotOptimize(board.Paint().constBits());
  }
}

// What a widget with every order loaded and painted adds to the process, in MiB of resident
// memory once the load's scratch has been handed back; the peak is the high-water mark that
// the load reached on the way.
void BM_ViewMemory(benchmark::State& state) {
  const int orders = static_cast<int>(state.range(0));
  const QString& document = WorkOrderDocument(orders);
  double added = 0;
  double peak = 0;
  for (auto _ : state) {
    malloc_trim(0);
    ResetPeakResident();
    const std::int64_t before = ResidentKiB();
    const std::int64_t peakBefore = PeakResidentKiB();
    auto board = std::make_unique<Board>();
    board->Load(document);
    board->Paint();
    if (!Loaded(*board, orders)) {
      state.SkipWithError("the widget does not show one line per order");
      return;
    }
    malloc_trim(0);
    added = static_cast<double>(ResidentKiB() - before) / 1024.0;
    peak = static_cast<double>(PeakResidentKiB() - peakBefore) / 1024.0;
    state.PauseTiming();
    board.reset();
    state.ResumeTiming();
  }
  state.counters["added_MiB"] = added;
  state.counters["peak_growth_MiB"] = peak;
}

BENCHMARK(BM_PopulateView)
    ->Arg(kSmallOrders)
    ->Arg(kTypicalOrders)
    ->Arg(kMostOrders)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintScrolledToMiddle)
    ->Arg(kSmallOrders)
    ->Arg(kTypicalOrders)
    ->Arg(kMostOrders)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintScrolledToEnd)
    ->Arg(kSmallOrders)
    ->Arg(kTypicalOrders)
    ->Arg(kMostOrders)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintAfterZoom)
    ->Arg(kSmallOrders)
    ->Arg(kTypicalOrders)
    ->Arg(kMostOrders)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReloadChangedRun)
    ->ArgNames({"orders", "compared"})
    ->Args({kMostOrders, 0})
    ->Args({kMostOrders, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintWithMapAndMarkers)
    ->Arg(kTypicalOrders)
    ->Arg(kMostOrders)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewMemory)->Arg(kMostOrders)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnex::bench

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The offscreen platform warns about every shown window; keep the table readable.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
    if (!message.contains(QLatin1String("propagateSizeHints")))
      std::fprintf(stderr, "%s\n", qPrintable(message));
  });
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
