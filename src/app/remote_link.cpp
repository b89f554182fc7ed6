// What the remote commands do (exactly what their keys do) and what the remote reads.
#include "app/remote_link.h"

#include "core/main_window.h"
#include "display/bitmap32.h"
#include "display/colour_ramp.h"
#include "settings/paths.h"

namespace roarmark {
namespace {

// The lit colour of each block of one bar style, as the bar renderers choose it.
std::vector<std::uint32_t> BlockColours(const TMeterSettings& settings, int style,
                                        const platform::ISystemColours* sys) {
  TMeterSettings s = settings;
  s.Style = style;
  TColourRamp ramp;
  BuildColourRamp(ramp, s, sys);
  const bool vertical = style == kStyleVerticalBars;
  const int count = vertical ? 51 : 100;
  const int changeover = vertical ? 40 + s.BlendOffset / 4 : 80 + s.BlendOffset / 2;
  std::vector<std::uint32_t> colours;
  TColor32 unblended = Color32(s.BaseColor, sys);
  for (int i = 0; i < count; ++i) {
    if (i == changeover) unblended = Color32(s.TopColor, sys);
    colours.push_back(s.Blend ? Color32(ramp.Entries[static_cast<std::size_t>(i)].AsColour())
                              : unblended);
  }
  return colours;
}

std::string ThumbnailOf(const std::string& entry, const std::string& data_folder) {
  if (entry.empty()) return {};
  const std::string path = ReplaceExtension(PortablePath(entry, data_folder), ".thm");
  return FileExists(path) ? path : std::string();
}

}  // namespace

void TRemoteLink::RunCommand(const TRemoteCommand& command) {
  switch (command.Kind) {
    case TRemoteCommandKind::Blank:
      form_.ToggleBlankCommand();
      break;
    case TRemoteCommandKind::Reset:
      form_.ResetPeakCommand();
      break;
    case TRemoteCommandKind::Hold:
      form_.HoldCommand(command.On);
      break;
    case TRemoteCommandKind::Preset:
      form_.RecallPreset(command.Slot);
      break;
    case TRemoteCommandKind::Current:
      form_.RecallCurrentDat();
      break;
  }
  if (Changed) Changed();
}

int TRemoteLink::ShownPreset() {
  const std::string& file = form_.CurrentSettingsFile;
  if (file == preset_for_file_ && form_.PresetList == preset_for_list_) return preset_;
  // A recall of a missing file (an empty slot) loads nothing: the layout shown stays.
  if (file != preset_for_file_ && !FileExists(file)) {
    preset_for_file_ = file;
    return preset_;
  }
  preset_for_file_ = file;
  preset_for_list_ = form_.PresetList;
  preset_ = -1;
  for (std::size_t n = 0; n < preset_for_list_.size() && n < 10; ++n) {
    const std::string& entry = preset_for_list_[n];
    if (!entry.empty() && PortablePath(entry, form_.DataFolder) == file) {
      preset_ = static_cast<int>(n);
      break;
    }
  }
  return preset_;
}

TFeedSnapshot TRemoteLink::Snapshot() {
  TFeedSnapshot s;
  s.Position = form_.State.Position;
  s.PeakMarker = form_.State.PeakMarker;
  s.Readout = form_.Display.LastReadoutText.value_or(std::string());
  s.Hold = form_.Settings.PeakHold;
  s.Blanked = form_.State.Blanked;
  s.Preset = ShownPreset();
  s.Style = form_.Settings.Style;
  return s;
}

TRemoteState TRemoteLink::State() {
  TRemoteState state;
  state.Feed = Snapshot();
  for (int n = 0; n < 10; ++n) {
    const auto slot = static_cast<std::size_t>(n);
    const std::string entry = slot < form_.PresetList.size() ? form_.PresetList[slot] : "";
    state.Presets.push_back(
        {n, FileNamePart(entry), !ThumbnailOf(entry, form_.DataFolder).empty()});
  }
  const TMeterSettings& s = form_.Settings;
  const platform::ISystemColours* sys = form_.Display.SystemColours;
  TRemoteLook& look = state.Look;
  look.VerticalBlocks = BlockColours(s, kStyleVerticalBars, sys);
  look.HorizontalBlocks = BlockColours(s, kStyleHorizontalBars, sys);
  look.Background = Color32(s.BarBgndColor, sys);
  look.Peak = Color32(s.PeakColor, sys);
  look.ColourPeak = s.ColorPeak;
  look.Blocks = s.Blocks;
  look.Needle = Color32(s.TopColor, sys);
  look.NeedleEdge = Color32(s.BaseColor, sys);
  look.ReadoutText = Color32(s.FontColor, sys);
  look.ReadoutBox = Color32(s.ReadoutColor, sys);
  look.TransparentReadout = s.Transparent;
  look.ShowReadout = s.ShowReadout;
  return state;
}

std::string TRemoteLink::ThumbnailPath(int slot) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= form_.PresetList.size()) return {};
  return ThumbnailOf(form_.PresetList[static_cast<std::size_t>(slot)], form_.DataFolder);
}

}  // namespace roarmark
