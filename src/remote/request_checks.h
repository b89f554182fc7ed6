// Checks on who is asking, made before any request is served: a web page from elsewhere must
// not drive the meter through the operator's own browser.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace roarmark {

// True when the Host header names this machine by an address ("127.0.0.1:8765",
// "[::1]:8765", "localhost:8765", "192.168.1.20:8765") rather than by a name, so a page that
// rebinds its own name to this machine's address is refused, and an Origin header, when the
// browser sends one, is this same host.
bool SameOriginRequest(std::optional<std::string_view> host,
                       std::optional<std::string_view> origin);

// The value of `name` in a query string ("pin=1234&style=bar"), percent-decoded; nothing when
// it is missing or badly encoded.
std::optional<std::string> QueryValue(std::string_view query, std::string_view name);

}  // namespace roarmark
