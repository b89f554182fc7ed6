// The remote's parts that need no server: listen addresses, the "[Remote]" section, request
// origins, OSC messages as liblo decodes them, feed percentages, the clock and the GUI call.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <lo/lo.h>

#include <functional>
#include <vector>

#include "remote/feed.h"
#include "remote/feed_clients.h"
#include "remote/gui_call.h"
#include "remote/osc_message.h"
#include "remote/remote_service.h"
#include "remote/remote_settings.h"
#include "remote/request_checks.h"

namespace roarmark {
namespace {

TEST(RemoteEndpoint, TakesAddressLiteralsAndPortsOnly) {
  struct Case {
    const char* text;
    bool ok;
    const char* address;
    int port;
  };
  const Case cases[] = {
      {"8765", true, "127.0.0.1", 8765},
      {"0.0.0.0:80", true, "0.0.0.0", 80},
      {"192.168.1.20:65535", true, "192.168.1.20", 65535},
      {"localhost:9000", true, "localhost", 9000},
      {"[::1]:8765", true, "[::1]", 8765},
      {"0", false, "", 0},
      {"65536", false, "", 0},
      {"8765x", false, "", 0},
      {"256.0.0.1:80", false, "", 0},
      {"1.2.3:80", false, "", 0},
      {"example.org:80", false, "", 0},
      {"127.0.0.1:80,0.0.0.0:81", false, "", 0},  // never a second listener
      {"127.0.0.1:443s", false, "", 0},
      {"[::1]", false, "", 0},
      {"", false, "", 0},
  };
  for (const Case& c : cases) {
    const auto endpoint = ParseEndpoint(c.text, "127.0.0.1");
    ASSERT_EQ(endpoint.has_value(), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(endpoint->Address, c.address) << c.text;
    EXPECT_EQ(endpoint->Port, c.port) << c.text;
  }
}

TEST(RemoteEndpoint, LoopbackIsThisMachineOnly) {
  const std::pair<const char*, bool> cases[] = {
      {"127.0.0.1", true}, {"127.8.9.10", true},    {"localhost", true},  {"[::1]", true},
      {"0.0.0.0", false},  {"192.168.1.20", false}, {"128.0.0.1", false}, {"[::]", false},
  };
  for (const auto& [address, loopback] : cases)
    EXPECT_EQ(IsLoopbackAddress(address), loopback) << address;
}

TEST(RemoteSettings, ReadsTheRemoteSectionKeepingDefaultsForBadValues) {
  struct Case {
    const char* ini;
    bool enabled;
    const char* address;
    int port;
    const char* pin;
    int osc_port;
    const char* osc_target;
  };
  const Case cases[] = {
      {"", false, "127.0.0.1", 8765, "", 0, ""},
      {"[Remote]\nEnabled=1\nAddress=0.0.0.0\nPort=9000\nPIN= 2468\nOSC Port=9001\n"
       "OSC Target=192.168.1.50:7000\n",
       true, "0.0.0.0", 9000, " 2468", 9001, "192.168.1.50:7000"},
      {"[remote]\nenabled=1\nport=70000\naddress=my.host\nosc port=-1\nosc target=desk\n", true,
       "127.0.0.1", 8765, "", 0, ""},
      // IPv6 written bare or bracketed, kept as --remote takes it.
      {"[Remote]\nAddress=::\n", false, "[::]", 8765, "", 0, ""},
      {"[Remote]\nAddress=::1\n", false, "[::1]", 8765, "", 0, ""},
      {"[Remote]\nAddress=[::1]\n", false, "[::1]", 8765, "", 0, ""},
      {"[Remote]\nAddress=[::1\n", false, "127.0.0.1", 8765, "", 0, ""},
  };
  for (const Case& c : cases) {
    const TRemoteSettings s = ReadRemoteSettings(TIniFile::Parse(c.ini));
    EXPECT_EQ(s.Enabled, c.enabled) << c.ini;
    EXPECT_EQ(s.Address, c.address) << c.ini;
    EXPECT_EQ(s.Port, c.port) << c.ini;
    EXPECT_EQ(s.Pin, c.pin) << c.ini;
    EXPECT_EQ(s.OscPort, c.osc_port) << c.ini;
    EXPECT_EQ(s.OscTarget, c.osc_target) << c.ini;
  }
}

TEST(RemoteRequests, OnlyPagesOfThisHostByAddressMaySpeak) {
  struct Case {
    std::optional<std::string_view> host;
    std::optional<std::string_view> origin;
    bool allowed;
  };
  const Case cases[] = {
      {"127.0.0.1:8765", std::nullopt, true},
      {"127.0.0.1:8765", "http://127.0.0.1:8765", true},
      {"192.168.1.20:8765", "http://192.168.1.20:8765", true},
      {"localhost:8765", "HTTP://LOCALHOST:8765", true},
      {"[::1]:8765", "http://[::1]:8765", true},
      {"127.0.0.1:8765", "http://evil.example", false},
      {"127.0.0.1:8765", "null", false},
      {"127.0.0.1:8765", "http://127.0.0.1:8766", false},
      {"evil.example:8765", std::nullopt, false},  // a name rebound to this machine
      {"evil.example:8765", "http://evil.example:8765", false},
      {std::nullopt, std::nullopt, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SameOriginRequest(c.host, c.origin), c.allowed)
        << c.host.value_or("(none)") << " " << c.origin.value_or("(none)");
  }
}

TEST(RemoteRequests, QueryValuesArePercentDecoded) {
  EXPECT_EQ(QueryValue("pin=2468", "pin"), "2468");
  EXPECT_EQ(QueryValue("style=bar&pin=12%2634", "pin"), "12&34");
  EXPECT_EQ(QueryValue("pin=a+b", "pin"), "a b");
  EXPECT_EQ(QueryValue("pin=", "pin"), "");
  EXPECT_EQ(QueryValue("pins=1", "pin"), std::nullopt);
  EXPECT_EQ(QueryValue("pin=%4", "pin"), std::nullopt);
  EXPECT_EQ(QueryValue("pin=%zz", "pin"), std::nullopt);
}

// A packet as a show controller's OSC library sends it.
std::vector<std::uint8_t> OscPacket(const char* path, const std::function<void(lo_message)>& add) {
  lo_message m = lo_message_new();
  add(m);
  std::size_t size = 0;
  void* bytes = lo_message_serialise(m, path, nullptr, &size);
  std::vector<std::uint8_t> packet(static_cast<std::uint8_t*>(bytes),
                                   static_cast<std::uint8_t*>(bytes) + size);
  std::free(bytes);
  lo_message_free(m);
  return packet;
}

TEST(RemoteOsc, MessagesBecomeTheirCommands) {
  struct Case {
    const char* path;
    std::function<void(lo_message)> add;
    int status;
    TRemoteCommandKind kind;
    int slot;
    bool on;
    const char* pin;
  };
  using K = TRemoteCommandKind;
  const auto none = [](lo_message) {};
  const Case cases[] = {
      {"/roarmark/preset", [](lo_message m) { lo_message_add_int32(m, 3); }, 200, K::Preset, 3,
       false, nullptr},
      {"/roarmark/preset", [](lo_message m) { lo_message_add_float(m, 9.0f); }, 200, K::Preset, 9,
       false, nullptr},
      {"/roarmark/preset", [](lo_message m) { lo_message_add_int32(m, 10); }, 400, K::Preset, 0,
       false, nullptr},
      {"/roarmark/preset", [](lo_message m) { lo_message_add_float(m, 2.5f); }, 400, K::Preset, 0,
       false, nullptr},
      {"/roarmark/preset", [](lo_message m) { lo_message_add_string(m, "3"); }, 400, K::Preset, 0,
       false, nullptr},
      {"/roarmark/preset", none, 400, K::Preset, 0, false, nullptr},
      {"/roarmark/hold", [](lo_message m) { lo_message_add_int32(m, 1); }, 200, K::Hold, 0, true,
       nullptr},
      {"/roarmark/hold", [](lo_message m) { lo_message_add_false(m); }, 200, K::Hold, 0, false,
       nullptr},
      {"/roarmark/reset", none, 200, K::Reset, 0, false, nullptr},
      {"/roarmark/blank", [](lo_message m) { lo_message_add_string(m, "2468"); }, 200, K::Blank, 0,
       false, "2468"},
      {"/roarmark/preset",
       [](lo_message m) {
         lo_message_add_int32(m, 1);
         lo_message_add_string(m, "2468");
       },
       200, K::Preset, 1, false, "2468"},
      {"/roarmark/reset",
       [](lo_message m) {
         lo_message_add_int32(m, 1);
         lo_message_add_int32(m, 2);
       },
       400, K::Reset, 0, false, nullptr},
      {"/roarmark/dance", none, 404, K::Reset, 0, false, nullptr},
      {"/other/reset", none, 404, K::Reset, 0, false, nullptr},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> packet = OscPacket(c.path, c.add);
    const TParsedOsc parsed = ParseOscPacket(packet.data(), packet.size());
    ASSERT_EQ(parsed.Status, c.status) << c.path;
    if (c.status != 200) continue;
    EXPECT_EQ(parsed.Command.Kind, c.kind) << c.path;
    EXPECT_EQ(parsed.Command.Slot, c.slot) << c.path;
    EXPECT_EQ(parsed.Command.On, c.on) << c.path;
    EXPECT_EQ(parsed.Pin, c.pin ? std::optional<std::string>(c.pin) : std::nullopt) << c.path;
  }
}

TEST(RemoteOsc, PacketsTheLibraryRefusesOrTooLargeAreRefused) {
  const std::uint8_t truncated[] = {'/', 'r', 'o', 'a'};
  EXPECT_EQ(ParseOscPacket(truncated, sizeof truncated).Status, 400);
  std::vector<std::uint8_t> big = OscPacket("/roarmark/reset", [](lo_message m) {
    lo_message_add_string(m, std::string(2000, 'x').c_str());
  });
  EXPECT_EQ(ParseOscPacket(big.data(), big.size()).Status, 400);
}

TEST(RemoteFeed, PositionsAsPercentWithOneDecimal) {
  const std::pair<int, double> cases[] = {{0, 0.0},     {1, 0.1},     {5, 0.5},     {512, 50.0},
                                          {1020, 99.6}, {1023, 99.9}, {1024, 100.0}};
  for (const auto& [position, percent] : cases)
    EXPECT_DOUBLE_EQ(FeedPercent(position), percent) << position;
}

TEST(RemoteFeed, ASlowReaderGetsOnlyTheNewestSnapshot) {
  TFeedSlot slot;
  for (int p = 1; p <= 5; ++p) {
    TFeedSnapshot s;
    s.Position = p;
    slot.Publish(s);
  }
  std::uint64_t seen = 0;
  TFeedSnapshot got;
  ASSERT_TRUE(slot.WaitNewer(&seen, got, std::chrono::milliseconds(0)));
  EXPECT_EQ(got.Position, 5);
  EXPECT_FALSE(slot.WaitNewer(&seen, got, std::chrono::milliseconds(0)));
}

TEST(RemoteFeed, FramesCarryTheirLengthInTheShortestForm) {
  const std::pair<std::size_t, std::string> cases[] = {
      {5, std::string("\x81\x05", 2)},
      {125, std::string("\x81\x7d", 2)},
      {126, std::string("\x81\x7e\x00\x7e", 4)},
      {65535, std::string("\x81\x7e\xff\xff", 4)},
      {65536, std::string("\x81\x7f\x00\x00\x00\x00\x00\x01\x00\x00", 10)},
  };
  for (const auto& [size, header] : cases) {
    const std::string payload(size, 'x');
    EXPECT_EQ(TextFrame(payload), header + payload) << size;
  }
}

TEST(RemoteClock, RunsOnThroughTheTickCountsWrap) {
  const std::uint32_t ticks[] = {4294967290u, 4294967295u, 5u, 1005u};
  const std::uint64_t expected[] = {4294967290ull, 4294967295ull, 4294967301ull, 4294968301ull};
  std::size_t i = 0;
  TUnwrappedClock clock([&] { return ticks[i]; });
  for (i = 0; i < 4; ++i)
    EXPECT_EQ(clock(), expected[i]) << i;
}

TEST(RemoteGuiCall, WorkTheGuiThreadTakesTooLateToRunIsSkipped) {
  std::vector<std::function<void()>> posted;
  TGuiCall call([&](std::function<void()> work) { posted.push_back(std::move(work)); });
  bool ran = false;
  EXPECT_FALSE(call.Run([&] { ran = true; }, std::chrono::milliseconds(1)));
  ASSERT_EQ(posted.size(), 1u);
  posted[0]();
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace roarmark
