// Scenario scripts: lines of words, quoted texts with escapes, numbers; checked whole before
// anything runs.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace roarmark::scenario {

// A malformed script: the runner stops with exit status 2 before running anything.
class TScriptError : public std::runtime_error {
 public:
  TScriptError(int line, const std::string& reason)
      : std::runtime_error("line " + std::to_string(line) + ": " + reason), Line(line) {}
  int Line;
};

struct TWord {
  std::string Text;
  bool Quoted = false;
};

struct TCommand {
  int Line = 0;
  std::vector<TWord> Words;  // Words[0] is the command name

  const std::string& Name() const { return Words[0].Text; }
  std::size_t ArgCount() const { return Words.size() - 1; }
  const std::string& Arg(std::size_t i) const { return Words[i + 1].Text; }
};

// Splits one line into words; throws TScriptError for an unterminated quote or a bad escape.
std::vector<TWord> SplitWords(const std::string& line, int line_number);

// Parses and checks every line: known command, argument count, numbers, keywords, key combos.
std::vector<TCommand> ParseScript(const std::string& text);

// Numbers: decimal (optionally signed) or hexadecimal with 0x.
std::optional<std::int64_t> ParseNumber(const std::string& word);
std::optional<double> ParseDecimal(const std::string& word);

// A key combination: modifiers and one key joined by '+'.
struct TKeyCombo {
  bool Ctrl = false;
  bool Shift = false;
  bool Alt = false;
  int Key = 0;  // Windows virtual-key code
};
std::optional<TKeyCombo> ParseKeyCombo(const std::string& word);
// One key name of a combo ("a", "num5", "ctrl", "f1"...) as a virtual-key code.
std::optional<int> ParseKeyName(const std::string& name);

// Quotes a text with the script escapes.
std::string Quote(const std::string& text);

}  // namespace roarmark::scenario
