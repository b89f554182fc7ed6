// INI text engine: parse, look up case-insensitively, edit in place, save atomically.
#include "settings/ini_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

#include "platform/file_path.h"
#include "settings/file_read.h"

namespace roarmark {
namespace {

constexpr std::size_t npos = std::string::npos;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// "[name]" with optional blanks around; the name is returned trimmed.
bool SectionName(std::string_view line, std::string_view& name) {
  std::string_view t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return false;
  std::size_t close = t.find(']');
  if (close == npos) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

bool IsComment(std::string_view line) {
  std::string_view t = Trim(line);
  return !t.empty() && t.front() == ';';
}

// Key part of a key=value line.
bool KeyOf(std::string_view line, std::string_view& key) {
  if (IsComment(line)) return false;
  std::size_t eq = line.find('=');
  if (eq == npos) return false;
  key = Trim(line.substr(0, eq));
  return true;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// UTF-16 code units to UTF-8. A surrogate without its partner is kept as its own three-byte
// form, so whatever an editor wrote goes back unchanged; an odd last byte is dropped.
std::string FromUtf16(std::string_view bytes, bool big_endian) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](std::size_t i) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<std::uint32_t>(big_endian ? (a << 8 | b) : (b << 8 | a));
  };
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const std::uint32_t u = unit(i);
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
      const std::uint32_t low = unit(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, u);
  }
  return out;
}

// UTF-8 (with the lone surrogates FromUtf16 keeps) to UTF-16 code units; a byte that does not
// start a valid sequence becomes U+FFFD.
std::string ToUtf16(std::string_view text, bool big_endian) {
  std::string out;
  out.reserve(text.size() * 2);
  auto put = [&](std::uint32_t u) {
    const char hi = static_cast<char>(u >> 8);
    const char lo = static_cast<char>(u & 0xFF);
    out.push_back(big_endian ? hi : lo);
    out.push_back(big_endian ? lo : hi);
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t len = c < 0x80           ? 1
                      : (c >> 5) == 0x6  ? 2
                      : (c >> 4) == 0xE  ? 3
                      : (c >> 3) == 0x1E ? 4
                                         : 0;
    std::uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1Fu) : len == 3 ? (c & 0x0Fu) : (c & 0x07u);
    for (std::size_t k = 1; k < len; ++k) {
      const auto next = i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
      if ((next & 0xC0) != 0x80) {
        len = 0;
        break;
      }
      cp = (cp << 6) | (next & 0x3Fu);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (len == 0 || cp < kLeast[len] || cp > 0x10FFFF) {
      put(0xFFFD);
      i += 1;
      continue;
    }
    if (cp >= 0x10000) {
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
    i += len;
  }
  return out;
}

// Line breaks in a value would split it into foreign lines; they become blanks.
std::string OneLine(std::string_view value) {
  std::string out(value);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

}  // namespace

bool ParseIniInteger(std::string_view text, std::int64_t min, std::int64_t max,
                     std::int64_t& value) {
  std::string_view t = Trim(text);
  if (t.empty()) return false;
  bool negative = false;
  if (t.front() == '+' || t.front() == '-') {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.empty()) return false;
  std::int64_t v = 0;
  std::size_t significant = 0;  // leading zeros do not count towards the limit
  for (char c : t) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v != 0 && ++significant > 11) return false;
  }
  if (negative) v = -v;
  if (v < min || v > max) return false;
  value = v;
  return true;
}

TIniFile TIniFile::Parse(std::string_view bytes) {
  TIniFile ini;
  std::string decoded;
  std::string_view text = bytes;
  if (StartsWith(bytes, kUtf8Bom)) {
    text.remove_prefix(kUtf8Bom.size());    // the mark is not part of the first line,
    ini.encoding_ = TIniEncoding::Utf8Bom;  // but the file keeps it when it is written again
  } else if (StartsWith(bytes, kUtf16LeBom) || StartsWith(bytes, kUtf16BeBom)) {
    const bool big_endian = StartsWith(bytes, kUtf16BeBom);
    ini.encoding_ = big_endian ? TIniEncoding::Utf16Be : TIniEncoding::Utf16Le;
    decoded = FromUtf16(bytes.substr(2), big_endian);
    text = decoded;
  }
  // Lines end in CR LF, LF or a lone CR (older editors); the first one found is kept for writing.
  bool eol_known = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", pos);
    if (end == npos) {
      ini.lines_.emplace_back(text.substr(pos));
      ini.final_eol_ = false;
      break;
    }
    ini.lines_.emplace_back(text.substr(pos, end - pos));
    std::size_t eol_size = 1;
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') eol_size = 2;
    if (!eol_known) {
      ini.eol_ = std::string(text.substr(end, eol_size));
      eol_known = true;
    }
    pos = end + eol_size;
  }
  return ini;
}

TIniFile TIniFile::Load(const std::string& path) {
  const TFileRead read = ReadLimitedFile(path, kMaxSettingsFileBytes);
  return read.Result == TFileRead::TResult::Read ? Parse(read.Bytes) : TIniFile();
}

