// OSC over UDP (liblo): commands from show controllers, and the level sent on to a lighting
// desk or visuals program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <lo/lo_types.h>

#include "remote/gui_call.h"
#include "remote/pin_guard.h"
#include "remote/remote_settings.h"
#include "remote/remote_target.h"

namespace roarmark {

class TOscLink {
 public:
  TOscLink(IRemoteTarget& target, TGuiCall& gui, TPinGuard& guard,
           std::function<std::uint64_t()> clock_ms);
  ~TOscLink();

  // Listens on UDP `port`. With `loopback_only`, messages from other machines are dropped
  // (the OSC library listens on every interface). False with `error` when the port is taken.
  bool Listen(int port, bool loopback_only, std::string& error);
  // Where the level goes; false for a target that is not HOST:PORT.
  bool SetTarget(const std::string& host_port);
  // Feed thread: "/roarmark/level f" with the level 0..100.
  void SendLevel(double level);
  void Stop();

 private:
  static int Method(const char* path, const char* types, lo_arg** argv, int argc, void* message,
                    void* self);

  IRemoteTarget& target_;
  TGuiCall& gui_;
  TPinGuard& guard_;
  std::function<std::uint64_t()> clock_ms_;
  bool loopback_only_ = true;
  lo_server_thread server_ = nullptr;
  lo_address target_address_ = nullptr;
};

}  // namespace roarmark
