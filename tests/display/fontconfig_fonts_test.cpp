// fontconfig font files: the metric-compatible face for "Arial" and a fallback for anything.
#include "platform/fontconfig/fontconfig_fonts.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace roarmark::platform {
namespace {

struct FontCase {
  const char* name;
  const char* family;
  bool bold, italic;
  const char* file;  // expected file name, or empty for "any existing file"
};

class FontconfigFontsTest : public ::testing::TestWithParam<FontCase> {};

TEST_P(FontconfigFontsTest, FindsTheFileForFamilyAndStyle) {
  const FontCase& c = GetParam();
  TFontconfigFonts fonts;
  const std::string path = fonts.FindFontFile(c.family, c.bold, c.italic);
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(std::filesystem::exists(path)) << path;
  if (*c.file != '\0') {
    EXPECT_EQ(std::filesystem::path(path).filename(), c.file);
  }
  // A second lookup gives the same answer.
  EXPECT_EQ(fonts.FindFontFile(c.family, c.bold, c.italic), path);
}

INSTANTIATE_TEST_SUITE_P(
    Families, FontconfigFontsTest,
    ::testing::Values(FontCase{"Arial", "Arial", false, false, "LiberationSans-Regular.ttf"},
                      FontCase{"ArialBold", "Arial", true, false, "LiberationSans-Bold.ttf"},
                      FontCase{"ArialItalic", "Arial", false, true, "LiberationSans-Italic.ttf"},
                      FontCase{"ArialBoldItalic", "Arial", true, true,
                               "LiberationSans-BoldItalic.ttf"},
                      FontCase{"UnknownFamilyFallsBack", "No Such Family Qq", false, false, ""},
                      FontCase{"EmptyFamilyFallsBack", "", true, false, ""}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace roarmark::platform
