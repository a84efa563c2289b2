#include "app/trace_host.h"

#include "app/document_file.h"
#include "app/json_writer.h"
#include "control/board.h"
#include "control/zeb_varnex.h"
#include "grid/schedule_model.h"
#include "grid/schedule_settings.h"
#include "platform/automation_error.h"
#include "platform/control_site.h"
#include "platform/font_object.h"
#include "schedule/grid_component.h"
#include "schedule/schedule_ids.h"

#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

#include <map>
#include <optional>
#include <vector>

namespace varnex::app {

using platform::DispId;
using platform::InvokeKind;
using platform::Variant;

namespace {

QString Line(const QString& key, const QString& body) {
  return QStringLiteral("{\"%1\":%2}").arg(key, body);
}

// A font object whose changes are printed as "font" lines.
class TracedFont final : public platform::FontObject {
 public:
  TracedFont(std::shared_ptr<platform::Dispatch> inner, DispId owner, QTextStream& out,
             TextLimit limit)
      : mInner(std::move(inner)), mOwner(owner), mOut(out), mLimit(limit) {}

  platform::FontDescription Describe() const override {
    const auto* font = dynamic_cast<const platform::FontObject*>(mInner.get());
    return font ? font->Describe() : platform::FontDescription{};
  }

  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args,
                 const Variant& value) override {
    Variant result = mInner->Invoke(id, kind, args, value);
    if (kind == InvokeKind::PropertyPut) {
      const char* prop = id == platform::font_ids::kName   ? "Name"
                         : id == platform::font_ids::kSize ? "Size"
                         : id == platform::font_ids::kBold ? "Bold"
                                                           : nullptr;
      const QString name = prop ? QString::fromLatin1(prop) : QString::number(id);
      mOut << Line(QStringLiteral("font"),
                   QStringLiteral("{\"dispid\":%1,\"prop\":%2,\"value\":%3}")
                       .arg(mOwner)
                       .arg(JsonString(name), JsonValue(value, mLimit)))
           << '\n';
    }
    return result;
  }

 private:
  std::shared_ptr<platform::Dispatch> mInner;
  DispId mOwner;
  QTextStream& mOut;
  TextLimit mLimit;
};

// The grid as the control sees it in a trace: every operation printed, with injected failures
// and results.
class TracedGrid final : public platform::Dispatch {
 public:
  TracedGrid(platform::Dispatch& inner, QTextStream& out, TextLimit limit)
      : mInner(inner), mOut(out), mLimit(limit) {}

  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args,
                 const Variant& value) override {
    QStringList argTexts;
    for (const Variant& a : args) argTexts << JsonValue(a, mLimit);
    QString body = QStringLiteral("{\"dispid\":%1,\"op\":\"%2\",\"args\":[%3]")
                       .arg(id)
                       .arg(kind == InvokeKind::Method        ? QStringLiteral("call")
                            : kind == InvokeKind::PropertyGet ? QStringLiteral("get")
                                                              : QStringLiteral("put"),
                            argTexts.join(QLatin1Char(',')));
    if (kind == InvokeKind::PropertyPut)
      body += QStringLiteral(",\"value\":") + JsonValue(value, mLimit);

    Variant result;
    try {
      if (auto f = mFailures.find(id); f != mFailures.end()) {
        const auto [number, description] = f->second;
        mFailures.erase(f);
        platform::ThrowError(number, description);
      }
      result = mInner.Invoke(id, kind, args, value);
      if (auto r = mResults.find(id); r != mResults.end() && kind != InvokeKind::PropertyPut) {
        result = Variant::I4(r->second);
        mResults.erase(r);
      }
    } catch (...) {
      mOut << Line(QStringLiteral("grid"), body + QLatin1Char('}')) << '\n';
      throw;
    }
    if (result.Type() == platform::VarType::Font) {
      result = Variant::Font(std::make_shared<TracedFont>(result.AsFont(), id, mOut, mLimit));
    }
    // A method that returned nothing has no result; a get always answers.
    if (kind == InvokeKind::PropertyGet || (kind == InvokeKind::Method && !result.IsEmpty())) {
      body += QStringLiteral(",\"result\":") + JsonValue(result, mLimit);
    }
    mOut << Line(QStringLiteral("grid"), body + QLatin1Char('}')) << '\n';
    return result;
  }

