// Remote commands from anyone on the network: JSON bodies and OSC packets of any shape (malformed,
// wrong types, huge numbers, unknown commands, oversize) must be refused with a clear status,
// never crash, and never let a command through with a slot outside 0..9.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "remote/command_gate.h"
#include "remote/osc_message.h"
#include "remote/remote_command.h"

using namespace roarmark;

namespace {

void Check(const TAdmission& a) {
  switch (a.Status) {
    case kRemoteDone:
      if (a.Command.Slot < 0 || a.Command.Slot > 9) std::abort();
      return;
    case kRemoteMalformed:
    case kRemotePinRefused:
    case kRemoteUnknown:
    case kRemoteTooLarge:
    case kRemoteLockedOut:
      return;
    default:
      std::abort();  // no other answer is ever given
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte picks the way in: even for a JSON body, odd for an OSC packet.
  if (size == 0) return 0;
  const bool osc = data[0] & 1;
  ++data;
  --size;
  // With and without a PIN to check, as on loopback and beyond it.
  static TPinGuard open("", false);
  static TPinGuard guarded("2468", true);
  static std::uint64_t now = 0;
  now += 1000;
  for (TPinGuard* guard : {&open, &guarded}) {
    if (osc) {
      Check(AdmitOscCommand(*guard, ParseOscPacket(data, size), "127.0.0.1", now));
    } else {
      const std::string_view body(reinterpret_cast<const char*>(data), size);
      Check(AdmitJsonCommand(*guard, body, "127.0.0.1", now));
    }
  }
  return 0;
}
