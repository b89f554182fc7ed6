// The contest file: "[Contest]" with the rules, "[Contestants]" with names under "1", "2", ...
#include "contest/contest_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "platform/file_path.h"
#include "settings/file_read.h"
#include "settings/ini_file.h"

namespace roarmark {

namespace {

constexpr const char* kRulesSection = "Contest";
constexpr const char* kNamesSection = "Contestants";
constexpr const char* kRoundKey = "Round Seconds";
constexpr const char* kCountdownKey = "Countdown Seconds";
constexpr const char* kScoreKey = "Score";

std::string Lower(std::string s) {
  for (char& c : s)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

TContestFileRead ReadContestFile(const std::string& path) {
  TContestFileRead read;
  const TFileRead file = ReadLimitedFile(path, kMaxContestFileBytes);
  if (file.Result == TFileRead::TResult::Refused) {
    // A regular file was refused for its size; anything else (a folder, a FIFO) is no contest.
    std::error_code ec;
    if (std::filesystem::is_regular_file(platform::FilePath(path), ec))
      read.Problem = TContestFileProblem::TooLarge;
    return read;
  }
  if (file.Result != TFileRead::TResult::Read) return read;
  if (!IsIniText(file.Bytes)) {
    read.Problem = TContestFileProblem::NotText;
    return read;
  }
  const std::string& bytes = file.Bytes;
  const TIniFile ini = TIniFile::Parse(bytes);

  // Names by their number; other keys are not names, a repeated number keeps its first name.
  std::map<std::int64_t, std::string> names;
  for (const auto& [key, value] : ini.ReadSection(kNamesSection)) {
    std::int64_t n = 0;
    if (!ParseIniInteger(key, 1, INT32_MAX, n) || names.count(n) != 0) continue;
    names.emplace(n, value);
  }
  std::vector<std::string> kept;
  for (const auto& [n, value] : names) {
    const std::size_t first = value.find_first_not_of(" \t");
    if (first == std::string::npos) continue;  // an empty name holds nothing to keep
    const std::string name = value.substr(first, value.find_last_not_of(" \t") + 1 - first);
    if (CharacterCount(name) > static_cast<std::size_t>(kMaxNameCharacters)) {
      read.Problem = TContestFileProblem::NameTooLong;
      read.Detail = n;
      return read;
    }
    kept.push_back(name);
  }
  if (kept.size() > static_cast<std::size_t>(kMaxContestants)) {
    read.Problem = TContestFileProblem::TooManyNames;
    read.Detail = static_cast<std::int64_t>(kept.size());
    return read;
  }
  TContest& c = read.Contest;
  c.Rules.RoundSeconds = std::clamp(ini.ReadInteger(kRulesSection, kRoundKey, kDefaultRoundSeconds),
                                    kMinRoundSeconds, kMaxRoundSeconds);
  c.Rules.CountdownSeconds =
      ini.ReadInteger(kRulesSection, kCountdownKey, kDefaultCountdownSeconds) == 0
          ? 0
          : kDefaultCountdownSeconds;
  std::string rule = ini.ReadString(kRulesSection, kScoreKey, "");
  rule.erase(0, rule.find_first_not_of(" \t"));
  rule.erase(rule.find_last_not_of(" \t") + 1);
  c.Rules.Score = Lower(rule) == "peak" ? TScoreRule::Peak : TScoreRule::Average;
  for (std::string& name : kept)
    c.Add(std::move(name));
  return read;
}

namespace {

// False when what stands at `path` is not text an INI save could keep: a folder, a picture, a
// file too large to be a contest.
bool HoldsIniText(const std::string& path) {
  const TFileRead file = ReadLimitedFile(path, kMaxContestFileBytes);
  if (file.Result == TFileRead::TResult::Refused) return false;
  return file.Result != TFileRead::TResult::Read || IsIniText(file.Bytes);
}

}  // namespace

void SaveContestFile(const std::string& path, const TContest& contest, bool replace) {
  // Writing INI text over a file that is not text would destroy it, unless asked to.
  if (!replace && !HoldsIniText(path)) {
    throw TFileWriteError("Cannot save the contest to \"" + path + "\": it is not a contest file");
  }
  TIniFile ini = replace ? TIniFile() : TIniFile::LoadForSave(path);
  ini.WriteInteger(kRulesSection, kRoundKey, contest.Rules.RoundSeconds);
  ini.WriteInteger(kRulesSection, kCountdownKey, contest.Rules.CountdownSeconds);
  ini.WriteString(kRulesSection, kScoreKey,
                  contest.Rules.Score == TScoreRule::Peak ? "peak" : "average");
  ini.EraseSection(kNamesSection);
  int n = 0;
  for (const TContestant& c : contest.Contestants)
    ini.WriteString(kNamesSection, std::to_string(++n), c.Name);
  ini.Save(path);
}

}  // namespace roarmark
