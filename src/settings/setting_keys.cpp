// One table from INI key to field, for looking at settings by key.
#include "settings/setting_keys.h"

#include <functional>
#include <vector>

namespace roarmark {
namespace {

using Getter = std::function<std::string(const TMeterSettings&)>;

std::string B(bool v) {
  return v ? "1" : "0";
}
std::string I(int v) {
  return std::to_string(v);
}
std::string C(TColor v) {
  return std::to_string(static_cast<std::int32_t>(v));
}

struct TKey {
  const char* Name;
  Getter Get;
};

const std::vector<TKey>& Keys() {
  static const std::vector<TKey> keys = {
      {"Device Name", [](const TMeterSettings& s) { return s.DeviceName; }},
      {"Short Name", [](const TMeterSettings& s) { return s.ShortName; }},
      {"cal", [](const TMeterSettings& s) { return s.Calibration; }},
      {"decay", [](const TMeterSettings& s) { return s.Decay; }},
      {"amber", [](const TMeterSettings& s) { return B(s.Amber); }},
      {"password", [](const TMeterSettings& s) { return s.Password; }},
      {"Language", [](const TMeterSettings& s) { return I(s.Language); }},
      {"OnTop", [](const TMeterSettings& s) { return B(s.OnTop); }},
      {"FitScreen", [](const TMeterSettings& s) { return B(s.FitScreen); }},
      {"Locked", [](const TMeterSettings& s) { return B(s.Locked); }},
      {"TopColor", [](const TMeterSettings& s) { return C(s.TopColor); }},
      {"BaseColor", [](const TMeterSettings& s) { return C(s.BaseColor); }},
      {"PeakColor", [](const TMeterSettings& s) { return C(s.PeakColor); }},
      {"BarBgndColor", [](const TMeterSettings& s) { return C(s.BarBgndColor); }},
      {"ReadoutColor", [](const TMeterSettings& s) { return C(s.ReadoutColor); }},
      {"Blend", [](const TMeterSettings& s) { return B(s.Blend); }},
      {"Blend offset", [](const TMeterSettings& s) { return I(s.BlendOffset); }},
      {"Midtone", [](const TMeterSettings& s) { return I(s.Midtone); }},
      {"Blocks", [](const TMeterSettings& s) { return B(s.Blocks); }},
      {"left", [](const TMeterSettings& s) { return I(s.WindowLeft); }},
      {"top", [](const TMeterSettings& s) { return I(s.WindowTop); }},
      {"FullScreen", [](const TMeterSettings& s) { return B(s.FullScreen); }},
      {"Monitor", [](const TMeterSettings& s) { return I(s.Monitor); }},
      {"Peak Hold", [](const TMeterSettings& s) { return B(s.PeakHold); }},
      {"Auto Reset", [](const TMeterSettings& s) { return B(s.AutoReset); }},
      {"ColorPeak", [](const TMeterSettings& s) { return B(s.ColorPeak); }},
      {"Reset Time", [](const TMeterSettings& s) { return I(s.ResetTime); }},
      {"Allow Drag", [](const TMeterSettings& s) { return B(s.AllowDrag); }},
      {"Meter Position X", [](const TMeterSettings& s) { return I(s.MeterX); }},
      {"Meter Position Y", [](const TMeterSettings& s) { return I(s.MeterY); }},
      {"Meter Width", [](const TMeterSettings& s) { return I(s.MeterWidth); }},
      {"Meter Height", [](const TMeterSettings& s) { return I(s.MeterHeight); }},
      {"Pivot Offset", [](const TMeterSettings& s) { return I(s.PivotOffset); }},
      {"Readout Position X", [](const TMeterSettings& s) { return I(s.ReadoutX); }},
      {"Readout Position Y", [](const TMeterSettings& s) { return I(s.ReadoutY); }},
      {"FontName", [](const TMeterSettings& s) { return s.FontName; }},
      {"FontSize", [](const TMeterSettings& s) { return I(s.FontSize); }},
      {"FontColor", [](const TMeterSettings& s) { return C(s.FontColor); }},
      {"FontStyle", [](const TMeterSettings& s) { return I(s.FontStyle); }},
      {"Average Number", [](const TMeterSettings& s) { return I(s.AverageNumber); }},
      {"Show Average", [](const TMeterSettings& s) { return B(s.ShowAverage); }},
      {"Show Decimal", [](const TMeterSettings& s) { return B(s.ShowDecimal); }},
      {"Show Readout", [](const TMeterSettings& s) { return B(s.ShowReadout); }},
      {"Transparent", [](const TMeterSettings& s) { return B(s.Transparent); }},
      {"Vertical", [](const TMeterSettings& s) { return B(s.Vertical); }},
      {"Style", [](const TMeterSettings& s) { return I(s.Style); }},
      {"Graphic Filename", [](const TMeterSettings& s) { return s.GraphicFilename; }},
  };
  return keys;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> SettingText(const TMeterSettings& settings, std::string_view key) {
  for (const TKey& k : Keys()) {
    if (SameText(k.Name, key)) return k.Get(settings);
  }
  return SoundSettingText(settings.Sound, key);
}

}  // namespace roarmark
