// The sim's message loop and virtual clock.
#include "platform/sim/sim_message_loop.h"

#include <utility>

namespace roarmark::platform::sim {

void SimMessageLoop::Post(std::function<void()> message) {
  queue_.push_back(std::move(message));
}

bool SimMessageLoop::DispatchOne() {
  if (queue_.empty()) return false;
  std::function<void()> message = std::move(queue_.front());
  queue_.pop_front();
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
  if (sleep_driven_) {
    struct InSleep {
      bool& flag;
      explicit InSleep(bool& f) : flag(f) { flag = true; }
      ~InSleep() { flag = false; }
    } in_sleep{in_sleep_};
    while (sleep_budget_ms_ < ms) {
      if (!RunIdleDriver())
        throw SimStalled{{"a sleep waits for time and the test has nothing more to do"}};
    }
    sleep_budget_ms_ -= ms;
  }
  Advance(ms);
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
