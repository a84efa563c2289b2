// A form designed in Qt Designer with the planning board on it: uic builds the board from the
// form, and the program hands it the header and work-order documents through its members.
//
//   varnex_designer_form HEADER ORDERS           shows the form
//   varnex_designer_form HEADER ORDERS --check   loads offscreen, prints what the host sees, quits

#include "ui_board_form.h"

#include <varnex/component_library.h>
#include <varnex/message_box_port.h>

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

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
    std::printf("message %s: %s\n", qPrintable(title), qPrintable(text));
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: varnex_designer_form HEADER ORDERS [--check]\n");
    return 2;
  }
  const bool check = argc > 3 && qstrcmp(argv[3], "--check") == 0;
  if (check) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  QWidget form;
  Ui::BoardForm ui;
  ui.setupUi(&form);
  const QString run = QStringLiteral("%1 %2").arg(varnex::ProductName(), varnex::VersionText());
  ui.lblRun->setText(run);

  PrintedMessages printed;
  if (check) ui.Zeb_Varnex->SetMessageBoxPort(&printed);
  QString header = ReadText(argv[1]);
  ui.Zeb_Varnex->TimeSet(header);
  QString orders = ReadText(argv[2]);
  ui.Zeb_Varnex->PopulateWorkOrder(orders);

  if (check) {
    std::printf("%s: %s\n", qPrintable(ui.lblRun->text()), qPrintable(ui.Zeb_Varnex->objectName()));
    // The form lays the board out, and the board fills what the layout gives it.
    const bool fills = ui.Zeb_Varnex->sizing() == varnex::control::VarnexWidget::Sizing::Fill;
    std::printf("sizing: %s, at least %dx%d\n", fills ? "Fill" : "Fixed",
                ui.Zeb_Varnex->minimumSizeHint().width(),
                ui.Zeb_Varnex->minimumSizeHint().height());
    std::printf("picked: '%s'\n", qPrintable(ui.Zeb_Varnex->OrderOut()));
    return 0;
  }
  form.show();
  return app.exec();
}
