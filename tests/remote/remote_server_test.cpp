// The remote server for real on loopback, serving the whole program on the sim platform: this
// test's thread is the program's GUI thread and pumps its message loop while clients ask.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <lo/lo.h>

#include <cstdlib>
#include <fstream>
#include <future>
#include <iostream>
#include <thread>

#include "../app/sim_program_test.h"
#include "core/main_window.h"
#include "display/pictures/bmp_reader.h"
#include "display/pictures/bmp_writer.h"
#include "display/pictures/png_reader.h"
#include "http_client.h"
#include "remote/remote_service.h"
#include "settings/paths.h"

namespace roarmark::test {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

class RemoteServerTest : public SimProgramTest {
 protected:
  RemoteServerTest() : SimProgramTest("remote-") {}

  // The program after a first start (starter layouts on Ctrl+1..5), its remote on `address`.
  void StartWithRemote(const std::string& address, const std::string& ini_remote = "") {
    sim.wave_input.AddDevice("Mic");
    if (!ini_remote.empty()) {
      // A data folder of our own: the picture, "Roarmark.ini" with its "[Remote]" section, and
      // an analogue meter layout in preset slot 3.
      std::filesystem::create_directories(data + "Files");
      std::ofstream(data + "Files/needle.cfg") << "[Form]\nStyle=3\n";
      std::ofstream(data + "Files/Settings.dat")
          << "\r\n\r\n\r\nC:\\RoarmarkDevProject\\needle.cfg\r\n";
      platform::TPixels picture;
      picture.Width = 400;
      picture.Height = 300;
      picture.Pixels.assign(400 * 300, 0xFF000000u);
      ASSERT_TRUE(WriteBmp24(data + "Files/Graphic.bmp", picture));
      std::ofstream(data + "Roarmark.ini") << "[Form]\nStyle=1\n" << ini_remote;
    }
    port = FreeLoopbackPort();
    TProgramOptions options;
    options.Network = true;
    options.Remote = TEndpoint{address, port};
    program = std::make_unique<TRoarmarkProgram>(sim.Platform(), options);
    program->Start();
    ASSERT_NE(program->Remote(), nullptr);
  }

  // Runs `ask` on a client thread while this thread serves the program's messages.
  template <class F>
  auto WhileServing(F ask) {
    auto answer = std::async(std::launch::async, ask);
    while (answer.wait_for(1ms) != std::future_status::ready)
      sim.loop.DispatchPending();
    return answer.get();
  }
  THttpAnswer Post(const std::string& body, const std::string& head = "") {
    return WhileServing([&] { return Request(port, "POST", "/api/command", body, head); });
  }
  THttpAnswer Get(const std::string& path) {
    return WhileServing([&] { return Request(port, "GET", path); });
  }
  void Buffers(int n) {
    for (int i = 0; i < n; ++i) {
      sim.wave_input.DeliverBuffers(1);
      sim.loop.DispatchPending();
      sim.loop.Advance(25);
      sim.loop.DispatchPending();
    }
  }
  TForm1& Main() { return *program->MainWindow(); }

