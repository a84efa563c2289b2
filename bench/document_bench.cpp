// The document steps of a load on their own: the escaping, the parse, and the intake into the
// order table (which escapes and parses again on the way).
#include "bench/bench_support.h"
#include "orders/order_intake.h"
#include "platform/escaping.h"
#include "platform/variant.h"
#include "platform/xml_document.h"

#include <benchmark/benchmark.h>

namespace varnex::bench {
namespace {

void BM_EscapeDocument(benchmark::State& state) {
  const int orders = static_cast<int>(state.range(0));
  const QString& raw = WorkOrderDocument(orders);
  const QString once = platform::EscapeDocument(raw);
  if (once.count(QStringLiteral("&amp;")) != raw.count(QLatin1Char('&')) ||
      once.contains(QLatin1Char('\''))) {
    state.SkipWithError("the escaped document is not what the escaping promises");
    return;
  }
  for (auto _ : state) {
    QString escaped = platform::EscapeDocument(raw);
    benchmark::DoNotOptimize(escaped.data());
  }
  state.SetBytesProcessed(state.iterations() * raw.size() * 2);
}

void BM_ParseDocument(benchmark::State& state) {
  const int orders = static_cast<int>(state.range(0));
  const QString escaped = platform::EscapeDocument(WorkOrderDocument(orders));
  const auto once = platform::XmlDocument::Parse(platform::StripBlanks(escaped));
  if (once->HasParseError() || once->RowCount() != orders ||
      once->AttributeCount(orders - 1) != 13) {
    state.SkipWithError("the document does not parse into one row per order");
    return;
  }
  for (auto _ : state) {
    auto doc = platform::XmlDocument::Parse(platform::StripBlanks(escaped));
    benchmark::DoNotOptimize(doc.get());
  }
  state.SetBytesProcessed(state.iterations() * escaped.toUtf8().size());
}

void BM_IntakeOrders(benchmark::State& state) {
  const int orders = static_cast<int>(state.range(0));
  const QString& raw = WorkOrderDocument(orders);
  BenchSite site;
  std::shared_ptr<const platform::XmlDocument> mOrderDoc;
  {
    platform::Variant wohxml = platform::Variant::Bstr(raw);
    const auto table = orders::LoadOrderTable(wohxml, site, mOrderDoc);
    if (!table || table->RecordCount() != static_cast<std::size_t>(orders) ||
        table->ColumnCount() != 13) {
      state.SkipWithError("the order table does not hold one record per order");
      return;
    }
  }
  for (auto _ : state) {
    platform::Variant wohxml = platform::Variant::Bstr(raw);
    auto table = orders::LoadOrderTable(wohxml, site, mOrderDoc);
    benchmark::DoNotOptimize(table->RecordCount());
  }
}

BENCHMARK(BM_EscapeDocument)
    ->Arg(kSmallOrders)
    ->Arg(kTypicalOrders)
    ->Arg(kMostOrders)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseDocument)
    ->Arg(kSmallOrders)
    ->Arg(kTypicalOrders)
    ->Arg(kMostOrders)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntakeOrders)
    ->Arg(kSmallOrders)
    ->Arg(kTypicalOrders)
    ->Arg(kMostOrders)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnex::bench
