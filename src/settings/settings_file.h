// Settings files: one display layout as the 26 keys of section "Form", read and written from
// the settings record. "Current.dat" and the operator's ".cfg" files use this.
#pragma once

#include <string>

#include "settings/ini_file.h"
#include "settings/meter_settings.h"

namespace roarmark {

inline constexpr const char* kCurrentSettingsFileName = "Current.dat";
inline constexpr int kSettingsFileKeyCount = 26;

// The key names in their writing order.
extern const char* const kSettingsFileKeys[kSettingsFileKeyCount];

// What the readout position's defaults are computed from at the moment of the load.
struct TSettingsFileContext {
  std::string DataFolder;  // ends with the separator
  int ImageWidth = 500;
  int ImageHeight = 400;
  int ReadoutControlWidth = 301;
};

// Reads the layout keys with their load defaults: the style is derived from "Vertical" when
// unset, "Meter Height" is taken as written, a missing "Graphic Filename" names the data
// folder's "default.bmp". Every other field of the record is left alone.
void ReadSettingsFile(const TIniFile& ini, TMeterSettings& settings,
                      const TSettingsFileContext& context);

// True when section "Form" holds at least one of the 26 keys: anything else (a picture chosen
// by mistake, another program's file) is no layout.
bool HoldsLayoutSettings(const TIniFile& ini);

// The message for a settings file that is there but is not loaded, naming it and the reason.
std::string SettingsFileRefusedText(const std::string& path, const std::string& reason);

// Writes the 26 keys in their order; other keys and sections of `ini` stay.
void WriteSettingsFile(TIniFile& ini, const TMeterSettings& settings);

// Writes the layout into the file at `path`, keeping whatever else it holds. A file that is
// not INI text (a picture chosen by mistake) is refused and left as it was. Throws
// TFileWriteError.
void SaveSettingsFileAt(const std::string& path, const TMeterSettings& settings);

}  // namespace roarmark
