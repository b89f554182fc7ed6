// A libpulse main loop run by the GUI thread's event loop: the sound of a recording stream
// reaches the meter without a thread of its own in between (each hand-over from one thread to
// another costs two wake-ups, 40 times a second).
#pragma once

#include <pulse/mainloop.h>

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class QSocketNotifier;

namespace roarmark::platform::qt {

class TPulseGuiLoop final : public QObject {
 public:
  TPulseGuiLoop();
  ~TPulseGuiLoop() override;
  TPulseGuiLoop(const TPulseGuiLoop&) = delete;
  TPulseGuiLoop& operator=(const TPulseGuiLoop&) = delete;

  pa_mainloop_api* Api() const;
  // Runs what is due and watches again; call after asking libpulse for anything, as a call may
  // open or close the descriptors the event loop watches.
  void Sync();
  // Runs only this loop, never Qt's events, until `done` holds or `timeout_us` passes.
  bool Wait(const std::function<bool()>& done, std::uint64_t timeout_us);

 private:
  enum class TPoll { Now, Block, Record, Ready };
  static int Poll(struct pollfd* fds, unsigned long count, int timeout, void* self);
  int Iterate(int timeout);
  // `fd` is ready for `events` (the event loop saw it), or -1 when nothing is known.
  void Run(int fd = -1, short events = 0);
  void Watch();

  pa_mainloop* mainloop_ = nullptr;
  TPoll poll_ = TPoll::Now;
  int ready_fd_ = -1;
  short ready_events_ = 0;
  bool running_ = false;
  // What the loop waits for next, as recorded by its last poll.
  // (Kept between runs: it is filled 40 times a second.)
  std::vector<std::pair<int, short>> wanted_;
  int wanted_timeout_ = -1;
  std::map<int, std::unique_ptr<QSocketNotifier>> readers_;
  std::map<int, std::unique_ptr<QSocketNotifier>> writers_;
  QTimer timer_;
};

}  // namespace roarmark::platform::qt
