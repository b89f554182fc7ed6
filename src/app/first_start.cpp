// A first start on a fresh machine: the data folder is laid out with the default pictures and
// the starter set, so the meter, the readout and five preset layouts work at once. A data
// folder that exists is never touched.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/first_start.h"
#include "app/starter_set.h"
#include "core/main_window.h"
#include "display/analogue_meter.h"
#include "display/bar_meter.h"
#include "display/colour_ramp.h"
#include "display/font_engine.h"
#include "display/pictures/bmp_reader.h"
#include "display/pictures/bmp_writer.h"
#include "display/pictures/default_picture.h"
#include "display/pictures/dial_picture.h"
#include "display/readout.h"
#include "platform/path_separator.h"
#include "settings/paths.h"
#include "settings/preset_list.h"
#include "settings/settings_file.h"
#include "setup/help_documents.h"

namespace roarmark {

namespace fs = std::filesystem;

namespace {

bool IsSettingsFile(const std::string& rel) {
  return rel.size() > 4 && rel.compare(rel.size() - 4, 4, ".cfg") == 0;
}

// A starter layout's settings, read as the program reads its settings files.
TMeterSettings StarterSettings(const TStarterFile& file, const std::string& data_folder) {
  TMeterSettings s;
  TSettingsFileContext context;
  context.DataFolder = data_folder;
  ReadSettingsFile(TIniFile::Parse(file.Text), s, context);
  return s;
}

// Creates `path` only when nothing is there yet.
void WriteNewFile(const std::string& path, const std::string& text) {
  std::error_code ec;
  if (fs::exists(path, ec)) return;
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// The layout drawn by the display's own renderers over its picture, at a lively level with
// the peak a little higher, as the preset list's thumbnail.
platform::TPixels RenderLayout(const TMeterSettings& s, const TBitmap32& picture,
                               platform::IFonts* fonts,
                               const platform::ISystemColours* system_colours) {
  TDisplayState d;
  d.Fonts = fonts;
  d.SystemColours = system_colours;
  d.BackgroundBitmap.SetSize(picture.Width(), picture.Height());
  d.BackgroundBitmap.Draw(0, 0, picture);
  d.DisplayBitmap.SetSize(picture.Width(), picture.Height());
  d.DisplayBitmap.Draw(0, 0, picture);
  ApplyReadoutFont(d, s);
  SaveBackings(d, s);
  BuildColourRamp(d, s);
  TMeterState state;
  state.Position = 780;
  state.PeakMarker = 860;
  if (s.Style == kStyleVerticalBars) DrawVerticalBars(d, s, state, state.Position);
  if (s.Style == kStyleHorizontalBars) DrawHorizontalBars(d, s, state, state.Position);
  if (s.Style == kStyleAnalogue) DrawAnalogueMeter(d, s, state, state.Position);
  if (s.ShowReadout) DrawReadout(d, s, state, 867.0);
  platform::TPixels shot;
  shot.Width = d.DisplayBitmap.Width();
  shot.Height = d.DisplayBitmap.Height();
  const TColor32* bits = d.DisplayBitmap.Bits();
  shot.Pixels.assign(bits, bits + static_cast<std::size_t>(shot.Width) * shot.Height);
  return shot;
}

// The dial's labels in the readout's usual face, bold; empty when no font file loads.
TDialLabel DialLabel(platform::IFonts* fonts, const std::string& text, int pixel_em) {
  TDialLabel label;
  if (fonts == nullptr) return label;
  const auto face =
      TFontFace::Get(fonts->FindFontFile("Arial", true, false), pixel_em, true, false);
  if (!face) return label;
  TCoverageMap map;
  face->TextCoverage(text, false, false, map);
  label.Width = map.Width;
  label.Height = map.Height;
  label.Values = std::move(map.Values);
  return label;
}

}  // namespace

void EnsureDataFolder(TForm1& form) {
  const std::string& DataFolder = form.DataFolder;
  TDisplayState& Display = form.Display;
  std::error_code ec;
  if (fs::exists(DataFolder, ec)) return;
  if (!fs::create_directories(fs::path(DataFolder) / "Files", ec)) return;
  fs::create_directories(fs::path(DataFolder) / "Help", ec);
  CopyHelpDocuments(DataFolder + "Help" + platform::kPathSeparator);

  const platform::TPixels picture = MakeDefaultPicture();
  WriteBmp24(FilesFolder(DataFolder) + "Graphic.bmp", picture);
  WriteBmp24(DataFolder + "default.bmp", picture);

  // An analogue layout's own picture is its dial, drawn for that layout's needle.
  for (const TStarterFile& file : StarterFiles()) {
    if (!IsSettingsFile(file.Path)) continue;
    const TMeterSettings s = StarterSettings(file, DataFolder);
    const std::string path = PortablePath(s.GraphicFilename, DataFolder);
    if (s.Style != kStyleAnalogue || fs::exists(path, ec)) continue;
    const TDialBox box{s.MeterX, s.MeterY, s.MeterWidth, s.MeterHeight, s.PivotOffset};
    platform::IFonts* fonts = Display.Fonts;
    WriteBmp24(path, MakeDialPicture(picture, box, [fonts](const std::string& text, int pixel_em) {
                 return DialLabel(fonts, text, pixel_em);
               }));
  }

  std::vector<std::string> presets;
  for (const TStarterFile& file : StarterFiles()) {
    const std::string rel = file.Path;
    if (rel == std::string("Files/") + kPresetFileName) {
      std::istringstream lines(file.Text);
      std::string line;
      while (std::getline(lines, line))
        presets.push_back(line);
    } else {
      std::string native = rel;
      std::replace(native.begin(), native.end(), '/', platform::kPathSeparator);
      WriteNewFile(DataFolder + native, file.Text);
    }
  }
  if (!presets.empty()) {
    try {
      SavePresetList(DataFolder, presets);
    } catch (const std::exception&) {
      // A folder that takes no files gives ten empty slots, as without a list.
    }
  }

  // Thumbnails for the starter layouts, drawn rather than grabbed from a screen.
  std::map<std::string, TBitmap32> pictures;
  for (const TStarterFile& file : StarterFiles()) {
    if (!IsSettingsFile(file.Path)) continue;
    const TMeterSettings s = StarterSettings(file, DataFolder);
    const std::string picture_path = PortablePath(s.GraphicFilename, DataFolder);
    TBitmap32& bg = pictures[picture_path];
    if (bg.Empty()) {
      platform::TPixels pixels;
      if (!DecodeBmpFile(picture_path, pixels)) pixels = picture;
      bg.SetSize(pixels.Width, pixels.Height);
      std::copy(pixels.Pixels.begin(), pixels.Pixels.end(), bg.Bits());
    }
    try {
      WriteThumbnail(DataFolder + file.Path,
                     MakeThumbnail(RenderLayout(s, bg, Display.Fonts, Display.SystemColours)));
    } catch (const std::exception&) {
      // Without a thumbnail the preset list shows an empty picture area.
    }
  }
}

}  // namespace roarmark
