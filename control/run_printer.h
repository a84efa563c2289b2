#pragma once

#include <QPointer>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QWidget;

namespace varnex::grid {
class ScheduleView;
}

namespace varnex::control {

/// Prints the planning run shown by `view` onto a paged device: on every page a heading with the
/// period, the column captions and the time ruler over as many whole lines as fit; after the last
/// line the legend bands, drawn as they stand on the screen (on a page of their own when the last
/// page has no room left); a band deleted meanwhile is left out. Returns false when the device
/// cannot be painted on.
/// `progress`, when given, is told after each page the pages printed so far and the pages in all.
bool PrintPlanningRun(QPagedPaintDevice& device, const grid::ScheduleView& view,
                      const std::vector<QPointer<const QWidget>>& legends,
                      const std::function<void(int done, int total)>& progress = {});

}  // namespace varnex::control