TIniFile TIniFile::LoadForSave(const std::string& path) {
  // What a load refuses to read is never rebuilt from nothing either.
  std::error_code ec;
  if (std::filesystem::is_regular_file(platform::FilePath(path), ec) &&
      std::filesystem::file_size(platform::FilePath(path), ec) > kMaxSettingsFileBytes && !ec) {
    throw TFileWriteError("Cannot open file \"" + path + "\". " + std::strerror(EFBIG));
  }
  const std::optional<std::string> bytes = ReadFileForSave(path);
  if (!bytes) return TIniFile();
  // Text this reader cannot decode (UTF-16 without its mark, a picture) would be saved over
  // with keys nobody could read back.
  if (!IsIniText(*bytes)) {
    throw TFileWriteError("Cannot save settings to \"" + path + "\": it is not a settings file");
  }
  return Parse(*bytes);
}

std::string TIniFile::Text() const {
  std::string out;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i];
    if (i + 1 < lines_.size() || final_eol_) out += eol_;
  }
  switch (encoding_) {
    case TIniEncoding::Utf8:
      return out;
    case TIniEncoding::Utf8Bom:
      return std::string(kUtf8Bom) + out;
    case TIniEncoding::Utf16Le:
      return std::string(kUtf16LeBom) + ToUtf16(out, false);
    case TIniEncoding::Utf16Be:
      return std::string(kUtf16BeBom) + ToUtf16(out, true);
  }
  return out;
}

void TIniFile::Save(const std::string& path) const {
  SaveFileWhole(path, Text());
}

TIniFile::TLocation TIniFile::Find(std::string_view section, std::string_view key) const {
  TLocation loc{npos, npos, npos};
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    std::string_view name;
    if (!SectionName(lines_[i], name)) continue;
    if (loc.section_line != npos) {
      break;  // the section we found has ended
    }
    if (!SameText(name, section)) continue;
    loc.section_line = i;
    loc.insert_line = i + 1;
    for (std::size_t j = i + 1; j < lines_.size(); ++j) {
      std::string_view other;
      if (SectionName(lines_[j], other)) break;
      if (!Trim(lines_[j]).empty()) loc.insert_line = j + 1;
      std::string_view k;
      if (loc.key_line == npos && KeyOf(lines_[j], k) && SameText(k, key)) loc.key_line = j;
    }
  }
  return loc;
}

std::optional<std::string> TIniFile::ReadRaw(std::string_view section, std::string_view key) const {
  TLocation loc = Find(section, key);
  if (loc.key_line == npos) return std::nullopt;
  const std::string& line = lines_[loc.key_line];
  return line.substr(line.find('=') + 1);
}

std::vector<std::pair<std::string, std::string>> TIniFile::ReadSection(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> out;
  const TLocation loc = Find(section, {});
  if (loc.section_line == npos) return out;
  for (std::size_t i = loc.section_line + 1; i < lines_.size(); ++i) {
    std::string_view name;
    if (SectionName(lines_[i], name)) break;
    std::string_view key;
    if (KeyOf(lines_[i], key)) out.emplace_back(key, lines_[i].substr(lines_[i].find('=') + 1));
  }
  return out;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 const std::string& fallback) const {
  return ReadRaw(section, key).value_or(fallback);
}

std::optional<std::int64_t> TIniFile::ReadNumber(std::string_view section, std::string_view key,
                                                 std::int64_t min, std::int64_t max) const {
  auto raw = ReadRaw(section, key);
  std::int64_t v = 0;
  if (!raw || !ParseIniInteger(*raw, min, max, v)) return std::nullopt;
  return v;
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t fallback) const {
  auto v = ReadNumber(section, key, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max());
  return v ? static_cast<std::int32_t>(*v) : fallback;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  auto v = ReadNumber(section, key, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max());
  return v ? *v != 0 : fallback;
}

std::uint32_t TIniFile::ReadColour(std::string_view section, std::string_view key,
                                   std::uint32_t fallback) const {
  auto v = ReadNumber(section, key, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::uint32_t>::max());
  return v ? static_cast<std::uint32_t>(*v) : fallback;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  TLocation loc = Find(section, key);
  std::string line(key);
  line.push_back('=');
  line.append(OneLine(value));
  if (loc.key_line != npos) {
    // Keep the key as the file spells it; only the value changes.
    const std::string& old = lines_[loc.key_line];
    lines_[loc.key_line] = old.substr(0, old.find('=') + 1) + OneLine(value);
    return;
  }
  if (loc.section_line != npos) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(loc.insert_line), line);
    return;
  }
  if (!lines_.empty() && !final_eol_) final_eol_ = true;
  std::string header = "[";
  header.append(section);
  header.push_back(']');
  lines_.push_back(std::move(header));
  lines_.push_back(line);
  final_eol_ = true;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::WriteColour(std::string_view section, std::string_view key, std::uint32_t value) {
  WriteString(section, key, std::to_string(static_cast<std::int32_t>(value)));
}

void TIniFile::EraseSection(std::string_view section) {
  const TLocation loc = Find(section, {});
  if (loc.section_line == npos) return;
  std::size_t end = loc.section_line + 1;
  std::string_view name;
  while (end < lines_.size() && !SectionName(lines_[end], name))
    ++end;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(loc.section_line),
               lines_.begin() + static_cast<std::ptrdiff_t>(end));
}

bool IsIniText(std::string_view bytes) {
  if (StartsWith(bytes, kUtf16LeBom) || StartsWith(bytes, kUtf16BeBom)) {
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      if (bytes[i] == '\0' && bytes[i + 1] == '\0') return false;
    }
    return true;
  }
  return bytes.find('\0') == npos;
}

}  // namespace roarmark
