// Offers the planning board in Qt Designer's widget box. Forms that use it get the class that
// uic-generated code constructs, varnex::control::VarnexWidget, named Zeb_Varnex by default.

#include "control/component_library.h"
#include "control/varnex_widget.h"

#include <QDesignerCustomWidgetInterface>
#include <QIcon>
#include <QObject>
#include <QPixmap>

#include "designer/board_icon_16.xpm"
#include "designer/board_icon_48.xpm"

namespace varnex::designer {

class VarnexDesignerPlugin final : public QObject, public QDesignerCustomWidgetInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
  Q_INTERFACES(QDesignerCustomWidgetInterface)

 public:
  QString name() const override { return QStringLiteral("varnex::control::VarnexWidget"); }
  // The widget box groups the board under the product's name, as the component library does.
  QString group() const override { return ProductName(); }
  QString toolTip() const override {
    return QStringLiteral("Zeb_Varnex: the %1 planning board").arg(ProductName());
  }
  QString whatsThis() const override {
    return QStringLiteral(
               "The %1 planning board (Zeb_Varnex) shows the orders of a planning run on a "
               "time-scaled grid: one line per order with ten text columns and a time bar whose "
               "colour "
               "tells the order's state. The host calls TimeSet with the header document, "
               "PopulateWorkOrder with the work-order document, and OrderOut for the order the "
               "planner "
               "last picked.")
        .arg(ProductName());
  }
  QString includeFile() const override { return QStringLiteral("varnex/varnex_widget.h"); }
  // The 16 x 15 toolbox bitmap, with a rendering at three times the size for high-DPI screens.
  QIcon icon() const override {
    QIcon icon;
    icon.addPixmap(QPixmap(board_icon_16));
    icon.addPixmap(QPixmap(board_icon_48));
    return icon;
  }
  bool isContainer() const override { return false; }
  QWidget* createWidget(QWidget* parent) override { return new control::VarnexWidget(parent); }
  bool isInitialized() const override { return mInitialized; }
  void initialize(QDesignerFormEditorInterface*) override { mInitialized = true; }
  // A dropped board takes the control's surface size, 965 x 552.
  QString domXml() const override {
    return QStringLiteral(
        "<ui language=\"c++\" displayname=\"Planning board\">\n"
        " <widget class=\"varnex::control::VarnexWidget\" name=\"Zeb_Varnex\">\n"
        "  <property name=\"geometry\">\n"
        "   <rect><x>0</x><y>0</y><width>965</width><height>552</height></rect>\n"
        "  </property>\n"
        " </widget>\n"
        "</ui>\n");
  }

 private:
  bool mInitialized = false;
};

}  // namespace varnex::designer

#include "varnex_designer_plugin.moc"
