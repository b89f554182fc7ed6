// The show log: one CSV file per run in the data folder's "Logs" folder, one row for every
// second of the run, seconds without input marked. The file is saved whole through the safe
// save, so a crash keeps every row saved before it; the saving runs on a thread of its own, so a
// slow disk never holds up the capture.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace roarmark {

inline constexpr const char* kLogFolder = "Logs";
// Rows go to the disk every this many seconds, after a loss of input, and at the end.
inline constexpr int kLogSaveSeconds = 10;

struct TLogRow {
  std::int64_t Second = 0;          // of the run
  bool Lost = false;                // the input was lost: no figures
  double LAeq = 0;                  // LAeq over the second, dB
  double LAFmax = 0;                // within the second
  double LCpeak = 0;                // within the second
  double Level = 0;                 // the 0..100 meter level
  std::string Readout;              // the readout's text
  std::optional<double> LimitLAeq;  // LAeq over the limit's minutes, when a limit is set
  std::optional<double> Limit;      // dB
  std::optional<int> LimitMinutes;  // the limit's window
};

// "H:MM:SS" from seconds.
std::string RunTimeText(std::int64_t seconds);
// The header line and one row as a line, without the line end.
std::string LogHeader();
std::string LogLine(const TLogRow& row);
// The rows of a log's text; lines that are not rows (the header, a torn last line) are left out.
std::vector<TLogRow> ParseLog(const std::string& text);

// "Show Log 0001.csv" ...: the first number not taken in `folder` (which ends with the
// separator).
std::string NextLogPath(const std::string& folder);

class TShowLog {
 public:
  // Creates the file with its header at once; throws TFileWriteError.
  explicit TShowLog(std::string path);
  ~TShowLog();
  TShowLog(const TShowLog&) = delete;
  TShowLog& operator=(const TShowLog&) = delete;

  const std::string& Path() const { return path_; }
  // Adds a row; every kLogSaveSeconds rows the text goes to the saving thread.
  void Add(const TLogRow& row);
  // Hands the rows so far to the saving thread now.
  void SaveSoon();
  // Waits until the saving thread has put everything it was handed on the disk.
  void WaitSaved();
  // The failure of a save on the saving thread, once.
  std::optional<std::string> TakeFailure();
  // Saves the last rows on this thread and stops the saving thread. Throws TFileWriteError.
  void Finish();

 private:
  void SaveLoop();

  std::string path_;
  std::string text_;
  int unsaved_ = 0;
  // Shared with the saving thread.
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<std::string> pending_;  // the text to save next
  bool saving_ = false;
  bool stop_ = false;
  std::optional<std::string> failure_;
  std::thread saver_;
};

}  // namespace roarmark
