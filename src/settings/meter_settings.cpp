// Load derivations of the settings record.
#include "settings/meter_settings.h"

namespace roarmark {

int ClampMonitor(int monitor, int monitor_count) {
  return monitor_count < monitor ? 1 : monitor;
}

int DeriveStyle(int style, bool vertical) {
  if (style != kStyleUnset) return style;
  return vertical ? kStyleVerticalBars : kStyleHorizontalBars;
}

int RoundMeterHeight(int height, int style) {
  if (style == kStyleAnalogue) return height;
  return height / 50 * 50;  // C++ division truncates toward zero, as the rounding asks
}

int DefaultReadoutX(int image_width, int readout_control_width) {
  return image_width / 2 - readout_control_width;
}

int DefaultReadoutY(int image_height) {
  return image_height / 2;
}

std::string DefaultGraphicFilename(const std::string& data_folder) {
  return data_folder + "Files" + kPathSeparator + "Graphic.bmp";
}

std::string BackgroundDefault(const std::string& loaded, const std::string& data_folder) {
  return loaded.empty() ? DefaultGraphicFilename(data_folder) : loaded;
}

std::string SettingsFileGraphicDefault(const std::string& data_folder) {
  return data_folder + "default.bmp";
}

}  // namespace roarmark