  void FailNext(DispId id, std::int32_t number, QString description) {
    mFailures[id] = {number, std::move(description)};
  }
  void ResultNext(DispId id, std::int32_t value) { mResults[id] = value; }

 private:
  platform::Dispatch& mInner;
  QTextStream& mOut;
  TextLimit mLimit;
  std::map<DispId, std::pair<std::int32_t, QString>> mFailures;
  std::map<DispId, std::int32_t> mResults;
};

class TracedSite final : public platform::ControlSite {
 public:
  TracedSite(QTextStream& out, TextLimit limit) : mOut(out), mLimit(limit) {}

  /// The grid settings that keep the tooltip; none until the board exists.
  void SetSettings(grid::ScheduleSettings* settings) { mSettings = settings; }

  void SetBoxText(const QString& box, const QString& text) override {
    Print(QStringLiteral("box"),
          QStringLiteral("{\"name\":%1,%2}").arg(JsonString(box), Text("text", text)));
  }
  void SetGridToolTip(const QString& text) override {
    if (mSettings) mSettings->setToolTipText(text);
    mOut << QLatin1Char('{') << Text("tooltip", text) << QLatin1String("}\n");
  }
  void SetMarkerCaption(const QString& marker, const QString& text) override {
    Print(QStringLiteral("caption"),
          QStringLiteral("{\"name\":%1,%2}").arg(JsonString(marker), Text("text", text)));
  }
  void SetSwatchFill(const QString& swatch, std::int32_t colour) override {
    Print(QStringLiteral("fill"), QStringLiteral("{\"name\":%1,\"colour\":%2}")
                                      .arg(JsonString(swatch), QString::number(colour)));
  }
  void ShowMessage(const QString& title, const QString& text, const QString& detail) override {
    QString body =
        QStringLiteral("{%1,%2,\"buttons\":\"OK\"").arg(Text("title", title), Text("text", text));
    if (!detail.isEmpty()) body += u',' + Text("detail", detail);
    Print(QStringLiteral("msgbox"), body + u'}');
  }

 private:
  void Print(const QString& key, const QString& body) { mOut << Line(key, body) << '\n'; }
  QString Text(const char* field, const QString& text) const {
    return JsonTextField(QLatin1String(field), text, mLimit);
  }

  grid::ScheduleSettings* mSettings = nullptr;
  QTextStream& mOut;
  TextLimit mLimit;
};

// A JSON value as an automation value: integers as `integerType`, strings as text, null as
// null, booleans as booleans; anything else fails.
std::optional<Variant> ToVariant(const QJsonValue& v, bool integersAsI2) {
  switch (v.type()) {
    case QJsonValue::Null: return Variant::Null();
    case QJsonValue::Bool: return Variant::Bool(v.toBool());
    case QJsonValue::String: return Variant::Bstr(v.toString());
    case QJsonValue::Double: {
      const double d = v.toDouble();
      if (d != static_cast<double>(static_cast<qint64>(d)))
        return Variant::Bstr(QString::number(d));
      const qint64 i = static_cast<qint64>(d);
      if (integersAsI2 && i >= -32768 && i <= 32767)
        return Variant::I2(static_cast<std::int16_t>(i));
      if (i >= INT32_MIN && i <= INT32_MAX) return Variant::I4(static_cast<std::int32_t>(i));
      return Variant::Bstr(QString::number(i));
    }
    default: return std::nullopt;
  }
}

class Trace {
 public:
  Trace(QTextStream& out, TextLimit limit)
      : mOut(out),
        mLimit(limit),
        mSite(out, limit),
        mBoard(mSite,
               [this](platform::Dispatch& grid) {
                 auto traced = std::make_unique<TracedGrid>(grid, mOut, mLimit);
                 mGrid = traced.get();
                 return traced;
               }),
        mModel(mBoard.Model()),
        mSettings(mBoard.Settings()),
        mComponent(mBoard.Grid()),
        mControl(mBoard.Control()) {
    mSite.SetSettings(&mSettings);
  }

