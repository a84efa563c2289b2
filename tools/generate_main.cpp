#include "tools/document_generator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

bool Write(const QString& path, const QString& text) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0) {
    std::fprintf(stderr, "varnex-generate: cannot write %s: %s\n", qPrintable(path),
                 qPrintable(file.errorString()));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Writes a realistic header and work-order document pair, the same for the same seed."));
  parser.addHelpOption();
  const QCommandLineOption orders(QStringLiteral("orders"), QStringLiteral("Number of orders."),
                                  QStringLiteral("N"), QStringLiteral("300"));
  const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed."),
                                QStringLiteral("S"), QStringLiteral("1"));
  const QCommandLineOption days(QStringLiteral("days"), QStringLiteral("Length of the horizon."),
                                QStringLiteral("D"), QStringLiteral("120"));
  parser.addOptions({orders, seed, days});
  parser.addPositionalArgument(QStringLiteral("HEADER"),
                               QStringLiteral("Header document to write."));
  parser.addPositionalArgument(QStringLiteral("ORDERS"),
                               QStringLiteral("Work-order document to write."));
  parser.process(app);
  if (parser.positionalArguments().size() != 2) parser.showHelp(2);

  varnex::tools::GeneratorOptions options;
  bool ok = true;
  options.orders = parser.value(orders).toInt(&ok);
  if (!ok || options.orders < 0) {
    std::fputs("varnex-generate: --orders needs a whole number of 0 or more\n", stderr);
    return 2;
  }
  options.seed = parser.value(seed).toULongLong(&ok);
  if (!ok) {
    std::fputs("varnex-generate: --seed needs a whole number\n", stderr);
    return 2;
  }
  options.days = parser.value(days).toInt(&ok);
  if (!ok || options.days < 1) {
    std::fputs("varnex-generate: --days needs a whole number of 1 or more\n", stderr);
    return 2;
  }
  const QStringList paths = parser.positionalArguments();
  return Write(paths[0], varnex::tools::GenerateHeader(options)) &&
                 Write(paths[1], varnex::tools::GenerateWorkOrders(options))
             ? 0
             : 1;
}
