// The remote as the program holds it: the command gate, the feed and, on a desktop, the
// network side (HTTP and WebSocket server, OSC, the feed thread).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "remote/feed.h"
#include "remote/gui_call.h"
#include "remote/pin_guard.h"
#include "remote/remote_settings.h"
#include "remote/remote_target.h"

namespace roarmark {

class TRemoteServer;
class TOscLink;

class TRemoteService {
 public:
  // `post` queues work on the GUI thread's message loop; `clock_ms` is a millisecond clock
  // that never runs backwards.
  TRemoteService(IRemoteTarget& target, TPostToGui post, std::function<std::uint64_t()> clock_ms,
                 TRemoteSettings settings);
  ~TRemoteService();

  const TRemoteSettings& Settings() const { return settings_; }
  // The server, OSC and the feed thread; false with `error` when the server cannot listen or
  // it would listen beyond this machine without a PIN.
  bool StartNetwork(std::string& error);
  // GUI thread, at the end: waiting requests are answered at once, the threads are joined.
  void Stop();

  // GUI thread, after each buffer and each remote command: the feed's newest snapshot.
  void Publish();
  // A JSON command delivered as the server delivers it: checked, then run through the message
  // loop (the caller dispatches it). Returns the HTTP status.
  int Deliver(std::string_view body, const std::string& address);
  // The feed message for the newest snapshot, as the WebSocket sends it.
  std::optional<std::string> LatestFeedMessage() const;
  // Feed clients connected now.
  int FeedClients() const;

 private:
  void FeedLoop();

  IRemoteTarget& target_;
  TPostToGui post_;
  std::function<std::uint64_t()> clock_ms_;
  TRemoteSettings settings_;
  TPinGuard guard_;
  TGuiCall gui_;
  TFeedSlot slot_;
  std::unique_ptr<TRemoteServer> server_;
#if ROARMARK_REMOTE_OSC
  std::unique_ptr<TOscLink> osc_;
#endif
  std::thread feed_thread_;
  std::shared_ptr<std::atomic<bool>> alive_;
};

// A 64-bit millisecond clock from a 32-bit tick count that wraps.
class TUnwrappedClock {
 public:
  explicit TUnwrappedClock(std::function<std::uint32_t()> tick) : tick_(std::move(tick)) {}
  std::uint64_t operator()();

 private:
  std::function<std::uint32_t()> tick_;
  std::mutex mutex_;
  bool started_ = false;
  std::uint32_t last_tick_ = 0;
  std::uint64_t elapsed_ = 0;
};

}  // namespace roarmark
