#include "control/board.h"

#include "control/zeb_varnex.h"
#include "grid/schedule_model.h"
#include "platform/variant.h"
#include "schedule/grid_component.h"

#include <QLocale>

#include <array>

namespace varnex::control {

namespace {

// The grid's columns as the control's design stores them: caption, width in logical pixels and
// how cells are aligned and elided.
struct ColumnDesign {
  const char16_t* caption;
  int width;
  grid::ColumnStyle style;
};

constexpr std::array kColumnDesign = {
    ColumnDesign{u"Order", 155, grid::ColumnStyle::LeftAligned},
    ColumnDesign{u"ItemCode", 80, grid::ColumnStyle::LeftAligned},
    ColumnDesign{u"Variant", 100, grid::ColumnStyle::LeftAligned},
    ColumnDesign{u"Item Desc", 200, grid::ColumnStyle::LeftAligned},
    ColumnDesign{u"Order Qty", 100, grid::ColumnStyle::LeftAligned},
    ColumnDesign{u"Order Category", 200, grid::ColumnStyle::LeftElidedMiddle},
    ColumnDesign{u"Supplier", 200, grid::ColumnStyle::LeftElidedMiddle},
    ColumnDesign{u"new_qty", 100, grid::ColumnStyle::RightAligned},
    ColumnDesign{u"new_date", 100, grid::ColumnStyle::LeftAligned},
    ColumnDesign{u"Action Message", 200, grid::ColumnStyle::LeftAligned},
};

// Columns the words below read.
constexpr int kOrderColumn = 1;
constexpr int kDescriptionColumn = 4;
constexpr int kActionColumn = 10;

QList<grid::ColumnSpec> GridColumns() {
  QList<grid::ColumnSpec> columns;
  for (const ColumnDesign& c : kColumnDesign)
    columns.append({QString::fromUtf16(c.caption), c.width, c.style});
  return columns;
}

// The board's words for its lines: each line is an order, each bar colour a state.
class OrderWords final : public grid::LineDescriber {
 public:
  explicit OrderWords(const orders::StateColours& colours)
      : mStates{{{colours.mColorSuggested.AsI4(), QStringLiteral("suggested")},
                 {colours.mColorAccepted.AsI4(), QStringLiteral("accepted")},
                 {colours.mColorFirm.AsI4(), QStringLiteral("firmed")},
                 {colours.mColorReleased.AsI4(), QStringLiteral("released")}}} {}

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
    const QString action = model.cellText(line, kActionColumn).trimmed();
    return QStringLiteral("Order %1, %2, %3")
        .arg(model.cellText(line, kOrderColumn), state,
             action.isEmpty() ? QStringLiteral("no action") : QStringLiteral("action ") + action);
  }

  QString lineDescription(const grid::ScheduleModel& model, int line) const override {
    return model.cellText(line, kDescriptionColumn);
  }

  QString countText(int lines) const override {
    return QStringLiteral("%1 orders").arg(QLocale().toString(lines));
  }

 private:
  std::array<std::pair<std::int32_t, QString>, 4> mStates;
};

}  // namespace

struct Board::Parts {
  explicit Parts(platform::ControlSite& site, const GridWrapper& wrap)
      : grid(ColumnsSet(model)),
        wrapped(wrap ? wrap(grid) : nullptr),
        control(wrapped ? *wrapped : static_cast<platform::Dispatch&>(grid), site) {
    model.setDescriber(std::make_shared<OrderWords>(control.StateColours()));
    grid.SetEventSink(&control.GridEvents());
  }
  ~Parts() { grid.SetEventSink(nullptr); }

  // The columns are design data: set before anything can add a line, outside the boundary.
  static grid::ScheduleModel& ColumnsSet(grid::ScheduleModel& m) {
    m.setColumns(GridColumns());
    return m;
  }

  grid::ScheduleModel model;
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
schedule::GridComponent& Board::Grid() const {
  return d->grid;
}
Zeb_Varnex& Board::Control() const {
  return d->control;
}

}  // namespace varnex::control
