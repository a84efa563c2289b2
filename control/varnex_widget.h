#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

#include <memory>

class QPagedPaintDevice;

namespace varnex::control {

class MessageBoxPort;

/// The planning board control as a widget: the schedule grid `ctWOSched` with its toolbar, the
/// title and the two legend bands, on a fixed surface of 965 x 552 logical pixels. A host
/// drives it with three members: TimeSet (the header document that gives the period to show),
/// PopulateWorkOrder (the work-order document, one grid line per order) and OrderOut (the order
/// number of the line the planner last picked). The control never returns a failure: it shows
/// each one in a message box titled with the product name, through its MessageBoxPort.
class VarnexWidget : public QWidget {
  Q_OBJECT
 public:
  /// The members' DISPIDs, for Invoke().
  static constexpr qint32 kTimeSetId = 0x60030008;
  static constexpr qint32 kPopulateWorkOrderId = 0x60030009;
  static constexpr qint32 kOrderOutId = 0x6003000A;

  explicit VarnexWidget(QWidget* parent = nullptr);
  ~VarnexWidget() override;

  /// Sets the time horizon from a header document. `Hdrxml` receives the escaped text.
  void TimeSet(QString& Hdrxml);
  /// Fills the grid from a work-order document. `Wohxml` receives the escaped text.
  void PopulateWorkOrder(QString& Wohxml);
  /// The order number of the line the planner last picked; empty until the first pick.
  [[nodiscard]] QString OrderOut();

  /// Calls a member late-bound, by DISPID. TimeSet and PopulateWorkOrder take one argument,
  /// passed by reference: args[0] receives the escaped text. OrderOut takes none and sets
  /// `result` to the order number. An unknown DISPID or a wrong argument count returns false
  /// with the reason in `error`; the members' own failures are shown, as with direct calls.
  bool Invoke(qint32 dispId, QVariantList& args, QVariant* result = nullptr,
              QString* error = nullptr);

  /// Sends message boxes to `port` instead of the modal box; nullptr restores the modal box.
  /// The port is not owned and must outlive its use.
  void SetMessageBoxPort(MessageBoxPort* port);

  /// Prints the whole planning run onto a paged device: every line, as many per page as fit
  /// and none cut between pages, the column captions and the time ruler on each page and the
  /// legends on the last. Returns false when the device cannot be painted on.
  bool PrintRun(QPagedPaintDevice& device);

  QSize sizeHint() const override;

 private:
  class Private;
  std::unique_ptr<Private> const d;
};

}  // namespace varnex::control
