// "[Sound]" in "Roarmark.ini": the calibration, the weightings, the readout's unit, the noise
// limit and the show log.
#include "settings/sound_settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "settings/ini_file.h"

namespace roarmark {
namespace {

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// One letter out of `allowed`, letter case ignored; anything else gives the default.
char ReadLetter(const TIniFile& ini, const char* key, const char* allowed, char fallback) {
  std::string text = ini.ReadString(kSectionSound, key, "");
  const std::size_t first = text.find_first_not_of(' ');
  const std::size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos || first != last) return fallback;
  const char c = Upper(text[first]);
  return std::string_view(allowed).find(c) == std::string_view::npos ? fallback : c;
}

double ReadDb(const TIniFile& ini, const char* key, double fallback) {
  const auto value = ParseDb(ini.ReadString(kSectionSound, key, ""));
  return value ? *value : fallback;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Upper(x) == Upper(y); });
}

}  // namespace

std::string DbText(double db) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, db, std::chars_format::fixed, 1);
  std::string text(buf, r.ptr);
  if (text == "-0.0") text = "0.0";
  return text;
}

std::optional<double> ParseDb(std::string_view text, char decimal_separator) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  std::string s(text);
  std::replace(s.begin(), s.end(), decimal_separator, '.');
  if (s.front() == '+') s.erase(0, 1);
  double value = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  // Sound levels live well inside this; anything beyond is a typing slip.
  if (value < -1000 || value > 1000) return std::nullopt;
  return value;
}

TSoundSettings ReadSoundSettings(const TIniFile& ini) {
  const TSoundSettings d;
  const char* s = kSectionSound;
  TSoundSettings r;
  r.CalibrationOffset = ReadDb(ini, "Calibration Offset", d.CalibrationOffset);
  r.Weighting = ReadLetter(ini, "Weighting", "ACZ", d.Weighting);
  r.TimeWeighting = ReadLetter(ini, "Time Weighting", "FS", d.TimeWeighting);
  r.ReadoutUnit = ini.ReadInteger(s, "Readout Unit", d.ReadoutUnit) == 1 ? 1 : 0;
  r.Limit = ReadDb(ini, "Limit", d.Limit);
  r.LimitMinutes = std::clamp(ini.ReadInteger(s, "Limit Minutes", d.LimitMinutes), kMinLimitMinutes,
                              kMaxLimitMinutes);
  r.Log = ini.ReadBool(s, "Log", d.Log);
  r.WarningColor = ini.ReadColour(s, "Warning Color", d.WarningColor);
  r.AlarmColor = ini.ReadColour(s, "Alarm Color", d.AlarmColor);
  return r;
}

void WriteSoundSettings(TIniFile& ini, const TSoundSettings& v) {
  const char* s = kSectionSound;
  for (const char* key : {"Calibration Offset", "Weighting", "Time Weighting", "Readout Unit",
                          "Limit", "Limit Minutes", "Log", "Warning Color", "Alarm Color"}) {
    ini.WriteString(s, key, *SoundSettingText(v, key));
  }
}

std::optional<std::string> SoundSettingText(const TSoundSettings& v, std::string_view key) {
  auto colour = [](std::uint32_t c) { return std::to_string(static_cast<std::int32_t>(c)); };
  if (SameText(key, "Calibration Offset")) return DbText(v.CalibrationOffset);
  if (SameText(key, "Weighting")) return std::string(1, v.Weighting);
  if (SameText(key, "Time Weighting")) return std::string(1, v.TimeWeighting);
  if (SameText(key, "Readout Unit")) return std::to_string(v.ReadoutUnit);
  if (SameText(key, "Limit")) return DbText(v.Limit);
  if (SameText(key, "Limit Minutes")) return std::to_string(v.LimitMinutes);
  if (SameText(key, "Log")) return std::string(v.Log ? "1" : "0");
  if (SameText(key, "Warning Color")) return colour(v.WarningColor);
  if (SameText(key, "Alarm Color")) return colour(v.AlarmColor);
  return std::nullopt;
}

}  // namespace roarmark
