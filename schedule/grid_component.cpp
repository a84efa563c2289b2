#include "schedule/grid_component.h"

#include "grid/schedule_model.h"
#include "grid/schedule_settings.h"
#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/font_object.h"
#include "schedule/schedule_ids.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <limits>

namespace varnex::schedule {

using platform::InvokeKind;
using platform::Variant;
using platform::VarType;

namespace {

// Ids that are plain settings: kept as given and read back.
constexpr std::array kPlainSettings = {grid_ids::kTitleSetting4, grid_ids::kGridSetting80,
                                       grid_ids::kRulerAlign,    grid_ids::kTimeType,
                                       grid_ids::kGridSetting29, grid_ids::kGridSetting30,
                                       grid_ids::kGridSetting82, grid_ids::kGridSetting92,
                                       grid_ids::kGridSetting81, grid_ids::kGridSetting48,
                                       grid_ids::kGridSetting49, grid_ids::kGridSetting40,
                                       grid_ids::kGridSetting51, grid_ids::kGridSetting147,
                                       grid_ids::kRedrawAfterBar};

constexpr std::array kBarSettings = {grid_ids::kBarSetting216, grid_ids::kBarSetting230,
                                     grid_ids::kBarSetting276};

template <std::size_t N>
bool Contains(const std::array<platform::DispId, N>& ids, platform::DispId id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

QVariant ToQVariant(const Variant& v) {
  switch (v.Type()) {
    case VarType::I2: return QVariant::fromValue<qint16>(v.AsI2());
    case VarType::I4: return QVariant::fromValue<qint32>(v.AsI4());
    case VarType::Bool: return QVariant::fromValue<bool>(v.AsBool());
    case VarType::Bstr: return QVariant::fromValue(v.AsBstr());
    case VarType::Date: return QVariant::fromValue<qint64>(v.AsDate().seconds);
    case VarType::Null: return QVariant::fromValue(nullptr);
    default: return {};
  }
}

Variant FromQVariant(const QVariant& v) {
  switch (v.typeId()) {
    case QMetaType::Short: return Variant::I2(v.value<qint16>());
    case QMetaType::Int: return Variant::I4(v.value<qint32>());
    case QMetaType::Bool: return Variant::Bool(v.toBool());
    case QMetaType::QString: return Variant::Bstr(v.toString());
    case QMetaType::LongLong: return Variant::FromDate(platform::Date{v.toLongLong()});
    case QMetaType::Nullptr: return Variant::Null();
    default: return {};
  }
}

[[noreturn]] void Refuse(std::int32_t number, const QString& why) {
  platform::ThrowError(number, why);
}

void NeedArgs(std::span<Variant> args, std::size_t count) {
  if (args.size() != count) platform::ThrowError(platform::errors::kWrongArgumentCount);
}

// The title font as a font object; each change goes straight to the settings.
class TitleFont final : public platform::FontObject {
 public:
  explicit TitleFont(grid::ScheduleSettings& settings) : mSettings(settings) {}

  platform::FontDescription Describe() const override {
    const grid::FontSpec f = mSettings.titleFont();
    return {f.family, f.pointSize, f.bold};
  }

  Variant Invoke(platform::DispId id, InvokeKind kind, std::span<Variant> args,
                 const Variant& value) override {
    if (!args.empty()) platform::ThrowError(platform::errors::kWrongArgumentCount);
    grid::FontSpec f = mSettings.titleFont();
    if (kind == InvokeKind::PropertyGet) {
      switch (id) {
        case platform::font_ids::kName: return Variant::Bstr(f.family);
        case platform::font_ids::kSize: return Variant::I4(static_cast<std::int32_t>(f.pointSize));
        case platform::font_ids::kBold: return Variant::Bool(f.bold);
        default: break;
      }
    } else if (kind == InvokeKind::PropertyPut) {
      switch (id) {
        case platform::font_ids::kName: {
          const QString name = platform::ToBstr(value);
          if (name.isEmpty())
            Refuse(platform::errors::kInvalidPropertyValue, QStringLiteral("A font needs a name"));
          f.family = name;
          break;
        }
        case platform::font_ids::kSize: {
          const std::int32_t size = platform::ToI4(value);
          if (size < 1 || size > GridComponent::kMaxFontSize) {
            Refuse(platform::errors::kInvalidPropertyValue,
                   QStringLiteral("Font size %1 is outside 1 to %2")
                       .arg(size)
                       .arg(GridComponent::kMaxFontSize));
          }
          f.pointSize = size;
          break;
        }
        case platform::font_ids::kBold: f.bold = platform::ToI4(value) != 0; break;
        default: platform::ThrowError(platform::errors::kNotSupported);
      }
      mSettings.setTitleFont(f);
      return {};
    }
    platform::ThrowError(platform::errors::kNotSupported);
  }

 private:
  grid::ScheduleSettings& mSettings;
};

}  // namespace

class GridComponent::Private {
 public:
  Private(grid::ScheduleModel& m, grid::ScheduleSettings& s) : model(m), settings(s) {}

