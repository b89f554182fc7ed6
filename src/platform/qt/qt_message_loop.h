// The message loop on Qt's event loop: posted messages, nested loops, timers and the clock.
#pragma once

#include <QObject>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "platform/message_loop.h"

class QTimer;

namespace roarmark::platform::qt {

class TQtMessageLoop final : public QObject, public IMessageLoop {
  Q_OBJECT

 public:
  TQtMessageLoop();
  ~TQtMessageLoop() override;

  void Post(std::function<void()> message) override;
  void DispatchPending() override;
  void RunUntil(std::function<bool()> done) override;
  TimerId SetTimer(std::uint32_t interval_ms, std::function<void()> callback) override;
  void KillTimer(TimerId id) override;
  std::uint32_t TickCount() const override;
  void Sleep(std::uint32_t ms) override;
  [[noreturn]] void EndProcess(int exit_code) override;

  // Wakes a waiting nested loop so that it checks its condition again.
  void Wake();

 private:
  // Runs queued messages until the queue is empty.
  void Drain();
  void ScheduleDrain();
  void WatchBlocking();
  // Runs `action`; an exception is kept and thrown again from the loop call that waits, since
  // it must not unwind through Qt's event handling.
  void Run(const std::function<void()>& action);
  void RethrowPending();

  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
  bool drain_scheduled_ = false;
  int draining_ = 0;       // drains running on the GUI thread (nested loops nest them)
  bool watching_ = false;  // told before the GUI thread's event loop waits
  std::map<TimerId, std::unique_ptr<QTimer>> timers_;
  TimerId next_timer_ = 1;
  std::exception_ptr pending_error_;
};

}  // namespace roarmark::platform::qt
