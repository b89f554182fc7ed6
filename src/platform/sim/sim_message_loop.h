// The sim's message loop: a posted-message queue, a virtual millisecond clock that drives the
// timers, and an idle driver that supplies the test's next action whenever a nested loop or a
// sleep would otherwise wait forever.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/message_loop.h"
#include "platform/sim/sim_errors.h"

namespace roarmark::platform::sim {

class SimMessageLoop : public IMessageLoop {
 public:
  void Post(std::function<void()> message) override;
  void DispatchPending() override;
  // Dispatches messages until `done` holds; with nothing pending it asks the idle driver for the
  // next action and throws SimStalled when there is none.
  void RunUntil(std::function<bool()> done) override;
  TimerId SetTimer(std::uint32_t interval_ms, std::function<void()> callback) override;
  void KillTimer(TimerId id) override;
  std::uint32_t TickCount() const override;
  // Advances the clock (firing due timers). When sleeps are driven, a sleep spends the time the
  // harness granted as it goes and asks the idle driver for more whenever it runs out, so the
  // driver's next action happens exactly when the granted time is up.
  void Sleep(std::uint32_t ms) override;
  // Records the end and throws ProcessEnded{exit_code}.
  [[noreturn]] void EndProcess(int exit_code) override;

  // ---- Clock
  void SetTickCount(std::uint32_t tick);
  // Moves the clock on by `ms`, firing every timer that falls due on the way, in order of due
  // time (timers due at the same moment in the order they were set).
  void Advance(std::uint64_t ms);
  // Milliseconds the clock has moved since it was set (does not wrap).
  std::uint64_t Elapsed() const { return now_ms_; }
  std::size_t TimerCount() const { return timers_.size(); }

  // ---- Messages
  // Runs the oldest pending message; false when there was none.
  bool DispatchOne();
  std::size_t PendingCount() const {
    std::lock_guard lock(queue_mutex_);
    return queue_.size();
  }

  // ---- Driving nested loops
  // Actions queued by the test run first, one per idle moment, in order.
  void QueueAction(std::function<void()> action);
  std::size_t QueuedActions() const { return actions_.size(); }
  // Asked when no queued action is left; returns false when it has nothing more to do.
  void SetIdleDriver(std::function<bool()> driver) { driver_ = std::move(driver); }
  // Performs the next queued action or asks the driver; false when neither had anything.
  bool RunIdleDriver();
  // How many RunUntil loops are running now (nested inside each other).
  int LoopDepth() const { return depth_; }

  // ---- Driven sleeps (a wait that polls with Sleep, like the input-loss wait)
  void SetSleepDriven(bool on) { sleep_driven_ = on; }
  bool SleepDriven() const { return sleep_driven_; }
  // Lets sleeps use up `ms` more milliseconds of simulated time.
  void GrantSleep(std::uint64_t ms) { sleep_budget_ms_ += ms; }
  std::uint64_t SleepBudget() const { return sleep_budget_ms_; }
  // True while a driven sleep waits for the harness to grant time and is the innermost wait
  // (no loop was started from inside it).
  bool InSleep() const { return in_sleep_ && sleep_depth_ == depth_; }
  // What the sleep in progress still has to wait.
  std::uint64_t SleepRemaining() const { return in_sleep_ ? sleep_remaining_ms_ : 0; }
  // Every sleep the program asked for, in order.
  const std::vector<std::uint32_t>& Sleeps() const { return sleeps_; }
  void ClearSleeps() { sleeps_.clear(); }

  // ---- The end of the program
  // The exit code once the process ended (EndProcess) or the application ended normally.
  std::optional<int> EndCode() const { return end_code_; }
  bool EndedByProcessEnd() const { return ended_by_end_process_; }
  // Records a normal end (the main form closed) unless an end was recorded already.
  void RecordEnd(int exit_code);

 private:
  struct Timer {
    std::uint32_t interval_ms;
    std::uint64_t due_ms;
    std::function<void()> callback;
  };

  // Other threads may post, as a network server's do; everything else is the test's thread.
  mutable std::mutex queue_mutex_;
  std::deque<std::function<void()>> queue_;
  std::deque<std::function<void()>> actions_;
  std::function<bool()> driver_;
  std::map<TimerId, Timer> timers_;
  TimerId next_timer_ = 1;
  std::uint32_t start_tick_ = 0;
  std::atomic<std::uint64_t> now_ms_{0};  // read by other threads through TickCount
  int depth_ = 0;
  bool sleep_driven_ = false;
  bool in_sleep_ = false;
  int sleep_depth_ = 0;  // the loop depth the sleep in progress runs at
  std::uint64_t sleep_remaining_ms_ = 0;
  std::uint64_t sleep_budget_ms_ = 0;
  std::vector<std::uint32_t> sleeps_;
  std::optional<int> end_code_;
  bool ended_by_end_process_ = false;
};

}  // namespace roarmark::platform::sim