  void Run(const QJsonObject& command) {
    try {
      if (command.contains(QLatin1String("call"))) return Call(command);
      if (command.contains(QLatin1String("event"))) return Event(command);
      if (command.contains(QLatin1String("inject"))) return Inject(command);
      if (command.value(QLatin1String("query")).toString() == QLatin1String("grid")) return Query();
      Error(QStringLiteral("unknown command"));
    } catch (const std::bad_alloc&) {
      // Out of memory in the host's own work around a call (reading a file, printing the
      // grid): shown as the control shows it, and the script goes on.
      mControl.ReportOutOfMemory(QStringLiteral("the trace host's own work around a command"));
    }
  }

  void Error(const QString& text) {
    mOut << QLatin1Char('{') << JsonTextField(QLatin1String("error"), text, mLimit)
         << QLatin1String("}\n");
  }

 private:
  void Call(const QJsonObject& command) {
    const QString name = command.value(QLatin1String("call")).toString();
    if (name == QLatin1String("OrderOut")) {
      const QString order = mControl.OrderOut();
      mOut << Line(QStringLiteral("return"), QStringLiteral("{\"call\":\"OrderOut\",\"value\":%1}")
                                                 .arg(JsonValue(Variant::Bstr(order), mLimit)))
           << '\n';
      return;
    }
    if (name != QLatin1String("TimeSet") && name != QLatin1String("PopulateWorkOrder")) {
      return Error(QStringLiteral("unknown call: ") + name);
    }
    Variant arg;
    if (command.contains(QLatin1String("file"))) {
      QString error;
      const auto text = ReadDocumentFile(command.value(QLatin1String("file")).toString(), &error);
      if (!text) return Error(error);
      arg = Variant::Bstr(*text);
    } else if (command.contains(QLatin1String("arg"))) {
      const auto v = ToVariant(command.value(QLatin1String("arg")), false);
      if (!v) return Error(QStringLiteral("\"arg\" must be a string, an integer or null"));
      arg = *v;
    }
    arg.ByRef();
    if (name == QLatin1String("TimeSet")) {
      mControl.TimeSet(arg);
    } else {
      mControl.PopulateWorkOrder(arg);
    }
    mOut << Line(QStringLiteral("return"), QStringLiteral("{\"call\":%1,\"arg\":%2}")
                                               .arg(JsonString(name), JsonValue(arg, mLimit)))
         << '\n';
  }

  void Event(const QJsonObject& command) {
    std::vector<Variant> args;
    for (const QJsonValue& v : command.value(QLatin1String("args")).toArray()) {
      const auto variant = ToVariant(v, true);
      if (!variant)
        return Error(QStringLiteral("event values must be integers, strings, booleans or null"));
      args.push_back(*variant);
    }
    const QString source = command.value(QLatin1String("event")).toString();
    if (source == QLatin1String("grid")) {
      if (!command.value(QLatin1String("id")).isDouble())
        return Error(QStringLiteral("a grid event needs an \"id\""));
      mControl.GridEvents().OnEvent(command.value(QLatin1String("id")).toInt(), args);
    } else if (source == QLatin1String("toolbar")) {
      mControl.ToolbarEvents().OnEvent(schedule::toolbar_events::kButtonPressed, args);
    } else {
      Error(QStringLiteral("unknown event source: ") + source);
    }
  }

  void Inject(const QJsonObject& command) {
    const QString what = command.value(QLatin1String("inject")).toString();
    const QJsonValue id = command.value(QLatin1String("dispid"));
    if (!id.isDouble()) return Error(QStringLiteral("an injection needs a \"dispid\""));
    const DispId dispid = id.toInt();
    if (what == QLatin1String("fail")) {
      const std::int32_t number = command.value(QLatin1String("error")).toInt(5);
      QString description = command.value(QLatin1String("description")).toString();
      if (description.isEmpty()) description = platform::StandardDescription(number);
      mGrid->FailNext(dispid, number, description);
    } else if (what == QLatin1String("result")) {
      mGrid->ResultNext(dispid, static_cast<std::int32_t>(
                                    command.value(QLatin1String("value")).toDouble()));
    } else if (what == QLatin1String("set")) {
      const double value = command.value(QLatin1String("value")).toDouble();
      if (value < -32768 || value > 32767)
        return Error(QStringLiteral("\"value\" must fit 16 bits"));
      // Straight to the grid, untraced; a refusal is reported as an error line.
      try {
        mComponent.Put(dispid, Variant::I2(static_cast<std::int16_t>(value)));
      } catch (const platform::AutomationError& e) {
        Error(e.ReportText());
      }
    } else {
      Error(QStringLiteral("unknown injection: ") + what);
    }
  }

