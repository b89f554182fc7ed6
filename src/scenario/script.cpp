// Scenario script parsing and checking.
#include "scenario/script.h"

#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "platform/ui/keys.h"

namespace roarmark::scenario {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

using Check = void (*)(const TCommand&);

[[noreturn]] void Fail(const TCommand& c, const std::string& reason) {
  throw TScriptError(c.Line, reason);
}

void Count(const TCommand& c, std::size_t n) {
  if (c.ArgCount() != n) {
    Fail(c, "'" + c.Name() + "' takes " + std::to_string(n) + " argument" + (n == 1 ? "" : "s") +
                ", not " + std::to_string(c.ArgCount()));
  }
}

void CountAtLeast(const TCommand& c, std::size_t n) {
  if (c.ArgCount() < n) {
    Fail(c, "'" + c.Name() + "' takes at least " + std::to_string(n) + " argument" +
                (n == 1 ? "" : "s"));
  }
}

void Number(const TCommand& c, std::size_t i) {
  if (!ParseNumber(c.Arg(i))) Fail(c, "bad number '" + c.Arg(i) + "'");
}

void Decimal(const TCommand& c, std::size_t i) {
  if (!ParseDecimal(c.Arg(i))) Fail(c, "bad number '" + c.Arg(i) + "'");
}

void OneOf(const TCommand& c, std::size_t i, std::initializer_list<const char*> words) {
  for (const char* w : words) {
    if (c.Arg(i) == w) return;
  }
  std::string list;
  for (const char* w : words)
    list += (list.empty() ? "" : ", ") + std::string(w);
  Fail(c, "'" + c.Arg(i) + "' is not one of " + list);
}

void Numbers(const TCommand& c, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i)
    Number(c, i);
}

const std::set<std::string> kFaults = {"badformat", "queryfail", "openfail",     "preparefail",
                                       "addfail",   "startfail", "unpreparefail"};

