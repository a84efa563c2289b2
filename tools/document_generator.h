#pragma once

#include <QDate>
#include <QString>

#include <cstdint>

namespace varnex::tools {

/// What a generated planning run looks like. The same options always give the same documents.
struct GeneratorOptions {
  int orders = 300;
  std::uint64_t seed = 1;
  QDate start = QDate(2025, 1, 6);  ///< first day of the horizon
  int days = 120;                   ///< length of the horizon
};

/// A header document whose first row gives the horizon, in the attribute order the control
/// reads by position.
[[nodiscard]] QString GenerateHeader(const GeneratorOptions& options);

/// A work-order document with `orders` rows carrying every order category, action code and
/// status, literal "&" and apostrophes in values, and bar times inside the horizon.
[[nodiscard]] QString GenerateWorkOrders(const GeneratorOptions& options);

/// What a second run changed against the first, line by line as a board compares them.
struct RerunCounts {
  int added = 0;
  int moved = 0;
  int changed = 0;
  int gone = 0;
};

/// A second run of the work orders in `previous` (a document as GenerateWorkOrders() writes
/// them: one element per order, all data in double-quoted attributes): about a tenth of the
/// orders are gone, moved by whole days, changed in quantity, or new after the others, the
/// rest are copied as they stand. Known counts go to `counts`; nothing is written for a text
/// that holds no order.
[[nodiscard]] QString GenerateRerun(const QString& previous, std::uint64_t seed,
                                    RerunCounts* counts);

}  // namespace varnex::tools
