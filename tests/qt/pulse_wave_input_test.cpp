// Wave input on the sound server, driven by a scripted server: recorded bytes come back as posted
// buffers in queue order, a reset hands back partly filled buffers, a close waits for them, and
// an input that goes away (removed, its stream killed or moved, the server gone, silent for two
// seconds) fails every later prepare while its namesake coming back is a new device.
#include "platform/qt/pulse_wave_input.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>
#include <array>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>

namespace roarmark::platform::qt {
namespace {

// Posted messages run only when the test dispatches them; the clock moves when told.
class TScriptedLoop final : public IMessageLoop {
 public:
  void Post(std::function<void()> message) override { queue_.push_back(std::move(message)); }
  void DispatchPending() override {
    while (!queue_.empty()) {
      std::function<void()> message = std::move(queue_.front());
      queue_.pop_front();
      message();
    }
  }
  void RunUntil(std::function<bool()> done) override {
    while (!done() && !queue_.empty())
      DispatchPending();
  }
  TimerId SetTimer(std::uint32_t, std::function<void()>) override { return 0; }
  void KillTimer(TimerId) override {}
  std::uint32_t TickCount() const override { return now_ms; }
  void Sleep(std::uint32_t ms) override { now_ms += ms; }
  [[noreturn]] void EndProcess(int) override { std::abort(); }

  std::uint32_t now_ms = 5000;

 private:
  std::deque<std::function<void()>> queue_;
};

struct TFakeStream {
  std::string SourceName;
  TPulseSpec Spec;
  std::uint32_t FragmentBytes = 0;
  bool Started = false;
  bool Closed = false;
};

// The server as the wave input sees it; the test speaks for it through `Events`.
class TScriptedServer final : public IPulseServer {
 public:
  explicit TScriptedServer(bool* destroyed = nullptr) : destroyed_(destroyed) {}
  ~TScriptedServer() override {
    if (destroyed_) *destroyed_ = true;
  }
  void SetEvents(IPulseServerEvents* events) override { Events = events; }
  bool OpenStream(TStreamId stream, const std::string& source_name, const TPulseSpec& spec,
                  std::uint32_t fragment_bytes) override {
    if (RefuseStreams) return false;
    Streams[stream] = TFakeStream{source_name, spec, fragment_bytes, false, false};
    return true;
  }
  bool StartStream(TStreamId stream) override {
    Streams.at(stream).Started = true;
    return true;
  }
  void StopStream(TStreamId stream) override { Streams.at(stream).Started = false; }
  void CloseStream(TStreamId stream) override { Streams.at(stream).Closed = true; }

  IPulseServerEvents* Events = nullptr;
  std::map<TStreamId, TFakeStream> Streams;
  bool RefuseStreams = false;

 private:
  bool* destroyed_;
};

TPulseSource Source(std::uint32_t index, const std::string& name, const std::string& description,
                    bool monitor = false, bool is_default = false, bool suspended = false) {
  return TPulseSource{index, name, description, monitor, is_default, suspended};
}

// What the server lists at start: the monitor of an output, then two inputs.
std::vector<TPulseSource> StartList() {
  return {Source(0, "roar.monitor", "Monitor of Null Output", true),
          Source(2, "othermic", "OtherMic"), Source(3, "roarmic", "RoarMic")};
}

struct TDelivered {
  WaveHandle Handle;
  WaveHeader* Header;
  std::uint32_t Recorded;
};

class TTarget final : public IWaveInTarget {
 public:
  void OnWaveInData(WaveHandle handle, WaveHeader* header) override {
    Delivered.push_back({handle, header, header->bytes_recorded});
  }
  std::vector<TDelivered> Delivered;
};

struct TBuffers {
  std::array<std::array<std::uint8_t, 4400>, 3> Blocks{};
  std::array<WaveHeader, 3> Headers{};
  TBuffers() {
    for (std::size_t i = 0; i < 3; ++i) {
      Headers[i].data = Blocks[i].data();
      Headers[i].buffer_length = 4400;
    }
  }
};

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t first) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i)
    bytes[i] = static_cast<std::uint8_t>(first + i);
  return bytes;
}

