// "Roarmark.ini": keys in the load order and the save order of the settings record.
#include "settings/ini_store.h"

#include "settings/file_read.h"
#include "settings/paths.h"

namespace roarmark {
namespace {

std::string TrimLeft(const std::string& s) {
  std::size_t i = s.find_first_not_of(' ');
  return i == std::string::npos ? std::string() : s.substr(i);
}

std::string IniPath(const std::string& data_folder) {
  return data_folder + kIniFileName;
}

}  // namespace

void ReadMeterAndReadoutPlacement(const TIniFile& ini, TMeterSettings& s, int image_width,
                                  int image_height, int readout_control_width) {
  const TMeterSettings d;  // load defaults
  const char* f = kSectionForm;
  s.MeterX = ini.ReadInteger(f, "Meter Position X", d.MeterX);
  s.MeterY = ini.ReadInteger(f, "Meter Position Y", d.MeterY);
  s.MeterWidth = ini.ReadInteger(f, "Meter Width", d.MeterWidth);
  s.MeterHeight = ini.ReadInteger(f, "Meter Height", d.MeterHeight);
  s.PivotOffset = ini.ReadInteger(f, "Pivot Offset", d.PivotOffset);
  s.ReadoutX =
      ini.ReadInteger(f, "Readout Position X", DefaultReadoutX(image_width, readout_control_width));
  s.ReadoutY = ini.ReadInteger(f, "Readout Position Y", DefaultReadoutY(image_height));
  s.FontName = ini.ReadString(f, "FontName", d.FontName);
  s.FontSize = ini.ReadInteger(f, "FontSize", d.FontSize);
  s.FontColor = ini.ReadColour(f, "FontColor", d.FontColor);
  s.FontStyle = ini.ReadInteger(f, "FontStyle", d.FontStyle);
}

void LoadIniSettings(TMeterSettings& s, const TIniLoadContext& ctx, std::string* refused) {
  const std::string path = IniPath(ctx.DataFolder);
  // A file that cannot be read reads as empty; what is no regular file or too large is said.
  const TFileRead read = ReadLimitedFile(path, kMaxSettingsFileBytes);
  const TIniFile ini =
      read.Result == TFileRead::TResult::Read ? TIniFile::Parse(read.Bytes) : TIniFile();
  if (read.Result == TFileRead::TResult::Refused && refused != nullptr) {
    *refused = "Settings file not read -  \n\r" + path + "\n\r" + read.Reason +
               "\n\rThe default settings will be used.";
  }
  const TMeterSettings d;  // load defaults
  const char* f = kSectionForm;

  s.DeviceName = ini.ReadString(kSectionInput, "Device Name", "");
  s.ShortName = kProgramTitle;
  s.Calibration = ini.ReadString(f, "cal", d.Calibration);
  s.Amber = ini.ReadBool(f, "amber", d.Amber);
  s.Password = ini.ReadString(f, "password", d.Password);
  s.Decay = ini.ReadString(f, "decay", d.Decay);
  s.Language = ini.ReadInteger(f, "Language", d.Language);
  s.OnTop = ini.ReadBool(f, "OnTop", d.OnTop);
  s.FitScreen = ini.ReadBool(f, "FitScreen", d.FitScreen);
  s.Locked = ini.ReadBool(f, "Locked", d.Locked);
  s.TopColor = ini.ReadColour(f, "TopColor", d.TopColor);
  s.BaseColor = ini.ReadColour(f, "BaseColor", d.BaseColor);
  s.PeakColor = ini.ReadColour(f, "PeakColor", d.PeakColor);
  s.BarBgndColor = ini.ReadColour(f, "BarBgndColor", d.BarBgndColor);
  s.ReadoutColor = ini.ReadColour(f, "ReadoutColor", d.ReadoutColor);
  s.Blend = ini.ReadBool(f, "Blend", d.Blend);
  s.BlendOffset = ini.ReadInteger(f, "Blend offset", d.BlendOffset);
  s.Midtone = ini.ReadInteger(f, "Midtone", d.Midtone);
  s.Blocks = ini.ReadBool(f, "Blocks", d.Blocks);
  s.WindowLeft = ini.ReadInteger(f, "left", d.WindowLeft);
  s.WindowTop = ini.ReadInteger(f, "top", d.WindowTop);
  s.FullScreen = ini.ReadBool(f, "FullScreen", d.FullScreen);
  s.Monitor = ClampMonitor(ini.ReadInteger(f, "Monitor", d.Monitor), ctx.MonitorCount);
  s.PeakHold = ini.ReadBool(f, "Peak Hold", d.PeakHold);
  s.AutoReset = ini.ReadBool(f, "Auto Reset", d.AutoReset);
  s.ColorPeak = ini.ReadBool(f, "ColorPeak", d.ColorPeak);
  s.ResetTime = ini.ReadInteger(f, "Reset Time", d.ResetTime);
  ReadMeterAndReadoutPlacement(ini, s, ctx.ImageWidth, ctx.ImageHeight, ctx.ReadoutControlWidth);
  s.AverageNumber = ini.ReadInteger(f, "Average Number", d.AverageNumber);
  s.ShowAverage = ini.ReadBool(f, "Show Average", d.ShowAverage);
  s.ShowDecimal = ini.ReadBool(f, "Show Decimal", d.ShowDecimal);
  s.ShowReadout = ini.ReadBool(f, "Show Readout", d.ShowReadout);
  s.Transparent = ini.ReadBool(f, "Transparent", d.Transparent);
  s.Vertical = ini.ReadBool(f, "Vertical", d.Vertical);
  s.Style = DeriveStyle(ini.ReadInteger(f, "Style", kStyleUnset), s.Vertical);
  s.MeterHeight = RoundMeterHeight(s.MeterHeight, s.Style);
  const std::string default_picture = DefaultGraphicFilename(ctx.DataFolder);
  s.GraphicFilename =
      BackgroundDefault(ini.ReadString(f, "Graphic Filename", default_picture), ctx.DataFolder);
  s.AllowDrag = false;  // design mode always starts off, whatever the file says
  s.Sound = ReadSoundSettings(ini);
}

void SaveIniSettings(TMeterSettings& s, const std::string& data_folder, int window_left,
                     int window_top) {
  const std::string path = IniPath(data_folder);
  TIniFile ini = TIniFile::LoadForSave(path);
  const char* f = kSectionForm;
  ini.WriteString(kSectionInput, "Device Name", TrimLeft(s.DeviceName));
  ini.WriteString(kSectionInput, "Short Name", s.ShortName);
  ini.WriteString(f, "cal", s.Calibration);
  ini.WriteString(f, "decay", s.Decay);
  ini.WriteBool(f, "amber", s.Amber);
  ini.WriteInteger(f, "Language", s.Language);
  ini.WriteBool(f, "ontop", s.OnTop);
  ini.WriteBool(f, "Fitscreen", s.FitScreen);
  ini.WriteBool(f, "Peak Hold", s.PeakHold);
  ini.WriteBool(f, "Auto Reset", s.AutoReset);
  ini.WriteBool(f, "ColorPeak", s.ColorPeak);
  ini.WriteInteger(f, "Reset Time", s.ResetTime);
  ini.WriteInteger(f, "Monitor", s.Monitor);
  ini.WriteBool(f, "FullScreen", s.FullScreen);
  ini.WriteBool(f, "Allow Drag", s.AllowDrag);
  ini.WriteColour(f, "TopColor", s.TopColor);
  ini.WriteColour(f, "BaseColor", s.BaseColor);
  ini.WriteColour(f, "BarBgndColor", s.BarBgndColor);
  ini.WriteColour(f, "ReadoutColor", s.ReadoutColor);
  ini.WriteColour(f, "PeakColor", s.PeakColor);
  ini.WriteBool(f, "Blend", s.Blend);
  ini.WriteInteger(f, "Blend offset", s.BlendOffset);
  ini.WriteInteger(f, "Midtone", s.Midtone);
  ini.WriteBool(f, "Blocks", s.Blocks);
  if (!s.Locked) s.Password.clear();  // no password is kept for unlocked settings
  ini.WriteString(f, "password", s.Password);
  ini.WriteBool(f, "Locked", s.Locked);
  ini.WriteInteger(f, "left", window_left);
  ini.WriteInteger(f, "top", window_top);
  ini.WriteInteger(f, "Meter Position X", s.MeterX);
  ini.WriteInteger(f, "Meter Position Y", s.MeterY);
  ini.WriteInteger(f, "Meter Width", s.MeterWidth);
  ini.WriteInteger(f, "Meter Height", s.MeterHeight);
  ini.WriteInteger(f, "Pivot Offset", s.PivotOffset);
  ini.WriteInteger(f, "Readout Position X", s.ReadoutX);
  ini.WriteInteger(f, "Readout Position Y", s.ReadoutY);
  ini.WriteString(f, "FontName", s.FontName);
  ini.WriteInteger(f, "FontSize", s.FontSize);
  ini.WriteColour(f, "FontColor", s.FontColor);
  ini.WriteInteger(f, "FontStyle", s.FontStyle);
  ini.WriteBool(f, "Show Average", s.ShowAverage);
  ini.WriteInteger(f, "Average Number", s.AverageNumber);
  ini.WriteBool(f, "Show Decimal", s.ShowDecimal);
  ini.WriteBool(f, "Transparent", s.Transparent);
  ini.WriteBool(f, "Show Readout", s.ShowReadout);
  ini.WriteBool(f, "Vertical", s.Vertical);
  ini.WriteInteger(f, "Style", s.Style);
  ini.WriteString(f, "Graphic Filename", s.GraphicFilename);
  WriteSoundSettings(ini, s.Sound);
  ini.Save(path);
}

void SaveWindowPosition(const std::string& data_folder, int window_left, int window_top) {
  const std::string path = IniPath(data_folder);
  TIniFile ini = TIniFile::LoadForSave(path);
  ini.WriteInteger(kSectionForm, "left", window_left);
  ini.WriteInteger(kSectionForm, "top", window_top);
  ini.Save(path);
}

void SaveEmptyDeviceName(const std::string& data_folder) {
  const std::string path = IniPath(data_folder);
  TIniFile ini = TIniFile::LoadForSave(path);
  ini.WriteString(kSectionInput, "Device Name", "");
  ini.Save(path);
}

}  // namespace roarmark
