// The report's figures from a show log's rows: the show's LAeq (an energy mean of its seconds
// with input), the maxima, the time above the limit and the quarter-hour steps.
#include <algorithm>
#include <cmath>
#include <map>

#include "measure/show_report.h"

namespace roarmark {
namespace {

std::optional<double> EnergyMean(double energy, std::int64_t seconds) {
  if (seconds <= 0) return std::nullopt;
  return 10 * std::log10(energy / static_cast<double>(seconds));
}

double Energy(double db) {
  return std::pow(10.0, db / 10);
}

}  // namespace

TReportSummary SummariseShow(const std::vector<TLogRow>& rows) {
  TReportSummary s;
  double energy = 0;
  std::int64_t heard = 0;
  std::int64_t above = 0;
  for (const TLogRow& r : rows) {
    s.Seconds = std::max(s.Seconds, r.Second + 1);
    if (r.Limit) {
      s.Limit = r.Limit;
      s.LimitMinutes = r.LimitMinutes.value_or(0);
    }
    if (r.Lost) {
      ++s.LostSeconds;
      continue;
    }
    energy += Energy(r.LAeq);
    ++heard;
    s.LAFmax = std::max(s.LAFmax.value_or(r.LAFmax), r.LAFmax);
    s.LCpeak = std::max(s.LCpeak.value_or(r.LCpeak), r.LCpeak);
    if (r.Limit && r.LimitLAeq && *r.LimitLAeq > *r.Limit) ++above;
  }
  s.LAeq = EnergyMean(energy, heard);
  s.MinutesAboveLimit = static_cast<double>(above) / 60;
  return s;
}

std::vector<TReportStep> QuarterHourSteps(const std::vector<TLogRow>& rows) {
  constexpr std::int64_t kQuarter = 900;
  std::map<std::int64_t, std::pair<double, std::int64_t>> quarters;  // energy, seconds heard
  std::int64_t length = 0;
  for (const TLogRow& r : rows) {
    length = std::max(length, r.Second + 1);
    auto& q = quarters[r.Second / kQuarter];
    if (!r.Lost) {
      q.first += Energy(r.LAeq);
      ++q.second;
    }
  }
  std::vector<TReportStep> steps;
  for (const auto& [index, q] : quarters) {
    steps.push_back({index * kQuarter, std::min((index + 1) * kQuarter, length),
                     EnergyMean(q.first, q.second)});
  }
  return steps;
}

std::string ReportPath(const std::string& log_path) {
  const std::size_t name = log_path.find_last_of("/\\:");
  const std::size_t dot = log_path.rfind('.');
  if (dot == std::string::npos || (name != std::string::npos && dot < name)) {
    return log_path + ".png";
  }
  return log_path.substr(0, dot) + ".png";
}

}  // namespace roarmark
