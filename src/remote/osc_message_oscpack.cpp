// From oscpack's decoded packet to the command checks shared with the JSON commands. oscpack
// checks the whole message (lengths, padding, every argument inside the packet) as it is read
// and throws on anything malformed.
#include <osc/OscReceivedElements.h>

#include "remote/osc_message.h"

namespace roarmark {

TParsedOsc ParseOscPacket(const std::uint8_t* data, std::size_t size) {
  TParsedOsc refused;
  refused.Status = kRemoteMalformed;
  if (data == nullptr || size == 0 || size > kMaxOscBytes) return refused;
  constexpr std::size_t kMaxArguments = 4;  // a command has at most a number and a PIN
  try {
    const osc::ReceivedPacket packet(reinterpret_cast<const char*>(data), size);
    if (packet.IsBundle()) return refused;
    const osc::ReceivedMessage message(packet);
    if (message.ArgumentCount() > kMaxArguments) return refused;
    TOscArgument args[kMaxArguments];
    std::size_t count = 0;
    for (auto it = message.ArgumentsBegin(); it != message.ArgumentsEnd(); ++it, ++count) {
      TOscArgument& a = args[count];
      a.Type = it->TypeTag();
      switch (a.Type) {
        case 'i':
          a.Integer = it->AsInt32Unchecked();
          break;
        case 'h':
          a.Integer = it->AsInt64Unchecked();
          break;
        case 'T':
          a.Integer = 1;
          break;
        case 'F':
          a.Integer = 0;
          break;
        case 'f':
          a.Real = it->AsFloatUnchecked();
          break;
        case 'd':
          a.Real = it->AsDoubleUnchecked();
          break;
        case 's':
          a.Text = it->AsStringUnchecked();
          break;
        case 'S':
          a.Text = it->AsSymbolUnchecked();
          break;
        default:
          break;  // other types are refused by the command check
      }
    }
    return ParseOscCommand(message.AddressPattern(), args, count);
  } catch (const osc::Exception&) {
    return refused;
  }
}

}  // namespace roarmark
