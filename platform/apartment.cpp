#include "platform/apartment.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>

namespace varnex::platform {

namespace {

// A call from another thread, on the stack of the thread that waits for it.
struct Waiting {
  explicit Waiting(const std::function<void()>& c) : call(&c) {}
  const std::function<void()>* call;
  bool finished = false;
  bool ran = false;
  std::exception_ptr error;
};

QEvent::Type RunEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

}  // namespace

// What the apartment shares with the threads that wait on it, which may outlive it.
struct Apartment::State {
  QThread* thread = nullptr;
  std::mutex mutex;
  std::condition_variable finished;
  std::deque<Waiting*> queue;
  // The object whose events run the calls; null once the apartment is closed.
  QObject* receiver = nullptr;

  void RunWaiting();
};

// Receives one event per call from another thread and runs whatever calls are waiting. The
// event itself is never read: it is only the turn of the apartment's event loop.
class Apartment::Receiver final : public QObject {
 public:
  explicit Receiver(std::shared_ptr<State> state) : mState(std::move(state)) {}

 protected:
  void customEvent(QEvent*) override {
    // A call may destroy the apartment, and this receiver with it; the state stays while it
    // is in use here.
    const std::shared_ptr<State> state = mState;
    state->RunWaiting();
  }

 private:
  std::shared_ptr<State> mState;
};

void Apartment::State::RunWaiting() {
  for (;;) {
    Waiting* next = nullptr;
    {
      const std::lock_guard lock(mutex);
      if (receiver == nullptr || queue.empty()) return;
      next = queue.front();
      queue.pop_front();
    }
    std::exception_ptr error;
    try {
      (*next->call)();
    } catch (...) {
      error = std::current_exception();
    }
    {
      const std::lock_guard lock(mutex);
      next->error = error;
      next->ran = true;
      next->finished = true;
    }
    finished.notify_all();
  }
}

Apartment::Apartment() : mState(std::make_shared<State>()) {
  (void)RunEventType();
  mState->thread = QThread::currentThread();
  mState->receiver = new Receiver(mState);
}

Apartment::~Apartment() {
  QObject* receiver = nullptr;
  {
    const std::lock_guard lock(mState->mutex);
    receiver = mState->receiver;
    mState->receiver = nullptr;
    for (Waiting* waiting : mState->queue) waiting->finished = true;
    mState->queue.clear();
  }
  mState->finished.notify_all();
  // Its events still queued go with it.
  delete receiver;
}

bool Apartment::IsHere() const {
  return QThread::currentThread() == mState->thread;
}

bool Apartment::Run(const std::function<void()>& call) {
  if (IsHere()) {
    call();
    return true;
  }
  // The state is held here, since the apartment may be destroyed while this thread waits.
  const std::shared_ptr<State> state = mState;
  Waiting waiting(call);
  std::unique_lock lock(state->mutex);
  if (state->receiver == nullptr) return false;
  state->queue.push_back(&waiting);
  // Posted under the lock, so that the receiver cannot go meanwhile.
  QCoreApplication::postEvent(state->receiver, new QEvent(RunEventType()));
  state->finished.wait(lock, [&waiting] { return waiting.finished; });
  if (waiting.error) std::rethrow_exception(waiting.error);
  return waiting.ran;
}

}  // namespace varnex::platform
