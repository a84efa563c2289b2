// Linked into the Google Benchmark programs: VARNEX_BENCH_HUGE_PAGES=on or off overrides the
// build's huge-page default for the whole run, so both ways can be timed back to back with the
// same program. Only the benchmarks read it; the control reads no environment.
#include "platform/memory_advice.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>

namespace {

[[maybe_unused]] const bool kApplied = [] {
  const QByteArray value = qgetenv("VARNEX_BENCH_HUGE_PAGES");
  if (value == "on" || value == "off") {
    varnex::platform::SetHugePagesEnabled(value == "on");
  } else if (!value.isEmpty()) {
    std::fprintf(stderr, "VARNEX_BENCH_HUGE_PAGES must be on or off, not %s\n", value.constData());
  }
  return true;
}();

}  // namespace
