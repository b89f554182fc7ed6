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
#include "settings/setting_keys.h"

namespace roarmark::scenario {

namespace fs = std::filesystem;
using namespace platform::ui;
using platform::sim::DialogAnswer;
using platform::sim::WaveFault;
using platform::sim::WaveSignal;

namespace {

// A command that cannot be carried out: exit status 1. Deliberately not a std::exception, so
// the program's own error box never swallows it while it unwinds through a handler.
struct TCommandError {
  int line;
  std::string reason;
};

[[noreturn]] void Fail(const TCommand& c, const std::string& reason) {
  throw TCommandError{c.Line, reason};
}

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

std::string ColourText(std::uint32_t colour) {
  return std::to_string(static_cast<std::int32_t>(colour));
}

const char* CursorName(TCursor cursor) {
  switch (cursor) {
    case TCursor::crSizeNS:
      return "sizens";
    case TCursor::crSizeWE:
      return "sizewe";
    case TCursor::crSizeAll:
      return "sizeall";
    case TCursor::crDrag:
      return "drag";
    default:
      return "default";
  }
}

const char* BorderName(TBorderStyle style) {
  switch (style) {
    case TBorderStyle::bsNone:
      return "none";
    case TBorderStyle::bsDialog:
      return "dialog";
    default:
      return "sizeable";
  }
}

std::string ControlLine(const std::string& name, TComponent& component) {
  std::ostringstream s;
  s << "control " << name;
  auto flags = [&s](const TControl& c) {
    s << " enabled=" << (c.Enabled() ? 1 : 0) << " visible=" << (c.Visible() ? 1 : 0);
  };
  if (auto* form = dynamic_cast<TForm*>(&component)) {
    s << " caption=" << Quote(form->Caption()) << " visible=" << (form->Visible() ? 1 : 0);
  } else if (auto* e = dynamic_cast<TEdit*>(&component)) {
    s << " text=" << Quote(e->Text()) << " colour=" << ColourText(e->Colour());
    flags(*e);
  } else if (auto* cb = dynamic_cast<TCheckBox*>(&component)) {
    s << " caption=" << Quote(cb->Caption()) << " checked=" << (cb->Checked() ? 1 : 0)
      << " colour=" << ColourText(cb->Font().Colour);
    flags(*cb);
  } else if (auto* combo = dynamic_cast<TComboBox*>(&component)) {
    s << " text=" << Quote(combo->Text()) << " index=" << combo->ItemIndex();
    flags(*combo);
  } else if (auto* ud = dynamic_cast<TUpDown*>(&component)) {
    s << " position=" << ud->Position() << " step=" << ud->Increment();
    flags(*ud);
  } else if (auto* tb = dynamic_cast<TTrackBar*>(&component)) {
    s << " position=" << tb->Position();
    flags(*tb);
  } else if (auto* pb = dynamic_cast<TProgressBar*>(&component)) {
    s << " position=" << pb->Position();
    flags(*pb);
  } else if (auto* label = dynamic_cast<TLabel*>(&component)) {
    s << " caption=" << Quote(label->Caption()) << " colour=" << ColourText(label->Font().Colour);
    flags(*label);
  } else if (auto* button = dynamic_cast<TButton*>(&component)) {
    s << " caption=" << Quote(button->Caption());
    flags(*button);
  } else if (auto* block = dynamic_cast<TColourBlock*>(&component)) {
    s << " caption=" << Quote(block->Caption()) << " colour=" << ColourText(block->Colour());
    flags(*block);
  } else if (auto* panel = dynamic_cast<TPanel*>(&component)) {
    s << " caption=" << Quote(panel->Caption());
    flags(*panel);
  } else if (auto* memo = dynamic_cast<TMemo*>(&component)) {
    s << " text=" << Quote(memo->Text());
    flags(*memo);
  } else if (auto* control = dynamic_cast<TControl*>(&component)) {
    flags(*control);
  }
  return s.str();
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

void TScenarioRunner::Print(const TCommand& c) {
  const std::string& what = c.Arg(0);
  if (what == "messages") {
    for (const auto& record : sim_->dialogs.TakeMessages()) {
      out_ << "message " << Quote(record.caption) << " " << Quote(record.text) << " "
           << record.answer << "\n";
    }
  } else if (what == "filedialogs") {
    // The open and save dialogs since the last look: kind, proposed name, folder, answer.
    const auto& records = sim_->dialogs.Records();
    for (; file_dialogs_taken_ < records.size(); ++file_dialogs_taken_) {
      const auto& record = records[file_dialogs_taken_];
      const bool open = record.kind == platform::sim::DialogKind::OpenFile;
      if (!open && record.kind != platform::sim::DialogKind::SaveFile) continue;
      out_ << "filedialog " << (open ? "open" : "save") << " name=" << Quote(record.file.FileName)
           << " folder=" << Quote(record.file.InitialDir) << " "
           << (record.cancelled ? std::string("cancel") : Quote(record.answer)) << "\n";
    }
  } else if (what == "picture") {
    // A picture control of the open windows, or a picture file in the data folder: its size.
    const std::string& name = c.Arg(1);
    TPicture* picture = nullptr;
    if (started_ && !Ended()) {
      if (TForm* modal = program_->App().ModalForm()) picture = modal->Find<TPicture>(name);
    }
    if (picture != nullptr) {
      out_ << "picture " << name << " ";
      if (picture->Empty()) {
        out_ << "empty\n";
      } else {
        out_ << picture->Picture().Width << "x" << picture->Picture().Height << "\n";
      }
    } else {
      platform::TPixels pixels;
      if (DecodeBmpFile(DataPath(name), pixels)) {
        out_ << "picture " << name << " " << pixels.Width << "x" << pixels.Height << "\n";
      } else {
        out_ << "picture " << name << " missing\n";
      }
    }
  } else if (what == "prompts") {
    // The input boxes since the last look: title, prompt and the text given back.
    const auto& records = sim_->dialogs.Records();
    for (; prompts_taken_ < records.size(); ++prompts_taken_) {
      const auto& record = records[prompts_taken_];
      if (record.kind != platform::sim::DialogKind::InputBox) continue;
      out_ << "prompt " << Quote(record.caption) << " " << Quote(record.text) << " "
           << (record.cancelled ? std::string("cancel") : Quote(record.answer)) << "\n";
    }
  } else if (what == "ended") {
    if (auto code = sim_->loop.EndCode()) {
      out_ << "ended " << *code << "\n";
    } else {
      out_ << "ended no\n";
    }
  } else if (what == "opened") {
    for (const auto& path : sim_->shell.Opened())
      out_ << "opened " << Quote(path) << "\n";
  } else if (what == "file") {
    std::ifstream in(platform::FilePath(DataPath(c.Arg(1))), std::ios::binary);
    if (!in) {
      out_ << "file " << c.Arg(1) << " missing\n";
      return;
    }
    out_ << "file " << c.Arg(1) << "\n";
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out_ << line << "\n";
    }
  } else if (what == "state") {
    const TMeterState& s = Main(c).State;
    out_ << "state Position=" << s.Position << " PeakMarker=" << s.PeakMarker
         << " HoldCount=" << s.HoldCount << " Blanked=" << (s.Blanked ? 1 : 0)
         << " DecayStep=" << s.DecayStep << " AverageIndex=" << s.AverageIndex << "\n";
  } else if (what == "readout") {
    const auto& text = Main(c).Display.LastReadoutText;
    out_ << "readout " << (text ? Quote(*text) : std::string("none")) << "\n";
  } else if (what == "setting") {
    auto value = SettingText(Main(c).Settings, c.Arg(1));
    if (!value) Fail(c, "no setting " + c.Arg(1));
    out_ << "setting " << Quote(c.Arg(1)) << "=" << *value << "\n";
  } else if (what == "control") {
    Main(c);
    const std::string& name = c.Arg(1);
    if (TForm* form = program_->App().FindForm(name)) {
      out_ << ControlLine(name, *form) << "\n";
    } else {
      out_ << ControlLine(name, FindControl(c, name)) << "\n";
    }
  } else if (what == "window") {
    TForm1& w = Main(c);
    out_ << "window left=" << w.Left() << " top=" << w.Top() << " width=" << w.Width()
         << " height=" << w.Height() << " clientwidth=" << w.ClientWidth()
         << " clientheight=" << w.ClientHeight() << " border=" << BorderName(w.BorderStyle())
         << " topmost=" << (w.StayOnTop() ? 1 : 0) << " caption=" << Quote(w.Caption())
         << " visible=" << (w.Visible() ? 1 : 0) << "\n";
  } else if (what == "image") {
    const TImageView& image = Main(c).Image1;
    out_ << "image left=" << image.Left() << " top=" << image.Top() << " width=" << image.Width()
         << " height=" << image.Height()
         << " scale=" << (image.ScaleMode() == TScaleMode::smStretch ? "stretch" : "normal")
         << " picturewidth=" << image.Image().Width << " pictureheight=" << image.Image().Height
         << "\n";
  } else if (what == "sound") {
    Main(c);
    const TSoundFigures f = program_->SoundMeter()->Figures();
    out_ << "sound LAF=" << DbText(f.LAF) << " LAS=" << DbText(f.LAS) << " LAeq=" << DbText(f.LAeq)
         << " LAFmax=" << DbText(f.LAFmax) << " LCpeak=" << DbText(f.LCpeak)
         << " LZeq=" << DbText(f.LZeq) << "\n";
  } else if (what == "contest") {
    Main(c);
    PrintContest();
  } else if (what == "feed") {
    const std::optional<std::string> message = RemoteOf(c)->LatestFeedMessage();
    out_ << (message ? *message : std::string("none")) << "\n";
  } else if (what == "cursor") {
    Main(c);
    out_ << "cursor " << CursorName(program_->App().Cursor()) << "\n";
  }
}

void TScenarioRunner::PrintContest() {
  const TContestControl* contest = program_->Contest();
  if (contest == nullptr) return;
  static constexpr const char* kPhases[] = {"idle", "countdown", "running", "shown"};
  out_ << "contest state=" << kPhases[static_cast<int>(contest->Phase())]
       << " round=" << contest->RoundNumber() << " current=" << contest->CurrentNumber()
       << " left_ms=" << contest->LeftMs() << " board=" << (contest->BoardShown() ? 1 : 0) << "\n";
  const std::vector<int> ranks = contest->Ranks();
  const TContest& c = contest->Contest();
  auto figure = [](const std::optional<TRoundFigures>& f, int tenths) {
    return f ? std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) : std::string("-");
  };
  for (std::size_t i = 0; i < c.Contestants.size(); ++i) {
    const TContestant& who = c.Contestants[i];
    const auto& f = who.Latest;
    out_ << "contestant " << i + 1 << " " << Quote(who.Name)
         << " average=" << figure(f, f ? f->AverageTenths : 0)
         << " peak=" << figure(f, f ? f->PeakTenths : 0)
         << " score=" << figure(f, f ? ScoreOf(*f, c.Rules.Score) : 0)
         << " rank=" << (ranks[i] > 0 ? std::to_string(ranks[i]) : std::string("-"))
         << " rounds=" << who.Rounds << "\n";
  }
}

}  // namespace roarmark::scenario
