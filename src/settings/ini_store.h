// "Roarmark.ini": the full load at start-up, the full save, and the window position on close.
#pragma once

#include <string>

#include "settings/ini_file.h"
#include "settings/meter_settings.h"

namespace roarmark {

inline constexpr const char* kIniFileName = "Roarmark.ini";
inline constexpr const char* kSectionInput = "Input";
inline constexpr const char* kSectionForm = "Form";

// What the load needs to know about the machine and the main window at that moment.
struct TIniLoadContext {
  std::string DataFolder;  // ends with the separator
  int MonitorCount = 1;
  int ImageWidth = 500;  // the display image control's current size
  int ImageHeight = 400;
  int ReadoutControlWidth = 301;
};

// The meter box, the readout position and the readout font as both the INI file and the
// settings files store them; a missing readout position is worked out from the image's size.
void ReadMeterAndReadoutPlacement(const TIniFile& ini, TMeterSettings& settings, int image_width,
                                  int image_height, int readout_control_width);

// Fills every field from the file (a missing file reads as empty) with the load defaults and
// derivations. Applying the font, sizing the readout control and the colour ramp are the
// caller's next steps. A file that is not a regular file or is over 16 MB reads as empty too,
// and `refused` gets the message that says so.
void LoadIniSettings(TMeterSettings& settings, const TIniLoadContext& context,
                     std::string* refused = nullptr);

// Writes the full table in its order. Empties the password first when not locked. Throws
// TFileWriteError; nothing is half-written since the file is replaced whole, and a file that
// cannot be read or written is left as it was.
void SaveIniSettings(TMeterSettings& settings, const std::string& data_folder, int window_left,
                     int window_top);

// Writes "left" and "top" only. Throws TFileWriteError.
void SaveWindowPosition(const std::string& data_folder, int window_left, int window_top);

// Writes an empty "Device Name". Throws TFileWriteError.
void SaveEmptyDeviceName(const std::string& data_folder);

}  // namespace roarmark