class PulseWaveInput : public testing::Test {
 protected:
  PulseWaveInput() {
    auto server = std::make_unique<TScriptedServer>(&server_destroyed);
    Server = server.get();
    Wave = std::make_unique<TPulseWaveInput>(Loop, std::move(server), StartList());
  }

  // Opens RoarMic (device 1), queues the three buffers and starts.
  WaveHandle OpenRoarMic() {
    WaveHandle handle = nullptr;
    EXPECT_EQ(Wave->Open(&handle, 1, kCaptureFormat, &Target), kWaveOk);
    for (WaveHeader& header : Buffers.Headers) {
      EXPECT_EQ(Wave->Prepare(handle, &header), kWaveOk);
      EXPECT_EQ(Wave->Add(handle, &header), kWaveOk);
    }
    EXPECT_EQ(Wave->Start(handle), kWaveOk);
    return handle;
  }
  TStreamId Stream(WaveHandle handle) const {
    return static_cast<TStreamId>(reinterpret_cast<std::uintptr_t>(handle));
  }

  TScriptedLoop Loop;
  TScriptedServer* Server = nullptr;
  bool server_destroyed = false;
  std::unique_ptr<TPulseWaveInput> Wave;
  TTarget Target;
  TBuffers Buffers;
};

TEST_F(PulseWaveInput, ListsTheInputsTheServerListedAndFollowsItsNotices) {
  ASSERT_EQ(Wave->DeviceCount(), 2);
  EXPECT_EQ(Wave->DeviceName(0), "OtherMic");
  EXPECT_EQ(Wave->DeviceName(1), "RoarMic");
  Server->Events->SourceChanged(Source(4, "usb", "USB Microphone"));
  Server->Events->SourceRemoved(2);
  ASSERT_EQ(Wave->DeviceCount(), 2);
  EXPECT_EQ(Wave->DeviceName(0), "RoarMic");
  EXPECT_EQ(Wave->DeviceName(1), "USB Microphone");
}

TEST_F(PulseWaveInput, QueryAnswersPerDeviceAndFormat) {
  WaveFormat float_format = kCaptureFormat;
  float_format.format_tag = 3;
  EXPECT_EQ(Wave->QueryFormat(1, kCaptureFormat), kWaveOk);
  EXPECT_EQ(Wave->QueryFormat(1, float_format), kWaveBadFormat);
  const WaveResult missing = Wave->QueryFormat(2, kCaptureFormat);
  EXPECT_NE(missing, kWaveOk);
  EXPECT_NE(missing, kWaveBadFormat);
}

TEST_F(PulseWaveInput, OpenRecordsFromTheChosenSourceInTheCaptureFormat) {
  WaveHandle handle = nullptr;
  ASSERT_EQ(Wave->Open(&handle, 1, kCaptureFormat, &Target), kWaveOk);
  ASSERT_EQ(Server->Streams.count(Stream(handle)), 1u);
  const TFakeStream& stream = Server->Streams.at(Stream(handle));
  EXPECT_EQ(stream.SourceName, "roarmic");
  EXPECT_EQ(stream.Spec.Sample, TPulseSample::S16LE);
  EXPECT_EQ(stream.Spec.Rate, 44100u);
  EXPECT_EQ(stream.Spec.Channels, 2);
  EXPECT_EQ(stream.FragmentBytes, 1102u * 4);  // a 40th of a second: 44100 / 40 frames
  EXPECT_FALSE(stream.Started);
  EXPECT_EQ(Wave->Start(handle), kWaveOk);
  EXPECT_TRUE(Server->Streams.at(Stream(handle)).Started);
}

TEST_F(PulseWaveInput, OpenFailsWhenTheServerRefusesTheStreamOrTheNumberIsNotListed) {
  WaveHandle handle = nullptr;
  EXPECT_NE(Wave->Open(&handle, 2, kCaptureFormat, &Target), kWaveOk);
  Server->RefuseStreams = true;
  EXPECT_NE(Wave->Open(&handle, 1, kCaptureFormat, &Target), kWaveOk);
  EXPECT_EQ(handle, nullptr);
}