  int Line(const Variant& v) const {
    const int line = platform::ToI2(v);
    if (line < 1 || line > model.lineCount()) {
      Refuse(
          platform::errors::kSubscriptOutOfRange,
          QStringLiteral("The grid has no line %1 (it holds %2)").arg(line).arg(model.lineCount()));
    }
    return line;
  }

  int BarOf(int line, const Variant& v) const {
    const int bar = platform::ToI2(v);
    if (model.bar(line, bar) == nullptr) {
      Refuse(platform::errors::kSubscriptOutOfRange,
             QStringLiteral("Line %1 has no bar %2").arg(line).arg(bar));
    }
    return bar;
  }

  static std::int32_t Minute(const Variant& v) {
    const std::int32_t minute = platform::ToI4(v);
    if (minute < 0 || minute > kLastMinuteOfDay) {
      Refuse(
          platform::errors::kInvalidPropertyValue,
          QStringLiteral("Minute of day %1 is outside 0 to %2").arg(minute).arg(kLastMinuteOfDay));
    }
    return minute;
  }

  Variant CallMethod(platform::DispId id, std::span<Variant> args) {
    switch (id) {
      case grid_ids::kAddRow:
        NeedArgs(args, 1);
        if (model.lineCount() >= kMaxLines) {
          Refuse(platform::errors::kOverflow,
                 QStringLiteral("The grid holds %1 lines, its most")
                     .arg(QLocale(QLocale::English).toString(kMaxLines)));
        }
        model.appendLine(platform::ToBstr(args[0]));
        return {};
      case grid_ids::kAddBar: {
        NeedArgs(args, 5);
        const int line = Line(args[0]);
        const std::int32_t startMinute = Minute(args[1]);
        const std::int32_t endMinute = Minute(args[2]);
        const grid::TimePoint start{platform::ToI4(args[3]), startMinute};
        const grid::TimePoint end{platform::ToI4(args[4]), endMinute};
        return Variant::I4(model.addBar(line, start, end));
      }
      case grid_ids::kCellText: {
        NeedArgs(args, 2);
        const int line = Line(args[0]);
        const int column = platform::ToI2(args[1]);
        if (column < 1 || column > model.columnCount()) {
          Refuse(platform::errors::kSubscriptOutOfRange,
                 QStringLiteral("The grid has no column %1 (it has 1 to %2)")
                     .arg(column)
                     .arg(model.columnCount()));
        }
        return Variant::Bstr(model.cellText(line, column));
      }
      case grid_ids::kFocusBar: {
        NeedArgs(args, 2);
        const int line = Line(args[0]);
        const int bar = BarOf(line, args[1]);
        if (focusBar) focusBar(line, bar);
        return {};
      }
      case grid_ids::kClearList:
        NeedArgs(args, 0);
        model.clearLines();
        return {};
      default: platform::ThrowError(platform::errors::kNotSupported);
    }
  }

  void PutBar(platform::DispId id, std::span<Variant> args, const Variant& value) {
    NeedArgs(args, 2);
    const int line = Line(args[0]);
    const int bar = BarOf(line, args[1]);
    switch (id) {
      case grid_ids::kBarColour:
        model.setBarColour(line, bar, static_cast<std::uint32_t>(platform::ToI4(value)));
        break;
      case grid_ids::kBarText: model.setBarText(line, bar, platform::ToBstr(value)); break;
      default: model.setBarSetting(line, bar, id, ToQVariant(value)); break;
    }
  }

  void PutProperty(platform::DispId id, const Variant& value) {
    switch (id) {
      case grid_ids::kZoom: settings.setZoom(platform::ToI2(value)); return;
      case grid_ids::kHorizonStart: settings.setHorizonStart(platform::ToI4(value)); return;
      case grid_ids::kHorizonEnd: settings.setHorizonEnd(platform::ToI4(value)); return;
      case grid_ids::kTitleAlign:
        settings.setTitleAlign(grid::TitleAlignment(platform::ToI4(value)));
        return;
      case grid_ids::kTitleBorder:
        settings.setTitleBorder(grid::TitleBorder(platform::ToI4(value)));
        return;
      case grid_ids::kTitleColour:
        settings.setTitleColour(static_cast<std::uint32_t>(platform::ToI4(value)));
        return;
      case grid_ids::kTitleFont: {
        grid::FontSpec f = settings.titleFont();
        if (value.Type() == VarType::Font) {
          auto* font = dynamic_cast<platform::FontObject*>(value.AsFont().get());
          if (font == nullptr) platform::ThrowTypeMismatch();
          const platform::FontDescription described = font->Describe();
          f = grid::FontSpec{described.name, described.size, described.bold};
        } else {
          f.family = platform::ToBstr(value);
        }
        settings.setTitleFont(f);
        return;
      }
      case grid_ids::kRulerPattern: settings.setRulerPattern(platform::ToBstr(value)); return;
      case grid_ids::kWeekdayNames: settings.setWeekdayNames(platform::ToBstr(value)); return;
      case grid_ids::kTodayLineWidth: settings.setTodayLineWidth(platform::ToI4(value)); return;
      default:
        if (!Contains(kPlainSettings, id)) platform::ThrowError(platform::errors::kNotSupported);
        if (value.Type() == VarType::Font) platform::ThrowTypeMismatch();
        settings.setSetting(id, ToQVariant(value));
        return;
    }
  }

