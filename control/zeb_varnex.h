#pragma once

#include "orders/population.h"
#include "platform/date_time.h"
#include "platform/dispatch.h"
#include "platform/variant.h"

#include <QString>

#include <functional>
#include <memory>

namespace varnex::platform {
class AutomationError;
class ControlSite;
class XmlDocument;
}  // namespace varnex::platform

namespace varnex::control {

/// The control's DISPIDs, by which a host may call its members late-bound.
namespace control_ids {
inline constexpr platform::DispId kTimeSet = 0x60030008;
inline constexpr platform::DispId kPopulateWorkOrder = 0x60030009;
inline constexpr platform::DispId kOrderOut = 0x6003000A;
}  // namespace control_ids

/// The planning board control. A host drives it with three members: TimeSet (the header
/// document that gives the period to show), PopulateWorkOrder (the work-order document, one
/// grid line per order) and OrderOut (the order number of the line the planner last picked).
/// Failures are shown in message boxes titled with the product name and never returned to the
/// host. The control drives its schedule grid `ctWOSched` only through the call-by-id boundary
/// and its own screen only through the site; it receives the grid's and the toolbar's events
/// through the two sinks.
class Zeb_Varnex : public platform::Dispatch {
 public:
  /// Creates the control on its grid and site, both of which must outlive it, and runs the
  /// creation step (the state colours and the legend markers' captions).
  Zeb_Varnex(platform::Dispatch& ctWOSched, platform::ControlSite& site);
  ~Zeb_Varnex() override;
  Zeb_Varnex(const Zeb_Varnex&) = delete;
  Zeb_Varnex& operator=(const Zeb_Varnex&) = delete;

  /// Sets the time horizon from a header document; `Hdrxml` receives the escaped text.
  void TimeSet(platform::Variant& Hdrxml);
  /// The same for a document held as text; `Hdrxml` receives the escaped text.
  void TimeSet(QString& Hdrxml);
  /// The same for a document that stays as the caller gave it (a literal, a constant):
  /// nothing is written back.
  void TimeSet(const QString& Hdrxml);
  /// Fills the grid from a work-order document; `Wohxml` receives the escaped text.
  void PopulateWorkOrder(platform::Variant& Wohxml);
  /// The same for a document held as text; `Wohxml` receives the escaped text.
  void PopulateWorkOrder(QString& Wohxml);
  /// The same for a document that stays as the caller gave it: nothing is written back.
  void PopulateWorkOrder(const QString& Wohxml);
  /// The order number of the line the planner last picked; empty until the first pick.
  [[nodiscard]] QString OrderOut();

  /// The three members by DISPID; a bad DISPID or argument count is the caller's error and is
  /// thrown, as the boundary does.
  platform::Variant Invoke(platform::DispId id, platform::InvokeKind kind,
                           std::span<platform::Variant> args,
                           const platform::Variant& value) override;

  /// Shows the out-of-memory message box as the members do, for a host's entry point that ran
  /// out of memory around a member rather than inside it.
  void ReportOutOfMemory(const QString& where = {});

  /// Receives events 3, 8 and 16 of the schedule grid.
  [[nodiscard]] platform::EventSink& GridEvents();
  /// Receives the button event of the main toolbar `ctWOToolBar`.
  [[nodiscard]] platform::EventSink& ToolbarEvents();

  /// Called each time a load of the work orders completes (its swatches painted), before the
  /// member returns; a load that fails or overflows does not complete.
  void OnLoadCompleted(std::function<void()> completed) { mLoadCompleted = std::move(completed); }

  /// The state colours, for the screen's legend and for tests.
  [[nodiscard]] const orders::StateColours& StateColours() const { return mColours; }
  [[nodiscard]] platform::Date HorizonStart() const { return mHorizonStart; }
  [[nodiscard]] platform::Date HorizonEnd() const { return mHorizonEnd; }

 private:
  class GridSink;
  class ToolbarSink;
  class DetailedGrid;

  /// Runs `fn` under the reporting handler: a failure is shown in a message box whose detail
  /// is `where()` before what the failure itself says.
  template <typename Where, typename Fn>
  void Report(Where&& where, Fn&& fn);
  void ShowFailure(const platform::AutomationError& failure);
  void CreationStep();
  void SetLegendColors();

  // The grid as the control drives it: every failure of an operation names the operation.
  std::unique_ptr<DetailedGrid> mGrid;
  platform::Dispatch& ctWOSched;
  platform::ControlSite& mSite;
  std::unique_ptr<GridSink> mGridSink;
  std::unique_ptr<ToolbarSink> mToolbarSink;

  std::shared_ptr<const platform::XmlDocument> mHeaderDoc;
  std::shared_ptr<const platform::XmlDocument> mOrderDoc;
  QString mSelectedOrder;
  platform::Date mHorizonStart;
  platform::Date mHorizonEnd;
  orders::StateColours mColours;
  std::function<void()> mLoadCompleted;
};

}  // namespace varnex::control