TEST_F(PulseWaveInput, RecordedBytesComeBackAsPostedBuffersInQueueOrder) {
  const WaveHandle handle = OpenRoarMic();
  Server->Events->StreamData(Stream(handle), Bytes(3000, 0));
  Server->Events->StreamData(Stream(handle), Bytes(3000, 0xB8));  // continues 3000 % 256
  EXPECT_TRUE(Target.Delivered.empty());  // posted, never handed over from inside
  Loop.DispatchPending();
  ASSERT_EQ(Target.Delivered.size(), 1u);
  EXPECT_EQ(Target.Delivered[0].Handle, handle);
  EXPECT_EQ(Target.Delivered[0].Header, &Buffers.Headers[0]);
  EXPECT_EQ(Target.Delivered[0].Recorded, 4400u);
  for (std::size_t k : {0u, 2999u, 3000u, 4399u})
    EXPECT_EQ(Buffers.Blocks[0][k], static_cast<std::uint8_t>(k)) << k;
  EXPECT_EQ(Buffers.Blocks[1][0], static_cast<std::uint8_t>(4400));

  // The reset hands back the rest, the second with 1600 of 4400 bytes, the third empty.
  EXPECT_EQ(Wave->Reset(handle), kWaveOk);
  EXPECT_FALSE(Server->Streams.at(Stream(handle)).Started);
  Loop.DispatchPending();
  ASSERT_EQ(Target.Delivered.size(), 3u);
  EXPECT_EQ(Target.Delivered[1].Header, &Buffers.Headers[1]);
  EXPECT_EQ(Target.Delivered[1].Recorded, 1600u);
  EXPECT_EQ(Target.Delivered[2].Header, &Buffers.Headers[2]);
  EXPECT_EQ(Target.Delivered[2].Recorded, 0u);

  // Sound still on its way after the reset is not recorded.
  Server->Events->StreamData(Stream(handle), Bytes(4400, 0));
  Loop.DispatchPending();
  EXPECT_EQ(Target.Delivered.size(), 3u);
}

TEST_F(PulseWaveInput, CloseFailsWhileBuffersAreQueuedAndEndsTheStreamOnceTheyAreBack) {
  const WaveHandle handle = OpenRoarMic();
  EXPECT_EQ(Wave->Close(handle), kWaveStillPlaying);
  EXPECT_FALSE(Server->Streams.at(Stream(handle)).Closed);
  Wave->Reset(handle);
  Loop.DispatchPending();
  EXPECT_EQ(Wave->Close(handle), kWaveOk);
  EXPECT_TRUE(Server->Streams.at(Stream(handle)).Closed);
  EXPECT_NE(Wave->Prepare(handle, &Buffers.Headers[0]), kWaveOk);  // the handle is gone
}

// How an input goes away.
enum class Loss { SourceRemoved, StreamKilled, ServerLost };

struct LossCase {
  const char* name;
  Loss loss;
  std::vector<std::string> devices_after;
};

class PulseWaveInputLoss : public PulseWaveInput, public testing::WithParamInterface<LossCase> {
 protected:
  void Lose(WaveHandle handle) {
    switch (GetParam().loss) {
      case Loss::SourceRemoved:
        Server->Events->SourceRemoved(3);
        break;
      case Loss::StreamKilled:  // also what a move to another source is reported as
        Server->Events->StreamFailed(Stream(handle));
        break;
      case Loss::ServerLost:
        Server->Events->ServerLost();
        break;
    }
  }
};

