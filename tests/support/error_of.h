#pragma once

#include "platform/automation_error.h"

#include <QString>

#include <cstdint>

namespace varnex::testing {

/// The number of the AutomationError that `fn` throws, or 0 when it returns normally.
template <typename Fn>
std::int32_t ErrorOf(Fn&& fn) {
  try {
    fn();
  } catch (const platform::AutomationError& e) {
    return e.Number();
  }
  return 0;
}

/// "NUMBER DESCRIPTION" of the AutomationError that `fn` throws, or "" when it returns normally.
template <typename Fn>
QString ErrorTextOf(Fn&& fn) {
  try {
    fn();
  } catch (const platform::AutomationError& e) {
    return e.ReportText();
  }
  return QString();
}

}  // namespace varnex::testing
