#pragma once

#include "platform/control_site.h"

#include <QString>

#include <cstdint>

namespace varnex::bench {

/// The order counts every document benchmark runs at: small, typical and the most one load takes.
inline constexpr int kSmallOrders = 1000;
inline constexpr int kTypicalOrders = 10000;
inline constexpr int kMostOrders = 32766;

/// A site that drops everything, so a benchmark times the control and the grid alone.
class NullSite final : public platform::ControlSite {
 public:
  void SetBoxText(const QString&, const QString&) override {}
  void SetGridToolTip(const QString&) override {}
  void SetMarkerCaption(const QString&, const QString&) override {}
  void SetSwatchFill(const QString&, std::int32_t) override {}
  void ShowMessage(const QString&, const QString& text) override { lastMessage = text; }

  QString lastMessage;
};

/// The generated header and work-order documents for `orders` orders, built once per size.
const QString& HeaderDocument();
const QString& WorkOrderDocument(int orders);

/// The resident set size and its high-water mark of this process, in kibibytes, from
/// /proc/self/status; 0 where that is not available.
std::int64_t ResidentKiB();
std::int64_t PeakResidentKiB();
/// Starts the high-water mark afresh from the current resident set (where Linux allows it).
void ResetPeakResident();

}  // namespace varnex::bench
