// "Files/Contest.txt": the contest's rules and names as INI text, read and saved like the
// program's other INI files (any encoding and line end they take, kept on save).
#pragma once

#include <cstdint>
#include <string>

#include "contest/contest.h"

namespace roarmark {

inline constexpr const char* kContestFileName = "Contest.txt";
// Larger than any contest of twenty names could honestly be.
inline constexpr std::uintmax_t kMaxContestFileBytes = 1 << 20;

enum class TContestFileProblem { None, NotText, TooLarge, TooManyNames, NameTooLong };

struct TContestFileRead {
  TContest Contest;  // empty (default rules) when the file is missing or refused
  TContestFileProblem Problem = TContestFileProblem::None;
  // TooManyNames: how many names; NameTooLong: the number of the first name too long.
  std::int64_t Detail = 0;
};

// A missing file is an empty contest. A file that is not text, too large, holds more than
// kMaxContestants names or a name longer than kMaxNameCharacters is refused whole: nothing of
// it is taken, so nothing of it is cut.
TContestFileRead ReadContestFile(const std::string& path);

// Writes the rules and names into the file, keeping its other lines, encoding and line ends;
// with `replace` the file's old contents are not looked at (a refused file). Throws
// TFileWriteError.
void SaveContestFile(const std::string& path, const TContest& contest, bool replace = false);

}  // namespace roarmark
