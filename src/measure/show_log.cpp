// The show log's rows as CSV (written and read with libcsv) and its file.
#include "measure/show_log.h"

#include <csv.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "platform/file_path.h"
#include "settings/file_save.h"
#include "settings/sound_settings.h"

namespace roarmark {
namespace {

constexpr int kColumns = 10;

std::string Quoted(const std::string& text) {
  std::string out(csv_write(nullptr, 0, text.data(), text.size()), '\0');
  csv_write(out.data(), out.size(), text.data(), text.size());
  return out;
}

std::optional<double> Number(const std::string& field) {
  return field.empty() ? std::nullopt : ParseDb(field);
}

// The fields of each record, gathered by libcsv's callbacks.
struct TRecords {
  std::vector<std::vector<std::string>> Rows;
  std::vector<std::string> Fields;
};

void OnField(void* data, std::size_t size, void* records) {
  auto* r = static_cast<TRecords*>(records);
  r->Fields.emplace_back(static_cast<const char*>(data), size);
}

void OnRecord(int, void* records) {
  auto* r = static_cast<TRecords*>(records);
  r->Rows.push_back(std::move(r->Fields));
  r->Fields.clear();
}

bool ParseTime(const std::string& text, std::int64_t& seconds) {
  int h = 0, m = 0, s = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d:%2d:%2d%c", &h, &m, &s, &tail) != 3) return false;
  if (h < 0 || m < 0 || m > 59 || s < 0 || s > 59) return false;
  seconds = (static_cast<std::int64_t>(h) * 60 + m) * 60 + s;
  return true;
}

}  // namespace

std::string RunTimeText(std::int64_t seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return buf;
}

std::string LogHeader() {
  return "Time,LAeq 1s,LAFmax,LCpeak,Level,Readout,LAeq Limit Period,Limit,Limit Minutes,Input";
}

std::string LogLine(const TLogRow& r) {
  std::string line = RunTimeText(r.Second);
  auto add = [&line](const std::string& field) { line += "," + field; };
  if (r.Lost) {
    add("");
    add("");
    add("");
    add("");
    add("");
    add("");
  } else {
    add(DbText(r.LAeq));
    add(DbText(r.LAFmax));
    add(DbText(r.LCpeak));
    add(DbText(r.Level));
    add(Quoted(r.Readout));
    add(r.LimitLAeq ? DbText(*r.LimitLAeq) : "");
  }
  add(r.Limit ? DbText(*r.Limit) : "");
  add(r.LimitMinutes ? std::to_string(*r.LimitMinutes) : "");
  add(r.Lost ? "lost" : "ok");
  return line;
}

std::vector<TLogRow> ParseLog(const std::string& text) {
  TRecords records;
  csv_parser parser;
  std::vector<TLogRow> rows;
  if (csv_init(&parser, 0) != 0) return rows;
  csv_parse(&parser, text.data(), text.size(), OnField, OnRecord, &records);
  csv_fini(&parser, OnField, OnRecord, &records);
  csv_free(&parser);
  for (const auto& f : records.Rows) {
    if (f.size() != kColumns) continue;
    TLogRow row;
    if (!ParseTime(f[0], row.Second)) continue;
    row.Limit = Number(f[7]);
    if (const auto minutes = Number(f[8])) row.LimitMinutes = static_cast<int>(*minutes);
    if (f[9] == "lost") {
      row.Lost = true;
    } else if (f[9] == "ok") {
      const auto laeq = Number(f[1]);
      const auto lafmax = Number(f[2]);
      const auto lcpeak = Number(f[3]);
      const auto level = Number(f[4]);
      if (!laeq || !lafmax || !lcpeak || !level) continue;
      row.LAeq = *laeq;
      row.LAFmax = *lafmax;
      row.LCpeak = *lcpeak;
      row.Level = *level;
      row.Readout = f[5];
      row.LimitLAeq = Number(f[6]);
    } else {
      continue;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string NextLogPath(const std::string& folder) {
  for (int n = 1;; ++n) {
    char name[64];
    std::snprintf(name, sizeof name, "Show Log %04d.csv", n);
    std::error_code ec;
    if (!std::filesystem::exists(platform::FilePath(folder + name), ec)) return folder + name;
  }
}

TShowLog::TShowLog(std::string path) : path_(std::move(path)), text_(LogHeader() + "\r\n") {
  SaveFileWhole(path_, text_);
  saver_ = std::thread([this] { SaveLoop(); });
}

TShowLog::~TShowLog() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (saver_.joinable()) saver_.join();
}

void TShowLog::Add(const TLogRow& row) {
  text_ += LogLine(row) + "\r\n";
  if (++unsaved_ >= kLogSaveSeconds) SaveSoon();
}

void TShowLog::SaveSoon() {
  if (unsaved_ == 0) return;
  unsaved_ = 0;
  {
    std::lock_guard lock(mutex_);
    pending_ = text_;  // a newer text replaces one still waiting
  }
  wake_.notify_all();
}

void TShowLog::WaitSaved() {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return !pending_ && !saving_; });
}

std::optional<std::string> TShowLog::TakeFailure() {
  std::lock_guard lock(mutex_);
  return std::exchange(failure_, std::nullopt);
}

void TShowLog::Finish() {
  {
    std::unique_lock lock(mutex_);
    stop_ = true;
    wake_.notify_all();
    wake_.wait(lock, [this] { return !saving_; });
    pending_.reset();
  }
  if (saver_.joinable()) saver_.join();
  SaveFileWhole(path_, text_);
  unsaved_ = 0;
}

void TShowLog::SaveLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || pending_; });
    if (stop_) return;
    const std::string text = std::move(*pending_);
    pending_.reset();
    saving_ = true;
    lock.unlock();
    std::optional<std::string> failure;
    try {
      SaveFileWhole(path_, text);
    } catch (const std::exception& e) {
      failure = e.what();
    }
    lock.lock();
    saving_ = false;
    if (failure) failure_ = failure;
    wake_.notify_all();
  }
}

}  // namespace roarmark
