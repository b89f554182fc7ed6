// Device selection by name: exact, case-sensitive, last match wins.
#include "core/device_selection.h"

namespace roarmark {

std::string DeviceListName(platform::IWaveInput& wave, int id) {
  std::string name = wave.DeviceName(id);
  std::size_t first = name.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : name.substr(first);
}

int FindInputDevice(platform::IWaveInput& wave, const std::string& configured,
                    const std::function<void()>& no_device) {
  const int n = wave.DeviceCount();
  if (n <= 0) no_device();
  if (configured.empty()) return 0;
  int result = -1;
  for (int i = 0; i < n; ++i) {
    if (DeviceListName(wave, i) == configured) result = i;
  }
  return result;
}

std::string NoDeviceText() {
  return "No sound input device found.\n\r\n\rThe program will close.";
}

std::string DeviceNotFoundText(const std::string& configured) {
  return "Input device  \"" + configured + "\"  not found.\n\r\n\rThe default device will be used.";
}

}  // namespace roarmark
