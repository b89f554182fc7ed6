// The running and period equivalent levels, the noise limit, and the calibration from a sound
// calibrator's tone to the levels read afterwards.
#include <gtest/gtest.h>

#include <cmath>

#include "measure/sound_meter.h"
#include "signals.h"

namespace roarmark {
namespace {

constexpr int kFrames = 1100;

// Feeds `meter` whole buffers of a signal given sample by sample, 25 ms of ticks apart.
class TFeeder {
 public:
  explicit TFeeder(TSoundMeter& meter) : meter_(meter) {}
  template <class Signal>
  void Buffers(std::int64_t n, Signal signal) {
    std::vector<std::uint8_t> block(kFrames * 4);
    for (std::int64_t b = 0; b < n; ++b) {
      for (int i = 0; i < kFrames; ++i) {
        const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(signal(sample_++)));
        for (int byte = 0; byte < 4; byte += 2) {
          block[static_cast<std::size_t>(i * 4 + byte)] = static_cast<std::uint8_t>(u & 0xFF);
          block[static_cast<std::size_t>(i * 4 + byte + 1)] = static_cast<std::uint8_t>(u >> 8);
        }
      }
      meter_.ProcessBuffer(block.data(), tick_);
      tick_ += 25;
    }
  }
  void Away(std::uint32_t ms) { tick_ += ms; }
  std::int64_t Sample() const { return sample_; }

 private:
  TSoundMeter& meter_;
  std::int64_t sample_ = 0;
  std::uint32_t tick_ = 1000;
};

// A 1 kHz sine at `dbfs`: ten whole cycles every 441 samples.
auto Sine1k(double dbfs) {
  std::vector<long> cycle(441);
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    cycle[i] = std::lround(test::Amplitude(dbfs) *
                           std::sin(2 * std::numbers::pi * static_cast<double>(i) / 44.1));
  }
  return [cycle](std::int64_t i) { return cycle[static_cast<std::size_t>(i % 441)]; };
}

double Db(const std::optional<double>& ms, double offset) {
  return ms ? LevelDb(*ms, offset) : -999;
}

// 400 buffers at -20 dBFS then 1200 at -30 dBFS, offset 100 dB:
// LAeq = 100 + 10 lg((400 x 10^-2 + 1200 x 10^-3) / 1600) = 100 - 24.88 = 75.12 dB.
TEST(SoundMeter, RunningLAeqOfTwoLevelStepsIsTheirEnergyMean) {
  TSoundSettings settings;
  settings.CalibrationOffset = 100;
  TSoundMeter meter(settings, "");
  TFeeder feed(meter);
  feed.Buffers(400, Sine1k(-20));
  feed.Buffers(1200, Sine1k(-30));
  const TSoundFigures f = meter.Figures();
  EXPECT_NEAR(f.LAeq, 75.12, 0.02);
  EXPECT_NEAR(f.LZeq, 75.12, 0.02);
  EXPECT_NEAR(f.LAFmax, 80.0, 0.05);
}

// 15 minutes at -20 dBFS, 10 at -40 dBFS, then the input is away for 5 minutes and comes back
// at -30 dBFS. Offset 100: the quarters read 80 and 60 (the lost time counts as no sound, not
// as silence); the minutes of the gap have no level.
TEST(SoundMeter, MinutesAndQuartersKeepTheirOwnLevelsAcrossAnInputGap) {
  TSoundSettings settings;
  settings.CalibrationOffset = 100;
  TSoundMeter meter(settings, "");
  TFeeder feed(meter);
  const std::int64_t switch_at = 900LL * 44100;
  auto first = Sine1k(-20);
  auto second = Sine1k(-40);
  feed.Buffers(1500LL * 44100 / kFrames + 1,
               [&](std::int64_t i) { return i < switch_at ? first(i) : second(i); });
  feed.Away(300000);
  feed.Buffers(2 * 60 * 40, Sine1k(-30));
  const auto& quarters = meter.Quarters().Closed();
  ASSERT_EQ(quarters.size(), 2u);
  EXPECT_NEAR(Db(quarters[0].MeanSquare(), 100), 80.0, 0.01);
  EXPECT_NEAR(Db(quarters[1].MeanSquare(), 100), 60.0, 0.01);
  const auto& minutes = meter.Minutes().Closed();
  ASSERT_GE(minutes.size(), 31u);
  EXPECT_NEAR(Db(minutes[14].MeanSquare(), 100), 80.0, 0.01);
  EXPECT_NEAR(Db(minutes[15].MeanSquare(), 100), 60.0, 0.01);
  // The gap began in it, 700 samples into a second: not whole cycles, so a little less exact.
  EXPECT_NEAR(Db(minutes[25].MeanSquare(), 100), 60.0, 0.05);
  for (int m = 26; m < 30; ++m)
    EXPECT_FALSE(minutes[static_cast<std::size_t>(m)].MeanSquare()) << m;
  EXPECT_NEAR(Db(minutes[30].MeanSquare(), 100), 70.0, 0.01);
}

TEST(NoiseLimit, WarnsWithin3dBOfTheLimitAndAlarmsAboveIt) {
  const struct {
    double Level, Limit;
    TLimitState State;
  } cases[] = {
      {96.9, 100, TLimitState::None},     {97.0, 100, TLimitState::Warning},
      {100.0, 100, TLimitState::Warning}, {100.1, 100, TLimitState::Alarm},
      {120.0, 0, TLimitState::None},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LimitStateOf(c.Level, c.Limit), c.State) << c.Level << " against " << c.Limit;
}

