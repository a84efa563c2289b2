#include "app/screen_commands.h"
#include "app/trace_host.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr char kUsage[] =
    "Usage: varnex COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  trace [SCRIPT]   Run a scripted host against a headless control and print every\n"
    "                   effect of the control as JSON Lines (SCRIPT, or standard input).\n"
    "  show HEADER ORDERS\n"
    "                   Open the control in a host window, loaded with the two documents;\n"
    "                   print the picked order when asked.\n"
    "  render HEADER ORDERS -o FILE.png|FILE.pdf\n"
    "                   Draw the loaded control to PNG, or print the whole run to PDF.\n"
    "\n"
    "Run 'varnex COMMAND --help' for a command's options.\n";

constexpr char kTraceUsage[] =
    "Usage: varnex trace [SCRIPT]\n"
    "\n"
    "Creates one control on the built-in schedule grid model, runs the JSON Lines commands of\n"
    "SCRIPT (or of standard input) and prints each effect of the control as one JSON line.\n"
    "\n"
    "Commands, one JSON object a line:\n"
    "  {\"call\":\"TimeSet\",\"arg\":A}                TimeSet with a string, integer or null\n"
    "  {\"call\":\"TimeSet\",\"file\":\"PATH\"}          TimeSet with the text of a UTF-8 file\n"
    "  {\"call\":\"PopulateWorkOrder\",...}          the same two forms for the work orders\n"
    "  {\"call\":\"OrderOut\"}                       OrderOut: the picked order\n"
    "  {\"event\":\"grid\",\"id\":N,\"args\":[...]}      the grid raises its event 3, 8 or 16\n"
    "  {\"event\":\"toolbar\",\"args\":[BUTTON,X]}     the toolbar raises its button event\n"
    "  {\"inject\":\"fail\",\"dispid\":N,\"error\":E,\"description\":\"TEXT\"}\n"
    "                                            the grid's next operation N fails\n"
    "  {\"inject\":\"result\",\"dispid\":N,\"value\":V}\n"
    "                                            the grid's next call or get of N returns V\n"
    "  {\"inject\":\"set\",\"dispid\":N,\"value\":V}     sets the grid's property N, untraced\n"
    "  {\"query\":\"grid\"}                          prints the grid's state\n"
    "\n"
    "Output lines: grid, font, tooltip, box, caption, fill, msgbox, return, state and error.\n"
    "Exits 0 when the script ran to its end, whatever the control reported; 2 when the script\n"
    "cannot be read.\n";

int Trace(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  out.setEncoding(QStringConverter::Utf8);
  if (argc > 2) {
    const QString arg = QString::fromLocal8Bit(argv[2]);
    if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      std::fputs(kTraceUsage, stdout);
      return 0;
    }
    QFile script(arg);
    if (!script.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "varnex trace: cannot read %s: %s\n", argv[2],
                   qPrintable(script.errorString()));
      return 2;
    }
    return varnex::app::RunTrace(script, out);
  }
  QFile script;
  if (!script.open(stdin, QIODevice::ReadOnly)) {
    std::fputs("varnex trace: cannot read standard input\n", stderr);
    return 2;
  }
  return varnex::app::RunTrace(script, out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const QString command = QString::fromLocal8Bit(argv[1]);
  if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == QLatin1String("trace")) return Trace(argc, argv);
  if (command == QLatin1String("show")) return varnex::app::RunShow(argc, argv);
  if (command == QLatin1String("render")) return varnex::app::RunRender(argc, argv);
  std::fprintf(stderr, "varnex: unknown command '%s'\n\n%s", argv[1], kUsage);
  return 2;
}
