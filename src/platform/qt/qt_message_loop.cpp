// The message loop on Qt's event loop.
#include "platform/qt/qt_message_loop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace roarmark::platform::qt {

TQtMessageLoop::TQtMessageLoop() {
  WatchBlocking();
}

// A message posted on the GUI thread by a message being run is taken by the drain running it,
// without a queued call (each one wakes the event loop, 40 times a second). Should that message
// start a nested loop, the loop gets a drain before it waits.
void TQtMessageLoop::WatchBlocking() {
  if (watching_) return;
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread());
  if (!dispatcher) return;
  watching_ = true;
  connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { ScheduleDrain(); });
}

TQtMessageLoop::~TQtMessageLoop() {
  for (auto& [id, timer] : timers_)
    timer->stop();
}

// Messages keep their own queue so that their order never depends on Qt's other events; one
// queued call at a time brings the queue onto the GUI thread.
void TQtMessageLoop::Post(std::function<void()> message) {
  const bool from_drain = QThread::currentThread() == thread() && watching_ && draining_ > 0;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(message));
    if (drain_scheduled_ || from_drain) return;
    drain_scheduled_ = true;
  }
  QMetaObject::invokeMethod(
      this, [this] { Drain(); }, Qt::QueuedConnection);
}

void TQtMessageLoop::ScheduleDrain() {
  {
    std::lock_guard lock(mutex_);
    if (drain_scheduled_ || queue_.empty()) return;
    drain_scheduled_ = true;
  }
  QMetaObject::invokeMethod(
      this, [this] { Drain(); }, Qt::QueuedConnection);
}

// A message may run a nested loop (a modal dialog, the wait for a lost device): whatever is
// still queued then needs a drain of its own, or the nested loop would wait for nothing.
void TQtMessageLoop::Drain() {
  WatchBlocking();
  {
    std::lock_guard lock(mutex_);
    drain_scheduled_ = false;
  }
  // Only the GUI thread drains, so the count needs no lock.
  ++draining_;
  for (;;) {
    std::function<void()> message;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) break;
      message = std::move(queue_.front());
      queue_.pop_front();
    }
    ScheduleDrain();
    Run(message);
  }
  --draining_;
}

void TQtMessageLoop::Run(const std::function<void()>& action) {
  try {
    action();
  } catch (...) {
    if (!pending_error_) pending_error_ = std::current_exception();
    Wake();
  }
}

void TQtMessageLoop::RethrowPending() {
  if (!pending_error_) return;
  std::exception_ptr error = pending_error_;
  pending_error_ = nullptr;
  std::rethrow_exception(error);
}

void TQtMessageLoop::DispatchPending() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  Drain();
  RethrowPending();
}

void TQtMessageLoop::RunUntil(std::function<bool()> done) {
  QEventLoop loop;
  ScheduleDrain();  // what the message that started this loop posted
  RethrowPending();
  while (!done()) {
    loop.processEvents(QEventLoop::WaitForMoreEvents);
    RethrowPending();
  }
}

void TQtMessageLoop::Wake() {
  QMetaObject::invokeMethod(
      this, [] {}, Qt::QueuedConnection);
}

TimerId TQtMessageLoop::SetTimer(std::uint32_t interval_ms, std::function<void()> callback) {
  const TimerId id = next_timer_++;
  if (next_timer_ == 0) next_timer_ = 1;
  auto timer = std::make_unique<QTimer>();
  timer->setInterval(static_cast<int>(interval_ms));
  timer->setTimerType(Qt::PreciseTimer);
  QObject::connect(timer.get(), &QTimer::timeout, this,
                   [this, callback = std::move(callback)] { Run(callback); });
  timer->start();
  timers_[id] = std::move(timer);
  return id;
}

// A timer may be killed from its own callback: it is stopped at once and deleted later, from
// the message queue, once its signal has returned.
void TQtMessageLoop::KillTimer(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second->stop();
  QTimer* timer = it->second.release();
  timers_.erase(it);
  Post([timer] { delete timer; });
}

std::uint32_t TQtMessageLoop::TickCount() const {
  // Since boot, like the Windows tick count; the cast wraps at 2^32.
  const auto since_boot = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since_boot).count());
}

void TQtMessageLoop::Sleep(std::uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void TQtMessageLoop::EndProcess(int exit_code) {
  std::_Exit(exit_code);
}

}  // namespace roarmark::platform::qt
