// The calibrated sound level's settings: section "[Sound]" of "Roarmark.ini".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace roarmark {

class TIniFile;

inline constexpr const char* kSectionSound = "Sound";

// Settings colours are 0x00BBGGRR.
struct TSoundSettings {
  double CalibrationOffset = 120.0;  // dB that a full-scale sine reads, Z-weighted
  char Weighting = 'A';              // 'A', 'C' or 'Z'
  char TimeWeighting = 'F';          // 'F' (125 ms) or 'S' (1 s)
  int ReadoutUnit = 0;               // 0: the 0..100 level, 1: the sound level in dB
  double Limit = 0;                  // dB, LAeq over LimitMinutes; 0 or less: no limit
  int LimitMinutes = 15;
  bool Log = false;                       // a show log per run
  std::uint32_t WarningColor = 0x0080FF;  // orange: within 3 dB of the limit
  std::uint32_t AlarmColor = 0x0000FF;    // red: above the limit
};

inline constexpr int kMinLimitMinutes = 1;
inline constexpr int kMaxLimitMinutes = 1440;

// Reads the section with the defaults above for missing keys and values out of range.
TSoundSettings ReadSoundSettings(const TIniFile& ini);
void WriteSoundSettings(TIniFile& ini, const TSoundSettings& settings);

// A number of dB with one decimal and '.', as the file stores it ("94.0").
std::string DbText(double db);
// A number as a person or a file writes it: blanks around it allowed, '.' or the given
// separator; nothing for anything else.
std::optional<double> ParseDb(std::string_view text, char decimal_separator = '.');

// The value of a "[Sound]" key as the INI file holds it, or nothing for another key.
std::optional<std::string> SoundSettingText(const TSoundSettings& settings, std::string_view key);

}  // namespace roarmark
