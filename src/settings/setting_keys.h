// Settings addressed by their INI keys, with values encoded as the INI file holds them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/meter_settings.h"

namespace roarmark {

// The value of the field whose INI key is `key` (letter case ignored), or nothing for an
// unknown key. "left" and "top" answer the stored window position.
std::optional<std::string> SettingText(const TMeterSettings& settings, std::string_view key);

}  // namespace roarmark
