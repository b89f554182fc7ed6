// The post-show report: a PNG beside a show log with the level over time, the LAeq of every
// quarter hour as steps, the limit, the gaps and a summary, drawn with the program's own raster
// and fonts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "measure/show_log.h"
#include "platform/fonts.h"
#include "platform/pixels.h"

namespace roarmark {

struct TReportSummary {
  std::int64_t Seconds = 0;      // the run's length
  std::int64_t LostSeconds = 0;  // without input
  std::optional<double> LAeq;    // over the seconds with input
  std::optional<double> LAFmax;
  std::optional<double> LCpeak;
  std::optional<double> Limit;   // the last one set
  int LimitMinutes = 0;          // the window of that limit, as the log's rows show it
  double MinutesAboveLimit = 0;  // while the limit's LAeq stood above its limit
};

// One quarter hour of the run and its LAeq (nothing when it had no input).
struct TReportStep {
  std::int64_t FirstSecond = 0, EndSecond = 0;
  std::optional<double> LAeq;
};

TReportSummary SummariseShow(const std::vector<TLogRow>& rows);
std::vector<TReportStep> QuarterHourSteps(const std::vector<TLogRow>& rows);

// The picture of a show; `title` names it.
platform::TPixels DrawShowReport(const std::vector<TLogRow>& rows, const std::string& title,
                                 platform::IFonts* fonts);

// "Show Log 0001.csv" gives "Show Log 0001.png" beside it.
std::string ReportPath(const std::string& log_path);
// Reads the log and writes its report; empty on success, else why not.
std::string WriteShowReport(const std::string& log_path, platform::IFonts* fonts);

}  // namespace roarmark