const std::map<std::string, Check>& Checks() {
  static const std::map<std::string, Check> checks = {
      {"folder", [](const TCommand& c) { Count(c, 1); }},
      {"write", [](const TCommand& c) { Count(c, 2); }},
      {"copy", [](const TCommand& c) { Count(c, 2); }},
      {"picture",
       [](const TCommand& c) {
         Count(c, 4);
         Numbers(c, 1, 4);
       }},
      {"monitor",
       [](const TCommand& c) {
         Count(c, 6);
         Numbers(c, 0, 6);
       }},
      {"device",
       [](const TCommand& c) {
         CountAtLeast(c, 1);
         for (std::size_t i = 1; i < c.ArgCount(); ++i) {
           if (!kFaults.count(c.Arg(i))) Fail(c, "unknown device fault '" + c.Arg(i) + "'");
         }
       }},
      {"decimal",
       [](const TCommand& c) {
         Count(c, 1);
         if (c.Arg(0).size() != 1) Fail(c, "the decimal separator is one character");
       }},
      {"tick",
       [](const TCommand& c) {
         Count(c, 1);
         Number(c, 0);
       }},
      {"start", [](const TCommand& c) { Count(c, 0); }},
      {"signal",
       [](const TCommand& c) {
         CountAtLeast(c, 2);
         const std::string& kind = c.Arg(1);
         if (kind == "silence") {
           Count(c, 2);
         } else if (kind == "sine") {
           Count(c, 4);
           Decimal(c, 2);
           Decimal(c, 3);
         } else if (kind == "square") {
           Count(c, 3);
           Decimal(c, 2);
         } else if (kind == "dc") {
           Count(c, 4);
           Numbers(c, 2, 4);
         } else if (kind == "wav") {
           Count(c, 3);
         } else {
           Fail(c, "unknown signal '" + kind + "'");
         }
       }},
      {"buffers",
       [](const TCommand& c) {
         Count(c, 1);
         Number(c, 0);
       }},
      {"wait",
       [](const TCommand& c) {
         Count(c, 1);
         Number(c, 0);
       }},
      {"fault",
       [](const TCommand& c) {
         Count(c, 3);
         if (!kFaults.count(c.Arg(1))) Fail(c, "unknown device fault '" + c.Arg(1) + "'");
         if (c.Arg(2) != "on" && c.Arg(2) != "off") Fail(c, "a fault is on or off");
       }},
      {"unplug", [](const TCommand& c) { Count(c, 1); }},
      {"plug", [](const TCommand& c) { Count(c, 1); }},
      {"key",
       [](const TCommand& c) {
         Count(c, 1);
         if (!ParseKeyCombo(c.Arg(0))) Fail(c, "bad key '" + c.Arg(0) + "'");
       }},
      {"keyw",
       [](const TCommand& c) {
         Count(c, 1);
         if (!ParseKeyCombo(c.Arg(0))) Fail(c, "bad key '" + c.Arg(0) + "'");
       }},
      {"down",
       [](const TCommand& c) {
         Count(c, 1);
         if (!ParseKeyName(c.Arg(0))) Fail(c, "bad key '" + c.Arg(0) + "'");
       }},
      {"up",
       [](const TCommand& c) {
         Count(c, 1);
         if (!ParseKeyName(c.Arg(0))) Fail(c, "bad key '" + c.Arg(0) + "'");
       }},
      {"mouse",
       [](const TCommand& c) {
         Count(c, 3);
         OneOf(c, 0, {"left", "right"});
         Numbers(c, 1, 3);
       }},
      {"press",
       [](const TCommand& c) {
         Count(c, 3);
         OneOf(c, 0, {"left", "right"});
         Numbers(c, 1, 3);
       }},
      {"move",
       [](const TCommand& c) {
         Count(c, 2);
         Numbers(c, 0, 2);
       }},
      {"release",
       [](const TCommand& c) {
         Count(c, 2);
         Numbers(c, 0, 2);
       }},
      {"dblclick",
       [](const TCommand& c) {
         Count(c, 2);
         Numbers(c, 0, 2);
       }},
      {"wheel",
       [](const TCommand& c) {
         Count(c, 3);
         OneOf(c, 0, {"up", "down"});
         Numbers(c, 1, 3);
       }},
      {"answer",
       [](const TCommand& c) {
         CountAtLeast(c, 1);
         const std::string& kind = c.Arg(0);
         if (kind == "ok" || kind == "cancel") {
           Count(c, 1);
         } else if (kind == "text" || kind == "file") {
           Count(c, 2);
         } else if (kind == "colour") {
           Count(c, 2);
           Number(c, 1);
         } else if (kind == "font") {
           Count(c, 5);
           Numbers(c, 2, 5);
         } else {
           Fail(c, "unknown answer '" + kind + "'");
         }
       }},
      {"set", [](const TCommand& c) { Count(c, 2); }},
      {"check",
       [](const TCommand& c) {
         Count(c, 2);
         OneOf(c, 1, {"on", "off"});
       }},
      {"click", [](const TCommand& c) { Count(c, 1); }},
      {"choose",
       [](const TCommand& c) {
         Count(c, 2);
         Number(c, 1);
       }},
      {"slide",
       [](const TCommand& c) {
         Count(c, 2);
         Number(c, 1);
       }},
      {"arrow",
       [](const TCommand& c) {
         Count(c, 2);
         OneOf(c, 1, {"up", "down"});
       }},
      {"cell",
       [](const TCommand& c) {
         Count(c, 2);
         Numbers(c, 0, 2);
       }},
      {"dblcell",
       [](const TCommand& c) {
         Count(c, 2);
         Numbers(c, 0, 2);
       }},
      {"print",
       [](const TCommand& c) {
         CountAtLeast(c, 1);
         const std::string& what = c.Arg(0);
         if (what == "setting" || what == "control" || what == "file" || what == "picture") {
           Count(c, 2);
         } else if (what == "state" || what == "readout" || what == "window" ||
                    what == "messages" || what == "ended" || what == "opened" || what == "cursor" ||
                    what == "prompts" || what == "image" || what == "filedialogs" ||
                    what == "contest") {
           Count(c, 1);
         } else if (what == "sound") {
           Count(c, 1);
         } else if (what == "feed") {
           Count(c, 1);
         } else {
           Fail(c, "cannot print '" + what + "'");
         }
       }},
      {"remote", [](const TCommand& c) { Count(c, 1); }},
      {"dump",
       [](const TCommand& c) {
         Count(c, 2);
         OneOf(c, 0, {"display"});
       }},
  };
  return checks;
}

}  // namespace

