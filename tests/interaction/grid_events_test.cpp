#include "interaction/grid_events.h"

#include "platform/automation_error.h"
#include "platform/conversions.h"
#include "platform/variant.h"
#include "schedule/schedule_ids.h"
#include "tests/support/error_of.h"
#include "tests/support/qt_printers.h"
#include "tests/support/recording_dispatch.h"
#include "tests/support/recording_site.h"

#include <gtest/gtest.h>

namespace varnex::testing {
namespace {

using platform::Variant;
namespace errors = platform::errors;
namespace ids = schedule::grid_ids;
using namespace interaction;

QString Only(const QStringList& lines, const char* prefix) {
  QStringList kept;
  for (const QString& line : lines) {
    if (line.startsWith(QLatin1String(prefix))) kept << line;
  }
  return kept.join(QLatin1Char('\n'));
}

// A grid whose cells read "r<row>c<column>", except where a test says otherwise; the site
// records into the grid's lines so that reads and the tooltip show in one order.
class GridEvents : public ::testing::Test {
 protected:
  GridEvents() {
    grid.Answer(ids::kCellText, [this](std::span<Variant> args) {
      ++reads;
      const int row = platform::ToI2(args[0]);
      const int column = platform::ToI2(args[1]);
      if (reads == failingRead) platform::ThrowError(errors::kSubscriptOutOfRange);
      if (auto cell = cells.find({row, column}); cell != cells.end()) return cell->second;
      return Variant::Bstr(QStringLiteral("r%1c%2").arg(row).arg(column));
    });
  }
  QString Trace() const { return grid.lines.join(QLatin1Char('\n')); }