// One minute loud (-10 dBFS) then one quiet (-40 dBFS) with a one-minute window: the loud
// minute has left it entirely. Offset 100.
TEST(NoiseLimit, TheWindowHoldsOnlyTheLastMinutes) {
  TSoundSettings settings;
  settings.CalibrationOffset = 100;
  settings.Limit = 85;
  settings.LimitMinutes = 1;
  TSoundMeter meter(settings, "");
  TFeeder feed(meter);
  feed.Buffers(60 * 40 + 1, Sine1k(-10));
  EXPECT_EQ(meter.LimitState(), TLimitState::Alarm);
  feed.Buffers(61 * 40 + 1, Sine1k(-40));
  ASSERT_TRUE(meter.LimitLAeq());
  EXPECT_NEAR(*meter.LimitLAeq(), 60.0, 0.01);
  EXPECT_EQ(meter.LimitState(), TLimitState::None);
}

TEST(Calibration, OnlyASteady1kHzToneIsTaken) {
  auto square = [a = test::Amplitude(-26)](std::int64_t i) { return (i % 44) < 22 ? a : -a; };
  std::uint32_t noise_state = 1;
  auto noise = [&noise_state](std::int64_t) {
    noise_state = noise_state * 1664525u + 1013904223u;
    return static_cast<double>(static_cast<std::int32_t>(noise_state) >> 18);
  };
  auto sine = [](double hz, double dbfs) {
    return [hz, a = test::Amplitude(dbfs)](std::int64_t i) {
      return a * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / 44100);
    };
  };
  auto stepping = [](std::int64_t i) {
    return test::Amplitude(i < 66150 ? -26 : -29) *
           std::sin(2 * std::numbers::pi * 1000 * static_cast<double>(i) / 44100);
  };
  const struct {
    const char* Name;
    std::function<double(std::int64_t)> Signal;
    double Calibrator;
    TCalibrationVerdict Verdict;
    double Offset;
  } cases[] = {
      {"94 dB at -26 dBFS", sine(1000, -26), 94, TCalibrationVerdict::Done, 120.0},
      {"114 dB at -6 dBFS", sine(1000, -6), 114, TCalibrationVerdict::Done, 120.0},
      {"a calibrator 1 % off 1 kHz", sine(1010, -26), 94, TCalibrationVerdict::Done, 120.0},
      {"silence", [](std::int64_t) { return 0.0; }, 94, TCalibrationVerdict::TooQuiet, 0},
      {"a 1 kHz square wave", square, 94, TCalibrationVerdict::NotATone, 0},
      {"noise", noise, 94, TCalibrationVerdict::NotATone, 0},
      {"a 250 Hz tone", sine(250, -26), 94, TCalibrationVerdict::NotATone, 0},
      {"a tone that drops 3 dB halfway", stepping, 94, TCalibrationVerdict::NotSteady, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TCalibration calibration(c.Calibrator);
    std::vector<std::uint8_t> block;
    for (std::int64_t i = 0; i < 3 * 44100 + 100; ++i) {
      const auto u =
          static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(c.Signal(i))));
      for (int ch = 0; ch < 2; ++ch) {
        block.push_back(static_cast<std::uint8_t>(u & 0xFF));
        block.push_back(static_cast<std::uint8_t>(u >> 8));
      }
    }
    calibration.Feed(block.data(), static_cast<int>(block.size() / 4));
    EXPECT_EQ(calibration.Verdict(), c.Verdict);
    if (c.Verdict == TCalibrationVerdict::Done) {
      EXPECT_DOUBLE_EQ(calibration.Offset(), c.Offset);
    }
  }
}

// Calibrating on a synthetic 94 dB tone (1 kHz at -23 dBFS), then measuring: the tone reads
// 94.0 and a tone 10 dB softer 84.0, in every weighting and both time weightings.
TEST(Calibration, ARoundTripReadsTheCalibratorsLevelInEveryWeighting) {
  TSoundSettings settings;
  TSoundMeter meter(settings, "");
  std::optional<TCalibrationVerdict> verdict;
  meter.OnCalibrated = [&](TCalibrationVerdict v, double offset) {
    verdict = v;
    settings.CalibrationOffset = offset;
  };
  TFeeder feed(meter);
  meter.StartCalibration(94);
  feed.Buffers(4 * 40, Sine1k(-23));
  ASSERT_EQ(verdict, TCalibrationVerdict::Done);
  EXPECT_DOUBLE_EQ(settings.CalibrationOffset, 117.0);
  for (const double dbfs : {-23.0, -33.0}) {
    feed.Buffers(12 * 40, Sine1k(dbfs));
    for (const char weighting : {'A', 'C', 'Z'}) {
      for (const char time : {'F', 'S'}) {
        settings.Weighting = weighting;
        settings.TimeWeighting = time;
        EXPECT_NEAR(meter.ChosenLevel(), 117.0 + dbfs, 0.1) << weighting << time << dbfs;
      }
    }
  }
  settings.Weighting = 'C';
  EXPECT_EQ(meter.ReadoutText(true, ','), "84,0 dB(C)");
  EXPECT_EQ(meter.ReadoutText(false, '.'), "84 dB(C)");
}

}  // namespace
}  // namespace roarmark
