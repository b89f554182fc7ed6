// Choosing the wave-input device by its configured name.
#pragma once

#include <functional>
#include <string>

#include "platform/wave_input.h"

namespace roarmark {

// The device list's name with leading blanks removed.
std::string DeviceListName(platform::IWaveInput& wave, int id);

// The number of the device named `configured` (the highest when several carry the name), 0 for
// an empty name, -1 when no present device has it. `no_device` runs, and must not return, when
// there is no device at all.
int FindInputDevice(platform::IWaveInput& wave, const std::string& configured,
                    const std::function<void()>& no_device);

// Texts of the device boxes.
std::string NoDeviceText();
std::string DeviceNotFoundText(const std::string& configured);
inline constexpr const char* kDeviceResetText =
    "The configured Input Device is not available and will be reset to the default.";

}  // namespace roarmark
