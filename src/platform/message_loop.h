// The GUI thread's message loop: posted messages, nested loops, timers, the tick count, sleeping
// and the immediate end of the process.
#pragma once

#include <cstdint>
#include <functional>

namespace roarmark::platform {

using TimerId = std::uint32_t;  // 0 is never a valid timer

// One thread runs everything; a posted message runs later, from the loop, never inside Post.
class IMessageLoop {
 public:
  virtual ~IMessageLoop() = default;

  // Queues `message` to run after everything already queued.
  virtual void Post(std::function<void()> message) = 0;
  // Runs every pending message, including those posted while doing so.
  virtual void DispatchPending() = 0;
  // A nested loop: keeps dispatching messages and timers until `done` holds (checked before
  // waiting and after every message).
  virtual void RunUntil(std::function<bool()> done) = 0;

  // Calls `callback` from the loop every `interval_ms` milliseconds until killed.
  virtual TimerId SetTimer(std::uint32_t interval_ms, std::function<void()> callback) = 0;
  virtual void KillTimer(TimerId id) = 0;

  // Milliseconds since some start; wraps at 2^32.
  virtual std::uint32_t TickCount() const = 0;
  // Blocks the thread; no message is dispatched meanwhile.
  virtual void Sleep(std::uint32_t ms) = 0;

  // Ends the process at once with `exit_code`: no close handler runs, nothing is saved.
  [[noreturn]] virtual void EndProcess(int exit_code) = 0;
};

}  // namespace roarmark::platform