TEST_P(PulseWaveInputLoss, HandsBackTheQueuedBuffersAndFailsEveryLaterPrepareAndAdd) {
  const WaveHandle handle = OpenRoarMic();
  Server->Events->StreamData(Stream(handle), Bytes(5000, 0));
  const TStreamId stream = Stream(handle);
  const bool server_goes = GetParam().loss == Loss::ServerLost;
  if (!server_goes) {
    EXPECT_FALSE(Server->Streams.at(stream).Closed);
  }
  Lose(handle);
  if (server_goes) {
    EXPECT_TRUE(server_destroyed);
  } else {
    EXPECT_TRUE(Server->Streams.at(stream).Closed);  // recording has stopped
  }

  Loop.DispatchPending();
  ASSERT_EQ(Target.Delivered.size(), 3u);
  EXPECT_EQ(Target.Delivered[0].Recorded, 4400u);
  EXPECT_EQ(Target.Delivered[1].Recorded, 600u);
  EXPECT_EQ(Target.Delivered[2].Recorded, 0u);

  // The program's buffer cycle: unprepare the returned buffer, then prepare its replacement.
  EXPECT_EQ(Wave->Unprepare(handle, &Buffers.Headers[0]), kWaveOk);
  EXPECT_NE(Wave->Prepare(handle, &Buffers.Headers[0]), kWaveOk);
  EXPECT_NE(Wave->Add(handle, &Buffers.Headers[1]), kWaveOk);
  EXPECT_NE(Wave->Start(handle), kWaveOk);

  std::vector<std::string> devices;
  for (int id = 0; id < Wave->DeviceCount(); ++id)
    devices.push_back(Wave->DeviceName(id));
  EXPECT_EQ(devices, GetParam().devices_after);

  // The stale buffers are unprepared with their handle, which then closes.
  EXPECT_EQ(Wave->Reset(handle), kWaveOk);
  Loop.DispatchPending();
  EXPECT_EQ(Target.Delivered.size(), 3u);  // nothing was left to hand back
  EXPECT_EQ(Wave->Unprepare(handle, &Buffers.Headers[1]), kWaveOk);
  EXPECT_EQ(Wave->Unprepare(handle, &Buffers.Headers[2]), kWaveOk);
  EXPECT_EQ(Wave->Close(handle), kWaveOk);
}

