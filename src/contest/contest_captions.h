// The contest's words in the program's seven languages: the contest window's captions and the
// contest's messages.
#pragma once

#include <string>

namespace roarmark {

struct TContestTexts {
  // The contest window.
  const char* Window;
  const char* Contestants;
  const char* Name;
  const char* Add;
  const char* Rename;
  const char* Up;
  const char* Down;
  const char* Remove;
  const char* RoundLength;
  const char* Countdown;
  const char* Score;
  const char* Average;
  const char* Peak;
  const char* Keys1;
  const char* Keys2;
  const char* Ok;
  const char* Cancel;
  // Messages; %1 and %2 stand for what the message names.
  const char* FileRefused;
  const char* NotText;
  const char* TooLarge;
  const char* TooManyNames;
  const char* NameTooLong;
  const char* ReplaceRefused;
  const char* NoContestants;
  const char* ClearQuestion;
  const char* ResultsNotWritten;
};

// By language number (0 English .. 6 Spanish); a number outside 0..6 gives English.
const TContestTexts& ContestTexts(int language);

// The text with "%1" and "%2" replaced.
std::string Fill(const std::string& text, const std::string& first,
                 const std::string& second = std::string());

}  // namespace roarmark
