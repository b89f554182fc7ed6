// Two whole runs with no display server: a modal dialog driven like an operator would, and a
// capture device opened, fed and faulted through the wave-input seam.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"

namespace roarmark::platform {
namespace {

using namespace ui;

// A small setup-like dialog with the handlers named after control and event.
class TSetupForm : public TForm {
 public:
  explicit TSetupForm(TApplication& app) : TForm(app, "TForm2") {
    SetCaption("Roarmark Setup");
    SetKeyPreview(true);
    Panel3.SetBounds(10, 10, 300, 200);
    UpDown3.SetRange(0, 2000);
    UpDown3.SetAssociate(&Edit7);
    Button1.SetModalResult(mrOk);
    Edit7.OnChange = [this] { Edit7Change(); };
    UpDown3.OnClick = [this](TUDBtnType) { log.push_back("UpDown3Click"); };
    Button2.OnClick = [this] { Button2Click(); };
    OnKeyUp = [this](int& key, TShiftState) { FormKeyUp(key); };
  }

  void Edit7Change() {
    log.push_back("Edit7Change " + Edit7.Text());
    UpDown3.SetIncrement(10);
  }
  void Button2Click() {
    const MessageAnswer answer =
        App().Platform().Dialogs->MessageBox(" Roarmark ", "Sure?", MessageButtons::OkCancel);
    log.push_back(answer == MessageAnswer::Ok ? "Button2Click ok" : "Button2Click cancel");
  }
  void FormKeyUp(int& key) {
    log.push_back("FormKeyUp " + std::to_string(key));
    if (key == VK_ESCAPE) Close();
    key = 0;
  }

  TPanel Panel3{this, "Panel3"};
  TEdit Edit7{&Panel3, "Edit7"};
  TUpDown UpDown3{&Panel3, "UpDown3"};
  TButton Button1{this, "Button1"};
  TButton Button2{this, "Button2"};
  std::vector<std::string> log;
};

TEST(DoneWhenTest, AModalDialogIsDrivenByTypingClickingAndAnsweringABox) {
  sim::SimPlatform sim;
  TApplication app(sim.Platform());
  TForm main(app, "TForm1");
  TSetupForm setup(app);
  main.Show();

  sim.dialogs.QueueAnswer(sim::DialogAnswer::Cancel());
  sim.loop.QueueAction([&] { EXPECT_TRUE(setup.Edit7.UserType("650")); });
  sim.loop.QueueAction([&] { EXPECT_TRUE(setup.UpDown3.UserArrow(true)); });
  sim.loop.QueueAction([&] { EXPECT_TRUE(setup.Button2.UserClick()); });
  sim.loop.QueueAction([&] { EXPECT_TRUE(setup.UserKey(VK_SPACE)); });
  sim.loop.QueueAction([&] { EXPECT_TRUE(setup.Button1.UserClick()); });
  EXPECT_EQ(setup.ShowModal(), mrOk);

  const std::vector<std::string> expected = {
      "Edit7Change 650",
      "Edit7Change 660",  // the change set the step to 10
      "UpDown3Click",    "Button2Click cancel", "FormKeyUp 32",
  };
  EXPECT_EQ(setup.log, expected);
  ASSERT_EQ(sim.dialogs.Records().size(), 1u);
  EXPECT_EQ(sim.dialogs.Records()[0].caption, " Roarmark ");
  EXPECT_EQ(sim.dialogs.Records()[0].answer, "cancel");
  EXPECT_TRUE(main.Active());
  EXPECT_EQ(sim.loop.QueuedActions(), 0u);

  // Escape closes it through the previewing key handler.
  sim.loop.QueueAction([&] { setup.UserKey(VK_ESCAPE); });
  EXPECT_EQ(setup.ShowModal(), mrCancel);
}

// Opens device 0 and keeps three buffers queued, replacing each one that comes back.
class TCapture : public IWaveInTarget {
 public:
  explicit TCapture(IWaveInput& wave) : wave_(wave) {}

