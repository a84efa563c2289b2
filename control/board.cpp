#include "control/board.h"

#include "control/zeb_varnex.h"
#include "grid/schedule_model.h"
#include "grid/schedule_settings.h"
#include "orders/order_codes.h"
#include "orders/order_columns.h"
#include "platform/variant.h"
#include "schedule/grid_component.h"

#include <QLocale>

#include <array>
#include <string_view>

namespace varnex::control {

namespace {

using orders::OrderColumn;

QString Text(std::u16string_view text) {
  return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

// The grid's columns: the order line's ten, with their captions, widths and styles.
QList<grid::ColumnSpec> GridColumns() {
  QList<grid::ColumnSpec> columns;
  for (const orders::ColumnDefinition& c : orders::kOrderColumns)
    columns.append({Text(c.caption), c.width, grid::ColumnStyle(c.styleCode)});
  return columns;
}

// The board's words for its lines: each line is an order, each bar colour a state.
class OrderWords final : public grid::LineDescriber {
 public:
  explicit OrderWords(const orders::StateColours& colours)
      : mStates{{{colours.mColorSuggested.AsI4(), QStringLiteral("suggested")},
                 {colours.mColorAccepted.AsI4(), QStringLiteral("accepted")},
                 {colours.mColorFirm.AsI4(), QStringLiteral("firmed")},
                 {colours.mColorReleased.AsI4(), QStringLiteral("released")}}},
        mOther(colours.mColorOther.AsI4()) {}

  // The states by bar colour, then the actions by the action column's text.
  QList<grid::LineKind> kinds() const override {
    QList<grid::LineKind> kinds;
    for (const auto& [value, name] : mStates) {
      grid::LineKind kind;
      kind.words = name.left(1).toUpper() + name.mid(1);
      kind.colour = std::uint32_t(value);
      kinds.append(kind);
    }
    grid::LineKind other;
    other.words = QStringLiteral("other state");
    other.colour = std::uint32_t(mOther);
    kinds.append(other);
    for (const orders::Action& action : orders::AllActions()) {
      grid::LineKind kind;
      kind.words = action.message.toString();
      kind.mark = action.mark.value_or(QStringView()).toString();
      kind.test = grid::LineKind::Test::CellText;
      kind.column = orders::ColumnNumber(OrderColumn::ActionMessage);
      kind.text = kind.words;
      kinds.append(kind);
    }
    return kinds;
  }

  int keyColumn() const override { return orders::ColumnNumber(OrderColumn::Order); }

  QString colourName(std::uint32_t colour) const override {
    for (const auto& [value, name] : mStates) {
      if (std::uint32_t(value) == colour) return name;
    }
    return QStringLiteral("other");
  }

  QString lineText(const grid::ScheduleModel& model, int line) const override {
    const grid::Bar* bar = model.bar(line, 1);
    const QString state =
        bar ? colourName(bar->colour) + QStringLiteral(" state") : QStringLiteral("not scheduled");
    const QString action =
        model.cellText(line, orders::ColumnNumber(OrderColumn::ActionMessage)).trimmed();
    return QStringLiteral("Order %1, %2, %3")
        .arg(model.cellText(line, orders::ColumnNumber(OrderColumn::Order)), state,
             action.isEmpty() ? QStringLiteral("no action") : QStringLiteral("action ") + action);
  }

  QString lineDescription(const grid::ScheduleModel& model, int line) const override {
    return model.cellText(line, orders::ColumnNumber(OrderColumn::ItemDesc));
  }

  QString countText(int lines) const override {
    return QStringLiteral("%1 orders").arg(QLocale().toString(lines));
  }

 private:
  std::array<std::pair<std::int32_t, QString>, 4> mStates;
  std::int32_t mOther;
};

}  // namespace

struct Board::Parts {
  explicit Parts(platform::ControlSite& site, const GridWrapper& wrap)
      : grid(ColumnsSet(model), settings),
        wrapped(wrap ? wrap(grid) : nullptr),
        control(wrapped ? *wrapped : static_cast<platform::Dispatch&>(grid), site) {
    model.setDescriber(std::make_shared<OrderWords>(control.StateColours()));
    grid.SetEventSink(&control.GridEvents());
    // The grid compares each completed load with the last, for the planner to see what changed.
    control.OnLoadCompleted([this] { model.loadCompleted(); });
  }
  ~Parts() { grid.SetEventSink(nullptr); }

  // The columns are design data: set before anything can add a line, outside the boundary.
  static grid::ScheduleModel& ColumnsSet(grid::ScheduleModel& m) {
    m.setColumns(GridColumns());
    return m;
  }

  grid::ScheduleModel model;
  grid::ScheduleSettings settings;
  schedule::GridComponent grid;
  std::unique_ptr<platform::Dispatch> wrapped;
  Zeb_Varnex control;
};

Board::Board(platform::ControlSite& site, const GridWrapper& wrap)
    : d(std::make_unique<Parts>(site, wrap)) {}

Board::~Board() = default;

grid::ScheduleModel& Board::Model() const {
  return d->model;
}
grid::ScheduleSettings& Board::Settings() const {
  return d->settings;
}
schedule::GridComponent& Board::Grid() const {
  return d->grid;
}
Zeb_Varnex& Board::Control() const {
  return d->control;
}

}  // namespace varnex::control
