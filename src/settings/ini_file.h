// INI text shared by "Roarmark.ini" and the settings files: sections, key=value lines, keys and
// sections matched without regard to letter case, every foreign line kept as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/file_save.h"

namespace roarmark {

// How the file's bytes hold its text; a save writes the text back the same way.
enum class TIniEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be };

class TIniFile {
 public:
  TIniFile() = default;
  // The bytes of a file: UTF-8 (with or without a byte-order mark) or UTF-16 with a
  // byte-order mark; lines end in CR LF, LF or CR.
  static TIniFile Parse(std::string_view bytes);
  // A missing or unreadable file reads as empty, and so does anything that is not a regular
  // file of at most 16 MB.
  static TIniFile Load(const std::string& path);
  // The file a save is about to change: missing reads as empty, but a file that exists and
  // cannot be read or replaced (see ReadFileForSave), is over 16 MB, or is not text this reader
  // decodes throws TFileWriteError.
  static TIniFile LoadForSave(const std::string& path);

  // Puts the whole text in place of the file (SaveFileWhole). Throws TFileWriteError.
  void Save(const std::string& path) const;

  // The bytes to store: the encoding and the line end the text was read with (a new text is
  // UTF-8 with LF).
  std::string Text() const;
  TIniEncoding Encoding() const { return encoding_; }
  // The text's lines, decoded, without their line ends.
  const std::vector<std::string>& Lines() const { return lines_; }
  const std::string& LineEnd() const { return eol_; }

  // The value exactly as written after the first '=', or nothing when the key is missing.
  std::optional<std::string> ReadRaw(std::string_view section, std::string_view key) const;

  std::string ReadString(std::string_view section, std::string_view key,
                         const std::string& fallback) const;
  // Numbers ignore surrounding blanks; anything that is not a 32-bit integer reads as missing.
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t fallback) const;
  // Any integer other than 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
  // Colours are 32-bit; both the signed and the unsigned decimal form are accepted.
  std::uint32_t ReadColour(std::string_view section, std::string_view key,
                           std::uint32_t fallback) const;

  // Every key=value line of a section in file order, values exactly as written.
  std::vector<std::pair<std::string, std::string>> ReadSection(std::string_view section) const;

  // Replaces the value in place, or appends the key at the end of its section, or appends the
  // section at the end of the text.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void WriteColour(std::string_view section, std::string_view key, std::uint32_t value);
  // Removes the section's header and every line up to the next section.
  void EraseSection(std::string_view section);

 private:
  struct TLocation {
    std::size_t section_line;  // npos when the section is missing
    std::size_t key_line;      // npos when the key is missing
    std::size_t insert_line;   // where a missing key goes
  };
  TLocation Find(std::string_view section, std::string_view key) const;
  std::optional<std::int64_t> ReadNumber(std::string_view section, std::string_view key,
                                         std::int64_t min, std::int64_t max) const;

  std::vector<std::string> lines_;  // UTF-8, without line ends
  std::string eol_ = "\n";
  bool final_eol_ = true;
  TIniEncoding encoding_ = TIniEncoding::Utf8;
};

// True when `text` parses as a 32-bit decimal integer with optional surrounding blanks.
bool ParseIniInteger(std::string_view text, std::int64_t min, std::int64_t max,
                     std::int64_t& value);

// True when `bytes` can be INI text: no NUL characters in the encoding they announce. UTF-16
// without a byte-order mark, or a picture, is not.
bool IsIniText(std::string_view bytes);

}  // namespace roarmark
