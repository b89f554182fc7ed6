// A first start on a fresh machine: the data folder is laid out with the default pictures and
// the starter set, so the meter, the readout and five preset layouts work at once. A data
// folder that exists is never touched. The set is made in a folder beside the data folder and
// renamed into place whole, so a start cut short (disk full, the program killed) leaves no
// half-made data folder behind, and the next start simply makes it again.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
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
#include "display/pictures/layout_picture.h"
#include "display/readout.h"
#include "platform/file_path.h"
#include "platform/path_separator.h"
#include "settings/file_save.h"
#include "settings/paths.h"
#include "settings/preset_list.h"
#include "settings/settings_file.h"
#include "setup/help_documents.h"

namespace roarmark {

namespace fs = std::filesystem;

namespace {

// Names the folder a first start makes its starter set in: "." + data folder name + this + a
// random suffix, beside the data folder.
constexpr const char* kStageInfix = ".new-";

// The start of a stage folder's name beside `target`.
std::string StagePrefix(const fs::path& target) {
  std::string prefix = ".";  // built by appending: GCC 12 misreads "." + string as overlapping
  prefix += platform::PathText(target.filename());
  prefix += kStageInfix;
  return prefix;
}

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

// A write of the starter set that failed, with the system's reason.
[[noreturn]] void Failed(const std::string& path) {
  const int error = errno;
  throw TFileWriteError("Cannot create file \"" + path + "\". " +
                        (error != 0 ? std::strerror(error) : "Input/output error"));
}

void WriteFile(const std::string& path, const std::string& text) {
  errno = 0;
  std::ofstream out(platform::FilePath(path), std::ios::binary);
  out << text;
  out.close();
  if (!out) Failed(path);
}

void WritePicture(const std::string& path, const platform::TPixels& picture) {
  errno = 0;
  if (!WriteBmp24(path, picture)) Failed(path);
}

void MakeFolder(const fs::path& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  if (ec)
    throw TFileWriteError("Cannot create folder \"" + platform::PathText(path) + "\". " +
                          ec.message());
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

// What a starter layout's own picture carries where its meter stands.
TLayoutLook LayoutLook(const TMeterSettings& s) {
  const TDialBox box{s.MeterX, s.MeterY, s.MeterWidth, s.MeterHeight, s.PivotOffset};
  if (s.Style == kStyleAnalogue) return {TLayoutMeter::Needle, box};
  const bool bars = s.Style == kStyleVerticalBars || s.Style == kStyleHorizontalBars;
  return {bars && s.MeterWidth > 0 && s.MeterHeight > 0 ? TLayoutMeter::Bars : TLayoutMeter::None,
          box};
}

// Writes the whole starter set into `folder` (ends with the separator). Throws
// TFileWriteError at the first write that fails.
void WriteStarterSet(const std::string& folder, platform::IFonts* fonts,
                     const platform::ISystemColours* system_colours) {
  MakeFolder(platform::FilePath(folder) / "Files");
  MakeFolder(platform::FilePath(folder) / "Help");
  const std::string help = folder + "Help" + platform::kPathSeparator;
  if (!CopyHelpDocuments(help)) Failed(help);

  // The default picture and each starter layout's own picture, fitted to its meter.
  std::error_code ec;
  std::vector<std::string> paths = {FilesFolder(folder) + "Graphic.bmp"};
  std::vector<TLayoutLook> looks = {
      {TLayoutMeter::Bars,
       {kDefaultMeter.X, kDefaultMeter.Bottom, kDefaultMeter.Width, kDefaultMeter.Height, 0}}};
  for (const TStarterFile& file : StarterFiles()) {
    if (!IsSettingsFile(file.Path)) continue;
    const TMeterSettings s = StarterSettings(file, folder);
    const std::string path = PortablePath(s.GraphicFilename, folder);
    if (std::find(paths.begin(), paths.end(), path) != paths.end() ||
        fs::exists(platform::FilePath(path), ec))
      continue;
    paths.push_back(path);
    looks.push_back(LayoutLook(s));
  }
  const std::vector<platform::TPixels> made = MakeLayoutPictures(
      looks,
      [fonts](const std::string& text, int pixel_em) { return DialLabel(fonts, text, pixel_em); });
  const platform::TPixels& picture = made.front();
  WritePicture(folder + "default.bmp", picture);
  for (std::size_t i = 0; i < made.size(); ++i)
    WritePicture(paths[i], made[i]);

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
      WriteFile(folder + native, file.Text);
    }
  }
  if (!presets.empty()) SavePresetList(folder, presets);

