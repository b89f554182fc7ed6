// INI text from anywhere (a settings file may be any file the operator picks): parsing and
// reading must never fail, and a value written is read back exactly.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/ini_file.h"

using namespace roarmark;

namespace {

std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

}  // namespace

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
  // What the program writes reads back as the same lines. Carriage returns are left out of the
  // comparison: a stray one at the end of a line is taken as part of the line break.
  const std::string written = ini.Text();
  if (WithoutCarriageReturns(TIniFile::Parse(written).Text()) != WithoutCarriageReturns(written)) {
    std::abort();
  }
  return 0;
}
