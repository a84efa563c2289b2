#pragma once

#include "tests/support/process_memory.h"
#include "tests/support/recording_site.h"

#include <QString>

#include <cstdint>

namespace varnex::bench {

/// The order counts every document benchmark runs at: small, typical and the most one load takes.
inline constexpr int kSmallOrders = 1000;
inline constexpr int kTypicalOrders = 10000;
inline constexpr int kMostOrders = 32766;

using testing::PeakResidentKiB;
using testing::ResetPeakResident;
using testing::ResidentKiB;

/// The site of a benchmark: keeps what the control showed but records no lines, so that a
/// benchmark times the control and the grid alone.
struct BenchSite : testing::RecordingSite {
  BenchSite() : RecordingSite(Lines::Dropped) {}
};

/// The generated header and work-order documents for `orders` orders, built once per size.
const QString& HeaderDocument();
const QString& WorkOrderDocument(int orders);

}  // namespace varnex::bench
