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
  if (t.empty() || t.size() > 12) return false;
  std::int64_t v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  if (v < min || v > max) return false;
  value = v;
  return true;
}

TIniFile TIniFile::Parse(std::string_view text) {
  TIniFile ini;
  if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
      static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF) {
    text.remove_prefix(3);  // a UTF-8 byte-order mark is not part of the first line,
    ini.bom_ = true;        // but the file keeps it when it is written again
  }
  std::size_t first_lf = text.find('\n');
  if (first_lf != npos && first_lf > 0 && text[first_lf - 1] == '\r') ini.eol_ = "\r\n";
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t lf = text.find('\n', pos);
    std::size_t end = lf == npos ? text.size() : lf;
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ini.lines_.emplace_back(line);
    if (lf == npos) {
      ini.final_eol_ = false;
      break;
    }
    pos = lf + 1;
  }
  return ini;
}

TIniFile TIniFile::Load(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return TIniFile();  // missing, or a folder
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return TIniFile();
  std::string text;
  char buf[8192];
  std::size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
    text.append(buf, n);
  std::fclose(f);
  return Parse(text);
}

std::string TIniFile::Text() const {
  std::string out = bom_ ? "\xEF\xBB\xBF" : "";
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i];
    if (i + 1 < lines_.size() || final_eol_) out += eol_;
  }
  return out;
}

void TIniFile::Save(const std::string& path) const {
  namespace fs = std::filesystem;
  const std::string text = Text();
  const std::string temp = path + ".tmp~";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (f == nullptr) {
    throw TFileWriteError("Cannot create file \"" + path + "\". " + std::strerror(errno));
  }
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = (std::fflush(f) == 0) && ok;
  int saved_errno = errno;
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) {
    std::remove(temp.c_str());
    throw TFileWriteError("Cannot write file \"" + path + "\". " + std::strerror(saved_errno));
  }
  std::error_code ec;
  fs::rename(temp, path, ec);
  if (ec) {
    std::remove(temp.c_str());
    throw TFileWriteError("Cannot create file \"" + path + "\". " + ec.message());
  }
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

bool MayWriteAsIni(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return true;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return true;
  char buf[4096];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    if (std::memchr(buf, '\0', static_cast<std::size_t>(in.gcount())) != nullptr) return false;
  }
  return true;
}

}  // namespace roarmark
