#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>

class QPagedPaintDevice;

namespace varnex::control {

class MessageBoxPort;

/// The planning board control as a widget: the schedule grid `ctWOSched` with its toolbar, the
/// title and the two legend bands, on a surface of 965 x 552 logical pixels that may follow the
/// widget's size (see `sizing`). A host
/// drives it with three members: TimeSet (the header document that gives the period to show),
/// PopulateWorkOrder (the work-order document, one grid line per order) and OrderOut (the order
/// number of the line the planner last picked). The control never returns a failure: it shows
/// each one in a message box titled with the product name, through its MessageBoxPort.
///
/// The board is made on the GUI thread and lives there. Its members may be called from any
/// thread: a call from another thread runs on the board's thread while the caller waits, so the
/// board's thread must never wait for a thread that calls it. The host may delete the board at
/// any moment, also while one of its message boxes is open.
class VarnexWidget : public QWidget {
  Q_OBJECT
  // The class as a type library: a host or script engine reads these through QMetaObject. The
  // help string and the version are the product's ("Kestrova", "1.00"); each member's DISPID is
  // under "DispId:" and its name.
  Q_CLASSINFO("Description", "Kestrova")
  Q_CLASSINFO("Version", "1.00")
  Q_CLASSINFO("CoClassAlias", "Zeb_Varnex")
  Q_CLASSINFO("DispId:TimeSet", "0x60030008")
  Q_CLASSINFO("DispId:PopulateWorkOrder", "0x60030009")
  Q_CLASSINFO("DispId:OrderOut", "0x6003000A")
  Q_PROPERTY(Sizing sizing READ sizing WRITE setSizing NOTIFY sizingChanged)

 public:
  /// How the surface's children follow the widget's size.
  enum class Sizing {
    /// The stored design: 965 x 552, nothing moves or grows when the widget is resized.
    Fixed,
    /// The grid takes all the room beyond the stored size (more lines, a wider timeline); the
    /// legend bands keep their size under it, the title stays centred over it and the outline
    /// frames the whole surface. The stored size is the minimum.
    Fill
  };
  Q_ENUM(Sizing)
  // Code that uic writes from a form may name the values without their scope.
  static constexpr Sizing Fixed = Sizing::Fixed;
  static constexpr Sizing Fill = Sizing::Fill;

  /// The members' DISPIDs, for Invoke().
  static constexpr qint32 kTimeSetId = 0x60030008;
  static constexpr qint32 kPopulateWorkOrderId = 0x60030009;
  static constexpr qint32 kOrderOutId = 0x6003000A;

  explicit VarnexWidget(QWidget* parent = nullptr);
  ~VarnexWidget() override;

  /// Reads the header document and shows the period of its first row on the time scale.
  /// `Hdrxml` receives the escaped text.
  Q_INVOKABLE void TimeSet(QString& Hdrxml);
  /// The same for a document that stays as the caller gave it (a literal, a constant):
  /// nothing is written back.
  Q_INVOKABLE void TimeSet(const QString& Hdrxml);
  /// Reads the work-order document and shows each order as one grid line with its bar, in
  /// place of the lines shown before. `Wohxml` receives the escaped text.
  Q_INVOKABLE void PopulateWorkOrder(QString& Wohxml);
  /// The same for a document that stays as the caller gave it: nothing is written back.
  Q_INVOKABLE void PopulateWorkOrder(const QString& Wohxml);
  /// The order number of the line the planner last picked; empty until the first pick.
  [[nodiscard]] Q_INVOKABLE QString OrderOut();

  /// The DISPID of the member named `name` ("TimeSet", "PopulateWorkOrder", "OrderOut"), as the
  /// class information gives it; -1 for any other name.
  [[nodiscard]] static qint32 DispIdOf(QStringView name);

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
  /// legends on the last. Returns false when the device cannot be painted on. `progress`, when
  /// given, is told after each page the pages printed so far and the pages in all.
  bool PrintRun(QPagedPaintDevice& device,
                const std::function<void(int done, int total)>& progress = {});

  /// Sizing::Fixed until set otherwise. Back to Fixed, every child returns to its stored place
  /// and the widget to the stored size.
  [[nodiscard]] Sizing sizing() const;
  void setSizing(Sizing sizing);

  /// The stored size, 965 x 552, in both sizings.
  QSize sizeHint() const override;
  /// The stored size: a Fill board never shrinks below its design in a layout.
  QSize minimumSizeHint() const override;

 Q_SIGNALS:
  void sizingChanged(varnex::control::VarnexWidget::Sizing sizing);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  /// A key sent to the board itself goes on to the part that has the focus within it, as a key
  /// pressed by the planner does; keys that part leaves alone go on to the host.
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  class Private;
  std::unique_ptr<Private> const d;
};

}  // namespace varnex::control
