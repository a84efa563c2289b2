#include "tools/document_generator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdint>
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

// A second run of an earlier work-order document, with the counts a board will find.
int Rerun(const QCommandLineParser& parser, const QString& oldPath, const QString& seedText) {
  const QStringList paths = parser.positionalArguments();
  if (paths.size() != 1) {
    std::fputs("varnex-generate: --rerun OLD writes one document: give ORDERS only\n", stderr);
    return 2;
  }
  bool ok = false;
  const std::uint64_t seed = seedText.toULongLong(&ok);
  if (!ok) {
    std::fputs("varnex-generate: --seed needs a whole number\n", stderr);
    return 2;
  }
  QFile file(oldPath);
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "varnex-generate: cannot read %s: %s\n", qPrintable(oldPath),
                 qPrintable(file.errorString()));
    return 1;
  }
  varnex::tools::RerunCounts counts;
  const QString text =
      varnex::tools::GenerateRerun(QString::fromUtf8(file.readAll()), seed, &counts);
  if (text.isEmpty()) {
    std::fprintf(stderr, "varnex-generate: %s holds no work order to run again\n",
                 qPrintable(oldPath));
    return 1;
  }
  if (!Write(paths[0], text)) return 1;
  std::printf("%d new, %d moved, %d changed, %d gone\n", counts.added, counts.moved, counts.changed,
              counts.gone);
  return 0;
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
  const QCommandLineOption rerun(
      QStringLiteral("rerun"),
      QStringLiteral("Write only ORDERS: a second run of OLD's orders in which some are new, "
                     "moved, changed and gone, and print those counts."),
      QStringLiteral("OLD"));
  parser.addOptions({orders, seed, days, rerun});
  parser.addPositionalArgument(QStringLiteral("HEADER"),
                               QStringLiteral("Header document to write."));
  parser.addPositionalArgument(QStringLiteral("ORDERS"),
                               QStringLiteral("Work-order document to write."));
  parser.process(app);
  if (parser.isSet(rerun)) return Rerun(parser, parser.value(rerun), parser.value(seed));
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