  int port = 0;
};

TEST_F(RemoteServerTest, CommandsOnLoopbackNeedNoPinAndRunTheKeyCommands) {
  StartWithRemote("127.0.0.1");
  sim.wave_input.SetSignal("Mic", platform::sim::WaveSignal::Square(0));
  Buffers(2);
  struct Case {
    const char* body;
    int status;
  };
  const Case cases[] = {{R"({"cmd":"preset","n":2})", 200},   {R"({"cmd":"hold","on":true})", 200},
                        {R"({"cmd":"blank"})", 200},          {R"({"cmd":"dance"})", 404},
                        {R"({"cmd":"preset","n":"2"})", 400}, {"{", 400}};
  for (const Case& c : cases)
    EXPECT_EQ(Post(c.body).Status, c.status) << c.body;
  EXPECT_EQ(Main().Settings.Style, 2);
  EXPECT_TRUE(Main().Settings.PeakHold);
  EXPECT_TRUE(Main().State.Blanked);
}

TEST_F(RemoteServerTest, BeyondLoopbackThePinIsAskedAndGuessersAreLockedOut) {
  StartWithRemote("0.0.0.0", "[Remote]\nPIN=2468\n");
  EXPECT_EQ(Post(R"({"cmd":"blank"})").Status, 401);
  EXPECT_EQ(Get("/api/state").Status, 401);
  EXPECT_EQ(Get("/api/state?pin=2468").Status, 200);
  EXPECT_EQ(Post(R"({"cmd":"blank","pin":"2468"})").Status, 200);
  EXPECT_TRUE(Main().State.Blanked);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(Post(R"({"cmd":"blank","pin":"0000"})").Status, 401);
  EXPECT_EQ(Post(R"({"cmd":"blank","pin":"2468"})").Status, 429);
  EXPECT_EQ(Get("/api/state?pin=2468").Status, 429);
  EXPECT_TRUE(Main().State.Blanked);
  // The pages themselves hold nothing secret: they ask for the PIN.
  EXPECT_EQ(Get("/remote").Status, 200);
}

TEST_F(RemoteServerTest, ServesStatePagesAndThumbnailsButNoFiles) {
  StartWithRemote("127.0.0.1");
  const THttpAnswer state = Get("/api/state");
  ASSERT_EQ(state.Status, 200);
  EXPECT_THAT(state.Body, HasSubstr(R"({"slot":1,"name":"Vertical Bars.cfg","thumbnail":true})"));
  EXPECT_THAT(state.Body, HasSubstr(R"({"slot":7,"name":"","thumbnail":false})"));

  // A thumbnail goes out as PNG holding the very picture of the preset's ".thm" file.
  const THttpAnswer thumbnail = Get("/api/thumbnail/2");
  ASSERT_EQ(thumbnail.Status, 200);
  EXPECT_EQ(thumbnail.ContentType, "image/png");
  EXPECT_EQ(thumbnail.Body.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  platform::TPixels sent;
  ASSERT_TRUE(DecodePng(
      {reinterpret_cast<const std::uint8_t*>(thumbnail.Body.data()), thumbnail.Body.size()}, sent));
  platform::TPixels file;
  ASSERT_TRUE(DecodeBmpFile(
      ReplaceExtension(PortablePath(Main().PresetList[2], Main().DataFolder), ".thm"), file));
  EXPECT_EQ(sent.Width, 240);
  EXPECT_EQ(sent.Width, file.Width);
  EXPECT_EQ(sent.Height, file.Height);
  EXPECT_TRUE(sent.Pixels == file.Pixels);

  struct Case {
    const char* path;
    int status;
    const char* type;
  };
  const Case cases[] = {
      {"/overlay", 200, "text/html; charset=utf-8"},
      {"/remote", 200, "text/html; charset=utf-8"},
      {"/assets/feed.js", 200, "text/javascript; charset=utf-8"},
      {"/api/thumbnail/7", 404, nullptr},  // an empty slot
      {"/api/thumbnail/10", 404, nullptr},
      {"/api/thumbnail/../../Roarmark.ini", 404, nullptr},
      {"/Roarmark.ini", 404, nullptr},
      {"/etc/passwd", 404, nullptr},
      {"/assets/../../../etc/passwd", 404, nullptr},
      {"/api/command", 405, nullptr},
  };
  for (const Case& c : cases) {
    const THttpAnswer answer = Get(c.path);
    EXPECT_EQ(answer.Status, c.status) << c.path;
    if (c.type) {
      EXPECT_EQ(answer.ContentType, c.type) << c.path;
    }
  }
}

TEST_F(RemoteServerTest, PagesFromElsewhereAndOversizeRequestsAreRefused) {
  StartWithRemote("127.0.0.1");
  EXPECT_EQ(Post(R"({"cmd":"blank"})", "Origin: http://evil.example\r\n").Status, 403);
  EXPECT_FALSE(Main().State.Blanked);
  EXPECT_EQ(Post(std::string(5000, ' ') + R"({"cmd":"blank"})").Status, 413);
  // A header flood is the library's to refuse: larger than its request limit.
  EXPECT_THAT(Post(R"({"cmd":"blank"})", "X-Flood: " + std::string(20000, 'x') + "\r\n").Status,
              ::testing::AnyOf(0, 400, 413, 431));
  std::string many;
  for (int i = 0; i < 1000; ++i)
    many += "X-" + std::to_string(i) + ": 1\r\n";
  EXPECT_THAT(Post(R"({"cmd":"blank"})", many).Status, ::testing::AnyOf(0, 400, 413, 431));
  EXPECT_FALSE(Main().State.Blanked);
}

// "::" is every address, IPv6 and IPv4 on one socket, where the web server library has IPv6;
// where it has not, the program says so at start and the meter runs on without its remote.
TEST_F(RemoteServerTest, EveryAddressOfIpv6AndIpv4WhereTheLibraryHasIpv6) {
  if (mg_check_feature(8) == 0) {
    ::testing::internal::CaptureStderr();
    StartWithRemote("[::]", "[Remote]\nPIN=2468\n");
    EXPECT_THAT(::testing::internal::GetCapturedStderr(),
                HasSubstr("remote control off: cannot listen on [::]: this build's web server "
                          "library has no IPv6"));
    EXPECT_EQ(Get("/api/state?pin=2468").Status, 0);
    std::cout << "NOTE: this civetweb is built without IPv6: only its refusal is checked\n";
    return;
  }
  if (!HasIpv6Loopback()) {
    if (std::getenv("ROARMARK_CI")) FAIL() << "CI needs the IPv6 loopback address ::1";
    GTEST_SKIP() << "SKIPPED LOUDLY: this machine has no IPv6 loopback address ::1";
  }
  StartWithRemote("[::]", "[Remote]\nPIN=2468\n");
  for (const char* host : {"::1", "127.0.0.1"}) {
    const THttpAnswer answer =
        WhileServing([&] { return Request(port, "GET", "/api/state?pin=2468", "", "", host); });
    EXPECT_EQ(answer.Status, 200) << host;
  }
}

// The recording: twenty buffers of silence, then twenty of a full-scale square wave; at the
// stored reference of -6 dB the meter rests at position 1 (0.1 %) and then stands at 1020.
std::vector<std::int16_t> SilenceThenSquare() {
  std::vector<std::int16_t> frames(20 * 1100 * 2, 0);
  for (int i = 0; i < 20 * 1100; ++i) {
    const std::int16_t v = (i / 220) % 2 ? -32767 : 32767;
    frames.push_back(v);
    frames.push_back(v);
  }
  return frames;
}

TEST_F(RemoteServerTest, TheFeedSendsOneMessagePerBufferWhileARecordingPlays) {
  StartWithRemote("127.0.0.1");
  sim.wave_input.SetSignal("Mic", platform::sim::WaveSignal::Recording(SilenceThenSquare()));
  TFeedListener listener;
  ASSERT_TRUE(listener.Connect(port, "/feed"));
  // A new client gets the newest message at once: the meter before its first buffer.
  ASSERT_TRUE(listener.WaitFor(1, 10000));
  // A start that takes a while (no buffer for over a second) does not end the feed.
  std::this_thread::sleep_for(1500ms);
  for (std::size_t n = 2; n <= 41; ++n) {
    Buffers(1);
    ASSERT_TRUE(listener.WaitFor(n, 10000)) << n;
  }
  const std::vector<std::string> m = listener.Messages();
  ASSERT_EQ(m.size(), 41u);
  EXPECT_EQ(m[0], R"({"level":0.0,"peak":0.0,"readout":"","hold":false,"blanked":false,)"
                  R"("preset":null,"style":1})");
  for (std::size_t i = 1; i <= 20; ++i) {
    EXPECT_EQ(m[i], R"({"level":0.1,"peak":0.1,"readout":"0","hold":false,"blanked":false,)"
                    R"("preset":null,"style":1})")
        << i;
  }
  for (std::size_t i = 21; i <= 40; ++i) {
    EXPECT_EQ(m[i], R"({"level":99.6,"peak":99.6,"readout":"100","hold":false,)"
                    R"("blanked":false,"preset":null,"style":1})")
        << i;
  }
}

TEST_F(RemoteServerTest, OscCommandsRunAndTheLevelGoesToTheTarget) {
  const int osc_port = FreeLoopbackPort();
  const int target_port = FreeLoopbackPort();
  StartWithRemote("127.0.0.1", "[Remote]\nOSC Port=" + std::to_string(osc_port) +
                                   "\nOSC Target=127.0.0.1:" + std::to_string(target_port) + "\n");
  // The lighting desk: takes every /roarmark/level it is sent.
  std::vector<float> levels;
  lo_server desk = lo_server_new(std::to_string(target_port).c_str(), nullptr);
  ASSERT_NE(desk, nullptr);
  lo_server_add_method(
      desk, "/roarmark/level", "f",
      [](const char*, const char*, lo_arg** argv, int, lo_message, void* got) {
        static_cast<std::vector<float>*>(got)->push_back(argv[0]->f);
        return 0;
      },
      &levels);

  lo_address meter = lo_address_new("127.0.0.1", std::to_string(osc_port).c_str());
  lo_send(meter, "/roarmark/preset", "i", 3);
  lo_send(meter, "/roarmark/hold", "i", 1);
  for (int i = 0; i < 2000 && (Main().Settings.Style != 3 || !Main().Settings.PeakHold); ++i) {
    sim.loop.DispatchPending();
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(Main().Settings.Style, 3);
  EXPECT_TRUE(Main().Settings.PeakHold);
  lo_address_free(meter);

  sim.wave_input.SetSignal("Mic", platform::sim::WaveSignal::Square(0));
  Buffers(3);
  // The desk is served on this thread: the levels arrive here.
  for (int i = 0; i < 200 && (levels.empty() || levels.back() < 99.5f); ++i)
    lo_server_recv_noblock(desk, 10);
  ASSERT_FALSE(levels.empty());
  EXPECT_FLOAT_EQ(levels.back(), 99.6f) << ::testing::PrintToString(levels);
  lo_server_free(desk);
}

}  // namespace
}  // namespace roarmark::test
