#pragma once

#include "platform/dispatch.h"

#include <memory>

namespace varnex::grid {
class ScheduleModel;
}

namespace varnex::schedule {

/// The schedule grid component as the control drives it: every operation by DISPID on the
/// grid model, with the argument types converted as the automation runtime does, and the
/// model's gestures raised as the boundary's events. A refusal of the model (a line or bar that
/// does not exist, a value out of range) fails with a numbered error and a clear description.
class GridComponent : public platform::Dispatch {
 public:
  /// Drives `model`, which must outlive the component.
  explicit GridComponent(grid::ScheduleModel& model);
  ~GridComponent() override;

  platform::Variant Invoke(platform::DispId id, platform::InvokeKind kind,
                           std::span<platform::Variant> args,
                           const platform::Variant& value) override;

  /// Where events 3, 8 and 16 go; null to drop them.
  void SetEventSink(platform::EventSink* sink);

  [[nodiscard]] grid::ScheduleModel& Model() const;

 private:
  class Private;
  std::unique_ptr<Private> const d;
};

}  // namespace varnex::schedule
