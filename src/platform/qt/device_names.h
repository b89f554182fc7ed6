// Device names as the device list shows them: at most 31 whole characters, up to the first NUL.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace roarmark::platform::qt {

// `description` cut to 31 characters (never inside a UTF-8 sequence), up to the first NUL, as
// UTF-8.
std::string ShortDeviceName(const QString& description);
// The same for a UTF-8 description; invalid bytes become U+FFFD.
std::string ShortDeviceName(std::string_view utf8_description);

}  // namespace roarmark::platform::qt
