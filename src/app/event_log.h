// The event log of a show, "Roarmark.log" in the data folder: one timestamped line for each thing
// worth knowing afterwards (start, the input taken, losses and recoveries, failed saves, fatal
// ends). Not the sound level's CSV log: that one records levels, this one records events.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace roarmark {

// Past this size the log is moved once to "Roarmark.log.1" (replacing an older one) and begins
// afresh, so a machine left running for months keeps at most twice this much.
constexpr std::uintmax_t kEventLogMaxBytes = 2u * 1024u * 1024u;

// "2026-03-14 19:05:09 input lost", with each run of line breaks inside `text` folded into " / ".
std::string EventLine(const platform::TLocalTime& time, const std::string& text);

class TEventLog {
 public:
  TEventLog(std::string path, const platform::IClock& clock,
            std::uintmax_t max_bytes = kEventLogMaxBytes);

  // Appends one line stamped now. While the log's folder does not exist yet (before a first
  // start has laid it out) lines wait in memory and are written with the next one that can be.
  void Write(const std::string& text);
  const std::string& Path() const { return path_; }

 private:
  bool Append(const std::string& lines);

  std::string path_;
  const platform::IClock& clock_;
  std::uintmax_t max_bytes_;
  std::vector<std::string> waiting_;
};

}  // namespace roarmark
