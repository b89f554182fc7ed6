// The capture session on the sim's wave input: three buffers queued, each returned buffer
// measured and replaced, stale buffers of a reset device let go, the orderly stop.
#include "core/capture_session.h"
#include "core/level_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_message_loop.h"
#include "platform/sim/sim_wave_input.h"

namespace roarmark {
namespace {

using platform::sim::SimMessageLoop;
using platform::sim::SimWaveInput;
using platform::sim::WaveFault;
using platform::sim::WaveSignal;

struct Fatal {
  std::string caption, text;
};
struct Ended {};

class CaptureTest : public ::testing::Test {
 protected:
  CaptureTest() : wave(loop) { session = std::make_unique<TCaptureSession>(wave, loop, Hooks()); }

  // Hooks that record what the session asks of the program; fatal ends throw.
  TCaptureSession::THooks Hooks() {
    TCaptureSession::THooks hooks;
    hooks.ProcessBlock = [this](const std::uint8_t* block) {
      blocks.emplace_back(block, block + kBufferBytes);
    };
    hooks.ShowMessage = [this](const std::string& c, const std::string& t) {
      messages.push_back(c + "|" + t);
    };
    hooks.Fatal = [](const std::string& c, const std::string& t) { throw Fatal{c, t}; };
    hooks.EndNow = [] { throw Ended{}; };
    hooks.ResetConfiguredDevice = [this] { messages.push_back("reset device"); };
    hooks.RecoverInput = [this] { ++recoveries; };
    return hooks;
  }

  SimMessageLoop loop;
  SimWaveInput wave;
  std::unique_ptr<TCaptureSession> session;
  std::vector<std::vector<std::uint8_t>> blocks;
  std::vector<std::string> messages;
  int recoveries = 0;
};

TEST_F(CaptureTest, OpenQueuesThreeBuffersAndEveryReturnIsReplaced) {
  wave.AddDevice("Mic");
  wave.SetSignal(0, WaveSignal::Constant(1000, -1000));
  session->OpenCapture();
  EXPECT_EQ(wave.QueuedCount(session->Handle), 3);
  EXPECT_EQ(wave.DeliverBuffers(2), 2);
  EXPECT_TRUE(blocks.empty());  // posted, not delivered inside the call
  loop.DispatchPending();
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(wave.QueuedCount(session->Handle), 3);
  EXPECT_EQ(session->Outstanding(), 3);
  // Frames arrive as recorded: left 1000 (0x03E8), right -1000 (0xFC18), little-endian.
  EXPECT_EQ(blocks[0][0], 0xE8);
  EXPECT_EQ(blocks[0][1], 0x03);
  EXPECT_EQ(blocks[0][2], 0x18);
  EXPECT_EQ(blocks[0][3], 0xFC);
}

TEST_F(CaptureTest, FailuresOfTheOpenEndWithTheirBoxes) {
  struct Case {
    WaveFault fault;
    std::vector<std::string> messages;
    std::string fatal;
  } cases[] = {
      {WaveFault::BadFormat,
       {std::string(kCaptionBrackenfold) + "|" + kWaveFormatErrorText, "reset device"},
       ""},
      {WaveFault::QueryFail, {"reset device"}, ""},
      {WaveFault::OpenFail,
       {std::string(kCaptionBrackenfold) + "|" + kSoundcardNotAvailableText, "reset device"},
       ""},
      {WaveFault::PrepareFail, {}, "InPrepare error"},
      {WaveFault::AddFail, {}, "Add buffer error"},
      {WaveFault::StartFail, {}, "Start error"},
  };
  for (const auto& c : cases) {
    SimMessageLoop l;
    SimWaveInput w(l);
    w.AddDevice("Mic", {c.fault});
    messages.clear();
    TCaptureSession s(w, l, Hooks());
    std::string fatal;
    try {
      s.OpenCapture();
      ADD_FAILURE() << "the open went through";
    } catch (const Fatal& f) {
      EXPECT_EQ(f.caption, kCaptionBrackenfold);
      fatal = f.text;
    } catch (const Ended&) {
    }
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(fatal, c.fatal);
  }
}

TEST_F(CaptureTest, ReplacementThatCannotBePreparedStartsRecovery) {
  wave.AddDevice("Mic");
  session->OpenCapture();
  wave.SetFault(0, WaveFault::PrepareFail, true);
  wave.DeliverBuffers(1);
  loop.DispatchPending();
  EXPECT_EQ(blocks.size(), 1u);  // measured first
  EXPECT_EQ(recoveries, 1);
  EXPECT_EQ(wave.QueuedCount(session->Handle), 2);
}

TEST_F(CaptureTest, ReplacementThatCannotBeAddedEndsTheProgram) {
  wave.AddDevice("Mic");
  session->OpenCapture();
  wave.SetFault(0, WaveFault::AddFail, true);
  wave.DeliverBuffers(1);
  try {
    loop.DispatchPending();
    ADD_FAILURE() << "no end";
  } catch (const Fatal& f) {
    EXPECT_EQ(f.caption, kCaptionTidewhistle);
    EXPECT_EQ(f.text, "Add buffer error 2");
  }
}

TEST_F(CaptureTest, ReopenLetsTheOldDevicesBuffersGoAndClosesIt) {
  wave.AddDevice("Mic");
  wave.AddDevice("Line");
  session->OpenCapture();
  const platform::WaveHandle old = session->Handle;
  session->ResetDevice();
  session->DeviceId = 1;
  session->OpenCapture();
  EXPECT_NE(session->Handle, old);
  loop.DispatchPending();       // the three reset buffers of the old device come back
  EXPECT_TRUE(blocks.empty());  // neither measured nor replaced
  EXPECT_FALSE(wave.IsOpen(old));
  EXPECT_EQ(wave.QueuedCount(session->Handle), 3);
  EXPECT_EQ(wave.OpenHandleCount(), 1);
}

TEST_F(CaptureTest, StopTakesEveryBufferBackAndClosesTheDevice) {
  wave.AddDevice("Mic");
  session->OpenCapture();
  const platform::WaveHandle handle = session->Handle;
  session->Stop();
  EXPECT_FALSE(wave.IsOpen(handle));
  EXPECT_EQ(wave.OpenHandleCount(), 0);
  EXPECT_EQ(wave.CountCalls("Unprepare"), 3);
  EXPECT_TRUE(blocks.empty());
}

}  // namespace
}  // namespace roarmark
