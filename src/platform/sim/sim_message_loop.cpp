// The sim's message loop and virtual clock.
#include "platform/sim/sim_message_loop.h"

#include <algorithm>
#include <utility>

namespace roarmark::platform::sim {

void SimMessageLoop::Post(std::function<void()> message) {
  std::lock_guard lock(queue_mutex_);
  queue_.push_back(std::move(message));
}

bool SimMessageLoop::DispatchOne() {
  std::function<void()> message;
  {
    std::lock_guard lock(queue_mutex_);
    if (queue_.empty()) return false;
    message = std::move(queue_.front());
    queue_.pop_front();
  }
  message();
  return true;
}

void SimMessageLoop::DispatchPending() {
  while (DispatchOne()) {
  }
}

void SimMessageLoop::QueueAction(std::function<void()> action) {
  actions_.push_back(std::move(action));
}

bool SimMessageLoop::RunIdleDriver() {
  if (!actions_.empty()) {
    std::function<void()> action = std::move(actions_.front());
    actions_.pop_front();
    action();
    return true;
  }
  return driver_ && driver_();
}

void SimMessageLoop::RunUntil(std::function<bool()> done) {
  struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(d) { ++depth; }
    ~Depth() { --depth; }
  } depth{depth_};
  for (;;) {
    if (done()) return;
    if (DispatchOne()) continue;
    if (!RunIdleDriver())
      throw SimStalled{{"a loop waits for input and the test has nothing more to do"}};
  }
}

TimerId SimMessageLoop::SetTimer(std::uint32_t interval_ms, std::function<void()> callback) {
  if (interval_ms == 0) interval_ms = 1;
  const TimerId id = next_timer_++;
  timers_[id] = Timer{interval_ms, now_ms_ + interval_ms, std::move(callback)};
  return id;
}

void SimMessageLoop::KillTimer(TimerId id) {
  timers_.erase(id);
}

std::uint32_t SimMessageLoop::TickCount() const {
  return static_cast<std::uint32_t>(start_tick_ + now_ms_);
}

void SimMessageLoop::SetTickCount(std::uint32_t tick) {
  start_tick_ = static_cast<std::uint32_t>(tick - now_ms_);
}

void SimMessageLoop::Advance(std::uint64_t ms) {
  const std::uint64_t target = now_ms_ + ms;
  for (;;) {
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.due_ms <= target &&
          (next == timers_.end() || it->second.due_ms < next->second.due_ms))
        next = it;
    }
    if (next == timers_.end()) break;
    now_ms_ = next->second.due_ms;
    next->second.due_ms += next->second.interval_ms;
    std::function<void()> callback = next->second.callback;  // the timer may be killed inside
    callback();
  }
  now_ms_ = target;
}

void SimMessageLoop::Sleep(std::uint32_t ms) {
  sleeps_.push_back(ms);
  if (!sleep_driven_) {
    Advance(ms);
    return;
  }
  // Sleeps do not nest in the program, but a driver action may start one; keep the outer one.
  struct InSleep {
    SimMessageLoop& loop;
    bool was_in_sleep;
    int was_depth;
    std::uint64_t was_remaining;
    explicit InSleep(SimMessageLoop& l, std::uint32_t ms)
        : loop(l),
          was_in_sleep(l.in_sleep_),
          was_depth(l.sleep_depth_),
          was_remaining(l.sleep_remaining_ms_) {
      loop.in_sleep_ = true;
      loop.sleep_depth_ = loop.depth_;
      loop.sleep_remaining_ms_ = ms;
    }
    ~InSleep() {
      loop.in_sleep_ = was_in_sleep;
      loop.sleep_depth_ = was_depth;
      loop.sleep_remaining_ms_ = was_remaining;
    }
  } in_sleep{*this, ms};
  for (;;) {
    const std::uint64_t spend = std::min(sleep_budget_ms_, sleep_remaining_ms_);
    sleep_budget_ms_ -= spend;
    sleep_remaining_ms_ -= spend;
    Advance(spend);
    if (sleep_remaining_ms_ == 0) return;
    if (!RunIdleDriver())
      throw SimStalled{{"a sleep waits for time and the test has nothing more to do"}};
  }
}

void SimMessageLoop::EndProcess(int exit_code) {
  if (!end_code_) {
    end_code_ = exit_code;
    ended_by_end_process_ = true;
  }
  throw ProcessEnded{exit_code};
}

void SimMessageLoop::RecordEnd(int exit_code) {
  if (!end_code_) end_code_ = exit_code;
}

}  // namespace roarmark::platform::sim
