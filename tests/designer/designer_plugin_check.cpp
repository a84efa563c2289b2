// Finds the planning board among the Qt Designer plugins in the folders on QT_PLUGIN_PATH,
// loading each the way Designer does, and prints what the widget box shows and what a dropped
// board is, one fact a line, for the caller to compare whole. Anything that cannot be printed
// as a fact (a tool tip without the object name, a bitmap of more than 16 colours) is printed
// as a FAIL line, and the exit status is then 1.

#include <QApplication>
#include <QDesignerCustomWidgetInterface>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QJsonObject>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QSet>
#include <QWidget>
#include <QXmlStreamReader>

#include <cstdio>
#include <memory>

namespace {

constexpr auto kBoardClass = "varnex::control::VarnexWidget";
// The IID in the metadata of every Designer widget plugin, single or collection; the interface's
// own IID (QDesignerCustomWidgetInterface_iid) is a different string.
constexpr auto kDesignerPluginIid = "org.qt-project.Qt.QDesignerCustomWidgetInterface";

QStringList gFailures;

void Fail(const QString& what) {
  gFailures.append(what);
}

void Print(const QString& line) {
  std::printf("%s\n", qPrintable(line));
}

QString SizeText(QSize size) {
  return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

// The plugins Designer would load from the folders on QT_PLUGIN_PATH; the board's, or nullptr.
QDesignerCustomWidgetInterface* FindBoard() {
  const QStringList roots =
      qEnvironmentVariable("QT_PLUGIN_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
  for (const QString& root : roots) {
    const QDir folder(root + QStringLiteral("/designer"));
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files)) {
      QPluginLoader loader(file.absoluteFilePath());
      if (loader.metaData().value(QLatin1String("IID")).toString() !=
          QLatin1String(kDesignerPluginIid)) {
        continue;
      }
      auto* widget = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
      if (!widget) {
        Fail(QStringLiteral("%1 does not load: %2").arg(file.fileName(), loader.errorString()));
      } else if (widget->name() == QLatin1String(kBoardClass)) {
        Print(QStringLiteral("file ") + file.fileName());
        return widget;
      }
    }
  }
  return nullptr;
}

// The default object and size a dropped board takes, from the plugin's domXml.
void CheckDomXml(const QDesignerCustomWidgetInterface& board) {
  QXmlStreamReader xml(board.domXml());
  QString objectName;
  QSize size;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("widget") && objectName.isEmpty()) {
      if (xml.attributes().value(QLatin1String("class")) != board.name()) {
        Fail(QStringLiteral("domXml names another class"));
      }
      objectName = xml.attributes().value(QLatin1String("name")).toString();
    } else if (xml.name() == QLatin1String("width")) {
      size.setWidth(xml.readElementText().toInt());
    } else if (xml.name() == QLatin1String("height")) {
      size.setHeight(xml.readElementText().toInt());
    }
  }
  if (xml.hasError()) Fail(QStringLiteral("domXml is not XML: ") + xml.errorString());
  Print(QStringLiteral("object %1 %2").arg(objectName, SizeText(size)));
  if (!board.toolTip().contains(objectName)) Fail(QStringLiteral("tool tip lacks the object name"));
}

// Every size the icon holds; the smallest must be a toolbox bitmap of at most 16 colours.
void CheckIcon(const QDesignerCustomWidgetInterface& board) {
  const QIcon icon = board.icon();
  QStringList sizes;
  for (QSize size : icon.availableSizes()) sizes.append(SizeText(size));
  Print(QStringLiteral("icon ") + sizes.join(QLatin1Char(' ')));
  const QImage bitmap = icon.pixmap(QSize(16, 15)).toImage();
  if (bitmap.size() != QSize(16, 15)) Fail(QStringLiteral("no 16x15 pixmap in the icon"));
  QSet<QRgb> colours;
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) colours.insert(bitmap.pixel(x, y));
  }
  if (colours.size() < 4 || colours.size() > 16) {
    Fail(QStringLiteral("the 16x15 bitmap has %1 colours").arg(colours.size()));
  }
}

// A board as Designer creates it on a form: the live control with its grid.
void CheckCreatedWidget(QDesignerCustomWidgetInterface& board) {
  const std::unique_ptr<QWidget> widget(board.createWidget(nullptr));
  if (!widget) {
    Fail(QStringLiteral("createWidget returned nothing"));
    return;
  }
  const bool hasGrid = widget->findChild<QWidget*>(QStringLiteral("ctWOSched")) != nullptr;
  Print(QStringLiteral("created %1 %2%3")
            .arg(QLatin1String(widget->metaObject()->className()), SizeText(widget->sizeHint()),
                 hasGrid ? QStringLiteral(" with ctWOSched") : QString()));
  // The property editor offers an enumeration as a choice of its keys.
  const QMetaObject* meta = widget->metaObject();
  const QMetaProperty sizing = meta->property(meta->indexOfProperty("sizing"));
  if (!sizing.isValid() || !sizing.isEnumType() || !sizing.isDesignable() || !sizing.isWritable()) {
    Fail(QStringLiteral("no designable enumeration property sizing"));
    return;
  }
  const QMetaEnum keys = sizing.enumerator();
  QStringList names;
  for (int i = 0; i < keys.keyCount(); ++i) names.append(QLatin1String(keys.key(i)));
  Print(QStringLiteral("property sizing %1 of %2")
            .arg(QLatin1String(keys.valueToKey(sizing.read(widget.get()).toInt())),
                 names.join(QLatin1Char(' '))));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QDesignerCustomWidgetInterface* board = FindBoard();
  if (!board) {
    Fail(QStringLiteral("no Designer plugin on QT_PLUGIN_PATH offers ") +
         QLatin1String(kBoardClass));
  } else {
    board->initialize(nullptr);
    if (!board->isInitialized()) Fail(QStringLiteral("initialize() does not stick"));
    if (board->isContainer()) Fail(QStringLiteral("the board is offered as a container"));
    if (board->whatsThis().isEmpty()) Fail(QStringLiteral("no What's This text"));
    Print(QStringLiteral("class ") + board->name());
    Print(QStringLiteral("group ") + board->group());
    Print(QStringLiteral("include ") + board->includeFile());
    CheckDomXml(*board);
    CheckIcon(*board);
    CheckCreatedWidget(*board);
  }
  for (const QString& failure : gFailures) Print(QStringLiteral("FAIL ") + failure);
  return gFailures.isEmpty() ? 0 : 1;
}
