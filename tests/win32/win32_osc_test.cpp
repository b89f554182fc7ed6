// OSC as the Windows program decodes it (oscpack, built by tools/build-win.sh with two mends):
// commands in every numeric form show controllers send, 64-bit integers read whole, and packets
// oscpack refuses, including a blob that runs past the packet's end.
#include <osc/OscOutboundPacketStream.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "remote/osc_message.h"

namespace roarmark {
namespace {

std::vector<std::uint8_t> Packet(const std::function<void(osc::OutboundPacketStream&)>& fill) {
  char buffer[256];
  osc::OutboundPacketStream stream(buffer, sizeof buffer);
  fill(stream);
  return {buffer, buffer + stream.Size()};
}

TEST(Win32Osc, CommandsAreTakenAsLiblosListenerTakesThem) {
  using K = TRemoteCommandKind;
  using S = osc::OutboundPacketStream;
  struct Case {
    std::function<void(S&)> fill;
    int status;
    K kind;
    int slot;
    bool on;
  };
  const Case cases[] = {
      {[](S& s) { s << osc::BeginMessage("/roarmark/preset") << 3 << osc::EndMessage; }, 200,
       K::Preset, 3, false},
      {[](S& s) { s << osc::BeginMessage("/roarmark/preset") << 9.0f << osc::EndMessage; }, 200,
       K::Preset, 9, false},
      // A 64-bit integer read as 32 bits would give 0 here, or abort in oscpack's own checks.
      {[](S& s) { s << osc::BeginMessage("/roarmark/preset") << osc::int64{7} << osc::EndMessage; },
       200, K::Preset, 7, false},
      {[](S& s) {
         s << osc::BeginMessage("/roarmark/preset") << osc::int64{0x100000002} << osc::EndMessage;
       },
       400, K::Preset, 0, false},
      {[](S& s) { s << osc::BeginMessage("/roarmark/hold") << true << osc::EndMessage; }, 200,
       K::Hold, 0, true},
      {[](S& s) { s << osc::BeginMessage("/roarmark/reset") << osc::EndMessage; }, 200, K::Reset, 0,
       false},
      {[](S& s) { s << osc::BeginMessage("/roarmark/dance") << osc::EndMessage; }, 404, K::Reset, 0,
       false},
      {[](S& s) {
         s << osc::BeginBundleImmediate << osc::BeginMessage("/roarmark/reset") << osc::EndMessage
           << osc::EndBundle;
       },
       400, K::Reset, 0, false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const std::vector<std::uint8_t> packet = Packet(c.fill);
    const TParsedOsc parsed = ParseOscPacket(packet.data(), packet.size());
    ASSERT_EQ(parsed.Status, c.status) << i;
    if (c.status != 200) continue;
    EXPECT_EQ(parsed.Command.Kind, c.kind) << i;
    EXPECT_EQ(parsed.Command.Slot, c.slot) << i;
    EXPECT_EQ(parsed.Command.On, c.on) << i;
  }
}

TEST(Win32Osc, ABlobRunningPastThePacketIsRefused) {
  // "/x", type tags ",b", then a blob size of 4096 with no data after it.
  const std::uint8_t packet[] = {'/', 'x', 0, 0, ',', 'b', 0, 0, 0, 0, 0x10, 0};
  EXPECT_EQ(ParseOscPacket(packet, sizeof packet).Status, 400);
}

}  // namespace
}  // namespace roarmark
