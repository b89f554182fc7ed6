// OSC over UDP: commands from show controllers, and the level sent on to a lighting desk or
// visuals program. The sockets are the OSC library's (liblo on Linux, oscpack on Windows).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "remote/gui_call.h"
#include "remote/pin_guard.h"
#include "remote/remote_command.h"
#include "remote/remote_target.h"

namespace roarmark {

class TOscLink {
 public:
  TOscLink(IRemoteTarget& target, TGuiCall& gui, TPinGuard& guard,
           std::function<std::uint64_t()> clock_ms);
  ~TOscLink();

  // Listens on UDP `port`; with `loopback_only`, messages from other machines are dropped.
  // False with `error` when the port is taken.
  bool Listen(int port, bool loopback_only, std::string& error);
  // Where the level goes; false for a target that is not HOST:PORT.
  bool SetTarget(const std::string& host_port);
  // Feed thread: "/roarmark/level f" with the level 0..100.
  void SendLevel(double level);
  void Stop();

 private:
  struct TSockets;  // the OSC library's listener and sender

  // The listener's thread: a message from `address`, checked, runs on the GUI thread.
  void Received(const TParsedOsc& parsed, const std::string& address);

  IRemoteTarget& target_;
  TGuiCall& gui_;
  TPinGuard& guard_;
  std::function<std::uint64_t()> clock_ms_;
  bool loopback_only_ = true;
  std::unique_ptr<TSockets> sockets_;
};

}  // namespace roarmark
