// The simulated wave-input devices: buffer order, resets, faults, unplugging and signals.
#include "platform/sim/sim_wave_input.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "platform/sim/sim_message_loop.h"

namespace roarmark::platform::sim {
namespace {

struct Received {
  WaveHandle handle;
  WaveHeader* header;
  std::uint32_t bytes;
};

class Target : public IWaveInTarget {
 public:
  void OnWaveInData(WaveHandle handle, WaveHeader* header) override {
    received.push_back({handle, header, header->bytes_recorded});
  }
  std::vector<Received> received;
};

struct Buffer {
  std::array<std::uint8_t, 4400> block{};
  WaveHeader header{block.data(), 4400, 0, 0, 0, 0};
  std::int16_t Sample(int frame, int channel) const {
    std::int16_t s;
    std::memcpy(&s, block.data() + frame * 4 + channel * 2, 2);
    return s;
  }
};

class WaveInputTest : public ::testing::Test {
 protected:
  // Opens device `id` and queues `n` buffers; the handle is started.
  WaveHandle OpenAndQueue(int id, std::vector<Buffer>& buffers) {
    WaveHandle h = nullptr;
    EXPECT_EQ(wave.Open(&h, id, kCaptureFormat, &target), kWaveOk);
    for (Buffer& b : buffers) {
      EXPECT_EQ(wave.Prepare(h, &b.header), kWaveOk);
      EXPECT_EQ(wave.Add(h, &b.header), kWaveOk);
    }
    EXPECT_EQ(wave.Start(h), kWaveOk);
    return h;
  }