  // Thumbnails for the starter layouts, drawn rather than grabbed from a screen.
  std::map<std::string, TBitmap32> pictures;
  for (const TStarterFile& file : StarterFiles()) {
    if (!IsSettingsFile(file.Path)) continue;
    const TMeterSettings s = StarterSettings(file, folder);
    const std::string picture_path = PortablePath(s.GraphicFilename, folder);
    TBitmap32& bg = pictures[picture_path];
    if (bg.Empty()) {
      platform::TPixels pixels;
      if (!DecodeBmpFile(picture_path, pixels)) pixels = picture;
      bg.SetSize(pixels.Width, pixels.Height);
      std::copy(pixels.Pixels.begin(), pixels.Pixels.end(), bg.Bits());
    }
    WriteThumbnail(folder + file.Path, MakeThumbnail(RenderLayout(s, bg, fonts, system_colours)));
  }
}

// A new, empty folder beside `target`, named after it; the caller removes it.
fs::path MakeStageFolder(const fs::path& target) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::error_code ec;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix(8, 'a');
    for (char& c : suffix)
      c = kLetters[random() % (sizeof kLetters - 1)];
    const fs::path stage = target.parent_path() / (StagePrefix(target) + suffix);
    if (fs::create_directory(stage, ec)) return stage;
    if (ec) break;
  }
  throw TFileWriteError("Cannot create folder \"" + platform::PathText(target) + "\". " +
                        (ec ? ec.message() : std::string("No name is free beside it")));
}

// Stage folders of earlier first starts that were cut short; a recent one may belong to a start
// running at this moment and is left to it.
void RemoveLeftoverStages(const fs::path& target) {
  const std::string prefix = StagePrefix(target);
  const auto settled = fs::file_time_type::clock::now() - std::chrono::minutes(10);
  std::error_code ec;
  std::vector<fs::path> leftovers;
  for (const auto& entry : fs::directory_iterator(target.parent_path(), ec)) {
    if (platform::PathText(entry.path().filename()).starts_with(prefix) && entry.is_directory(ec) &&
        entry.last_write_time(ec) < settled && !ec)
      leftovers.push_back(entry.path());
  }
  for (const fs::path& leftover : leftovers)
    fs::remove_all(leftover, ec);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace

void EnsureDataFolder(TForm1& form) {
  const std::string& DataFolder = form.DataFolder;
  std::error_code ec;
  if (fs::exists(platform::FilePath(DataFolder), ec)) return;
  const fs::path target = platform::FilePath(DataFolder).parent_path();  // without the separator
  std::string stage_folder;
  try {
    MakeFolder(target.parent_path());
    RemoveLeftoverStages(target);
    const fs::path stage = MakeStageFolder(target);
    stage_folder = platform::PathText(stage) + platform::kPathSeparator;
    WriteStarterSet(stage_folder, form.Display.Fonts, form.Display.SystemColours);
    fs::rename(stage, target, ec);
    if (ec)
      throw TFileWriteError("Cannot create folder \"" + platform::PathText(target) + "\". " +
                            ec.message());
  } catch (const TFileWriteError& error) {
    if (!stage_folder.empty()) fs::remove_all(platform::FilePath(stage_folder), ec);
    // Another start of the program may have put the folder in place meanwhile.
    if (fs::exists(platform::FilePath(DataFolder), ec)) return;
    // The files are named as they would have stood in the data folder.
    const std::string reason = Replaced(error.what(), stage_folder, DataFolder);
    form.FatalEnd(kCaptionRoarmarkErrorNoBlank, "Cannot create the data folder -  \n\r" +
                                                    DataFolder + "\n\r" + reason +
                                                    "\n\rThe program will close.");
  }
}

}  // namespace roarmark
