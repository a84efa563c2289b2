#include "tests/support/process_memory.h"

#include <QByteArray>
#include <QFile>

namespace varnex::testing {
namespace {

std::int64_t StatusKiB(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  const QByteArray key(field);
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(key))
      return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
  }
  return 0;
}

}  // namespace

std::int64_t ResidentKiB() {
  return StatusKiB("VmRSS:");
}
std::int64_t PeakResidentKiB() {
  return StatusKiB("VmHWM:");
}

void ResetPeakResident() {
  QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
  if (clearRefs.open(QIODevice::WriteOnly)) clearRefs.write("5");
}

}  // namespace varnex::testing
