// What every remote command passes before it runs, whether it came over HTTP, OSC or the
// scenario runner: the lock-out, the body's form, the PIN, then the command itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "remote/pin_guard.h"
#include "remote/remote_command.h"

namespace roarmark {

struct TAdmission {
  int Status = kRemoteMalformed;  // 200 when the command may run
  TRemoteCommand Command;
};

TAdmission AdmitJsonCommand(TPinGuard& guard, std::string_view body, const std::string& address,
                            std::uint64_t now_ms);
TAdmission AdmitOscCommand(TPinGuard& guard, const TParsedOsc& parsed, const std::string& address,
                           std::uint64_t now_ms);

}  // namespace roarmark