  RecordingDispatch grid;
  RecordingSite site{grid.lines};
  std::map<std::pair<int, int>, Variant> cells;
  int reads = 0;
  int failingRead = 0;
};

TEST_F(GridEvents, PickKeepsTheFirstCellOfTheLatestPickedLine) {
  QString selected;
  OnLinePicked(grid, 2, selected);
  EXPECT_EQ(selected.toStdString(), "r2c1");
  EXPECT_EQ(Trace().toStdString(), "call 236(&I2 2, I2 1) -> BSTR \"r2c1\"");
  OnLinePicked(grid, 5, selected);
  EXPECT_EQ(selected.toStdString(), "r5c1");

  // A line whose first cell is empty, read as text or as nothing at all.
  cells[{6, 1}] = Variant::Bstr(QString());
  OnLinePicked(grid, 6, selected);
  EXPECT_EQ(selected, QString());
  selected = QStringLiteral("WO9");
  cells[{7, 1}] = Variant();
  OnLinePicked(grid, 7, selected);
  EXPECT_EQ(selected, QString());

  // A number reads as its text; a null and a refused read keep the earlier pick.
  cells[{8, 1}] = Variant::I4(4711);
  OnLinePicked(grid, 8, selected);
  EXPECT_EQ(selected.toStdString(), "4711");
  cells[{9, 1}] = Variant::Null();
  EXPECT_EQ(ErrorOf([&] { OnLinePicked(grid, 9, selected); }), errors::kInvalidUseOfNull);
  failingRead = reads + 1;
  EXPECT_EQ(ErrorOf([&] { OnLinePicked(grid, 1, selected); }), errors::kSubscriptOutOfRange);
  EXPECT_EQ(selected.toStdString(), "4711");
}

TEST_F(GridEvents, HoverReadsFiveCellsInOrderThenSetsTheTooltipOnce) {
  OnHover(grid, site, 3, 1);
  EXPECT_EQ(Trace().toStdString(),
            "call 236(&I2 3, I2 4) -> BSTR \"r3c4\"\n"
            "call 236(&I2 3, I2 10) -> BSTR \"r3c10\"\n"
            "call 236(&I2 3, I2 6) -> BSTR \"r3c6\"\n"
            "call 236(&I2 3, I2 8) -> BSTR \"r3c8\"\n"
            "call 236(&I2 3, I2 9) -> BSTR \"r3c9\"\n"
            "tooltip \"r3c4 / r3c10 / r3c6 / r3c8 / r3c9\"");

  // Empty cells keep their places between the separators.
  grid.lines.clear();
  for (int column : {4, 10, 6, 8, 9}) cells[{2, column}] = Variant::Bstr(QString());
  OnHover(grid, site, 2, 32767);
  EXPECT_EQ(grid.lines.size(), 6);
  EXPECT_EQ(grid.lines.last().toStdString(), "tooltip \" /  /  /  / \"");
}

TEST_F(GridEvents, HoverBelowOneClearsTheTooltipWithoutReadingACell) {
  OnHover(grid, site, 3, 0);
  OnHover(grid, site, 3, -1);
  OnHover(grid, site, 3, -32768);
  EXPECT_EQ(Trace().toStdString(), "tooltip \"\"\ntooltip \"\"\ntooltip \"\"");
}

TEST_F(GridEvents, HoverWithAFailingReadStopsAndLeavesTheTooltipAlone) {
  failingRead = 3;
  EXPECT_EQ(ErrorOf([&] { OnHover(grid, site, 4, 1); }), errors::kSubscriptOutOfRange);
  EXPECT_EQ(Trace().toStdString(),
            "call 236(&I2 4, I2 4) -> BSTR \"r4c4\"\n"
            "call 236(&I2 4, I2 10) -> BSTR \"r4c10\"\n"
            "call 236(&I2 4, I2 6) !! 9");
}

TEST_F(GridEvents, BarActivationHandsBothValuesToTheGridOnlyWhenTheFlagIsTrue) {
  OnBarActivated(grid, 4, 2, -1);
  EXPECT_EQ(Trace().toStdString(), "call 165(&I2 4, &I2 2)");
  grid.lines.clear();
  OnBarActivated(grid, 4, 2, 0);
  OnBarActivated(grid, 4, 2, 1);
  OnBarActivated(grid, 4, 2, 2);
  EXPECT_TRUE(grid.lines.isEmpty());
}

TEST_F(GridEvents, ZoomButtonsStepTheZoomByFiftyAndTheOthersDoNothing) {
  grid.properties[ids::kZoom] = Variant::I2(230);
  for (std::int16_t button : {buttons::kOpen, buttons::kHideMultiline, buttons::kShowMultiline,
                              buttons::kSearch, std::int16_t{0}, std::int16_t{7}}) {
    OnToolbarButton(grid, button);
  }
  EXPECT_TRUE(grid.lines.isEmpty());

  OnToolbarButton(grid, buttons::kZoomIn);
  OnToolbarButton(grid, buttons::kZoomOut);
  OnToolbarButton(grid, buttons::kZoomOut);
  EXPECT_EQ(Trace().toStdString(),
            "get 28 -> I2 230\nput 28 = I2 280\n"
            "get 28 -> I2 280\nput 28 = I2 230\n"
            "get 28 -> I2 230\nput 28 = I2 180");

  // No lower bound of the control's own: every step is written.
  grid.lines.clear();
  for (int i = 0; i < 4; ++i) OnToolbarButton(grid, buttons::kZoomOut);
  EXPECT_EQ(Only(grid.lines, "put").toStdString(),
            "put 28 = I2 130\nput 28 = I2 80\nput 28 = I2 30\nput 28 = I2 -20");
}

TEST_F(GridEvents, ZoomStepsPastSixteenBitsOverflowBeforeAnythingIsWritten) {
  grid.properties[ids::kZoom] = Variant::I2(32720);
  EXPECT_EQ(ErrorOf([&] { OnToolbarButton(grid, buttons::kZoomIn); }), errors::kOverflow);
  grid.properties[ids::kZoom] = Variant::I2(-32720);
  EXPECT_EQ(ErrorOf([&] { OnToolbarButton(grid, buttons::kZoomOut); }), errors::kOverflow);
  // A value read from the grid that does not fit 16 bits.
  grid.properties[ids::kZoom] = Variant::I4(40000);
  EXPECT_EQ(ErrorOf([&] { OnToolbarButton(grid, buttons::kZoomOut); }), errors::kOverflow);
  EXPECT_EQ(Only(grid.lines, "put"), QString());

  // A value that the grid refuses comes back as the failure of the put.
  grid.properties[ids::kZoom] = Variant::I2(30);
  grid.lines.clear();
  grid.FailNext(ids::kZoom, errors::kInvalidPropertyValue, {}, platform::InvokeKind::PropertyPut);
  EXPECT_EQ(ErrorOf([&] { OnToolbarButton(grid, buttons::kZoomOut); }),
            errors::kInvalidPropertyValue);
  EXPECT_EQ(Trace().toStdString(), "get 28 -> I2 30\nput 28 = I2 -20 !! 380");
}

}  // namespace
}  // namespace varnex::testing
