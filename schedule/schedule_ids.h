#pragma once

#include "platform/dispatch.h"

namespace varnex::schedule {

using platform::DispId;

/// Operations of the schedule grid component, by DISPID.
namespace grid_ids {
inline constexpr DispId kAddRow = 163;
inline constexpr DispId kAddBar = 164;
inline constexpr DispId kFocusBar = 165;
inline constexpr DispId kBarSetting216 = 216;
inline constexpr DispId kBarColour = 217;
inline constexpr DispId kBarText = 229;
inline constexpr DispId kBarSetting230 = 230;
inline constexpr DispId kBarSetting276 = 276;
inline constexpr DispId kCellText = 236;
inline constexpr DispId kRedrawAfterBar = 83;
inline constexpr DispId kZoom = 28;
inline constexpr DispId kHorizonStart = 31;
inline constexpr DispId kHorizonEnd = 32;
inline constexpr DispId kTitleAlign = 13;
inline constexpr DispId kTitleBorder = 11;
inline constexpr DispId kTitleFont = 10;
inline constexpr DispId kTitleColour = 9;
inline constexpr DispId kTitleSetting4 = 4;
inline constexpr DispId kGridSetting80 = 80;
inline constexpr DispId kRulerAlign = 33;
inline constexpr DispId kTimeType = 25;
inline constexpr DispId kGridSetting29 = 29;
inline constexpr DispId kGridSetting30 = 30;
inline constexpr DispId kRulerPattern = 43;
inline constexpr DispId kWeekdayNames = 41;
inline constexpr DispId kGridSetting82 = 82;
inline constexpr DispId kGridSetting92 = 92;
inline constexpr DispId kGridSetting81 = 81;
inline constexpr DispId kGridSetting48 = 48;
inline constexpr DispId kGridSetting49 = 49;
inline constexpr DispId kGridSetting40 = 40;
inline constexpr DispId kGridSetting51 = 51;
inline constexpr DispId kTodayLineWidth = 149;
inline constexpr DispId kGridSetting147 = 147;
/// Empties the list: every line and bar goes.
inline constexpr DispId kClearList = 900;
}  // namespace grid_ids

/// Events that the schedule grid raises.
namespace grid_events {
inline constexpr DispId kLinePicked = 3;
inline constexpr DispId kBarActivated = 8;
inline constexpr DispId kHover = 16;
}  // namespace grid_events

/// The toolbar's button event.
namespace toolbar_events {
inline constexpr DispId kButtonPressed = 3;
}  // namespace toolbar_events

}  // namespace varnex::schedule
