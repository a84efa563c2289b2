#include "app/json_writer.h"

#include "platform/font_object.h"

namespace varnex::app {

using platform::Variant;
using platform::VarType;

QString JsonString(QStringView text) {
  QString out;
  out.reserve(text.size() + 2);
  out += QLatin1Char('"');
  for (const QChar c : text) {
    switch (c.unicode()) {
      case '"': out += QLatin1String("\\\""); break;
      case '\\': out += QLatin1String("\\\\"); break;
      case '\n': out += QLatin1String("\\n"); break;
      case '\r': out += QLatin1String("\\r"); break;
      case '\t': out += QLatin1String("\\t"); break;
      default:
        // Control characters, and surrogates, which may be unpaired in hostile text.
        if (c.unicode() < 0x20 || c.isSurrogate()) {
          out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
          out += c;
        }
    }
  }
  // A well-formed surrogate pair was escaped as two \u escapes, which JSON reads back as one
  // character; nothing else to do.
  out += QLatin1Char('"');
  return out;
}

QStringView ElidedText(QStringView text, TextLimit limit) {
  if (limit <= kWholeTexts || text.size() <= limit) return text;
  qsizetype cut = limit;
  if (text[cut - 1].isHighSurrogate() && text[cut].isLowSurrogate()) --cut;
  return text.first(cut);
}

QString JsonTextField(QLatin1String name, QStringView text, TextLimit limit) {
  const QStringView kept = ElidedText(text, limit);
  QString out;
  out += QLatin1Char('"');
  out += name;
  out += QLatin1String("\":");
  out += JsonString(kept);
  if (kept.size() != text.size()) {
    out += QLatin1String(",\"");
    out += name;
    out += QLatin1String("_length\":");
    out += QString::number(text.size());
  }
  return out;
}

QString JsonValue(const Variant& value, TextLimit limit) {
  QString v;
  QString length;
  switch (value.Type()) {
    case VarType::Empty:
    case VarType::Null: v = QStringLiteral("null"); break;
    case VarType::I2: v = QString::number(value.AsI2()); break;
    case VarType::I4: v = QString::number(value.AsI4()); break;
    case VarType::Bool:
      v = value.AsBool() ? QStringLiteral("true") : QStringLiteral("false");
      break;
    case VarType::Bstr: {
      const QStringView kept = ElidedText(value.AsBstr(), limit);
      v = JsonString(kept);
      if (kept.size() != value.AsBstr().size())
        length = QStringLiteral(",\"length\":") + QString::number(value.AsBstr().size());
      break;
    }
    case VarType::Date: v = JsonString(value.AsDate().ToIsoText()); break;
    case VarType::Font: {
      const auto* font = dynamic_cast<const platform::FontObject*>(value.AsFont().get());
      if (font == nullptr) {
        v = QStringLiteral("null");
        break;
      }
      const platform::FontDescription d = font->Describe();
      v = QStringLiteral("{%1,\"size\":%2,\"bold\":%3}")
              .arg(JsonTextField(QLatin1String("name"), d.name, limit), QString::number(d.size),
                   d.bold ? QStringLiteral("true") : QStringLiteral("false"));
      break;
    }
  }
  QString out = QStringLiteral("{\"t\":\"") + QLatin1String(platform::TypeName(value.Type())) +
                QStringLiteral("\",\"v\":") + v + length;
  if (value.IsByRef()) out += QStringLiteral(",\"ref\":true");
  out += QLatin1Char('}');
  return out;
}

}  // namespace varnex::app
