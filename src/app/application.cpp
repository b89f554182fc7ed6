// The program entry: application title, the four windows in their order, the message loop.
#include "app/application.h"

#include <algorithm>
#include <cstdio>

#include "app/first_start.h"
#include "app/remote_link.h"
#include "app/show_events.h"
#include "contest/contest_control.h"
#include "contest/contest_window.h"
#include "core/input_loss_dialog.h"
#include "core/main_window.h"
#include "display/readout.h"
#include "measure/show_report.h"
#include "measure/sound_meter.h"
#include "platform/path_separator.h"
#include "platform/ui/application.h"
#include "remote/remote_service.h"
#include "settings/preset_list_window.h"
#include "setup/setup_dialog.h"

namespace roarmark {

TRoarmarkProgram::TRoarmarkProgram(const platform::TPlatform& platform, TProgramOptions options)
    : platform_(platform),
      events_(std::make_unique<TShowEvents>(platform_)),
      options_(std::move(options)) {
  events_->Open(ProgramDataFolder(platform_));
}

TRoarmarkProgram::~TRoarmarkProgram() {
  if (app_ && app_->Terminated()) FinishShow();
  // The remote's threads end before the windows they reach through the message loop.
  remote_.reset();
  // Windows go before the application they belong to.
  form6_.reset();
  if (form1_) form1_->Contest = nullptr;
  contest_.reset();
  form5_.reset();
  form3_.reset();
  form2_.reset();
  form1_.reset();
  sound_.reset();
  app_.reset();
}

void TRoarmarkProgram::Start() {
  app_ = std::make_unique<platform::ui::TApplication>(platform_);
  app_->SetTitle(kProgramTitle);
  form1_ = std::make_unique<TForm1>(*app_, platform_);
  form1_->FirstStart = [](TForm1& form) { EnsureDataFolder(form); };
  form1_->InputEvent = [this](const TForm1::TInputEvent& event) {
    switch (event.Kind) {
      case TForm1::TInputEvent::TKind::Chosen:
        events_->Write("input: " + event.DeviceName);
        break;
      case TForm1::TInputEvent::TKind::Lost:
        events_->InputLost();
        break;
      case TForm1::TInputEvent::TKind::Back:
        events_->InputBack(event.DeviceName, event.WaitMs);
        break;
    }
  };
  events_->Write("start");
  form1_->FormCreate();
  form2_ = std::make_unique<TForm2>(*app_, *form1_);
  form3_ = std::make_unique<TForm3>(*app_);
  form5_ = std::make_unique<TForm5>(*app_);
  form1_->Setup = form2_.get();
  form1_->InputLoss = form5_.get();
  form1_->PresetWindow = form3_.get();
  // "CLOSE NOW": the operator's own choice to end at once, nothing saved.
  form5_->Button1.OnClick = [this] { platform_.MessageLoop->EndProcess(0); };
  // The engine reads these two fields from the first buffer on, whether or not the window
  // manager ever activates the main window.
  form2_->Edit1.SetText(form1_->Settings.Calibration);
  form2_->Edit2.SetText(form1_->Settings.Decay);
  WireSoundLevel();
  StartContest();
  form1_->Show();
  StartRemote();
}

void TRoarmarkProgram::WireSoundLevel() {
  TForm1& main = *form1_;
  sound_ = std::make_unique<TSoundMeter>(main.Settings.Sound,
                                         main.DataFolder + "Logs" + platform::kPathSeparator);
  TSoundMeter& sound = *sound_;
  main.AfterBuffer = [this, &main, &sound](const std::uint8_t* block) {
    const TLimitState before = sound.LimitState();
    sound.ProcessBuffer(block, platform_.MessageLoop->TickCount());
    // The sound level changes with every buffer; a 0..100 readout only takes a new colour.
    // Nothing is drawn under the contest's board.
    const bool board = main.Contest != nullptr && main.Contest->View().Board;
    if (!main.Dragging && !board &&
        (main.Settings.Sound.ReadoutUnit == 1 || sound.LimitState() != before)) {
      RedrawReadout(main.Display, main.Settings, main.State);
    }
  };
  main.Display.ReadoutLook = [&main, &sound] {
    const TSoundSettings& s = main.Settings.Sound;
    TReadoutLook look;
    if (s.ReadoutUnit == 1) {
      look.Text = sound.ReadoutText(main.Settings.ShowDecimal, main.Display.DecimalSeparator);
    }
    if (sound.LimitState() == TLimitState::Warning) look.DigitColour = s.WarningColor;
    if (sound.LimitState() == TLimitState::Alarm) look.DigitColour = s.AlarmColor;
    return look;
  };
  sound.Snapshot = [&main] {
    TDisplaySnapshot snap;
    snap.Level = std::clamp(main.State.Position, 0, 1020) / 10.2;
    snap.Readout = main.Display.LastReadoutText.value_or("");
    return snap;
  };
  sound.OnLogFailed = [this, &main](const std::string& what) {
    platform_.MessageLoop->Post([&main, what] {
      main.ShowMessage(kCaptionRoarmarkError, "The show log could not be written: " + what +
                                                  "\n\rThe show goes on without a log.");
    });
  };
  TSoundPanel& panel = form2_->SoundPanel;
  panel.Meter = &sound;
  sound.OnCalibrated = [&panel](TCalibrationVerdict verdict, double offset) {
    panel.CalibrationEnded(verdict, offset);
  };
}

void TRoarmarkProgram::StartContest() {
  TForm1& main = *form1_;
  TContestHost host;
  host.Dialogs = platform_.Dialogs;
  host.Clock = platform_.Clock;
  host.DataFolder = main.DataFolder;
  host.Language = [&main] { return main.Settings.Language; };
  host.ShowException = [this](const std::exception& error) { app_->ShowException(error); };
  contest_ = std::make_unique<TContestControl>(std::move(host));
  contest_->Load();
  form6_ = std::make_unique<TForm6>(*app_);
  main.Contest = contest_.get();
  form2_->Button10.OnClick = [this, &main] {
    TContestWindowHost window;
    window.Language = main.Settings.Language;
    window.Apply = [this](const TContest& edited) { return contest_->ApplyEdited(edited); };
    form6_->ShowContestWindow(contest_->Contest(), window);
  };
}

int TRoarmarkProgram::Run() {
  app_->Run();
  FinishShow();
  events_->Write("end");
  return 0;
}

void TRoarmarkProgram::MonitorsChanged() {
  if (placing_) return;
  placing_ = true;
  platform_.MessageLoop->Post([this] {
    placing_ = false;
    PlaceOnMonitor();
  });
}

void TRoarmarkProgram::PlaceOnMonitor() {
  if (!form1_) return;
  const std::vector<platform::TMonitor> monitors = platform_.Monitors->Monitors();
  const int chosen = form1_->Settings.Monitor;
  const bool present = chosen >= 1 && chosen <= static_cast<int>(monitors.size());
  events_->Write("monitors changed: " + std::to_string(monitors.size()) +
                 ", the display on monitor " + std::to_string(present ? chosen : 1));
  const platform::TMonitor monitor = form1_->ChosenMonitor();
  form1_->SetTop(monitor.Bounds.Top);
  form1_->SetLeft(monitor.Bounds.Left);
  form1_->RelayoutDisplay();
}

void TRoarmarkProgram::BringToFront() {
  if (!form1_) return;
  // During an input loss the dialog is what the operator needs to see.
  if (form5_ && form5_->Visible())
    form5_->Show();
  else
    form1_->Show();
}

void TRoarmarkProgram::FinishShow() {
  if (finished_ || !sound_ || !form1_) return;
  finished_ = true;
  sound_->FinishLog();
  if (!form1_->Settings.Sound.Log || sound_->LogPath().empty()) return;
  const std::string error = WriteShowReport(sound_->LogPath(), platform_.Fonts);
  if (!error.empty()) std::fprintf(stderr, "roarmark: no show report: %s\n", error.c_str());
}

std::string ProgramDataFolder(const platform::TPlatform& platform) {
  std::string folder = platform.Shell->CommonAppDataFolder();
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
    folder.pop_back();
  const char sep = platform::kPathSeparator;
  return folder + sep + "Quillmoor" + sep + "Roarmark" + sep;
}

int RunRoarmark(const platform::TPlatform& platform, TProgramOptions options) {
  TRoarmarkProgram program(platform, std::move(options));
  program.Start();
  return program.Run();
}

}  // namespace roarmark
