// What the program writes into its event log, taken at the seams it already passes through: every
// plain message box (failed saves, lost devices, the reasons of fatal ends), the process's
// immediate end, and the input-loss dialog's coming and going.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/event_log.h"
#include "platform/platform.h"

namespace roarmark {

class TShowEvents {
 public:
  // Wraps `platform`'s dialogs and message loop in place, so whatever is built from it later
  // reports through this object.
  explicit TShowEvents(platform::TPlatform& platform);
  ~TShowEvents();

  // The log lives in `data_folder`; lines written before are kept for it.
  void Open(const std::string& data_folder);
  void Write(const std::string& text);
  // The input-loss wait began / ended after `wait_ms`.
  void InputLost();
  void InputBack(const std::string& device_name, std::uint32_t wait_ms);

 private:
  class TLoggedDialogs;
  class TLoggedLoop;
  friend class TLoggedDialogs;
  friend class TLoggedLoop;

  platform::IClock& clock_;
  std::unique_ptr<TLoggedDialogs> dialogs_;
  std::unique_ptr<TLoggedLoop> logged_loop_;
  std::unique_ptr<TEventLog> log_;
  std::string last_message_;
};

// "N.N s" for a wait of `ms` milliseconds.
std::string WaitText(std::uint32_t ms);

}  // namespace roarmark
