#pragma once

#include <QString>

#include <optional>

namespace varnex::app {

/// Reads a document file as UTF-8 text. Bytes that are not valid UTF-8 are kept as unpaired
/// surrogates (U+DC80 + byte), so the control sees them and refuses the document with a clear
/// reason instead of loading silently altered text. No value and `error` set when the file
/// cannot be read.
[[nodiscard]] std::optional<QString> ReadDocumentFile(const QString& path, QString* error);

/// Decodes UTF-8 as ReadDocumentFile does.
[[nodiscard]] QString DecodeUtf8Escaped(const QByteArray& bytes);

}  // namespace varnex::app
