// The main window's settings files: applying a layout file to the record and the display,
// saving the layout, "Current.dat", and the preset list window.
#include "settings/settings_file.h"
#include "core/main_window.h"
#include "display/colour_ramp.h"
#include "display/readout.h"
#include "settings/paths.h"
#include "settings/preset_list_window.h"

namespace roarmark {

void TForm1::LoadSettingsFile(const std::string& given_path) {
  const std::string path = PortablePath(given_path, DataFolder);
  // Recorded even for a missing file: the next save proposes it.
  CurrentSettingsFile = path;
  if (!FileExists(path)) return;
  const TIniFile ini = TIniFile::Load(path);
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
