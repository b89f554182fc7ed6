// What an OSC command does once the library has decoded it, whichever library that is.
#include "remote/osc_link.h"

#include "remote/command_gate.h"
#include "remote/remote_settings.h"

namespace roarmark {
namespace {

constexpr std::chrono::milliseconds kGuiWait{5000};

}  // namespace

void TOscLink::Received(const TParsedOsc& parsed, const std::string& address) {
  if (loopback_only_ && !IsLoopbackAddress(address)) return;
  const TAdmission admission = AdmitOscCommand(guard_, parsed, address, clock_ms_());
  if (admission.Status != kRemoteDone) return;
  const TRemoteCommand command = admission.Command;
  gui_.Run([this, command] { target_.RunCommand(command); }, kGuiWait);
}

}  // namespace roarmark
