// A libpulse main loop run by the GUI thread's event loop.
#include "platform/qt/pulse_gui_loop.h"

#include <poll.h>
#include <pulse/rtclock.h>

#include <QSocketNotifier>
#include <algorithm>
#include <limits>

namespace roarmark::platform::qt {

TPulseGuiLoop::TPulseGuiLoop() : mainloop_(pa_mainloop_new()) {
  if (mainloop_) pa_mainloop_set_poll_func(mainloop_, Poll, this);
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { Run(); });
}

TPulseGuiLoop::~TPulseGuiLoop() {
  readers_.clear();
  writers_.clear();
  if (mainloop_) pa_mainloop_free(mainloop_);
}

pa_mainloop_api* TPulseGuiLoop::Api() const {
  return mainloop_ ? pa_mainloop_get_api(mainloop_) : nullptr;
}

// The loop's poll: at once while it runs from the event loop, blocking while it waits on its
// own, and only noting what it would wait for when asked. When the event loop has just seen a
// descriptor ready, that is the answer, without asking the system again: a capture buffer's
// sound arrives in several pieces, each waking the loop.
int TPulseGuiLoop::Poll(struct pollfd* fds, unsigned long count, int timeout, void* userdata) {
  auto* self = static_cast<TPulseGuiLoop*>(userdata);
  switch (self->poll_) {
    case TPoll::Now:
      return ::poll(fds, count, 0);
    case TPoll::Block:
      return ::poll(fds, count, timeout);
    case TPoll::Ready: {
      int ready = 0;
      for (unsigned long i = 0; i < count; ++i) {
        fds[i].revents = fds[i].fd == self->ready_fd_ ? (fds[i].events & self->ready_events_) : 0;
        if (fds[i].revents != 0) ++ready;
      }
      return ready;
    }
    case TPoll::Record:
      break;
  }
  self->wanted_.clear();
  for (unsigned long i = 0; i < count; ++i) {
    fds[i].revents = 0;
    if (fds[i].fd >= 0) self->wanted_.emplace_back(fds[i].fd, fds[i].events);
  }
  self->wanted_timeout_ = timeout;
  return 0;
}

// One iteration; the number of events it ran, or -1.
int TPulseGuiLoop::Iterate(int timeout) {
  if (!mainloop_ || pa_mainloop_prepare(mainloop_, timeout) < 0) return -1;
  if (pa_mainloop_poll(mainloop_) < 0) return -1;
  return pa_mainloop_dispatch(mainloop_);
}

void TPulseGuiLoop::Run(int fd, short events) {
  if (running_ || !mainloop_) return;
  running_ = true;
  poll_ = fd >= 0 ? TPoll::Ready : TPoll::Now;
  ready_fd_ = fd;
  ready_events_ = events;
  Iterate(0);
  // Then what it waits for next, once running what is due changes nothing more.
  poll_ = TPoll::Record;
  for (int round = 0; round < 8 && Iterate(-1) > 0; ++round) {
  }
  poll_ = TPoll::Now;
  running_ = false;
  Watch();
}

void TPulseGuiLoop::Sync() {
  Run();
}

void TPulseGuiLoop::Watch() {
  // A notifier may be the one whose signal runs this: it is let go later, not deleted here.
  auto update = [this](std::map<int, std::unique_ptr<QSocketNotifier>>& notifiers, short events,
                       short seen, QSocketNotifier::Type type) {
    auto wanted = [this, events](int fd) {
      return std::any_of(wanted_.begin(), wanted_.end(),
                         [&](const auto& w) { return w.first == fd && (w.second & events) != 0; });
    };
    for (auto it = notifiers.begin(); it != notifiers.end();) {
      if (wanted(it->first)) {
        ++it;
        continue;
      }
      it->second->setEnabled(false);
      it->second.release()->deleteLater();
      it = notifiers.erase(it);
    }
    for (const auto& [fd, want] : wanted_) {
      if ((want & events) == 0 || notifiers.count(fd)) continue;
      auto notifier = std::make_unique<QSocketNotifier>(fd, type);
      connect(notifier.get(), &QSocketNotifier::activated, this,
              [this, fd = fd, seen] { Run(fd, seen); });
      notifiers[fd] = std::move(notifier);
    }
  };
  // A hang-up or error shows as readable; reading then finds it.
  update(readers_, POLLIN | POLLPRI, POLLIN, QSocketNotifier::Read);
  update(writers_, POLLOUT, POLLOUT, QSocketNotifier::Write);
  if (wanted_timeout_ >= 0)
    timer_.start(wanted_timeout_);
  else
    timer_.stop();
}

bool TPulseGuiLoop::Wait(const std::function<bool()>& done, std::uint64_t timeout_us) {
  if (!mainloop_ || running_) return done();
  running_ = true;
  const pa_usec_t end = pa_rtclock_now() + timeout_us;
  poll_ = TPoll::Block;
  while (!done()) {
    const pa_usec_t now = pa_rtclock_now();
    if (now >= end) break;
    const auto left_ms =
        std::min<pa_usec_t>((end - now + 999) / 1000, std::numeric_limits<int>::max());
    if (Iterate(static_cast<int>(left_ms)) < 0) break;
  }
  poll_ = TPoll::Now;
  running_ = false;
  Run();
  return done();
}

}  // namespace roarmark::platform::qt
