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

}  // namespace varnex::tools
