// INI text from anywhere (a settings file may be any file the operator picks, written by any
// editor in UTF-8 or UTF-16 with any line ends): parsing and reading must never fail, and a value
// written is read back exactly.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/ini_file.h"

using namespace roarmark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TIniFile ini = TIniFile::Parse(text);
  (void)ini.Text();

  // Look up keys the program uses and a few taken from the input itself.
  const std::string_view probe = text.substr(0, text.size() < 12 ? text.size() : 12);
  for (std::string_view key :
       {std::string_view("Meter Position X"), std::string_view("cal"), probe}) {
    (void)ini.ReadRaw("Form", key);
    (void)ini.ReadString("Input", key, "fallback");
    (void)ini.ReadInteger("Form", key, -1);
    (void)ini.ReadBool("Form", key, false);
    (void)ini.ReadColour("Form", key, 0x8000FFu);
  }
  std::int64_t number = 0;
  (void)ParseIniInteger(text, INT32_MIN, INT32_MAX, number);

  ini.WriteString("Form", "Fuzz Key", " value with blanks ");
  const auto back = ini.ReadRaw("Form", "Fuzz Key");
  if (!back || *back != " value with blanks ") std::abort();
  // What the program writes reads back byte for byte, in the encoding and with the line end it
  // was read with (UTF-8, UTF-16 either way round; CR LF, LF or CR).
  const std::string written = ini.Text();
  const TIniFile again = TIniFile::Parse(written);
  if (again.Text() != written || again.Encoding() != ini.Encoding() ||
      again.LineEnd() != ini.LineEnd()) {
    std::abort();
  }
  const auto back_again = again.ReadRaw("Form", "Fuzz Key");
  if (!back_again || *back_again != " value with blanks ") std::abort();
  return 0;
}
