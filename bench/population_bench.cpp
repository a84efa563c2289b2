// A whole PopulateWorkOrder through the control on the grid model, as a host makes it, and
// how it compares with parsing the same bytes alone.
#include "bench/bench_support.h"
#include "control/zeb_varnex.h"
#include "grid/schedule_model.h"
#include "platform/escaping.h"
#include "platform/variant.h"
#include "platform/xml_document.h"
#include "schedule/grid_component.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace varnex::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The median time of a few parses of the bytes that the control parses for this document.
double MedianParseSeconds(const QString& raw) {
  const QString escaped = platform::EscapeDocument(raw);
  std::vector<double> runs;
  for (int i = 0; i < 5; ++i) {
    const auto start = Clock::now();
    auto doc = platform::XmlDocument::Parse(platform::StripBlanks(escaped));
    benchmark::DoNotOptimize(doc.get());
    runs.push_back(Seconds(Clock::now() - start));
  }
  std::nth_element(runs.begin(), runs.begin() + 2, runs.end());
  return runs[2];
}

void BM_PopulateGrid(benchmark::State& state) {
  const int orders = static_cast<int>(state.range(0));
  const QString& raw = WorkOrderDocument(orders);
  grid::ScheduleModel model;
  schedule::GridComponent component(model);
  NullSite site;
  control::Zeb_Varnex control(component, site);
  component.SetEventSink(&control.GridEvents());
  platform::Variant header = platform::Variant::Bstr(HeaderDocument());
  control.TimeSet(header);

  platform::Variant first = platform::Variant::Bstr(raw);
  control.PopulateWorkOrder(first);
  if (!site.lastMessage.isEmpty() || model.lineCount() != orders || model.totalBarCount() != orders) {
    state.SkipWithError("the load does not give one line and one bar per order");
    return;
  }

  const double parseSeconds = MedianParseSeconds(raw);
  Clock::duration spent{};
  for (auto _ : state) {
    platform::Variant wohxml = platform::Variant::Bstr(raw);
    const auto start = Clock::now();
    control.PopulateWorkOrder(wohxml);
    spent += Clock::now() - start;
    benchmark::DoNotOptimize(model.lineCount());
  }
  // The load's wall time as a multiple of parsing the same bytes alone.
  state.counters["x_parse"] = Seconds(spent) / static_cast<double>(state.iterations()) / parseSeconds;
  state.counters["parse_ms"] = parseSeconds * 1e3;
}

BENCHMARK(BM_PopulateGrid)->Arg(kSmallOrders)->Arg(kTypicalOrders)->Arg(kMostOrders)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnex::bench
