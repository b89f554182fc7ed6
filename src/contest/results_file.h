// The results of one program run: a CSV file in the data folder's "Files", named with the date
// and time the run started, holding every finished round. It is written whole after each round
// through the safe save, so a crash or power cut keeps every round finished before it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "contest/contest.h"
#include "platform/clock.h"

namespace roarmark {

inline constexpr const char* kResultsHeader = "contestant,start,seconds,average,peak,score,void";

struct TResultRow {
  std::string Contestant;
  platform::TLocalTime Start;
  std::int64_t Buffers = 0;  // sound the round measured, in buffers of 1100 frames
  TRoundFigures Figures;     // over the buffers measured, also for a void round
  int ScoreTenths = 0;
  bool Void = false;
};

// "Contest Results 2025-06-14 20-00-00.csv"
std::string ResultsFileName(const platform::TLocalTime& started);
// "2025-06-14 20:00:03"
std::string TimeText(const platform::TLocalTime& time);
// One line of the file (without its line end), the name quoted when it needs to be.
std::string ResultLine(const TResultRow& row);

class TResultsFile {
 public:
  // `files_folder` ends with the separator.
  TResultsFile(std::string files_folder, const platform::TLocalTime& started);

  // Adds the round and writes the whole file. Throws TFileWriteError; the round is kept and
  // written again with the next one.
  void Add(const TResultRow& row);
  // Empty until the first round picks the name (never one an earlier run left).
  const std::string& Path() const { return path_; }

 private:
  std::string folder_;
  platform::TLocalTime started_;
  std::string path_;
  std::string text_;
};

}  // namespace roarmark
