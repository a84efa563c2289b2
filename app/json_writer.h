#pragma once

#include "platform/variant.h"

#include <QString>
#include <QStringView>

namespace varnex::app {

/// The longest text printed whole, in UTF-16 code units; kWholeTexts prints every text whole.
using TextLimit = qsizetype;
inline constexpr TextLimit kWholeTexts = 0;

/// A JSON string literal, quotes included.
[[nodiscard]] QString JsonString(QStringView text);

/// The first `limit` code units of `text`, or fewer where the cut would split a surrogate pair;
/// the whole text when it is no longer than `limit` or `limit` is kWholeTexts.
[[nodiscard]] QStringView ElidedText(QStringView text, TextLimit limit);

/// A text field, `"name":TEXT`; when the text is longer than `limit`, its elided start and its
/// whole length as a sibling, `"name":START,"name_length":LENGTH`.
[[nodiscard]] QString JsonTextField(QLatin1String name, QStringView text,
                                    TextLimit limit = kWholeTexts);

/// An automation value as {"t": TYPE, "v": VALUE}, with "ref": true where it is by reference.
/// A text longer than `limit` is elided and gains its whole length: {"t":"BSTR","v":START,
/// "length":LENGTH}.
[[nodiscard]] QString JsonValue(const platform::Variant& value, TextLimit limit = kWholeTexts);

}  // namespace varnex::app