std::vector<TWord> SplitWords(const std::string& line, int line_number) {
  std::vector<TWord> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i]))
      ++i;
    if (i >= line.size()) break;
    TWord word;
    if (line[i] == '"') {
      word.Quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char ch = line[i++];
        if (ch == '"') {
          closed = true;
          break;
        }
        if (ch == '\\') {
          if (i >= line.size()) break;
          char e = line[i++];
          switch (e) {
            case 'n':
              word.Text += '\n';
              break;
            case 'r':
              word.Text += '\r';
              break;
            case 't':
              word.Text += '\t';
              break;
            case '"':
              word.Text += '"';
              break;
            case '\\':
              word.Text += '\\';
              break;
            default:
              throw TScriptError(line_number, std::string("unknown escape '\\") + e + "'");
          }
          continue;
        }
        word.Text += ch;
      }
      if (!closed) throw TScriptError(line_number, "unterminated quote");
      if (i < line.size() && !IsBlank(line[i])) {
        throw TScriptError(line_number, "a quoted word must be followed by a blank");
      }
    } else {
      while (i < line.size() && !IsBlank(line[i])) {
        if (line[i] == '"') throw TScriptError(line_number, "a quote inside a word");
        word.Text += line[i++];
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::vector<TCommand> ParseScript(const std::string& text) {
  std::vector<TCommand> commands;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    TCommand c;
    c.Line = number;
    c.Words = SplitWords(line, number);
    auto check = Checks().find(c.Name());
    if (c.Words[0].Quoted || check == Checks().end()) {
      throw TScriptError(number, "unknown command '" + c.Name() + "'");
    }
    check->second(c);
    commands.push_back(std::move(c));
  }
  return commands;
}

std::optional<std::int64_t> ParseNumber(const std::string& word) {
  if (word.empty()) return std::nullopt;
  std::size_t i = 0;
  bool negative = false;
  if (word[0] == '-' || word[0] == '+') {
    negative = word[0] == '-';
    i = 1;
  }
  int base = 10;
  if (word.size() > i + 2 && word[i] == '0' && (word[i + 1] == 'x' || word[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= word.size() || word.size() - i > 16) return std::nullopt;
  std::int64_t v = 0;
  for (; i < word.size(); ++i) {
    const char ch = word[i];
    int d = -1;
    if (ch >= '0' && ch <= '9') d = ch - '0';
    if (base == 16 && ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
    if (base == 16 && ch >= 'A' && ch <= 'F') d = ch - 'A' + 10;
    if (d < 0) return std::nullopt;
    v = v * base + d;
  }
  return negative ? -v : v;
}

std::optional<double> ParseDecimal(const std::string& word) {
  if (auto n = ParseNumber(word)) return static_cast<double>(*n);
  if (word.empty() || word.find_first_not_of("+-.0123456789") != std::string::npos) {
    return std::nullopt;
  }
  char* end = nullptr;
  const double v = std::strtod(word.c_str(), &end);
  if (end != word.c_str() + word.size()) return std::nullopt;
  return v;
}

std::optional<int> ParseKeyName(const std::string& name) {
  using namespace platform::ui;
  if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return VkLetter(name[0] - 'a' + 'A');
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return VkDigit(name[0] - '0');
  if (name.size() == 4 && name.rfind("num", 0) == 0 && name[3] >= '0' && name[3] <= '9') {
    return VkNumpad(name[3] - '0');
  }
  if (name.size() >= 2 && name[0] == 'f') {
    auto n = ParseNumber(name.substr(1));
    if (n && *n >= 1 && *n <= 12 && name[1] != '+' && name[1] != '-') {
      return VkF(static_cast<int>(*n));
    }
  }
  static const std::map<std::string, int> named = {
      {"decimal", VK_DECIMAL}, {"delete", VK_DELETE}, {"space", VK_SPACE},  {"escape", VK_ESCAPE},
      {"return", VK_RETURN},   {"up", VK_UP},         {"down", VK_DOWN},    {"left", VK_LEFT},
      {"right", VK_RIGHT},     {"tab", VK_TAB},       {"ctrl", VK_CONTROL}, {"shift", VK_SHIFT},
      {"alt", VK_MENU}};
  auto it = named.find(name);
  if (it == named.end()) return std::nullopt;
  return it->second;
}

std::optional<TKeyCombo> ParseKeyCombo(const std::string& word) {
  TKeyCombo combo;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t plus = word.find('+', start);
    parts.push_back(word.substr(start, plus == std::string::npos ? plus : plus - start));
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    if (parts[i] == "ctrl") {
      combo.Ctrl = true;
    } else if (parts[i] == "shift") {
      combo.Shift = true;
    } else if (parts[i] == "alt") {
      combo.Alt = true;
    } else {
      return std::nullopt;
    }
  }
  auto key = ParseKeyName(parts.back());
  if (!key) return std::nullopt;
  combo.Key = *key;
  return combo;
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char ch : text) {
    switch (ch) {
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += ch;
    }
  }
  return out + "\"";
}

}  // namespace roarmark::scenario
