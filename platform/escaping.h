#pragma once

#include <QString>
#include <QStringView>

namespace varnex::platform {

/// Escapes a document before it is parsed: every "&" becomes "&amp;", then every apostrophe
/// becomes "&apos;" (the ampersands that the second step brings in are not escaped again).
/// Documents therefore carry literal ampersands and apostrophes and delimit attribute values
/// with double quotes.
[[nodiscard]] QString EscapeDocument(QStringView text);
/// The same; a text with nothing to escape comes back shared instead of copied.
[[nodiscard]] QString EscapeDocument(const QString& text);

/// The text without leading and trailing U+0020 blanks; tabs and line breaks stay.
[[nodiscard]] QStringView StripBlanks(QStringView text);

}  // namespace varnex::platform
