// A planner's first load, measured in a fresh process: creates the control offscreen, reads the
// header and work-order documents from files, loads them (TimeSet, PopulateWorkOrder) and paints
// the control once into an image. Prints one line of figures; bench/cold_load.sh runs it many
// times and takes medians. With --warm N it then loads and paints the same documents 2N times
// more, huge pages on and off by turns, and adds the median of each.
//
// Usage: varnex_cold_load [--huge-pages on|off] [--warm N] HEADER ORDERS
#include "control/message_box_port.h"
#include "control/varnex_widget.h"
#include "platform/memory_advice.h"

#include <QApplication>
#include <QFile>
#include <QImage>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Any message box means the load did not do what is measured.
class FailingPort final : public varnex::control::MessageBoxPort {
 public:
  void ShowMessage(QWidget*, const QString& title, const QString& text) override {
    std::fprintf(stderr, "varnex_cold_load: message box \"%s\": %s\n", qPrintable(title),
                 qPrintable(text));
    failed = true;
  }
  bool failed = false;
};

// Reads a UTF-8 document as a host would, decoding straight from the file's pages where the
// file can be mapped.
std::optional<QString> ReadDocument(const char* path) {
  QFile file(QString::fromLocal8Bit(path));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  if (file.size() == 0) return QString();
  if (const uchar* bytes = file.map(0, file.size())) {
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes), file.size());
  }
  return QString::fromUtf8(file.readAll());
}

// True when the painted control is more than its background: a loaded grid has many colours.
bool ShowsOrders(const QImage& image) {
  const QRgb first = image.pixel(image.width() / 2, image.height() / 2);
  int differing = 0;
  for (int y = image.height() / 4; y < image.height() * 3 / 4; y += 3) {
    for (int x = 0; x < image.width(); x += 3) differing += image.pixel(x, y) != first;
  }
  return differing > 100;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

int Usage() {
  std::fputs("Usage: varnex_cold_load [--huge-pages on|off] [--warm N] HEADER ORDERS\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const Clock::time_point processStart = Clock::now();
  const char* paths[2] = {nullptr, nullptr};
  int positional = 0;
  int warm = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--warm") == 0 && i + 1 < argc) {
      warm = std::atoi(argv[++i]);
      if (warm < 1) return Usage();
    } else if (std::strcmp(argv[i], "--huge-pages") == 0 && i + 1 < argc) {
      const char* value = argv[++i];
      if (std::strcmp(value, "on") != 0 && std::strcmp(value, "off") != 0) return Usage();
      varnex::platform::SetHugePagesEnabled(std::strcmp(value, "on") == 0);
    } else if (argv[i][0] != '-' && positional < 2) {
      paths[positional++] = argv[i];
    } else {
      return Usage();
    }
  }
  if (positional != 2) return Usage();

  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The offscreen platform warns about every shown window; keep the output to one line.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
    if (!message.contains(QLatin1String("propagateSizeHints"))) {
      std::fprintf(stderr, "%s\n", qPrintable(message));
    }
  });
  QApplication app(argc, argv);
  FailingPort port;
  varnex::control::VarnexWidget control;
  control.SetMessageBoxPort(&port);
  control.show();
  QCoreApplication::processEvents();
  QImage image(control.size(), QImage::Format_ARGB32_Premultiplied);

  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  const Clock::time_point loadStart = Clock::now();
  std::optional<QString> header = ReadDocument(paths[0]);
  std::optional<QString> orders = ReadDocument(paths[1]);
  if (!header || !orders) {
    std::fprintf(stderr, "varnex_cold_load: cannot read %s\n", !header ? paths[0] : paths[1]);
    return 1;
  }
  // The control writes the escaped text back; the originals stay for the warm loads.
  const QString headerText = *header;
  const QString ordersText = *orders;
  control.TimeSet(*header);
  control.PopulateWorkOrder(*orders);
  const Clock::time_point paintStart = Clock::now();
  QCoreApplication::sendPostedEvents();
  control.render(&image);
  const Clock::time_point end = Clock::now();
  rusage after{};
  getrusage(RUSAGE_SELF, &after);

  if (port.failed || !ShowsOrders(image)) {
    std::fputs("varnex_cold_load: the control does not show the orders\n", stderr);
    return 1;
  }
  std::printf(
      "huge_pages=%s startup_ms=%.1f load_ms=%.1f paint_ms=%.1f load_paint_ms=%.1f "
      "load_paint_minflt=%ld minflt=%ld majflt=%ld peak_rss_mib=%.1f",
      varnex::platform::HugePagesEnabled() ? "on" : "off", Milliseconds(processStart, loadStart),
      Milliseconds(loadStart, paintStart), Milliseconds(paintStart, end),
      Milliseconds(loadStart, end), after.ru_minflt - before.ru_minflt, after.ru_minflt,
      after.ru_majflt, static_cast<double>(after.ru_maxrss) / 1024.0);

  // Reloads in the same process, huge pages on and off by turns.
  std::vector<double> warmTimes[2];
  for (int i = 0; i < 2 * warm; ++i) {
    const bool huge = i % 2 == 0;
    varnex::platform::SetHugePagesEnabled(huge);
    QString headerCopy = headerText;
    QString ordersCopy = ordersText;
    const Clock::time_point start = Clock::now();
    control.TimeSet(headerCopy);
    control.PopulateWorkOrder(ordersCopy);
    QCoreApplication::sendPostedEvents();
    control.render(&image);
    warmTimes[huge ? 0 : 1].push_back(Milliseconds(start, Clock::now()));
  }
  if (warm > 0) {
    if (port.failed || !ShowsOrders(image)) return 1;
    std::printf(" warm_on_ms=%.1f warm_off_ms=%.1f", Median(warmTimes[0]), Median(warmTimes[1]));
  }
  std::printf("\n");
  return 0;
}
