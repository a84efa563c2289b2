// A host page for the planning board: creates the control by class name, hands it the header
// and work-order documents and asks for the picked order when the planner presses the button.
//
//   varnex_host HEADER ORDERS           shows the window
//   varnex_host HEADER ORDERS --check   loads offscreen, prints what the host sees, and quits

#include <varnex/component_library.h>
#include <varnex/message_box_port.h>
#include <varnex/varnex_widget.h>

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>

namespace {

// Each line goes out as it is printed, so a log the output is redirected to is complete at
// any moment, also when the host is ended from outside.
void PrintLine(const QString& text) {
  std::printf("%s\n", qPrintable(text));
  std::fflush(stdout);
}

QString ReadText(const char* path) {
  QFile file(QString::fromLocal8Bit(path));
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", path);
    std::exit(2);
  }
  return QString::fromUtf8(file.readAll());
}

// In a check run, message boxes are printed rather than waited for.
class PrintedMessages final : public varnex::control::MessageBoxPort {
 public:
  void ShowMessage(QWidget*, const QString& title, const QString& text) override {
    PrintLine(QStringLiteral("message %1: %2").arg(title, text));
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: varnex_host HEADER ORDERS [--check]\n");
    return 2;
  }
  const bool check = argc > 3 && qstrcmp(argv[3], "--check") == 0;
  if (check) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  QWidget page;
  auto* layout = new QVBoxLayout(&page);
  auto* control = qobject_cast<varnex::control::VarnexWidget*>(
      varnex::CreateControl(QStringLiteral("Zeb_Varnex"), &page));
  if (!control) {
    std::fprintf(stderr, "the library does not create Zeb_Varnex\n");
    return 1;
  }
  layout->addWidget(control);
  auto* button = new QPushButton(QStringLiteral("Use picked order"), &page);
  layout->addWidget(button);
  QObject::connect(button, &QPushButton::clicked, control,
                   [control] { PrintLine(control->OrderOut()); });

  PrintedMessages printed;
  if (check) control->SetMessageBoxPort(&printed);

  QString header = ReadText(argv[1]);
  QString orders = ReadText(argv[2]);
  control->TimeSet(header);
  // The same member late-bound, as a scripting host calls it.
  QVariantList args{orders};
  QString error;
  if (!control->Invoke(varnex::control::VarnexWidget::kPopulateWorkOrderId, args, nullptr,
                       &error)) {
    std::fprintf(stderr, "PopulateWorkOrder: %s\n", qPrintable(error));
    return 1;
  }

  if (check) {
    PrintLine(varnex::ProductName() + QLatin1Char(' ') + varnex::VersionText());
    PrintLine(QStringLiteral("picked: '%1'").arg(control->OrderOut()));
    delete control;
    PrintLine(
        QStringLiteral("can unload: %1").arg(QLatin1String(varnex::CanUnloadNow() ? "yes" : "no")));
    return 0;
  }
  page.setWindowTitle(varnex::ProductName());
  page.show();
  return app.exec();
}
