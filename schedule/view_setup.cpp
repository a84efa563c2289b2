#include "schedule/view_setup.h"

#include "platform/automation_error.h"
#include "platform/dispatch.h"
#include "schedule/day_number.h"
#include "schedule/schedule_ids.h"

namespace varnex::schedule {

using platform::Variant;

namespace {

// The font object behind the title's font property, read anew for every change.
std::shared_ptr<platform::Dispatch> TitleFont(platform::Dispatch& grid) {
  const Variant font = grid.Get(grid_ids::kTitleFont);
  if (font.Type() != platform::VarType::Font || !font.AsFont()) {
    platform::ThrowError(platform::errors::kObjectRequired);
  }
  return font.AsFont();
}

}  // namespace

void SchedTitleSet(platform::Dispatch& grid) {
  grid.Put(grid_ids::kTitleAlign, Variant::I4(2));
  grid.Put(grid_ids::kTitleBorder, Variant::I4(2));
  grid.Put(grid_ids::kTitleFont, Variant::Bstr(QStringLiteral("Verdana")));
  grid.Put(grid_ids::kTitleColour, Variant::I4(0x800000));
  TitleFont(grid)->Put(platform::font_ids::kSize, Variant::I2(10));
  TitleFont(grid)->Put(platform::font_ids::kBold, Variant::Bool(true));
  grid.Put(grid_ids::kTitleSetting4, Variant::I2(155));
}

void SchedGridSet(platform::Dispatch& grid, platform::Date horizonStart,
                  platform::Date horizonEnd) {
  grid.Put(grid_ids::kGridSetting80, Variant::Bool(true));
  grid.Put(grid_ids::kRulerAlign, Variant::I4(0));
  grid.Put(grid_ids::kTimeType, Variant::I4(1));
  grid.Put(grid_ids::kGridSetting29, Variant::I2(0));
  grid.Put(grid_ids::kGridSetting30, Variant::I2(0));
  grid.Put(grid_ids::kRulerPattern, Variant::Bstr(QStringLiteral("M ,Y")));
  grid.Put(grid_ids::kWeekdayNames, Variant::Bstr(QStringLiteral("Sun;Mon;Tue;Wed;Thu;Fri;Sat;")));
  grid.Put(grid_ids::kGridSetting82, Variant::I2(65));
  grid.Put(grid_ids::kGridSetting92, Variant::Bool(true));
  grid.Put(grid_ids::kHorizonStart, Variant::I4(DayNumber(horizonStart)));
  grid.Put(grid_ids::kHorizonEnd, Variant::I4(DayNumber(horizonEnd)));
  grid.Put(grid_ids::kGridSetting81, Variant::I2(3));
  grid.Put(grid_ids::kGridSetting48, Variant::Bool(false));
  grid.Put(grid_ids::kRulerAlign, Variant::I4(0));
  grid.Put(grid_ids::kGridSetting49, Variant::I2(6));
  grid.Put(grid_ids::kGridSetting40, Variant::I2(5));
  grid.Put(grid_ids::kZoom, Variant::I2(230));
  grid.Put(grid_ids::kGridSetting51, Variant::Bool(true));
  grid.Put(grid_ids::kTodayLineWidth, Variant::I4(0));
  grid.Put(grid_ids::kGridSetting147, Variant::Bool(true));
}

}  // namespace varnex::schedule
