// The order of the checks: a locked-out address learns nothing more, a body that is not a JSON
// object cannot carry a PIN, and only a caller with the PIN learns which commands exist.
#include "remote/command_gate.h"

namespace roarmark {

TAdmission AdmitJsonCommand(TPinGuard& guard, std::string_view body, const std::string& address,
                            std::uint64_t now_ms) {
  TAdmission admission;
  if ((admission.Status = guard.LockStatus(address, now_ms)) != 0) return admission;
  const TParsedCommand parsed = ParseRemoteCommand(body);
  if (parsed.BodyStatus != 0) {
    admission.Status = parsed.BodyStatus;
    return admission;
  }
  if ((admission.Status = guard.Check(address, parsed.Pin, now_ms)) != 0) return admission;
  admission.Status = parsed.CommandStatus;
  admission.Command = parsed.Command;
  return admission;
}

TAdmission AdmitOscCommand(TPinGuard& guard, const TParsedOsc& parsed, const std::string& address,
                           std::uint64_t now_ms) {
  TAdmission admission;
  if ((admission.Status = guard.LockStatus(address, now_ms)) != 0) return admission;
  if (parsed.Status == kRemoteUnknown) {
    admission.Status = parsed.Status;
    return admission;
  }
  if ((admission.Status = guard.Check(address, parsed.Pin, now_ms)) != 0) return admission;
  admission.Status = parsed.Status;
  admission.Command = parsed.Command;
  return admission;
}

}  // namespace roarmark
