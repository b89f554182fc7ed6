// Scenario commands against the program on the sim platform, with the print formats other
// tools read.
#include "scenario/runner.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/application.h"
#include "contest/contest_control.h"
#include "contest/contest_window.h"
#include "core/main_window.h"
#include "display/pictures/bmp_reader.h"
#include "display/pictures/bmp_writer.h"
#include "measure/sound_meter.h"
#include "platform/file_path.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_wav.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/image_view.h"
#include "platform/ui/text_grid.h"
#include "remote/remote_service.h"
#include "scenario/command_error.h"
#include "settings/setting_keys.h"

namespace roarmark::scenario {

namespace fs = std::filesystem;
using namespace platform::ui;
using platform::sim::DialogAnswer;
using platform::sim::WaveFault;
using platform::sim::WaveSignal;

namespace {

std::int64_t Num(const TCommand& c, std::size_t i) {
  return *ParseNumber(c.Arg(i));
}
int Int(const TCommand& c, std::size_t i) {
  return static_cast<int>(Num(c, i));
}

WaveFault FaultOf(const std::string& name) {
  if (name == "badformat") return WaveFault::BadFormat;
  if (name == "queryfail") return WaveFault::QueryFail;
  if (name == "openfail") return WaveFault::OpenFail;
  if (name == "preparefail") return WaveFault::PrepareFail;
  if (name == "addfail") return WaveFault::AddFail;
  if (name == "startfail") return WaveFault::StartFail;
  return WaveFault::UnprepareFail;
}

}  // namespace

TScenarioRunner::TScenarioRunner(std::vector<TCommand> commands, std::ostream& out,
                                 std::ostream& err)
    : commands_(std::move(commands)),
      out_(out),
      err_(err),
      sim_(std::make_unique<platform::sim::SimPlatform>()) {}

TScenarioRunner::~TScenarioRunner() {
  program_.reset();
  sim_.reset();
  if (own_folder_) {
    std::error_code ec;
    fs::remove_all(platform::FilePath(folder_), ec);
  }
}

std::string TScenarioRunner::DataFolder() const {
  return folder_ + "/Quillmoor/Roarmark/";
}

std::string TScenarioRunner::DataPath(const std::string& rel) const {
  if (!rel.empty() && rel[0] == '/') return rel;
  return DataFolder() + rel;
}

bool TScenarioRunner::Ended() const {
  return sim_->loop.EndCode().has_value();
}

void TScenarioRunner::Prepare() {
  if (!folder_.empty()) return;
  std::string pattern = platform::PathText(fs::temp_directory_path() / "roarmark-sim-XXXXXX");
  if (mkdtemp(pattern.data()) == nullptr) throw TCommandError{0, "cannot make a temporary folder"};
  folder_ = pattern;
  own_folder_ = true;
}

int TScenarioRunner::Run() {
  // Recordings are read before anything runs: a file that cannot be played makes the script
  // malformed.
  for (const TCommand& c : commands_) {
    if (c.Name() != "signal" || c.Arg(1) != "wav") continue;
    std::string error;
    auto frames = platform::sim::ReadWavRecording(c.Arg(2), error);
    if (!frames) {
      err_ << "line " << c.Line << ": " << error << "\n";
      return kMalformed;
    }
    recordings_[c.Line] = std::move(*frames);
  }
  sim_->loop.SetSleepDriven(true);
  sim_->loop.SetIdleDriver([this] { return RunNextFromDriver(); });
  try {
    while (next_ < commands_.size()) {
      const TCommand& c = commands_[next_++];
      try {
        Execute(c);
      } catch (const platform::sim::ProcessEnded&) {
        // The program ended at once; the script goes on and can look at what it left.
      }
    }
  } catch (const platform::sim::SimStalled&) {
    // The script ended while the program waited inside a nested loop: it ran to its end.
  } catch (const TCommandError& e) {
    err_ << "line " << e.line << ": " << e.reason << "\n";
    return kCommandFailed;
  } catch (const platform::sim::SimAbort& e) {
    const int line = next_ > 0 ? commands_[next_ - 1].Line : 0;
    err_ << "line " << line << ": " << e.message << "\n";
    return kCommandFailed;
  }
  return kRanToEnd;
}

// Inside a nested loop of the program (a modal form, a message box, the input-loss wait) the
// script's next command runs here.
bool TScenarioRunner::RunNextFromDriver() {
  if (next_ >= commands_.size()) return false;
  Execute(commands_[next_++]);
  return true;
}

TForm1& TScenarioRunner::Main(const TCommand& c) {
  if (!started_) Fail(c, "'" + c.Name() + "' needs the program: there was no 'start'");
  if (Ended() || program_->MainWindow() == nullptr) {
    Fail(c, "'" + c.Name() + "' needs the program, which has ended");
  }
  return *program_->MainWindow();
}

TRemoteService* TScenarioRunner::RemoteOf(const TCommand& c) {
  Main(c);
  TRemoteService* remote = program_->Remote();
  if (remote == nullptr) Fail(c, "the remote is not available");
  return remote;
}

TForm& TScenarioRunner::KeyForm(const TCommand& c) {
  TForm1& main = Main(c);
  if (TForm* modal = program_->App().ModalForm()) return *modal;
  return main;
}

TControl& TScenarioRunner::FindControl(const TCommand& c, const std::string& name) {
  TForm1& main = Main(c);
  TApplication& app = program_->App();
  std::size_t dot = name.find('.');
  if (dot != std::string::npos) {
    TForm* form = app.FindForm(name.substr(0, dot));
    if (form == nullptr) Fail(c, "no window " + name.substr(0, dot));
    if (TControl* control = form->FindControl(name.substr(dot + 1))) return *control;
    Fail(c, "no control " + name);
  }
  std::vector<TForm*> order;
  // The input-loss dialog's names count for the whole wait, not only while it is shown; it
  // comes first when the wait is the innermost loop (started behind a modal form), after the
  // modal form when that was opened during the wait.
  TForm* loss = app.FindForm("TForm5");
  if (loss != nullptr && !loss->Visible() && !main.Recovering()) loss = nullptr;
  const bool wait_innermost = loss != nullptr && sim_->loop.InSleep();
  if (wait_innermost) order.push_back(loss);
  if (TForm* modal = app.ModalForm()) order.push_back(modal);
  if (loss != nullptr && !wait_innermost) order.push_back(loss);
  order.push_back(&main);
  if (TForm* setup = app.FindForm("TForm2")) order.push_back(setup);
  for (TForm* form : order) {
    if (TControl* control = form->FindControl(name)) return *control;
  }
  Fail(c, "no control " + name +
              " in the open windows (the part of the program that holds it may not be "
              "available yet)");
}

void TScenarioRunner::Start(const TCommand& c) {
  if (started_) Fail(c, "the program was started already");
  Prepare();
  if (!monitor_added_) sim_->monitors.AddMonitor(1920, 1080, 0, 0, 1920, 1040);
  sim_->shell.SetCommonAppDataFolder(folder_);
  started_ = true;
  program_ = std::make_unique<TRoarmarkProgram>(sim_->Platform());
  program_->Start();
}

void TScenarioRunner::Execute(const TCommand& c) {
  const std::string& name = c.Name();
  auto before_start = [&] {
    if (started_) Fail(c, "'" + name + "' must come before 'start'");
  };

  if (name == "folder") {
    before_start();
    folder_ = c.Arg(0);
    own_folder_ = false;
  } else if (name == "write" || name == "copy" || name == "picture") {
    Prepare();
    const std::string path = DataPath(c.Arg(0));
    std::error_code ec;
    fs::create_directories(platform::FilePath(path).parent_path(), ec);
    if (name == "write") {
      std::ofstream out(platform::FilePath(path), std::ios::binary);
      out << c.Arg(1);
      if (!out) Fail(c, "cannot write " + path);
    } else if (name == "copy") {
      fs::copy_file(platform::FilePath(c.Arg(1)), platform::FilePath(path),
                    fs::copy_options::overwrite_existing, ec);
      if (ec) Fail(c, "cannot copy " + c.Arg(1) + ": " + ec.message());
    } else {
      platform::TPixels pixels;
      pixels.Width = Int(c, 1);
      pixels.Height = Int(c, 2);
      if (pixels.Width <= 0 || pixels.Height <= 0) Fail(c, "a picture needs a size");
      pixels.Pixels.assign(static_cast<std::size_t>(pixels.Width) * pixels.Height,
                           0xFF000000u | (static_cast<std::uint32_t>(Num(c, 3)) & 0xFFFFFF));
      if (!WriteBmp24(path, pixels)) Fail(c, "cannot write " + path);
    }
  } else if (name == "monitor") {
    before_start();
    sim_->monitors.AddMonitor(Int(c, 0), Int(c, 1), Int(c, 2), Int(c, 3), Int(c, 4), Int(c, 5));
    monitor_added_ = true;
  } else if (name == "device") {
    std::set<WaveFault> faults;
    for (std::size_t i = 1; i < c.ArgCount(); ++i)
      faults.insert(FaultOf(c.Arg(i)));
    sim_->wave_input.AddDevice(c.Arg(0), faults);
  } else if (name == "decimal") {
    before_start();
    sim_->locale.SetDecimalSeparator(c.Arg(0)[0]);
  } else if (name == "tick") {
    before_start();
    sim_->loop.SetTickCount(static_cast<std::uint32_t>(Num(c, 0)));
  } else if (name == "start") {
    Start(c);
  } else if (name == "signal") {
    const std::string& kind = c.Arg(1);
    WaveSignal signal;
    if (kind == "sine") {
      signal = WaveSignal::Sine(*ParseDecimal(c.Arg(2)), *ParseDecimal(c.Arg(3)));
    } else if (kind == "square") {
      signal = WaveSignal::Square(*ParseDecimal(c.Arg(2)));
    } else if (kind == "dc") {
      signal = WaveSignal::Constant(static_cast<std::int16_t>(Num(c, 2)),
                                    static_cast<std::int16_t>(Num(c, 3)));
    } else if (kind == "wav") {
      signal = WaveSignal::Recording(recordings_.at(c.Line));
    }
    if (sim_->wave_input.SetSignal(c.Arg(0), signal) == 0) Fail(c, "no device " + c.Arg(0));
  } else if (name == "buffers") {
    Main(c);
    for (std::int64_t i = 0; i < Num(c, 0); ++i) {
      sim_->wave_input.DeliverBuffers(1);
      sim_->loop.DispatchPending();
      sim_->loop.Advance(25);
      sim_->loop.DispatchPending();
    }
  } else if (name == "wait") {
    if (sim_->loop.InSleep()) {
      sim_->loop.GrantSleep(static_cast<std::uint64_t>(Num(c, 0)));
    } else {
      Main(c);
      sim_->loop.Advance(static_cast<std::uint64_t>(Num(c, 0)));
      sim_->loop.DispatchPending();
    }
  } else if (name == "fault") {
    if (sim_->wave_input.SetFault(c.Arg(0), FaultOf(c.Arg(1)), c.Arg(2) == "on") == 0)
      Fail(c, "no device " + c.Arg(0));
  } else if (name == "unplug" || name == "plug") {
    const int n =
        name == "unplug" ? sim_->wave_input.Unplug(c.Arg(0)) : sim_->wave_input.Plug(c.Arg(0));
    if (n == 0) Fail(c, "no device " + c.Arg(0));
    // Inside the input-loss wait: let it finish this poll and make the next one, which sees
    // the change, before the script goes on.
    if (sim_->loop.InSleep() && !sim_->loop.Sleeps().empty()) {
      const std::uint64_t need = sim_->loop.SleepRemaining() + sim_->loop.Sleeps().back();
      if (sim_->loop.SleepBudget() < need) sim_->loop.GrantSleep(need - sim_->loop.SleepBudget());
    }
  } else if (name == "key" || name == "keyw") {
    TForm& form = KeyForm(c);
    TForm1& main = Main(c);
    if (&form == &main) {
      if (name == "key") {
        main.Image1.SetFocus();
      } else {
        main.SetActiveControl(nullptr);
      }
    }
    const TKeyCombo combo = *ParseKeyCombo(c.Arg(0));
    TShiftState mods = ssNone;
    if (combo.Ctrl) mods |= ssCtrl;
    if (combo.Shift) mods |= ssShift;
    if (combo.Alt) mods |= ssAlt;
    form.UserKey(combo.Key, mods);
    sim_->loop.DispatchPending();
  } else if (name == "down" || name == "up") {
    TForm& form = KeyForm(c);
    const int key = *ParseKeyName(c.Arg(0));
    if (name == "down") {
      form.UserKeyDown(key);
    } else {
      form.UserKeyUp(key);
    }
    sim_->loop.DispatchPending();
  } else if (name == "mouse" || name == "press" || name == "move" || name == "release" ||
             name == "dblclick" || name == "wheel") {
    TImageView& image = Main(c).Image1;
    auto button = [](const std::string& b) {
      return b == "right" ? TMouseButton::mbRight : TMouseButton::mbLeft;
    };
    if (name == "mouse") {
      image.UserMouseDown(button(c.Arg(0)), Int(c, 1), Int(c, 2));
      image.UserMouseUp(button(c.Arg(0)), Int(c, 1), Int(c, 2));
    } else if (name == "press") {
      pressed_button_ = c.Arg(0) == "right" ? 1 : 0;
      image.UserMouseDown(button(c.Arg(0)), Int(c, 1), Int(c, 2));
    } else if (name == "move") {
      image.UserMouseMove(Int(c, 0), Int(c, 1));
    } else if (name == "release") {
      image.UserMouseUp(pressed_button_ ? TMouseButton::mbRight : TMouseButton::mbLeft, Int(c, 0),
                        Int(c, 1));
    } else if (name == "dblclick") {
      image.UserDblClick(Int(c, 0), Int(c, 1));
    } else {
      program_->App().SetCursorPos(image.ClientToScreen({Int(c, 1), Int(c, 2)}));
      image.UserMouseWheel(c.Arg(0) == "up" ? 1 : -1, Int(c, 1), Int(c, 2));
    }
    sim_->loop.DispatchPending();
  } else if (name == "answer") {
    const std::string& kind = c.Arg(0);
    DialogAnswer answer = DialogAnswer::Ok();
    if (kind == "cancel") {
      answer = DialogAnswer::Cancel();
    } else if (kind == "text") {
      answer = DialogAnswer::Text(c.Arg(1));
    } else if (kind == "file") {
      answer = DialogAnswer::File(DataPath(c.Arg(1)));
    } else if (kind == "colour") {
      answer = DialogAnswer::Colour(static_cast<std::uint32_t>(Num(c, 1)));
    } else if (kind == "font") {
      platform::TFontChoice font;
      font.Name = c.Arg(1);
      font.Size = Int(c, 2);
      font.Style = Int(c, 3);
      font.Colour = static_cast<std::uint32_t>(Num(c, 4));
      answer = DialogAnswer::Font(font);
    }
    sim_->dialogs.QueueAnswer(answer);
  } else if (name == "remote") {
    // Delivered as the server delivers it, from this machine, then dispatched like any message.
    TRemoteService* remote = RemoteOf(c);
    const int status = remote->Deliver(c.Arg(0), "127.0.0.1");
    sim_->loop.DispatchPending();
    out_ << "remote " << status << "\n";
  } else if (name == "print") {
    Print(c);
  } else if (name == "dump") {
    const TBitmap32& bitmap = Main(c).Display.DisplayBitmap;
    platform::TPixels pixels;
    pixels.Width = bitmap.Width();
    pixels.Height = bitmap.Height();
    pixels.Pixels.assign(
        bitmap.Bits(), bitmap.Bits() + static_cast<std::size_t>(bitmap.Width()) * bitmap.Height());
    if (!WriteBmp24(c.Arg(1), pixels)) Fail(c, "cannot write " + c.Arg(1));
  } else {
    FormCommand(c);
  }
}

void TScenarioRunner::FormCommand(const TCommand& c) {
  const std::string& name = c.Name();
  if (name == "cell" || name == "dblcell") {
    Main(c);
    TForm* form = program_->App().ModalForm();
    TTextGrid* grid = nullptr;
    if (form != nullptr) {
      form->ForEachDescendant([&grid](TControl& control) {
        if (grid == nullptr) grid = dynamic_cast<TTextGrid*>(&control);
      });
    }
    if (grid == nullptr) Fail(c, "the preset list is not available yet (no grid is open)");
    if (name == "cell") {
      grid->UserClickCell(Int(c, 0), Int(c, 1));
    } else {
      grid->UserDblClickCell(Int(c, 0), Int(c, 1));
    }
    sim_->loop.DispatchPending();
    return;
  }
  TControl& control = FindControl(c, c.Arg(0));
  bool acted = true;
  if (name == "set") {
    auto* edit = dynamic_cast<TEdit*>(&control);
    if (edit == nullptr) Fail(c, c.Arg(0) + " is not an edit field");
    acted = edit->UserType(c.Arg(1));
  } else if (name == "check") {
    auto* box = dynamic_cast<TCheckBox*>(&control);
    if (box == nullptr) Fail(c, c.Arg(0) + " is not a check box");
    if (box->Checked() != (c.Arg(1) == "on")) acted = box->UserClick();
  } else if (name == "click") {
    acted = control.UserClick();
  } else if (name == "choose") {
    auto* combo = dynamic_cast<TComboBox*>(&control);
    if (combo == nullptr) Fail(c, c.Arg(0) + " is not a drop-down list");
    acted = combo->UserSelect(Int(c, 1));
  } else if (name == "slide") {
    auto* bar = dynamic_cast<TTrackBar*>(&control);
    if (bar == nullptr) Fail(c, c.Arg(0) + " is not a track bar");
    acted = bar->UserSlide(Int(c, 1));
  } else if (name == "arrow") {
    auto* updown = dynamic_cast<TUpDown*>(&control);
    if (updown == nullptr) Fail(c, c.Arg(0) + " is not an up-down control");
    acted = updown->UserArrow(c.Arg(1) == "up");
  }
  if (!acted) Fail(c, c.Arg(0) + " takes no input now (hidden, disabled or behind a modal window)");
  sim_->loop.DispatchPending();
}

}  // namespace roarmark::scenario
