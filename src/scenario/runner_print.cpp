// The runner's print formats, which other tools read.
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

namespace {

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
