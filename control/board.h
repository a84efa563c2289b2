#pragma once

#include <functional>
#include <memory>

namespace varnex::grid {
class ScheduleModel;
class ScheduleSettings;
}  // namespace varnex::grid
namespace varnex::platform {
class ControlSite;
class Dispatch;
}  // namespace varnex::platform
namespace varnex::schedule {
class GridComponent;
}

namespace varnex::control {

class Zeb_Varnex;

/// One planning board without a screen: the schedule grid's model with the control's ten
/// columns and its words for lines and colours, the grid's view settings, the grid component
/// that puts both behind the call-by-id boundary, and the control on it, with the grid's events
/// wired to the control. A screen shows the model with the settings and reports its gestures to
/// Grid().
/// The widget, the scripted host, the tests, the benchmarks and the fuzz targets all build their
/// board this way. Destruction unhooks the events first and then takes the parts down in the
/// reverse order of building.
class Board {
 public:
  /// Wraps the grid as the control sees it (the scripted host prints every call this way);
  /// returns what the control drives, which may keep a reference to `grid`.
  using GridWrapper = std::function<std::unique_ptr<platform::Dispatch>(platform::Dispatch& grid)>;

  /// Builds the board on `site`, which must outlive it, and runs the control's creation step
  /// (which already writes to the site).
  explicit Board(platform::ControlSite& site, const GridWrapper& wrap = {});
  ~Board();
  Board(const Board&) = delete;
  Board& operator=(const Board&) = delete;

  [[nodiscard]] grid::ScheduleModel& Model() const;
  [[nodiscard]] grid::ScheduleSettings& Settings() const;
  /// The grid component itself, unwrapped.
  [[nodiscard]] schedule::GridComponent& Grid() const;
  [[nodiscard]] Zeb_Varnex& Control() const;

 private:
  struct Parts;
  std::unique_ptr<Parts> const d;
};

}  // namespace varnex::control