TEST_P(PulseWaveInputLoss, LaterSoundFromTheLostStreamIsNotRecorded) {
  const WaveHandle handle = OpenRoarMic();
  IPulseServerEvents* events = Server->Events;  // the server itself may be gone after the loss
  Lose(handle);
  Loop.DispatchPending();
  const std::size_t returned = Target.Delivered.size();
  events->StreamData(Stream(handle), Bytes(13200, 0));
  Loop.DispatchPending();
  EXPECT_EQ(Target.Delivered.size(), returned);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, PulseWaveInputLoss,
    testing::Values(LossCase{"SourceRemoved", Loss::SourceRemoved, {"OtherMic"}},
                    LossCase{"StreamKilledOrMoved", Loss::StreamKilled, {"OtherMic", "RoarMic"}},
                    // A server away is the loss of the inputs, not of every device.
                    LossCase{"ServerLost", Loss::ServerLost, {"", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PulseWaveInput, AnotherSourceGoingAwayLeavesTheOpenInputAlone) {
  const WaveHandle handle = OpenRoarMic();
  Server->Events->SourceRemoved(2);  // OtherMic
  Loop.DispatchPending();
  EXPECT_TRUE(Target.Delivered.empty());
  EXPECT_FALSE(Server->Streams.at(Stream(handle)).Closed);
  EXPECT_EQ(Wave->DeviceName(0), "RoarMic");
  Server->Events->StreamData(Stream(handle), Bytes(4400, 0));
  Loop.DispatchPending();
  EXPECT_EQ(Target.Delivered.size(), 1u);
}

TEST_F(PulseWaveInput, TheSameNameComingBackIsANewDeviceToOpen) {
  const WaveHandle lost = OpenRoarMic();
  Server->Events->SourceRemoved(3);
  Loop.DispatchPending();
  ASSERT_EQ(Wave->DeviceCount(), 1);

  Server->Events->SourceChanged(Source(9, "roarmic", "RoarMic"));
  ASSERT_EQ(Wave->DeviceCount(), 2);
  EXPECT_EQ(Wave->DeviceName(1), "RoarMic");
  EXPECT_NE(Wave->Prepare(lost, &Buffers.Headers[0]), kWaveOk);  // the old handle stays lost

  WaveHandle again = nullptr;
  ASSERT_EQ(Wave->Open(&again, 1, kCaptureFormat, &Target), kWaveOk);
  EXPECT_NE(again, lost);
  EXPECT_EQ(Server->Streams.at(Stream(again)).SourceName, "roarmic");
  WaveHeader& header = Buffers.Headers[0];
  ASSERT_EQ(Wave->Unprepare(lost, &header), kWaveOk);
  EXPECT_EQ(Wave->Prepare(again, &header), kWaveOk);
  EXPECT_EQ(Wave->Add(again, &header), kWaveOk);
  EXPECT_EQ(Wave->Start(again), kWaveOk);
  // The new source's removal is what ends the new handle.
  Server->Events->SourceRemoved(3);
  EXPECT_FALSE(Server->Streams.at(Stream(again)).Closed);
  Server->Events->SourceRemoved(9);
  EXPECT_TRUE(Server->Streams.at(Stream(again)).Closed);
}

struct ReconnectStep {
  std::uint32_t advance_ms;
  bool answer;         // whether the attempt started so far ends, connected, before the count
  int attempts_after;  // attempts started after one device count
  int count_after;
};

TEST(PulseWaveInputReconnect, AfterTheServerWentAwayAttemptsRunInTheBackgroundAtMostOnceASecond) {
  TScriptedLoop loop;
  auto first = std::make_unique<TScriptedServer>();
  TScriptedServer* server = first.get();
  std::vector<TPulseWaveInput::TConnected> attempts;
  TPulseWaveInput wave(loop, std::move(first), StartList(),
                       [&](TPulseWaveInput::TConnected done) { attempts.push_back(done); });
  EXPECT_EQ(wave.DeviceCount(), 2);
  EXPECT_TRUE(attempts.empty());  // connected: no attempt
  server->Events->ServerLost();
  // An attempt that fails ends; the next starts a second later at the earliest, never while
  // one is still under way.
  EXPECT_EQ(wave.DeviceCount(), 2);
  ASSERT_EQ(attempts.size(), 1u);
  loop.now_ms += 1500;
  EXPECT_EQ(wave.DeviceCount(), 2);
  EXPECT_EQ(attempts.size(), 1u);
  attempts[0](nullptr, {});
  EXPECT_EQ(wave.DeviceCount(), 2);
  EXPECT_EQ(attempts.size(), 2u);
  loop.now_ms += 999;
  EXPECT_EQ(wave.DeviceCount(), 2);
  EXPECT_EQ(attempts.size(), 2u);
  attempts[1](std::make_unique<TScriptedServer>(), {Source(1, "roarmic", "RoarMic")});
  EXPECT_EQ(wave.DeviceCount(), 1);
  EXPECT_EQ(wave.DeviceName(0), "RoarMic");
  loop.now_ms += 5000;
  EXPECT_EQ(wave.DeviceCount(), 1);
  EXPECT_EQ(attempts.size(), 2u);  // connected again: no more attempts
}

TEST(PulseWaveInputReconnect, AServerBackWithoutInputsYetIsGivenFiveSecondsToListThem) {
  TScriptedLoop loop;
  auto first = std::make_unique<TScriptedServer>();
  TScriptedServer* server = first.get();
  std::vector<TPulseWaveInput::TConnected> attempts;
  TPulseWaveInput wave(loop, std::move(first), StartList(),
                       [&](TPulseWaveInput::TConnected done) { attempts.push_back(done); });
  server->Events->ServerLost();
  ASSERT_EQ(wave.DeviceCount(), 2);
  ASSERT_EQ(attempts.size(), 1u);
  attempts[0](std::make_unique<TScriptedServer>(),
              {Source(0, "roar.monitor", "Monitor of Null Output", true)});
  loop.now_ms += 4999;
  EXPECT_EQ(wave.DeviceCount(), 2);
  EXPECT_EQ(wave.DeviceName(1), "");
  loop.now_ms += 1;
  EXPECT_EQ(wave.DeviceCount(), 0);
}

TEST(PulseWaveInputReconnect, TheDefaultInputOpenedWhileTheServerIsAwayRecordsOnceItIsBack) {
  TScriptedLoop loop;
  auto first = std::make_unique<TScriptedServer>();
  TScriptedServer* server = first.get();
  TTarget target;
  TBuffers buffers;
  std::vector<TPulseWaveInput::TConnected> attempts;
  TPulseWaveInput wave(loop, std::move(first),
                       {Source(4, "usbmic", "UsbMic", false, true), Source(5, "line", "Line")},
                       [&](TPulseWaveInput::TConnected done) { attempts.push_back(done); });
  EXPECT_EQ(wave.DeviceName(0), "UsbMic");  // the default source is device 0
  server->Events->ServerLost();
  ASSERT_EQ(wave.DeviceCount(), 2);
  WaveHandle handle = nullptr;
  ASSERT_EQ(wave.Open(&handle, 0, kCaptureFormat, &target), kWaveOk);
  for (WaveHeader& header : buffers.Headers) {
    ASSERT_EQ(wave.Prepare(handle, &header), kWaveOk);
    ASSERT_EQ(wave.Add(handle, &header), kWaveOk);
  }
  ASSERT_EQ(wave.Start(handle), kWaveOk);
  auto back = std::make_unique<TScriptedServer>();
  TScriptedServer* again = back.get();
  ASSERT_EQ(attempts.size(), 1u);
  attempts[0](std::move(back), {Source(7, "usbmic", "UsbMic", false, true)});
  const TStreamId stream = static_cast<TStreamId>(reinterpret_cast<std::uintptr_t>(handle));
  ASSERT_EQ(again->Streams.count(stream), 1u);
  EXPECT_EQ(again->Streams.at(stream).SourceName, "");  // whatever the server's default is
  EXPECT_TRUE(again->Streams.at(stream).Started);
  again->Events->StreamData(stream, Bytes(4400, 0));
  loop.DispatchPending();
  EXPECT_EQ(target.Delivered.size(), 1u);
}

struct SilenceStep {
  std::uint32_t advance_ms;
  bool sound;  // the stream delivers a little before the check
  bool lost_after;
};

TEST_F(PulseWaveInput, ARunningInputSilentForTwoSecondsIsLostAndSetAsideForASecondSuspendedOrNot) {
  const WaveHandle handle = OpenRoarMic();
  const TStreamId stream = Stream(handle);
  const std::vector<SilenceStep> steps = {
      {1000, false, false}, {900, true, false}, {1999, false, false}, {1, false, true}};
  for (std::size_t i = 0; i < steps.size(); ++i) {
    Loop.now_ms += steps[i].advance_ms;
    if (steps[i].sound) Server->Events->StreamData(stream, Bytes(100, 0));
    Wave->CheckSilence();
    EXPECT_EQ(Server->Streams.at(stream).Closed, steps[i].lost_after) << "step " << i;
  }
  EXPECT_NE(Wave->Prepare(handle, &Buffers.Headers[0]), kWaveOk);
  // The server suspends the source nobody records from any more; that keeps it out no longer
  // than a second.
  Server->Events->SourceChanged(Source(3, "roarmic", "RoarMic", false, false, true));
  Loop.now_ms += 999;
  ASSERT_EQ(Wave->DeviceCount(), 1);
  EXPECT_EQ(Wave->DeviceName(0), "OtherMic");
  Loop.now_ms += 1;
  ASSERT_EQ(Wave->DeviceCount(), 2);
  EXPECT_EQ(Wave->DeviceName(1), "RoarMic");
}

TEST(PulseWaveInputStall, TheOnlyInputSetAsideIsStillADeviceButNotOneToOpen) {
  TScriptedLoop loop;
  TTarget target;
  TBuffers buffers;
  TPulseWaveInput wave(loop, std::make_unique<TScriptedServer>(),
                       {Source(3, "roarmic", "RoarMic")});
  WaveHandle handle = nullptr;
  ASSERT_EQ(wave.Open(&handle, 0, kCaptureFormat, &target), kWaveOk);
  ASSERT_EQ(wave.Start(handle), kWaveOk);
  loop.now_ms += TPulseWaveInput::kSilentLossMs;
  wave.CheckSilence();
  EXPECT_EQ(wave.DeviceCount(), 1);
  EXPECT_EQ(wave.DeviceName(0), "");
  EXPECT_NE(wave.QueryFormat(0, kCaptureFormat), kWaveOk);
}

struct ListingStep {
  std::uint32_t advance_ms;
  bool connect;  // the background connection answers, listing `sources` inputs
  int sources;
  bool listing_after;
};

// A start at login: the first connection is made in the background and, like a reconnect, gets
// five seconds to be made and five more for the server to list its inputs.
TEST(PulseWaveInputFirstConnect, StillListingWhileTheServerStartsAndListsItsInputs) {
  struct Case {
    const char* name;
    std::vector<ListingStep> steps;
  };
  const std::vector<Case> cases = {
      {"no server for five seconds",
       {{0, false, 0, true}, {4999, false, 0, true}, {1, false, 0, false}}},
      {"connected late, inputs listed later",
       {{3000, true, 0, true}, {4999, false, 0, true}, {1, false, 0, false}}},
      {"connected with inputs at once", {{0, true, 2, true}, {5000, false, 2, false}}},
  };
  for (const Case& c : cases) {
    TScriptedLoop loop;
    std::vector<TPulseWaveInput::TConnected> attempts;
    TPulseWaveInput wave(loop, nullptr, {},
                         [&](TPulseWaveInput::TConnected done) { attempts.push_back(done); });
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const ListingStep& step = c.steps[i];
      loop.now_ms += step.advance_ms;
      wave.DeviceCount();  // polled, as the start does: it starts the attempts
      if (step.connect) {
        ASSERT_FALSE(attempts.empty()) << c.name;
        std::vector<TPulseSource> sources;
        for (int k = 0; k < step.sources; ++k)
          sources.push_back(Source(static_cast<std::uint32_t>(k), "mic" + std::to_string(k),
                                   "Mic" + std::to_string(k)));
        attempts.back()(std::make_unique<TScriptedServer>(), sources);
        EXPECT_EQ(wave.DeviceCount(), step.sources) << c.name;
      }
      EXPECT_EQ(wave.StillListing(), step.listing_after) << c.name << ", step " << i;
    }
  }
}

// --- The real server, as far as a test can reach it without one -----------------------------

class NoSoundServer : public testing::Test {
 protected:
  NoSoundServer()
      : before_(qgetenv("PULSE_SERVER")), had_(qEnvironmentVariableIsSet("PULSE_SERVER")) {
    qputenv("PULSE_SERVER", "unix:/nonexistent/roarmark-test/native");
  }
  ~NoSoundServer() override {
    if (had_) {
      qputenv("PULSE_SERVER", before_);
    } else {
      qunsetenv("PULSE_SERVER");
    }
  }

 private:
  QByteArray before_;
  bool had_;
};

TEST_F(NoSoundServer, ConnectingGivesNoServerAndNoSources) {
  TScriptedLoop loop;
  std::vector<TPulseSource> sources = StartList();
  EXPECT_EQ(ConnectPulseServer(loop, sources), nullptr);
  EXPECT_EQ(sources.size(), 3u);  // untouched
}

TEST_F(NoSoundServer, TheDesktopWaveInputListsNoDeviceAndOpensNone) {
  // Attempts to connect again end on a thread of their own and post to the loop, which must
  // outlive them, as the program's does.
  static auto* loop = new TScriptedLoop;
  std::unique_ptr<TPulseWaveInput> wave = CreatePulseWaveInput(*loop);
  EXPECT_EQ(wave->DeviceCount(), 0);
  TTarget target;
  WaveHandle handle = nullptr;
  EXPECT_NE(wave->Open(&handle, 0, kCaptureFormat, &target), kWaveOk);
}

}  // namespace
}  // namespace roarmark::platform::qt
