#include "tests/support/recording_dispatch.h"

#include "platform/automation_error.h"
#include "platform/conversions.h"

#include <memory>

namespace varnex::testing {

using platform::Variant;
using platform::VarType;

QString Describe(const Variant& value) {
  QString text = value.IsByRef() ? QStringLiteral("&") : QString();
  text += QLatin1String(platform::TypeName(value.Type()));
  switch (value.Type()) {
    case VarType::I2: text += QLatin1Char(' ') + QString::number(value.AsI2()); break;
    case VarType::I4: text += QLatin1Char(' ') + QString::number(value.AsI4()); break;
    case VarType::Bool:
      text += value.AsBool() ? QStringLiteral(" true") : QStringLiteral(" false");
      break;
    case VarType::Bstr: text += QStringLiteral(" \"") + value.AsBstr() + QLatin1Char('"'); break;
    case VarType::Date: text += QLatin1Char(' ') + value.AsDate().ToIsoText(); break;
    default: break;
  }
  return text;
}

Variant RecordingDispatch::Invoke(platform::DispId id, platform::InvokeKind kind,
                                  std::span<Variant> args, const Variant& value) {
  QStringList argTexts;
  for (const Variant& a : args) argTexts << Describe(a);
  QString line;
  switch (kind) {
    case platform::InvokeKind::Method: line = QStringLiteral("call %1").arg(id); break;
    case platform::InvokeKind::PropertyGet: line = QStringLiteral("get %1").arg(id); break;
    case platform::InvokeKind::PropertyPut: line = QStringLiteral("put %1").arg(id); break;
  }
  if (!args.empty())
    line += QLatin1Char('(') + argTexts.join(QStringLiteral(", ")) + QLatin1Char(')');
  if (kind == platform::InvokeKind::PropertyPut) line += QStringLiteral(" = ") + Describe(value);

  if (auto failure = mFailures.find(id);
      failure != mFailures.end() && (!failure->second.kind || *failure->second.kind == kind)) {
    const auto [number, description, only] = failure->second;
    mFailures.erase(failure);
    lines << line + QStringLiteral(" !! %1").arg(number);
    platform::ThrowError(number, description.isEmpty() ? platform::StandardDescription(number)
                                                       : description);
  }

  Variant result;
  if (kind == platform::InvokeKind::PropertyPut) {
    if (args.empty()) properties[id] = value;
  } else if (auto answer = mAnswers.find(id); answer != mAnswers.end()) {
    try {
      result = answer->second(args);
    } catch (const platform::AutomationError& e) {
      lines << line + QStringLiteral(" !! %1").arg(e.Number());
      throw;
    }
  } else if (kind == platform::InvokeKind::PropertyGet) {
    if (auto p = properties.find(id); p != properties.end()) result = p->second;
  }
  if (kind != platform::InvokeKind::PropertyPut && !result.IsEmpty()) {
    line += QStringLiteral(" -> ") + Describe(result);
  }
  lines << line;
  return result;
}

void RecordingDispatch::FailNext(platform::DispId id, std::int32_t number, QString description,
                                 std::optional<platform::InvokeKind> kind) {
  mFailures[id] = {number, std::move(description), kind};
}

void RecordingDispatch::Answer(platform::DispId id, std::function<Variant(std::span<Variant>)> fn) {
  mAnswers[id] = std::move(fn);
}

void RecordingDispatch::AnswerFont(platform::DispId id) {
  Answer(id, [this](std::span<Variant>) {
    return Variant::Font(std::make_shared<RecordingFont>(lines));
  });
}

Variant RecordingFont::Invoke(platform::DispId id, platform::InvokeKind kind,
                              std::span<Variant> /*args*/, const Variant& value) {
  const QString name = id == platform::font_ids::kName   ? QStringLiteral("Name")
                       : id == platform::font_ids::kSize ? QStringLiteral("Size")
                       : id == platform::font_ids::kBold ? QStringLiteral("Bold")
                                                         : QString::number(id);
  if (kind != platform::InvokeKind::PropertyPut) {
    mLines << QStringLiteral("font get ") + name;
    return {};
  }
  mLines << QStringLiteral("font %1 = %2").arg(name, testing::Describe(value));
  if (id == platform::font_ids::kName) mFont.name = platform::ToBstr(value);
  if (id == platform::font_ids::kSize) mFont.size = platform::ToI4(value);
  if (id == platform::font_ids::kBold) mFont.bold = platform::ToI4(value) != 0;
  return {};
}

}  // namespace varnex::testing
