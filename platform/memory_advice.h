#pragma once

#include <cstddef>

namespace varnex::platform {

/// Whether large load buffers ask for huge pages. The default comes from the build
/// (VARNEX_HUGE_PAGES); benchmarks switch it to compare both ways in one process. Safe to call
/// from any thread; takes effect for buffers allocated or advised afterwards.
void SetHugePagesEnabled(bool enabled);
[[nodiscard]] bool HugePagesEnabled();

/// Asks the system to back a large buffer that is about to be written through with huge pages,
/// so that filling it costs a few page faults instead of thousands. Only a hint: it does nothing
/// when huge pages are switched off, for buffers under a few megabytes, or where the system
/// offers no such pages. Only the whole huge pages inside the buffer can be backed that way.
void AdviseLargeWrite(void* data, std::size_t bytes);

namespace detail {
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* block, std::size_t bytes) noexcept;
}  // namespace detail

/// An allocator for the large arrays that a load fills in one go. A block of a few megabytes
/// or more is aligned to huge pages and rounded up to whole ones, so that all of it can be
/// backed by them when they are enabled (AdviseLargeWrite); smaller blocks come from operator
/// new as usual.
template <typename T>
struct LargeArrayAllocator {
  using value_type = T;
  LargeArrayAllocator() = default;
  template <typename U>
  LargeArrayAllocator(const LargeArrayAllocator<U>&) noexcept {}  // NOLINT: rebinding converts
  [[nodiscard]] T* allocate(std::size_t n) {
    return static_cast<T*>(detail::AllocateLarge(n * sizeof(T)));
  }
  void deallocate(T* block, std::size_t n) noexcept { detail::FreeLarge(block, n * sizeof(T)); }
  friend bool operator==(const LargeArrayAllocator&, const LargeArrayAllocator&) { return true; }
};

}  // namespace varnex::platform
