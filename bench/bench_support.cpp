#include "bench/bench_support.h"

#include "tools/document_generator.h"

#include <QFile>

#include <map>

namespace varnex::bench {
namespace {

std::int64_t StatusKiB(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  const QByteArray key(field);
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (!line.startsWith(key)) continue;
    return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
  }
  return 0;
}

}  // namespace

const QString& HeaderDocument() {
  static const QString header = tools::GenerateHeader(tools::GeneratorOptions{});
  return header;
}

const QString& WorkOrderDocument(int orders) {
  static std::map<int, QString> documents;
  auto it = documents.find(orders);
  if (it == documents.end()) {
    tools::GeneratorOptions options;
    options.orders = orders;
    options.seed = 20250106;
    it = documents.emplace(orders, tools::GenerateWorkOrders(options)).first;
  }
  return it->second;
}

std::int64_t ResidentKiB() { return StatusKiB("VmRSS:"); }
std::int64_t PeakResidentKiB() { return StatusKiB("VmHWM:"); }

void ResetPeakResident() {
  QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
  if (clearRefs.open(QIODevice::WriteOnly)) clearRefs.write("5");
}

}  // namespace varnex::bench