  WaveResult Open() {
    if (WaveResult r = wave_.QueryFormat(0, kCaptureFormat)) return r;
    if (WaveResult r = wave_.Open(&handle, 0, kCaptureFormat, this)) return r;
    for (int i = 0; i < 3; ++i) {
      if (WaveResult r = Queue()) return r;
    }
    return wave_.Start(handle);
  }
  WaveResult Queue() {
    blocks_.push_back(std::make_unique<Block>());
    WaveHeader* h = &blocks_.back()->header;
    if (WaveResult r = wave_.Prepare(handle, h)) return r;
    return wave_.Add(handle, h);
  }
  void OnWaveInData(WaveHandle from, WaveHeader* header) override {
    const WaveResult r = wave_.Unprepare(from, header);
    results.push_back(r);
    std::int16_t first;
    std::memcpy(&first, header->data, 2);
    received.push_back({header->bytes_recorded, first});
    if (r == kWaveOk) requeue_results.push_back(Queue());
  }

  struct Block {
    std::array<std::uint8_t, 4400> data{};
    WaveHeader header{data.data(), 4400, 0, 0, 0, 0};
  };
  WaveHandle handle = nullptr;
  std::vector<std::pair<std::uint32_t, std::int16_t>> received;
  std::vector<WaveResult> results;
  std::vector<WaveResult> requeue_results;

 private:
  IWaveInput& wave_;
  std::vector<std::unique_ptr<Block>> blocks_;
};

TEST(DoneWhenTest, ACaptureDeviceDeliversThreeBuffersThroughTheMessageLoop) {
  sim::SimPlatform sim;
  const int mic = sim.wave_input.AddDevice("USB Microphone");
  sim.wave_input.SetSignal(mic, sim::WaveSignal::Constant(1234, -1234));
  TPlatform platform = sim.Platform();
  TCapture capture(*platform.WaveInput);
  ASSERT_EQ(capture.Open(), kWaveOk);
  EXPECT_EQ(sim.wave_input.QueuedCount(capture.handle), 3);

  EXPECT_EQ(sim.wave_input.DeliverBuffers(3), 3);
  EXPECT_TRUE(capture.received.empty());
  platform.MessageLoop->DispatchPending();
  ASSERT_EQ(capture.received.size(), 3u);
  for (const auto& [bytes, first] : capture.received) {
    EXPECT_EQ(bytes, 4400u);
    EXPECT_EQ(first, 1234);
  }
  EXPECT_EQ(capture.requeue_results, (std::vector<WaveResult>{0, 0, 0}));
  EXPECT_EQ(sim.wave_input.QueuedCount(capture.handle), 3) << "each one replaced";

  sim.wave_input.Unplug("USB Microphone");
  sim.wave_input.DeliverBuffers(1);
  platform.MessageLoop->DispatchPending();
  EXPECT_EQ(capture.requeue_results.back(), kWaveNoDriver) << "the replacement cannot be prepared";
}

struct OpenFault {
  sim::WaveFault fault;
  WaveResult expected;
};

class CaptureFaultTest : public ::testing::TestWithParam<OpenFault> {};

TEST_P(CaptureFaultTest, EachFaultSurfacesThroughTheSeam) {
  sim::SimPlatform sim;
  sim.wave_input.AddDevice("Mic", {GetParam().fault});
  TCapture capture(*sim.Platform().WaveInput);
  const WaveResult opened = capture.Open();
  if (GetParam().fault != sim::WaveFault::UnprepareFail) {
    EXPECT_EQ(opened, GetParam().expected);
    return;
  }
  ASSERT_EQ(opened, kWaveOk);
  sim.wave_input.DeliverBuffers(1);
  sim.loop.DispatchPending();
  EXPECT_EQ(capture.results, (std::vector<WaveResult>{GetParam().expected}));
}

INSTANTIATE_TEST_SUITE_P(EachFault, CaptureFaultTest,
                         ::testing::Values(OpenFault{sim::WaveFault::BadFormat, kWaveBadFormat},
                                           OpenFault{sim::WaveFault::QueryFail, kWaveError},
                                           OpenFault{sim::WaveFault::OpenFail, kWaveAllocated},
                                           OpenFault{sim::WaveFault::PrepareFail, kWaveNoMemory},
                                           OpenFault{sim::WaveFault::AddFail, kWaveError},
                                           OpenFault{sim::WaveFault::StartFail, kWaveError},
                                           OpenFault{sim::WaveFault::UnprepareFail, kWaveError}));

}  // namespace
}  // namespace roarmark::platform
