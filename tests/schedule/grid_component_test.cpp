#include "schedule/grid_component.h"

#include "grid/schedule_model.h"
#include "grid/schedule_settings.h"
#include "platform/automation_error.h"
#include "platform/font_object.h"
#include "platform/variant.h"
#include "schedule/schedule_ids.h"
#include "tests/support/error_of.h"
#include "tests/support/qt_printers.h"
#include "tests/support/recording_dispatch.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace varnex::testing {
namespace {

using platform::Variant;
namespace errors = platform::errors;
namespace ids = schedule::grid_ids;

std::array<Variant, 2> At(int line, int column) {
  return {Variant::I2(static_cast<std::int16_t>(line)).ByRef(),
          Variant::I2(static_cast<std::int16_t>(column))};
}

class GridComponent : public ::testing::Test {
 protected:
  GridComponent() { model.setColumns(QList<grid::ColumnSpec>(10)); }

  Variant AddBar(int line, int startMinute, int endMinute, int startDay = 45290,
                 int endDay = 45291) {
    std::array<Variant, 5> args = {Variant::I2(static_cast<std::int16_t>(line)).ByRef(),
                                   Variant::I4(startMinute), Variant::I4(endMinute),
                                   Variant::I4(startDay), Variant::I4(endDay)};
    return grid.Call(ids::kAddBar, args);
  }
  void AddRow(const char* text) {
    std::array<Variant, 1> args = {Variant::Bstr(QString::fromUtf8(text))};
    grid.Call(ids::kAddRow, args);
  }

