// The remote server's settings: the "[Remote]" section of "Roarmark.ini" and the --remote option.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_file.h"

namespace roarmark {

inline constexpr const char* kSectionRemote = "Remote";
inline constexpr int kDefaultRemotePort = 8765;

struct TRemoteSettings {
  bool Enabled = false;
  std::string Address = "127.0.0.1";
  int Port = kDefaultRemotePort;
  std::string Pin;
  int OscPort = 0;        // 0: no OSC commands
  std::string OscTarget;  // HOST:PORT for the level feed, or empty
};

// An address and port to listen on or send to.
struct TEndpoint {
  std::string Address;
  int Port = 0;
};

// The section as written; values that do not parse keep their defaults.
TRemoteSettings ReadRemoteSettings(const TIniFile& ini);

// "[ADDRESS:]PORT" as the --remote option takes it; ADDRESS is an IPv4 literal, "localhost" or
// a bracketed IPv6 literal. Nothing for anything else, so no text ever reaches the server's
// option strings unchecked.
std::optional<TEndpoint> ParseEndpoint(std::string_view text, const std::string& default_address);

// True for 127.0.0.0/8, ::1 and "localhost": reachable from this machine only.
bool IsLoopbackAddress(std::string_view address);

}  // namespace roarmark
