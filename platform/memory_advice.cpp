#include "platform/memory_advice.h"

#include <atomic>
#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace varnex::platform {
namespace {

std::atomic<bool> gHugePages{VARNEX_HUGE_PAGES != 0};

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// From this size on a block gets whole huge pages of its own; below it rounding up would
// waste more than half of one.
constexpr std::size_t kLargeBlock = kHugePage / 2;

}  // namespace

void SetHugePagesEnabled(bool enabled) {
  gHugePages.store(enabled, std::memory_order_relaxed);
}

bool HugePagesEnabled() {
  return gHugePages.load(std::memory_order_relaxed);
}

void AdviseLargeWrite(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (bytes < kLargeBlock || !HugePagesEnabled()) return;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (start + bytes) & ~(kHugePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

namespace detail {

void* AllocateLarge(std::size_t bytes) {
  if (bytes < kLargeBlock) return ::operator new(bytes);
  const std::size_t whole = (bytes + kHugePage - 1) & ~(kHugePage - 1);
  void* block = ::operator new (whole, std::align_val_t{kHugePage});
  AdviseLargeWrite(block, whole);
  return block;
}

void FreeLarge(void* block, std::size_t bytes) noexcept {
  if (bytes < kLargeBlock) {
    ::operator delete(block);
  } else {
    ::operator delete (block, std::align_val_t{kHugePage});
  }
}

}  // namespace detail
}  // namespace varnex::platform