  Variant GetProperty(platform::DispId id, std::span<Variant> args) {
    if (Contains(kBarSettings, id) || id == grid_ids::kBarColour || id == grid_ids::kBarText) {
      NeedArgs(args, 2);
      const int line = Line(args[0]);
      const grid::Bar* bar = model.bar(line, BarOf(line, args[1]));
      if (id == grid_ids::kBarColour) return Variant::I4(static_cast<std::int32_t>(bar->colour));
      if (id == grid_ids::kBarText) return bar->hasText ? Variant::Bstr(bar->text) : Variant();
      return FromQVariant(model.barSetting(line, bar->index, id));
    }
    NeedArgs(args, 0);
    switch (id) {
      case grid_ids::kZoom: {
        // A zoom past 16 bits is handed on as it is, so that the caller's conversion overflows
        // rather than reading a wrapped value.
        const int zoom = settings.zoom();
        if (zoom > std::numeric_limits<std::int16_t>::max()) return Variant::I4(zoom);
        return Variant::I2(static_cast<std::int16_t>(zoom));
      }
      case grid_ids::kHorizonStart: return Variant::I4(settings.horizonStart());
      case grid_ids::kHorizonEnd: return Variant::I4(settings.horizonEnd());
      case grid_ids::kTitleAlign:
        return Variant::I4(static_cast<std::int32_t>(settings.titleAlign()));
      case grid_ids::kTitleBorder:
        return Variant::I4(static_cast<std::int32_t>(settings.titleBorder()));
      case grid_ids::kTitleColour:
        return Variant::I4(static_cast<std::int32_t>(settings.titleColour()));
      case grid_ids::kTitleFont: return Variant::Font(std::make_shared<TitleFont>(settings));
      case grid_ids::kRulerPattern: return Variant::Bstr(settings.rulerPattern());
      case grid_ids::kWeekdayNames: return Variant::Bstr(settings.weekdayNames());
      case grid_ids::kTodayLineWidth: return Variant::I4(settings.todayLineWidth());
      default:
        if (!Contains(kPlainSettings, id)) platform::ThrowError(platform::errors::kNotSupported);
        return FromQVariant(settings.setting(id));
    }
  }

  void Raise(platform::DispId eventId, std::initializer_list<int> values) {
    if (sink == nullptr) return;
    std::vector<Variant> args;
    for (int v : values) {
      // Not expressible as a 16-bit event value.
      if (v < std::numeric_limits<std::int16_t>::min() ||
          v > std::numeric_limits<std::int16_t>::max())
        return;
      args.push_back(Variant::I2(static_cast<std::int16_t>(v)));
    }
    sink->OnEvent(eventId, args);
  }

  grid::ScheduleModel& model;
  grid::ScheduleSettings& settings;
  platform::EventSink* sink = nullptr;
  std::function<void(int, int)> focusBar;
};

GridComponent::GridComponent(grid::ScheduleModel& model, grid::ScheduleSettings& settings)
    : d(std::make_unique<Private>(model, settings)) {}

GridComponent::~GridComponent() = default;

void GridComponent::SetEventSink(platform::EventSink* sink) {
  d->sink = sink;
}

void GridComponent::SetBarFocusHandler(std::function<void(int line, int barIndex)> handler) {
  d->focusBar = std::move(handler);
}

void GridComponent::RaiseLinePicked(int line) {
  d->Raise(grid_events::kLinePicked, {line, 0});
}

void GridComponent::RaiseHover(int line, int value) {
  d->Raise(grid_events::kHover, {line, value});
}

void GridComponent::RaiseBarActivated(int line, int barIndex, int flag) {
  d->Raise(grid_events::kBarActivated, {line, barIndex, flag, 0});
}

grid::ScheduleModel& GridComponent::Model() const {
  return d->model;
}

grid::ScheduleSettings& GridComponent::Settings() const {
  return d->settings;
}

Variant GridComponent::Invoke(platform::DispId id, InvokeKind kind, std::span<Variant> args,
                              const Variant& value) {
  switch (kind) {
    case InvokeKind::Method: return d->CallMethod(id, args);
    case InvokeKind::PropertyGet: return d->GetProperty(id, args);
    case InvokeKind::PropertyPut:
      if (Contains(kBarSettings, id) || id == grid_ids::kBarColour || id == grid_ids::kBarText) {
        d->PutBar(id, args, value);
      } else {
        NeedArgs(args, 0);
        d->PutProperty(id, value);
      }
      return {};
  }
  return {};
}

}  // namespace varnex::schedule