  grid::ScheduleModel model;
  grid::ScheduleSettings settings;
  schedule::GridComponent grid{model, settings};
};

TEST_F(GridComponent, CarriesEachOperationOntoTheModel) {
  AddRow("WO1;IT-1;;Bearing");
  AddRow("WO2");
  EXPECT_EQ(AddBar(2, 60, 1439), Variant::I4(1));
  EXPECT_EQ(AddBar(2, 0, 0), Variant::I4(2));
  auto cell = At(1, 4);
  EXPECT_EQ(grid.Call(ids::kCellText, cell), Variant::Bstr(QStringLiteral("Bearing")));
  cell = At(1, 3);
  EXPECT_EQ(grid.Call(ids::kCellText, cell), Variant::Bstr(QString()));

  auto bar = At(2, 1);
  grid.Put(ids::kBarColour, bar, Variant::I4(11184810));
  grid.Put(ids::kBarText, bar, Variant::Bstr(QStringLiteral("?")));
  grid.Put(ids::kBarSetting216, bar, Variant::I2(0).ByRef());
  ASSERT_NE(model.bar(2, 1), nullptr);
  EXPECT_EQ(model.bar(2, 1)->start, (grid::TimePoint{45290, 60}));
  EXPECT_EQ(model.bar(2, 1)->colour, 11184810u);
  EXPECT_EQ(grid.Get(ids::kBarText, bar), Variant::Bstr(QStringLiteral("?")));
  EXPECT_EQ(grid.Get(ids::kBarSetting216, bar), Variant::I2(0));
  // A bar whose text was never set has no text at all.
  bar = At(2, 2);
  EXPECT_TRUE(grid.Get(ids::kBarText, bar).IsEmpty());

  // The title font is read as a font object whose changes reach the settings.
  grid.Put(ids::kTitleFont, Variant::Bstr(QStringLiteral("Verdana")));
  const Variant font = grid.Get(ids::kTitleFont);
  ASSERT_EQ(font.Type(), platform::VarType::Font);
  font.AsFont()->Put(platform::font_ids::kSize, Variant::I2(10));
  font.AsFont()->Put(platform::font_ids::kBold, Variant::Bool(true));
  EXPECT_EQ(settings.titleFont(), (grid::FontSpec{QStringLiteral("Verdana"), 10, true}));

  grid.Put(ids::kZoom, Variant::I2(30));
  EXPECT_EQ(grid.Get(ids::kZoom), Variant::I2(30));
  grid.Put(ids::kHorizonStart, Variant::I4(-2));
  EXPECT_EQ(settings.horizonStart(), -2);
}

TEST_F(GridComponent, RefusesWhatTheModelDoesNotHaveWithANumberedError) {
  AddRow("WO1");
  AddBar(1, 0, 10);
  // Lines, bars and columns that do not exist.
  EXPECT_EQ(ErrorOf([&] { AddBar(0, 0, 10); }), errors::kSubscriptOutOfRange);
  EXPECT_EQ(ErrorOf([&] { AddBar(2, 0, 10); }), errors::kSubscriptOutOfRange);
  auto missing = At(1, 2);
  EXPECT_EQ(ErrorOf([&] { grid.Put(ids::kBarColour, missing, Variant::I4(0)); }),
            errors::kSubscriptOutOfRange);
  EXPECT_EQ(ErrorOf([&] { grid.Call(ids::kFocusBar, missing); }), errors::kSubscriptOutOfRange);
  auto column = At(1, 11);
  EXPECT_EQ(ErrorOf([&] { grid.Call(ids::kCellText, column); }), errors::kSubscriptOutOfRange);
  // Minutes outside the day, a zoom past 16 bits (the zoom stays), and a line number past 16
  // bits. Every 16-bit zoom is kept and read back as written.
  EXPECT_EQ(ErrorOf([&] { AddBar(1, 0, 1440); }), errors::kInvalidPropertyValue);
  EXPECT_EQ(ErrorOf([&] { AddBar(1, -1, 10); }), errors::kInvalidPropertyValue);
  for (const std::int16_t zoom : {std::int16_t(-32768), std::int16_t(0), std::int16_t(32767)}) {
    grid.Put(ids::kZoom, Variant::I2(zoom));
    EXPECT_EQ(grid.Get(ids::kZoom), Variant::I2(zoom));
  }
  EXPECT_EQ(ErrorOf([&] { grid.Put(ids::kZoom, Variant::I4(40000)); }), errors::kOverflow);
  EXPECT_EQ(settings.zoom(), 32767);
  std::array<Variant, 5> wide = {Variant::I4(40000), Variant::I4(0), Variant::I4(0), Variant::I4(0),
                                 Variant::I4(0)};
  EXPECT_EQ(ErrorOf([&] { grid.Call(ids::kAddBar, wide); }), errors::kOverflow);
  // Title font sizes from 1 to 2048 points; a refused size leaves the font as it was.
  const Variant font = grid.Get(ids::kTitleFont);
  font.AsFont()->Put(platform::font_ids::kSize, Variant::I2(2048));
  for (const std::int32_t size : {0, 2049}) {
    EXPECT_EQ(ErrorOf([&] { font.AsFont()->Put(platform::font_ids::kSize, Variant::I4(size)); }),
              errors::kInvalidPropertyValue);
  }
  EXPECT_EQ(settings.titleFont().pointSize, 2048);
  // Calls the component does not know, or with the wrong count.
  EXPECT_EQ(ErrorOf([&] { grid.Call(ids::kAddRow); }), errors::kWrongArgumentCount);
  EXPECT_EQ(ErrorOf([&] { grid.Put(12345, Variant::I2(1)); }), errors::kNotSupported);
  EXPECT_EQ(ErrorOf([&] { grid.Call(ids::kZoom); }), errors::kNotSupported);
  EXPECT_EQ(model.lineCount(), 1);
  EXPECT_EQ(model.barCount(1), 1);
}

TEST_F(GridComponent, RaisesTheViewsGesturesAsSixteenBitEventsAndFocusesOnlyExistingBars) {
  struct Sink : platform::EventSink {
    void OnEvent(platform::DispId id, std::span<Variant> args) override {
      QStringList values;
      for (const Variant& v : args) values << Describe(v);
      seen << QStringLiteral("%1(%2)").arg(id).arg(values.join(QStringLiteral(", ")));
    }
    QStringList seen;
  } sink;
  grid.SetEventSink(&sink);
  grid.RaiseLinePicked(2);
  grid.RaiseHover(3, 1);
  grid.RaiseBarActivated(1, 2, -1);
  // A value that no 16-bit event value can carry is not raised.
  grid.RaiseHover(40000, 1);
  grid.SetEventSink(nullptr);
  grid.RaiseLinePicked(1);
  EXPECT_EQ(sink.seen,
            QStringList({QStringLiteral("3(I2 2, I2 0)"), QStringLiteral("16(I2 3, I2 1)"),
                         QStringLiteral("8(I2 1, I2 2, I2 -1, I2 0)")}));

  // Operation 165 hands an existing bar to the screen, after checking it.
  AddRow("WO1");
  AddBar(1, 0, 10);
  std::vector<std::pair<int, int>> focused;
  auto bar = At(1, 1);
  grid.Call(ids::kFocusBar, bar);  // no screen: checked, and nothing more
  grid.SetBarFocusHandler([&focused](int line, int bar) { focused.emplace_back(line, bar); });
  grid.Call(ids::kFocusBar, bar);
  auto missing = At(1, 2);
  EXPECT_EQ(ErrorOf([&] { grid.Call(ids::kFocusBar, missing); }), errors::kSubscriptOutOfRange);
  EXPECT_EQ(focused, (std::vector<std::pair<int, int>>{{1, 1}}));
}

}  // namespace
}  // namespace varnex::testing
