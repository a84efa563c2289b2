#pragma once

#include <functional>
#include <memory>

class QObject;

namespace varnex::platform {

/// The thread a control lives on, kept as a single-threaded apartment: a call that another
/// thread makes runs on the apartment's thread, through that thread's event loop, while the
/// caller waits for it; a call on the apartment's thread runs at once. Calls from other threads
/// run one at a time, each one whole, in the order they came; one that comes while the thread
/// shows a modal box runs in that box's event loop, as any nested call does.
///
/// The apartment's thread must not wait for a thread that is calling into it: the call would
/// wait for an event loop that never turns. When the apartment is destroyed, calls still waiting
/// return without running.
class Apartment {
 public:
  /// An apartment on the calling thread, which must run a Qt event loop.
  Apartment();
  ~Apartment();
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;

  /// Whether the calling thread is the apartment's.
  [[nodiscard]] bool IsHere() const;

  /// Runs `call` on the apartment's thread and returns once it has run: true, or false when
  /// the apartment went before the call's turn came. An exception the call throws is thrown
  /// again to the caller, on the caller's thread.
  bool Run(const std::function<void()>& call);

 private:
  struct State;
  class Receiver;
  std::shared_ptr<State> mState;
};

}  // namespace varnex::platform
