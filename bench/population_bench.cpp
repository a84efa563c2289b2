// A whole PopulateWorkOrder through the control on the grid model, as a host makes it, and
// how it compares with parsing the same bytes alone.
#include "bench/bench_support.h"
#include "control/board.h"
#include "control/zeb_varnex.h"
#include "grid/schedule_model.h"
#include "platform/escaping.h"
#include "platform/variant.h"
#include "platform/xml_document.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace varnex::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                   values.end());
  return values[values.size() / 2];
}

void BM_PopulateGrid(benchmark::State& state) {
  const int orders = static_cast<int>(state.range(0));
  const QString& raw = WorkOrderDocument(orders);
  BenchSite site;
  control::Board board(site);
  control::Zeb_Varnex& control = board.Control();
  const grid::ScheduleModel& model = board.Model();
  platform::Variant header = platform::Variant::Bstr(HeaderDocument());
  control.TimeSet(header);

  platform::Variant first = platform::Variant::Bstr(raw);
  control.PopulateWorkOrder(first);
  if (!site.messages.isEmpty() || model.lineCount() != orders || model.totalBarCount() != orders) {
    state.SkipWithError("the load does not give one line and one bar per order");
    return;
  }

  // Each round also parses the same bytes, untimed, so that the ratio compares the two under
  // the same conditions of the machine.
  const QString escaped = platform::EscapeDocument(raw);
  std::vector<double> loads;
  std::vector<double> parses;
  for (auto _ : state) {
    platform::Variant wohxml = platform::Variant::Bstr(raw);
    auto start = Clock::now();
    control.PopulateWorkOrder(wohxml);
    loads.push_back(Seconds(Clock::now() - start));
    benchmark::DoNotOptimize(model.lineCount());

    state.PauseTiming();
    start = Clock::now();
    auto doc = platform::XmlDocument::Parse(platform::StripBlanks(escaped));
    parses.push_back(Seconds(Clock::now() - start));
    benchmark::DoNotOptimize(doc.get());
    doc.reset();
    state.ResumeTiming();
  }
  // The load's median wall time as a multiple of the median parse of the same bytes alone.
  state.counters["parse_ms"] = Median(parses) * 1e3;
  state.counters["x_parse"] = Median(loads) / Median(parses);
}

BENCHMARK(BM_PopulateGrid)
    ->Arg(kSmallOrders)
    ->Arg(kTypicalOrders)
    ->Arg(kMostOrders)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnex::bench
