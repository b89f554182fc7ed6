// OSC packets turned into remote commands, decoded by the build's OSC library (liblo on Linux,
// oscpack on Windows).
#pragma once

#include <cstddef>
#include <cstdint>

#include "remote/remote_command.h"

namespace roarmark {

// The largest OSC packet taken; commands are a few dozen bytes.
inline constexpr std::size_t kMaxOscBytes = 1024;

// A whole packet as it arrives over UDP: decoded by the OSC library, then checked by
// ParseOscCommand. Packets the library refuses, bundles and oversize packets give 400.
TParsedOsc ParseOscPacket(const std::uint8_t* data, std::size_t size);

}  // namespace roarmark
