// The event log of a whole show on the sim platform: a loss and its recovery with the wait's
// length, and a fatal end with the reason its box gave.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "app/application.h"
#include "app/show_events.h"
#include "display/pictures/bmp_writer.h"
#include "sim_program_test.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;
using platform::sim::ProcessEnded;
using platform::sim::WaveSignal;

class ShowEventsTest : public test::SimProgramTest {
 protected:
  ShowEventsTest() : SimProgramTest("events-") {
    fs::create_directories(data + "Files");
    platform::TPixels picture;
    picture.Width = 64;
    picture.Height = 48;
    picture.Pixels.assign(64u * 48u, 0xFF203040u);
    EXPECT_TRUE(WriteBmp24(data + "Files/Graphic.bmp", picture));
    std::ofstream(data + "Roarmark.ini") << "[Input]\nDevice Name=USB Mic\n";
    sim.loop.SetSleepDriven(true);
  }
  // The log's lines without their time stamps, each checked to carry one.
  std::vector<std::string> Lines() {
    std::ifstream in(data + "Roarmark.log", std::ios::binary);
    std::vector<std::string> lines;
    const std::regex stamped(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d (.*)$)");
    for (std::string line; std::getline(in, line);) {
      std::smatch m;
      EXPECT_TRUE(std::regex_match(line, m, stamped)) << line;
      lines.push_back(m.size() > 1 ? m[1].str() : line);
    }
    return lines;
  }
};

TEST_F(ShowEventsTest, LossAndRecoveryAreLoggedWithTheWaitsLength) {
  sim.wave_input.AddDevice("Line In");
  sim.wave_input.AddDevice("USB Mic");
  sim.wave_input.SetSignal("USB Mic", WaveSignal::Sine(440, -12));
  ASSERT_TRUE(Start());
  // The wait polls every 100 ms; the microphone is back from the fifth idle moment on.
  int polls = 0;
  sim.loop.SetIdleDriver([&] {
    if (++polls == 5) sim.wave_input.Plug("USB Mic");
    sim.loop.GrantSleep(100);
    return true;
  });
  sim.wave_input.Unplug("USB Mic");
  sim.wave_input.DeliverBuffers(1);
  sim.loop.DispatchPending();
  sim.loop.SetIdleDriver(nullptr);
  sim.loop.DispatchPending();
  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "start");
  EXPECT_EQ(lines[1], "input: USB Mic");
  EXPECT_EQ(lines[2], "input lost, waiting for it to come back");
  // Five polls of 100 ms before the device is back, and the one that finds it may sleep too.
  EXPECT_TRUE(std::regex_match(lines[3], std::regex(R"(input back after 0\.[5-6] s: USB Mic)")))
      << lines[3];
}

TEST_F(ShowEventsTest, FatalEndIsLoggedWithItsReason) {
  // No input device at all: the box, then the end.
  ASSERT_FALSE(Start());
  const std::vector<std::string> lines = Lines();
  const std::string reason = "No sound input device found. / The program will close.";
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "start");
  EXPECT_EQ(lines[1], "Roarmark Error: " + reason);
  EXPECT_EQ(lines[2], "ended at once, exit code 1: " + reason);
}

TEST(WaitTextTest, TenthsOfASecondRoundedDown) {
  const struct {
    std::uint32_t Ms;
    const char* Text;
  } cases[] = {{0, "0.0 s"}, {99, "0.0 s"}, {100, "0.1 s"}, {12345, "12.3 s"}, {60000, "60.0 s"}};
  for (const auto& c : cases)
    EXPECT_EQ(WaitText(c.Ms), c.Text) << c.Ms;
}

}  // namespace
}  // namespace roarmark
