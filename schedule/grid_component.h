#pragma once

#include "platform/dispatch.h"

#include <functional>
#include <memory>

namespace varnex::grid {
class ScheduleModel;
class ScheduleSettings;
}  // namespace varnex::grid

namespace varnex::schedule {

/// The schedule grid component as the control drives it: every operation by DISPID on the
/// grid's model (lines and bars) and settings (appearance, zoom, horizon, tooltip), with the
/// argument types converted as the automation runtime does; and the grid's gestures, reported
/// through the Raise functions, as the boundary's events. A refusal (a line or bar that does
/// not exist, a value out of range) fails with a numbered error and a clear description.
class GridComponent : public platform::Dispatch {
 public:
  /// The most lines the grid holds: line numbers are 16-bit.
  static constexpr int kMaxLines = 32767;
  /// The last minute of a day; bar times give minutes from 0 to it.
  static constexpr int kLastMinuteOfDay = 1439;
  /// The largest title font size in points.
  static constexpr int kMaxFontSize = 2048;

  /// Drives `model` and `settings`, which must outlive the component.
  GridComponent(grid::ScheduleModel& model, grid::ScheduleSettings& settings);
  ~GridComponent() override;

  platform::Variant Invoke(platform::DispId id, platform::InvokeKind kind,
                           std::span<platform::Variant> args,
                           const platform::Variant& value) override;

  /// Where events 3, 8 and 16 go; null to drop them.
  void SetEventSink(platform::EventSink* sink);
  /// What bringing a bar into focus does (operation 165, after the line and bar are checked):
  /// the screen highlights it. Without a handler the operation only checks its arguments.
  void SetBarFocusHandler(std::function<void(int line, int barIndex)> handler);

  /// The grid's gestures, as its views report them: a line was picked (event 3), the pointer
  /// rests on a line or left the lines (event 16), a bar was activated (event 8). Values that
  /// do not fit 16 bits raise nothing.
  void RaiseLinePicked(int line);
  void RaiseHover(int line, int value);
  void RaiseBarActivated(int line, int barIndex, int flag);

  [[nodiscard]] grid::ScheduleModel& Model() const;
  [[nodiscard]] grid::ScheduleSettings& Settings() const;

 private:
  class Private;
  std::unique_ptr<Private> const d;
};

}  // namespace varnex::schedule
