// Host, Origin and query checks.
#include "remote/request_checks.h"

#include <cctype>

#include "remote/remote_settings.h"

namespace roarmark {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> PercentDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%') {
      if (i + 2 >= text.size()) return std::nullopt;
      const int hi = HexDigit(text[i + 1]);
      const int lo = HexDigit(text[i + 2]);
      if (hi < 0 || lo < 0) return std::nullopt;
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

bool SameOriginRequest(std::optional<std::string_view> host,
                       std::optional<std::string_view> origin) {
  if (!host || host->empty()) return false;
  // The host as an endpoint: an address literal with a port.
  if (!ParseEndpoint(*host, "") && !ParseEndpoint(std::string(*host) + ":80", "")) return false;
  if (!origin) return true;
  std::string expected = "http://";
  expected += *host;
  if (origin->size() != expected.size()) return false;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>((*origin)[i])) !=
        std::tolower(static_cast<unsigned char>(expected[i]))) {
      return false;
    }
  }
  return true;
}

std::optional<std::string> QueryValue(std::string_view query, std::string_view name) {
  std::size_t start = 0;
  while (start <= query.size()) {
    std::size_t end = query.find('&', start);
    if (end == std::string_view::npos) end = query.size();
    const std::string_view pair = query.substr(start, end - start);
    const std::size_t eq = pair.find('=');
    if (pair.substr(0, eq) == name) {
      return PercentDecode(eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1));
    }
    start = end + 1;
  }
  return std::nullopt;
}

}  // namespace roarmark