  SimMessageLoop loop;
  SimWaveInput wave{loop};
  Target target;
};

TEST_F(WaveInputTest, FilledBuffersArriveAsPostedMessagesInQueueOrder) {
  wave.AddDevice("Mic");
  std::vector<Buffer> buffers(3);
  WaveHandle h = OpenAndQueue(0, buffers);
  EXPECT_EQ(wave.QueuedCount(h), 3);

  EXPECT_EQ(wave.DeliverBuffers(h, 3), 3);
  EXPECT_TRUE(target.received.empty()) << "never delivered from inside the call";
  EXPECT_EQ(wave.QueuedCount(h), 0);
  loop.DispatchPending();

  ASSERT_EQ(target.received.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(target.received[i].handle, h);
    EXPECT_EQ(target.received[i].header, &buffers[i].header);
    EXPECT_EQ(target.received[i].bytes, 4400u);
    EXPECT_TRUE(buffers[i].header.flags & kWaveHeaderDone);
    EXPECT_FALSE(buffers[i].header.flags & kWaveHeaderInQueue);
  }
}

TEST_F(WaveInputTest, NothingIsDeliveredBeyondTheQueueOrBeforeStart) {
  wave.AddDevice("Mic");
  std::vector<Buffer> buffers(2);
  WaveHandle h = nullptr;
  ASSERT_EQ(wave.Open(&h, 0, kCaptureFormat, &target), kWaveOk);
  for (Buffer& b : buffers) {
    wave.Prepare(h, &b.header);
    wave.Add(h, &b.header);
  }
  EXPECT_EQ(wave.DeliverBuffers(h, 1), 0) << "not started";
  wave.Start(h);
  EXPECT_EQ(wave.DeliverBuffers(h, 5), 2);
  EXPECT_EQ(wave.DeliverBuffers(h, 1), 0);
}

TEST_F(WaveInputTest, ResetHandsBackEveryQueuedBufferPartlyFilledInQueueOrder) {
  wave.AddDevice("Mic");
  std::vector<Buffer> buffers(3);
  WaveHandle h = OpenAndQueue(0, buffers);
  wave.DeliverBuffers(h, 1);
  ASSERT_EQ(wave.Reset(h), kWaveOk);
  EXPECT_EQ(wave.QueuedCount(h), 0);
  EXPECT_FALSE(wave.IsStarted(h));
  loop.DispatchPending();

  ASSERT_EQ(target.received.size(), 3u);
  EXPECT_EQ(target.received[0].bytes, 4400u);
  EXPECT_EQ(target.received[1].header, &buffers[1].header);
  EXPECT_EQ(target.received[1].bytes, 0u);
  EXPECT_EQ(target.received[2].header, &buffers[2].header);
  EXPECT_EQ(target.received[2].bytes, 0u);
}

TEST_F(WaveInputTest, ResetCanLeaveTheFirstReturnedBufferPartlyRecorded) {
  wave.AddDevice("Mic");
  wave.SetResetFill(100);
  std::vector<Buffer> buffers(2);
  WaveHandle h = OpenAndQueue(0, buffers);
  wave.Reset(h);
  loop.DispatchPending();
  ASSERT_EQ(target.received.size(), 2u);
  EXPECT_EQ(target.received[0].bytes, 400u);
  EXPECT_EQ(target.received[1].bytes, 0u);
}

TEST_F(WaveInputTest, QueueRulesOfTheDriverHold) {
  wave.AddDevice("Mic");
  Buffer a;
  Buffer b;
  WaveHandle h = nullptr;
  ASSERT_EQ(wave.Open(&h, 0, kCaptureFormat, &target), kWaveOk);
  EXPECT_EQ(wave.Add(h, &a.header), kWaveUnprepared) << "adding an unprepared buffer";
  wave.Prepare(h, &a.header);
  wave.Add(h, &a.header);
  EXPECT_EQ(wave.Add(h, &a.header), kWaveStillPlaying) << "adding a queued buffer twice";
  EXPECT_EQ(wave.Unprepare(h, &a.header), kWaveStillPlaying) << "unpreparing a queued buffer";
  EXPECT_EQ(wave.Close(h), kWaveStillPlaying) << "closing with a buffer queued";
  wave.Reset(h);
  loop.DispatchPending();
  EXPECT_EQ(wave.Unprepare(h, &a.header), kWaveOk);
  EXPECT_FALSE(a.header.flags & kWaveHeaderPrepared);
  EXPECT_EQ(wave.Close(h), kWaveOk);
  EXPECT_EQ(wave.Prepare(h, &b.header), kWaveInvalidHandle) << "a closed handle";
  EXPECT_EQ(wave.OpenHandleCount(), 0);
}

// Each fault makes exactly its own step fail, with a code the capture session tells apart.
struct FaultCase {
  WaveFault fault;
  const char* failing_step;
  WaveResult expected;
  const char* also_failing = "";  // a later step that cannot succeed after the first failure
};

class WaveFaultTest : public WaveInputTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(WaveFaultTest, OnlyTheFaultyStepFails) {
  const FaultCase& c = GetParam();
  wave.AddDevice("Mic", {c.fault});
  Buffer buffer;
  WaveHandle h = nullptr;
  std::vector<std::pair<std::string, WaveResult>> steps;
  steps.emplace_back("query", wave.QueryFormat(0, kCaptureFormat));
  steps.emplace_back("open", wave.Open(&h, 0, kCaptureFormat, &target));
  if (h) {
    steps.emplace_back("prepare", wave.Prepare(h, &buffer.header));
    steps.emplace_back("add", wave.Add(h, &buffer.header));
    steps.emplace_back("start", wave.Start(h));
    wave.Reset(h);
    loop.DispatchPending();
    steps.emplace_back("unprepare", wave.Unprepare(h, &buffer.header));
  }
  bool seen = false;
  for (const auto& [step, result] : steps) {
    if (step == c.failing_step) {
      seen = true;
      EXPECT_EQ(result, c.expected) << step;
    } else if (step != c.also_failing) {
      EXPECT_EQ(result, kWaveOk) << step;
    }
  }
  EXPECT_TRUE(seen);
}

INSTANTIATE_TEST_SUITE_P(
    EachFault, WaveFaultTest,
    ::testing::Values(FaultCase{WaveFault::BadFormat, "query", kWaveBadFormat, "open"},
                      FaultCase{WaveFault::QueryFail, "query", kWaveError},
                      FaultCase{WaveFault::OpenFail, "open", kWaveAllocated},
                      FaultCase{WaveFault::PrepareFail, "prepare", kWaveNoMemory, "add"},
                      FaultCase{WaveFault::AddFail, "add", kWaveError},
                      FaultCase{WaveFault::StartFail, "start", kWaveError},
                      FaultCase{WaveFault::UnprepareFail, "unprepare", kWaveError}));

TEST_F(WaveInputTest, BadFormatDeviceAlsoRefusesTheOpenAndOtherFormatsAreRefused) {
  wave.AddDevice("Mic", {WaveFault::BadFormat});
  wave.AddDevice("Line");
  WaveHandle h = nullptr;
  EXPECT_EQ(wave.Open(&h, 0, kCaptureFormat, &target), kWaveBadFormat);
  WaveFormat mono = kCaptureFormat;
  mono.channels = 1;
  EXPECT_EQ(wave.QueryFormat(1, mono), kWaveBadFormat);
  EXPECT_EQ(wave.QueryFormat(2, kCaptureFormat), kWaveBadDeviceId);
}

TEST_F(WaveInputTest, UnplugTakesTheDeviceOutOfTheListAndPlugPutsItBack) {
  const int mic = wave.AddDevice("Mic");
  wave.AddDevice("Line");
  std::vector<Buffer> buffers(1);
  WaveHandle h = OpenAndQueue(0, buffers);

  wave.Unplug(mic);
  EXPECT_EQ(wave.DeviceCount(), 1);
  EXPECT_EQ(wave.DeviceName(0), "Line");
  EXPECT_EQ(wave.DeviceName(1), "");
  Buffer fresh;
  EXPECT_NE(wave.Prepare(h, &fresh.header), kWaveOk) << "preparing for a handle of a lost device";
  EXPECT_EQ(wave.DeliverBuffers(h, 1), 1) << "queued buffers still come back";
  loop.DispatchPending();
  EXPECT_EQ(target.received.back().bytes, 0u) << "a device that is gone records nothing";

  wave.Plug("Mic");
  EXPECT_EQ(wave.DeviceCount(), 2);
  EXPECT_EQ(wave.DeviceName(0), "Mic");
  EXPECT_EQ(wave.DeviceName(1), "Line");
}

TEST_F(WaveInputTest, NamesAreCutTo31CharactersWithLeadingBlanksKept) {
  wave.AddDevice("  Microphone (USB Audio Device) Extra");
  wave.AddDevice("Ünïcode microphone with a long name");
  EXPECT_EQ(wave.DeviceName(0), "  Microphone (USB Audio Device)");
  EXPECT_EQ(wave.DeviceName(1), "Ünïcode microphone with a long ");
}

TEST_F(WaveInputTest, CallsAreRecordedInOrder) {
  wave.AddDevice("Mic");
  std::vector<Buffer> buffers(1);
  WaveHandle h = OpenAndQueue(0, buffers);
  wave.Reset(h);
  std::vector<std::string> ops;
  for (const WaveCall& call : wave.Calls())
    ops.push_back(call.op);
  EXPECT_EQ(ops, (std::vector<std::string>{"Open", "Prepare", "Add", "Start", "Reset"}));
  EXPECT_EQ(wave.Calls()[1].header, &buffers[0].header);
  EXPECT_EQ(wave.CountCalls("Add"), 1);
}

// ---- Signals

TEST(WaveSignalTest, FullScaleSquareWaveIsPlusMinus32767At100Hz) {
  const WaveSignal square = WaveSignal::Square(0);
  // 441 frames per period: 221 high, then 220 low.
  EXPECT_EQ(SignalSample(square, 0, 0), 32767);
  EXPECT_EQ(SignalSample(square, 220, 1), 32767);
  EXPECT_EQ(SignalSample(square, 221, 0), -32767);
  EXPECT_EQ(SignalSample(square, 440, 1), -32767);
  EXPECT_EQ(SignalSample(square, 441, 0), 32767);
}

TEST(WaveSignalTest, LevelsFollowDbfs) {
  // 32767 * 10^(-6/20) = 16422.4; 32767 * 10^(-20/20) = 3276.7.
  EXPECT_EQ(SignalSample(WaveSignal::Square(-6), 0, 0), 16422);
  EXPECT_EQ(SignalSample(WaveSignal::Square(-20), 300, 0), -3277);
  const WaveSignal sine = WaveSignal::Sine(1000, -6);
  int peak = 0;
  for (std::uint64_t f = 0; f < 44100; ++f) {
    peak = std::max(peak, static_cast<int>(SignalSample(sine, f, 0)));
    ASSERT_EQ(SignalSample(sine, f, 0), SignalSample(sine, f, 1));
  }
  EXPECT_GE(peak, 16400);
  EXPECT_LE(peak, 16423);
  // A quarter period of 1102.5 Hz is exactly 10 frames: sin(pi/2) at frame 10.
  EXPECT_EQ(SignalSample(WaveSignal::Sine(1102.5, 0), 10, 0), 32767);
}

TEST(WaveSignalTest, ConstantAndSampleSequences) {
  EXPECT_EQ(SignalSample(WaveSignal::Constant(100, -200), 7, 0), 100);
  EXPECT_EQ(SignalSample(WaveSignal::Constant(100, -200), 7, 1), -200);
  const WaveSignal seq = WaveSignal::Samples({1, 2, 3, 4, 5, 6});
  EXPECT_EQ(SignalSample(seq, 1, 0), 3);
  EXPECT_EQ(SignalSample(seq, 2, 1), 6);
  EXPECT_EQ(SignalSample(seq, 3, 0), 1) << "the sequence repeats";
  EXPECT_EQ(SignalSample(WaveSignal::Silence(), 3, 0), 0);
}

TEST_F(WaveInputTest, SignalPhaseContinuesAcrossBuffers) {
  const int mic = wave.AddDevice("Mic");
  wave.SetSignal(mic, WaveSignal::Square(0));
  std::vector<Buffer> buffers(2);
  WaveHandle h = OpenAndQueue(0, buffers);
  wave.DeliverBuffers(h, 2);
  // Frame 1100 of a 441-frame period: 1100 - 882 = 218 -> high; 1103 -> 221 -> low.
  EXPECT_EQ(buffers[0].Sample(0, 0), 32767);
  EXPECT_EQ(buffers[0].Sample(221, 1), -32767);
  EXPECT_EQ(buffers[1].Sample(0, 0), 32767);
  EXPECT_EQ(buffers[1].Sample(2, 0), 32767);
  EXPECT_EQ(buffers[1].Sample(3, 0), -32767);
}

}  // namespace
}  // namespace roarmark::platform::sim
