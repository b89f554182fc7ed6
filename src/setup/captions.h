// The setup dialog's texts in the seven languages, the language names, the lock prompts and
// the help documents' names.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace roarmark {

inline constexpr int kLanguageCount = 7;

// One text per language, in the order of the language list.
using TLanguageTexts = std::array<const char*, kLanguageCount>;

// One row of the dialog's caption table: a component name, "TForm2" for the window caption, or
// "cbStyle.1" / "cbStyle.2" for an entry of the style list.
struct TCaptionRow {
  const char* Key;
  TLanguageTexts Texts;
};

// The rows in the order they are applied.
const std::vector<TCaptionRow>& SetupCaptionRows();
// Rows of controls the dialog gained later, applied after those.
const std::vector<TCaptionRow>& AddedCaptionRows();

// "English", "Dutch", ... "Portugese", "Spanish": shown as they are in every language.
std::vector<std::string> LanguageNames();

struct TLockPrompts {
  std::string UnlockTitle;
  std::string UnlockPrompt;
  std::string LockTitle;
  std::string LockPrompt;
};
// Four empty texts for a language number outside 0..6.
TLockPrompts LockPrompts(int language);

// "Roarmark Help English.pdf" ...; empty for a language number outside 0..6.
std::string HelpFileName(int language);

}  // namespace roarmark
