// OSC messages (decoded by liblo) turned into remote commands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include <lo/lo_types.h>

#include "remote/remote_command.h"

namespace roarmark {

// The largest OSC packet taken; commands are a few dozen bytes.
inline constexpr std::size_t kMaxOscBytes = 1024;

// One message as the OSC library's server hands it to a method.
TParsedOsc ParseOscMessage(std::string_view path, const char* types, lo_arg** argv, int argc);

// A whole packet as it arrives over UDP: decoded by the OSC library, then checked as above.
// Packets the library refuses, bundles and oversize packets give 400.
TParsedOsc ParseOscPacket(const std::uint8_t* data, std::size_t size);

}  // namespace roarmark
