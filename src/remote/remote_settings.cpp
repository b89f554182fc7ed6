// Reading the "[Remote]" section and checking listen addresses.
#include "remote/remote_settings.h"

#include <charconv>

namespace roarmark {
namespace {

std::optional<int> ParsePort(std::string_view text) {
  int port = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (error != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535) {
    return std::nullopt;
  }
  return port;
}

bool IsIpv4Literal(std::string_view text) {
  int parts = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t dot = text.find('.', start);
    if (dot == std::string_view::npos) dot = text.size();
    const std::string_view part = text.substr(start, dot - start);
    int value = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (part.empty() || part.size() > 3 || error != std::errc() ||
        end != part.data() + part.size() || value > 255) {
      return false;
    }
    ++parts;
    start = dot + 1;
  }
  return parts == 4;
}

bool IsIpv6Literal(std::string_view text) {
  if (text.empty() || text.size() > 45) return false;
  for (char c : text) {
    const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!hex && c != ':' && c != '.') return false;
  }
  return text.find(':') != std::string_view::npos;
}

}  // namespace

TRemoteSettings ReadRemoteSettings(const TIniFile& ini) {
  TRemoteSettings s;
  const char* r = kSectionRemote;
  s.Enabled = ini.ReadBool(r, "Enabled", s.Enabled);
  std::string address = ini.ReadString(r, "Address", s.Address);
  // An IPv6 address may be written bare ("::", "::1"); it is kept bracketed, as --remote takes it.
  if (IsIpv6Literal(address)) address = "[" + address + "]";
  if (ParseEndpoint(address + ":1", s.Address)) s.Address = address;
  const std::int32_t port = ini.ReadInteger(r, "Port", s.Port);
  if (port >= 1 && port <= 65535) s.Port = port;
  s.Pin = ini.ReadString(r, "PIN", "");
  const std::int32_t osc_port = ini.ReadInteger(r, "OSC Port", 0);
  if (osc_port >= 1 && osc_port <= 65535) s.OscPort = osc_port;
  const std::string target = ini.ReadString(r, "OSC Target", "");
  if (ParseEndpoint(target, "")) s.OscTarget = target;
  return s;
}

std::optional<TEndpoint> ParseEndpoint(std::string_view text, const std::string& default_address) {
  TEndpoint endpoint;
  std::string_view port_text = text;
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') {
      return std::nullopt;
    }
    const std::string_view inner = text.substr(1, close - 1);
    if (!IsIpv6Literal(inner)) return std::nullopt;
    endpoint.Address = std::string(text.substr(0, close + 1));
    port_text = text.substr(close + 2);
  } else if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
    const std::string_view host = text.substr(0, colon);
    if (host != "localhost" && !IsIpv4Literal(host)) return std::nullopt;
    endpoint.Address = std::string(host);
    port_text = text.substr(colon + 1);
  } else {
    if (default_address.empty()) return std::nullopt;
    endpoint.Address = default_address;
  }
  const std::optional<int> port = ParsePort(port_text);
  if (!port) return std::nullopt;
  endpoint.Port = *port;
  return endpoint;
}

bool IsLoopbackAddress(std::string_view address) {
  if (address == "localhost" || address == "[::1]" || address == "::1") return true;
  return IsIpv4Literal(address) && address.substr(0, 4) == "127.";
}

}  // namespace roarmark
