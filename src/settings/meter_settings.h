// The one record of every user setting, its load defaults and the derivations applied on load.
#pragma once

#include <cstdint>
#include <string>

#include "settings/sound_settings.h"

namespace roarmark {

// Settings colours are 0x00BBGGRR; the top bit marks a platform system colour.
using TColor = std::uint32_t;

// Meter style codes, in the order of the setup dialog's style list.
enum TMeterStyle : int {
  kStyleUnset = -1,  // only ever seen in files
  kStyleBackgroundOnly = 0,
  kStyleVerticalBars = 1,
  kStyleHorizontalBars = 2,
  kStyleAnalogue = 3,
};

// Readout font style bits.
enum TFontStyleBits : int {
  kFontBold = 1,
  kFontItalic = 2,
  kFontUnderline = 4,
  kFontStrikeOut = 8,
};

inline constexpr const char* kProgramTitle = "Roarmark";

struct TMeterSettings {
  // Section "Input".
  std::string DeviceName;
  // Section "Form".
  std::string Calibration = "-6";
  std::string Decay = "2";
  bool Amber = false;
  std::string Password;
  int Language = 0;
  bool OnTop = false;
  bool FitScreen = true;
  bool Locked = false;
  TColor TopColor = 0x8000FF;
  TColor BaseColor = 0xFF0000;
  TColor PeakColor = 0xFFFFFF;
  TColor BarBgndColor = 0x262600;
  TColor ReadoutColor = 0xFFFFFF;
  bool Blend = true;
  int BlendOffset = 0;
  int Midtone = 50;
  bool Blocks = true;
  int WindowLeft = 200;
  int WindowTop = 200;
  bool FullScreen = false;
  int Monitor = 1;
  bool PeakHold = false;
  bool AutoReset = false;
  bool ColorPeak = false;
  int ResetTime = 5000;
  int MeterX = 188;
  int MeterY = 764;
  int MeterWidth = 128;
  int MeterHeight = 650;
  int PivotOffset = 0;
  int ReadoutX = 0;  // load default is computed from the controls
  int ReadoutY = 0;
  std::string FontName = "Arial";
  int FontSize = 48;
  TColor FontColor = 0;
  int FontStyle = 0;
  int AverageNumber = 20;
  bool ShowAverage = false;
  bool ShowDecimal = false;
  bool ShowReadout = true;
  bool Transparent = false;
  bool Vertical = true;
  int Style = kStyleUnset;
  std::string GraphicFilename;
  // Section "Sound".
  TSoundSettings Sound;

  // Never read from a file.
  std::string ShortName = kProgramTitle;
  bool AllowDrag = false;
};

// Load defaults that are not plain constants.
inline constexpr int kDefaultStyleInFile = kStyleUnset;

// --- Load derivations -------------------------------------------------------------------------

// INI load: a monitor number beyond the monitors present becomes 1; 0 or below is left alone.
int ClampMonitor(int monitor, int monitor_count);

// INI and settings-file load: -1 becomes 1 (vertical) or 2 (horizontal).
int DeriveStyle(int style, bool vertical);

// INI load: heights of bar styles are rounded toward zero to a multiple of 50.
int RoundMeterHeight(int height, int style);

// INI and settings-file load: readout position defaults from the current control sizes.
int DefaultReadoutX(int image_width, int readout_control_width);
int DefaultReadoutY(int image_height);

// INI load: the default picture path for an empty "Graphic Filename".
std::string DefaultGraphicFilename(const std::string& data_folder);
std::string BackgroundDefault(const std::string& loaded, const std::string& data_folder);

// Settings-file load: the default of "Graphic Filename" when the key is missing.
std::string SettingsFileGraphicDefault(const std::string& data_folder);

// Platform separator for paths the program builds.
inline constexpr char kPathSeparator = '/';

}  // namespace roarmark
