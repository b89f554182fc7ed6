// The main window's settings files: applying a layout file to the record and the display,
// saving the layout, "Current.dat", and the preset list window.
#include "settings/settings_file.h"
#include "core/main_window.h"
#include "display/colour_ramp.h"
#include "display/readout.h"
#include "settings/file_read.h"
#include "settings/paths.h"
#include "settings/preset_list_window.h"

namespace roarmark {

void TForm1::LoadSettingsFile(const std::string& given_path) {
  const std::string path = PortablePath(given_path, DataFolder);
  // Recorded even for a missing file: the next save proposes it.
  CurrentSettingsFile = path;
  // A file that is there but is no layout is refused as a whole: the layout on screen stays.
  const TFileRead read = ReadLimitedFile(path, kMaxSettingsFileBytes);
  if (read.Result == TFileRead::TResult::Missing) return;
  TIniFile ini;
  std::string refused = read.Reason;
  if (read.Result == TFileRead::TResult::Read) {
    ini = TIniFile::Parse(read.Bytes);
    if (!HoldsLayoutSettings(ini)) refused = "It holds none of the layout settings.";
  }
  if (!refused.empty()) {
    ShowMessage(kCaptionRoarmarkError, SettingsFileRefusedText(path, refused));
    return;
  }
  TSettingsFileContext context;
  context.DataFolder = DataFolder;
  context.ImageWidth = Image1.Width();
  context.ImageHeight = Image1.Height();
  context.ReadoutControlWidth = Readout.Width();
  ReadSettingsFile(ini, Settings, context);
  ApplyReadoutFont(Display, Settings);
  platform::ui::TFont font = Readout.Font();
  font.Name = Settings.FontName;
  font.Size = Settings.FontSize;
  font.Style = Settings.FontStyle;
  font.Colour = Settings.FontColor;
  Readout.SetFont(font);

  Readout.SetColour(Settings.ReadoutColor);
  Readout.SetWidth(ReadoutWidth(Display, Settings));
  Readout.SetVisible(Settings.ShowReadout && !Settings.Transparent);
  if (Setup) Setup->ShowLayoutSettings();

  LoadBackground(Settings.GraphicFilename);
  Readout.SetBounds(Settings.ReadoutX, Settings.ReadoutY, Readout.Width(), Readout.Height());
  BuildColourRamp(Display, Settings);
  SaveBackings(Display, Settings);
}

void TForm1::SaveSettingsFile(const std::string& path) {
  SaveSettingsFileAt(path, Settings);
}

std::string TForm1::CurrentDatPath() const {
  return DataFolder + kCurrentSettingsFileName;
}

void TForm1::ShowPresetList() {
  if (PresetWindow == nullptr) return;
  TPresetListHost host;
  host.PresetList = &PresetList;
  host.DataFolder = DataFolder;
  host.Language = Settings.Language;
  host.Dialogs = platform_.Dialogs;
  host.LoadSettingsFile = [this](const std::string& path) { LoadSettingsFile(path); };
  PresetWindow->ShowPresetList(host);
}

}  // namespace roarmark
