// One buffer through the sound level: a gap first if the input was away, the levels, a running
// calibration, then every second the buffer completed (periods, limit, log row).
#include "measure/sound_meter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "platform/file_path.h"
#include "settings/file_save.h"

namespace roarmark {
namespace {

constexpr int kFrames = 1100;

}  // namespace

TWeighting WeightingOf(char letter) {
  return letter == 'C' ? TWeighting::C : letter == 'Z' ? TWeighting::Z : TWeighting::A;
}

TTimeWeighting TimeWeightingOf(char letter) {
  return letter == 'S' ? TTimeWeighting::Slow : TTimeWeighting::Fast;
}

TSoundMeter::TSoundMeter(const TSoundSettings& settings, std::string log_folder)
    : settings_(settings), log_folder_(std::move(log_folder)) {
  seconds_.reserve(8);
}

TSoundMeter::~TSoundMeter() = default;

void TSoundMeter::ProcessBuffer(const std::uint8_t* block, std::uint32_t tick_ms) {
  FollowLogSetting();
  if (last_tick_) {
    const std::uint32_t away = tick_ms - *last_tick_;
    if (away >= kGapMs) {
      // The buffer itself is the first sound after the gap.
      level_.MarkLost(static_cast<int>((away - 25 + 500) / 1000));
      EndSeconds();
      if (log_) log_->SaveSoon();
    }
  }
  last_tick_ = tick_ms;
  level_.ProcessBlock(block, kFrames);
  if (calibration_) {
    calibration_->Feed(block, kFrames);
    const TCalibrationVerdict verdict = calibration_->Verdict();
    if (verdict != TCalibrationVerdict::Measuring) {
      const double offset = calibration_->Offset();
      calibration_.reset();
      if (OnCalibrated) OnCalibrated(verdict, offset);
    }
  }
  EndSeconds();
}

void TSoundMeter::EndSeconds() {
  if (level_.Seconds().empty()) return;
  seconds_.clear();
  level_.TakeSeconds(seconds_);
  const double offset = settings_.CalibrationOffset;
  const bool has_limit = settings_.Limit > 0;
  for (const TSecond& s : seconds_) {
    minutes_.Add(s.Index, s.Energy.A, s.Energy.Samples);
    quarters_.Add(s.Index, s.Energy.A, s.Energy.Samples);
    limit_.Add(s.Energy.A, s.Energy.Samples, settings_.LimitMinutes);
    const std::optional<double> limit_laeq = LimitLAeq();
    limit_state_ =
        has_limit && limit_laeq ? LimitStateOf(*limit_laeq, settings_.Limit) : TLimitState::None;
    if (!log_) continue;
    TLogRow row;
    row.Second = s.Index;
    row.Lost = s.Lost();
    if (!row.Lost) {
      row.LAeq = LevelDb(s.Energy.A / static_cast<double>(s.Energy.Samples), offset);
      row.LAFmax = LevelDb(s.MaxFastA, offset);
      row.LCpeak = LevelDb(s.PeakC * s.PeakC, offset);
      if (Snapshot) {
        const TDisplaySnapshot snap = Snapshot();
        row.Level = snap.Level;
        row.Readout = snap.Readout;
      }
      if (has_limit) row.LimitLAeq = limit_laeq;
    }
    if (has_limit) {
      row.Limit = settings_.Limit;
      row.LimitMinutes = settings_.LimitMinutes;
    }
    log_->Add(row);
  }
  if (log_) {
    if (const auto failure = log_->TakeFailure()) LogFailed(*failure);
  }
}

std::optional<double> TSoundMeter::LimitLAeq() const {
  const auto ms = limit_.MeanSquare();
  if (!ms) return std::nullopt;
  return LevelDb(*ms, settings_.CalibrationOffset);
}

void TSoundMeter::FollowLogSetting() {
  if (settings_.Log && !log_ && !log_failed_) {
    try {
      std::filesystem::create_directories(platform::FilePath(log_folder_));
      log_path_ = NextLogPath(log_folder_);
      log_ = std::make_unique<TShowLog>(log_path_);
    } catch (const std::exception& e) {
      LogFailed(e.what());
    }
  } else if (!settings_.Log && log_) {
    FinishLog();
  }
}

void TSoundMeter::FinishLog() {
  if (!log_) return;
  try {
    log_->Finish();
  } catch (const TFileWriteError& e) {
    LogFailed(e.what());
  }
  log_.reset();
}

void TSoundMeter::WaitForLog() {
  if (log_) log_->WaitSaved();
}

void TSoundMeter::LogFailed(const std::string& what) {
  log_.reset();
  log_failed_ = true;
  if (OnLogFailed) OnLogFailed(what);
}

TSoundFigures TSoundMeter::Figures() const {
  const double offset = settings_.CalibrationOffset;
  const TEnergy& total = level_.Total();
  const double n = std::max<double>(static_cast<double>(total.Samples), 1);
  TSoundFigures f;
  f.LAF = LevelDb(level_.MeanSquare(TWeighting::A, TTimeWeighting::Fast), offset);
  f.LAS = LevelDb(level_.MeanSquare(TWeighting::A, TTimeWeighting::Slow), offset);
  f.LAeq = LevelDb(total.A / n, offset);
  f.LAFmax = LevelDb(level_.MaxFastA(), offset);
  f.LCpeak = LevelDb(level_.PeakC() * level_.PeakC(), offset);
  f.LZeq = LevelDb(total.Z / n, offset);
  return f;
}

double TSoundMeter::ChosenLevel() const {
  return LevelDb(
      level_.MeanSquare(WeightingOf(settings_.Weighting), TimeWeightingOf(settings_.TimeWeighting)),
      settings_.CalibrationOffset);
}

std::string TSoundMeter::ReadoutText(bool show_decimal, char decimal_separator) const {
  const double level = ChosenLevel();
  char buf[64];
  const auto r =
      std::to_chars(buf, buf + sizeof buf, level, std::chars_format::fixed, show_decimal ? 1 : 0);
  std::string number(buf, r.ptr);
  if (number == "-0" || number == "-0.0") number.erase(0, 1);
  std::replace(number.begin(), number.end(), '.', decimal_separator);
  return number + " dB(" + std::string(1, settings_.Weighting) + ")";
}

void TSoundMeter::StartCalibration(double calibrator_db) {
  calibration_ = std::make_unique<TCalibration>(calibrator_db);
}

}  // namespace roarmark
