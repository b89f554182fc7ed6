// CSV results: RFC 4180 lines (CR LF, fields with commas or quotes quoted), UTF-8 names.
#include "contest/results_file.h"

#include <cstdio>

#include "settings/file_save.h"
#include "settings/paths.h"

namespace roarmark {

namespace {

std::string Two(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

std::string DateText(const platform::TLocalTime& t) {
  return std::to_string(t.Year) + "-" + Two(t.Month) + "-" + Two(t.Day);
}

std::string Tenths(std::int64_t tenths) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string ResultsFileName(const platform::TLocalTime& t) {
  return "Contest Results " + DateText(t) + " " + Two(t.Hour) + "-" + Two(t.Minute) + "-" +
         Two(t.Second) + ".csv";
}

std::string TimeText(const platform::TLocalTime& t) {
  return DateText(t) + " " + Two(t.Hour) + ":" + Two(t.Minute) + ":" + Two(t.Second);
}

std::string ResultLine(const TResultRow& row) {
  const std::int64_t frames = row.Buffers * 1100;
  const std::int64_t seconds_tenths = (frames * 10 + 22050) / 44100;
  return CsvField(row.Contestant) + "," + TimeText(row.Start) + "," + Tenths(seconds_tenths) + "," +
         Tenths(row.Figures.AverageTenths) + "," + Tenths(row.Figures.PeakTenths) + "," +
         (row.Void ? std::string() : Tenths(row.ScoreTenths)) + "," + (row.Void ? "1" : "0");
}

TResultsFile::TResultsFile(std::string files_folder, const platform::TLocalTime& started)
    : folder_(std::move(files_folder)), started_(started) {}

void TResultsFile::Add(const TResultRow& row) {
  if (path_.empty()) {
    // Two runs started within the same second must not share a file.
    const std::string name = ResultsFileName(started_);
    path_ = folder_ + name;
    for (int n = 2; FileExists(path_); ++n)
      path_ = folder_ + name.substr(0, name.size() - 4) + " (" + std::to_string(n) + ").csv";
    text_ = std::string(kResultsHeader) + "\r\n";
  }
  text_ += ResultLine(row) + "\r\n";
  SaveFileWhole(path_, text_);
}

}  // namespace roarmark
