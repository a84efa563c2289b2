#pragma once

#include "platform/variant.h"

#include <QString>
#include <QStringView>

namespace varnex::app {

/// A JSON string literal, quotes included.
[[nodiscard]] QString JsonString(QStringView text);

/// An automation value as {"t": TYPE, "v": VALUE}, with "ref": true where it is by reference.
[[nodiscard]] QString JsonValue(const platform::Variant& value);

}  // namespace varnex::app
