#include "app/screen_commands.h"
#include "app/trace_host.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

constexpr char kUsage[] =
    "Usage: varnex COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  trace [--elide N] [SCRIPT]\n"
    "                   Run a scripted host against a headless control and print every\n"
    "                   effect of the control as JSON Lines (SCRIPT, or standard input).\n"
    "  show HEADER ORDERS\n"
    "                   Open the control in a host window, loaded with the two documents;\n"
    "                   print the picked order when asked.\n"
    "  render HEADER ORDERS -o FILE.png|FILE.pdf\n"
    "                   Draw the loaded control to PNG, or print the whole run to PDF.\n"
    "\n"
    "Run 'varnex COMMAND --help' for a command's options.\n";

constexpr char kTraceUsage[] =
    "Usage: varnex trace [--elide N] [SCRIPT]\n"
    "\n"
    "Creates one control on the built-in schedule grid model, runs the JSON Lines commands of\n"
    "SCRIPT (or of standard input) and prints each effect of the control as one JSON line.\n"
    "\n"
    "Options:\n"
    "  --elide N   print a text longer than N UTF-16 code units (a value, a box text, a tooltip,\n"
    "              a caption, a message) as its first N, with its whole length beside it:\n"
    "              {\"t\":\"BSTR\",\"v\":START,\"length\":L} or \"text\":START,\"text_length\":L.\n"
    "              The cells of a state line stay whole. N is a positive integer.\n"
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
    "Exits 0 when the script ran to its end, whatever the control reported; 2 for a usage error\n"
    "or when the script cannot be read.\n";

int TraceUsageError(const QString& message) {
  std::fprintf(stderr, "varnex trace: %s\n\n%s", qPrintable(message), kTraceUsage);
  return 2;
}

// A positive count of UTF-16 code units, written in decimal digits only.
std::optional<qsizetype> ElideArgument(const QString& text) {
  if (text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
      })) {
    return std::nullopt;
  }
  bool ok = false;
  const qlonglong value = text.toLongLong(&ok);
  return ok && value > 0 ? std::optional<qsizetype>(value) : std::nullopt;
}

int Trace(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  out.setEncoding(QStringConverter::Utf8);
  qsizetype elide = 0;
  std::optional<QString> path;
  for (int i = 2; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      std::fputs(kTraceUsage, stdout);
      return 0;
    }
    if (arg == QLatin1String("--elide")) {
      if (i + 1 >= argc) return TraceUsageError(QStringLiteral("--elide needs a value"));
      const QString value = QString::fromLocal8Bit(argv[++i]);
      const std::optional<qsizetype> count = ElideArgument(value);
      if (!count) {
        return TraceUsageError(
            QStringLiteral("--elide needs a positive whole number, not '%1'").arg(value));
      }
      elide = *count;
    } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
      return TraceUsageError(QStringLiteral("unknown option %1").arg(arg));
    } else if (path) {
      return TraceUsageError(QStringLiteral("expected one SCRIPT at most"));
    } else {
      path = arg;
    }
  }
  if (path) {
    QFile script(*path);
    if (!script.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "varnex trace: cannot read %s: %s\n", qPrintable(*path),
                   qPrintable(script.errorString()));
      return 2;
    }
    return varnex::app::RunTrace(script, out, elide);
  }
  QFile script;
  if (!script.open(stdin, QIODevice::ReadOnly)) {
    std::fputs("varnex trace: cannot read standard input\n", stderr);
    return 2;
  }
  return varnex::app::RunTrace(script, out, elide);
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
