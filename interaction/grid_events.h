#pragma once

#include <QString>

#include <cstdint>
#include <span>

namespace varnex::platform {
class ControlSite;
class Dispatch;
class Variant;
}  // namespace varnex::platform

namespace varnex::interaction {

/// A line was picked: its first cell, the order number, becomes `mSelectedOrder`. On a failure
/// `mSelectedOrder` keeps its value.
void OnLinePicked(platform::Dispatch& grid, std::int16_t row, QString& mSelectedOrder);

/// The grid asks for a line's tooltip: with a second value of 1 or more, the summary
/// "Item Desc / Action Message / Order Category / new_qty / new_date" read from the line's
/// cells; below 1, the empty text without any read. The tooltip is set once, after all reads.
void OnHover(platform::Dispatch& grid, platform::ControlSite& site, std::int16_t row,
             std::int16_t value);

/// A bar was activated: with the flag -1 (true) the two values go back to the grid's bar focus
/// operation; any other flag does nothing.
void OnBarActivated(platform::Dispatch& grid, std::int16_t a, std::int16_t b, std::int16_t flag);

/// The main toolbar's button: "Zoom Out" (4) and "Zoom In" (5) step the grid's zoom value by
/// 50, checked for 16-bit overflow before anything is written; other buttons do nothing.
void OnToolbarButton(platform::Dispatch& grid, std::int16_t button);

/// Button numbers of the main toolbar.
namespace buttons {
inline constexpr std::int16_t kOpen = 1;
inline constexpr std::int16_t kHideMultiline = 2;
inline constexpr std::int16_t kShowMultiline = 3;
inline constexpr std::int16_t kZoomOut = 4;
inline constexpr std::int16_t kZoomIn = 5;
inline constexpr std::int16_t kSearch = 6;
}  // namespace buttons

/// How much one zoom button press changes the zoom value.
inline constexpr std::int16_t kZoomStep = 50;

}  // namespace varnex::interaction