  void Query() {
    QStringList rows;
    for (int line = 1; line <= mModel.lineCount(); ++line) {
      QStringList cells;
      for (int column = 1; column <= mModel.columnCount(); ++column) {
        cells << JsonString(mModel.cellText(line, column));
      }
      QStringList bars;
      for (int b = 1; b <= mModel.barCount(line); ++b) {
        const grid::Bar* bar = mModel.bar(line, b);
        if (bar == nullptr) continue;
        QStringList props;
        for (const DispId id :
             {schedule::grid_ids::kBarSetting216, schedule::grid_ids::kBarSetting230,
              schedule::grid_ids::kBarSetting276}) {
          const QVariant v = mModel.barSetting(line, b, id);
          if (!v.isValid()) continue;
          std::array<Variant, 2> index = {Variant::I2(static_cast<std::int16_t>(line)),
                                          Variant::I2(static_cast<std::int16_t>(b))};
          props << QStringLiteral("\"%1\":%2")
                       .arg(id)
                       .arg(JsonValue(mComponent.Get(id, index), mLimit));
        }
        bars << QStringLiteral(
                    "{\"index\":%1,\"start\":[%2,%3],\"end\":[%4,%5],\"colour\":%6,%7,"
                    "\"props\":{%8}}")
                    .arg(bar->index)
                    .arg(bar->start.day)
                    .arg(bar->start.minute)
                    .arg(bar->end.day)
                    .arg(bar->end.minute)
                    .arg(bar->colour)
                    .arg(bar->hasText ? JsonTextField(QLatin1String("text"), bar->text, mLimit)
                                      : QStringLiteral("\"text\":null"),
                         props.join(QLatin1Char(',')));
      }
      rows << QStringLiteral("{\"cells\":[%1],\"bars\":[%2]}")
                  .arg(cells.join(QLatin1Char(',')), bars.join(QLatin1Char(',')));
    }
    // Built by concatenation: cell texts may hold "%1" and must not meet QString::arg again.
    const QString state =
        QStringLiteral("{\"rows\":[") + rows.join(QLatin1Char(',')) +
        QStringLiteral("],\"zoom\":") + QString::number(mSettings.zoom()) +
        QStringLiteral(",\"horizon\":[") + QString::number(mSettings.horizonStart()) +
        QLatin1Char(',') + QString::number(mSettings.horizonEnd()) + QStringLiteral("],") +
        JsonTextField(QLatin1String("tooltip"), mSettings.toolTipText(), mLimit) + QLatin1Char('}');
    mOut << Line(QStringLiteral("state"), state) << '\n';
  }

  QTextStream& mOut;
  TextLimit mLimit;
  TracedSite mSite;
  TracedGrid* mGrid = nullptr;
  control::Board mBoard;
  grid::ScheduleModel& mModel;
  grid::ScheduleSettings& mSettings;
  schedule::GridComponent& mComponent;
  control::Zeb_Varnex& mControl;
};

}  // namespace

int RunTrace(QIODevice& script, QTextStream& out, qsizetype elide) {
  Trace trace(out, elide);
  while (!script.atEnd()) {
    const QByteArray line = script.readLine().trimmed();
    if (line.isEmpty()) continue;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
      trace.Error(QStringLiteral("not a JSON object: ") + QString::fromUtf8(line.left(200)));
    } else {
      trace.Run(doc.object());
    }
    out.flush();
  }
  out.flush();
  return 0;
}

}  // namespace varnex::app
