// The calibrated sound level beside the level engine: it takes every capture buffer right after
// the engine and owns everything measured from it (levels, periods, the noise limit, a running
// calibration and the show log).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "measure/calibration.h"
#include "measure/noise_limit.h"
#include "measure/period_leq.h"
#include "measure/show_log.h"
#include "measure/sound_level.h"
#include "settings/sound_settings.h"

namespace roarmark {

// A buffer arriving this long after the one before means the input was away in between.
inline constexpr std::uint32_t kGapMs = 1500;

// Levels in dB with the calibration offset.
struct TSoundFigures {
  double LAF = 0, LAS = 0, LAeq = 0, LAFmax = 0, LCpeak = 0, LZeq = 0;
};

// What the display shows at the moment a log row is written.
struct TDisplaySnapshot {
  double Level = 0;  // 0..100
  std::string Readout;
};

TWeighting WeightingOf(char letter);
TTimeWeighting TimeWeightingOf(char letter);

class TSoundMeter {
 public:
  // `settings` is read live; `log_folder` (ending with the separator) receives the show logs.
  TSoundMeter(const TSoundSettings& settings, std::string log_folder);
  ~TSoundMeter();

  // One capture buffer of 1100 frames, at the millisecond tick it arrived.
  void ProcessBuffer(const std::uint8_t* block, std::uint32_t tick_ms);

  TSoundFigures Figures() const;
  // The level of the weighting and time weighting the settings choose.
  double ChosenLevel() const;
  // "97.4 dB(A)", or "97 dB(A)" without tenths.
  std::string ReadoutText(bool show_decimal, char decimal_separator) const;
  // The limit's LAeq over its minutes, and where it stands against the limit (updated each
  // second).
  std::optional<double> LimitLAeq() const;
  TLimitState LimitState() const { return limit_state_; }

  // LAeq per minute and per quarter hour of the run.
  const TPeriodLeq& Minutes() const { return minutes_; }
  const TPeriodLeq& Quarters() const { return quarters_; }
  const TSoundLevel& Level() const { return level_; }

  // Calibrating: 3 s of the coming buffers; OnCalibrated hears the verdict (from inside the
  // buffer's handling) and a Done verdict's offset.
  void StartCalibration(double calibrator_db);
  bool Calibrating() const { return calibration_ != nullptr; }
  std::function<void(TCalibrationVerdict verdict, double offset)> OnCalibrated;

  // The show log follows the settings' "Log" on every buffer. Snapshot gives each row the
  // display's figures; OnLogFailed hears a write failure, after which this run logs no more.
  std::function<TDisplaySnapshot()> Snapshot;
  std::function<void(const std::string& what)> OnLogFailed;
  // The log of this run so far (empty before one was started).
  const std::string& LogPath() const { return log_path_; }
  // Saves the log's last rows and closes it.
  void FinishLog();
  // Waits until the rows handed to the disk so far are there.
  void WaitForLog();

 private:
  void FollowLogSetting();
  void EndSeconds();
  void LogFailed(const std::string& what);

  const TSoundSettings& settings_;
  std::string log_folder_;
  TSoundLevel level_;
  TPeriodLeq minutes_{60};
  TPeriodLeq quarters_{900};
  TNoiseLimit limit_;
  TLimitState limit_state_ = TLimitState::None;
  std::unique_ptr<TCalibration> calibration_;
  std::unique_ptr<TShowLog> log_;
  std::string log_path_;
  bool log_failed_ = false;
  std::optional<std::uint32_t> last_tick_;
  std::vector<TSecond> seconds_;
};

}  // namespace roarmark
