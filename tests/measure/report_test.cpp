// The post-show report: its figures from a log's rows, what the picture shows where, and the
// PNG written beside a log of a whole simulated hour.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../temp_folder.h"
#include "measure/show_report.h"
#include "measure/sound_meter.h"
#include "platform/fontconfig/fontconfig_fonts.h"

namespace roarmark {
namespace {

// Half an hour: 900 s at 90 dB, 600 s at 100 dB, 300 s without input; LAFmax 2 dB and LCpeak
// 5 dB above each second's LAeq; a limit of 95 dB over 15 minutes whose LAeq is taken as the
// second's own.
std::vector<TLogRow> HalfHour() {
  std::vector<TLogRow> rows;
  for (std::int64_t s = 0; s < 1800; ++s) {
    TLogRow r;
    r.Second = s;
    r.Lost = s >= 1500;
    r.LAeq = s < 900 ? 90 : 100;
    r.LAFmax = r.LAeq + 2;
    r.LCpeak = r.LAeq + 5;
    if (!r.Lost) r.LimitLAeq = r.LAeq;
    r.Limit = 95;
    r.LimitMinutes = 15;
    rows.push_back(r);
  }
  return rows;
}

// LAeq = 10 lg((900 x 10^9 + 600 x 10^10) / 1500) = 96.63 dB; 600 s above the limit.
TEST(ShowReport, SummaryAndQuarterStepsOfAHalfHour) {
  const TReportSummary s = SummariseShow(HalfHour());
  EXPECT_EQ(s.Seconds, 1800);
  EXPECT_EQ(s.LostSeconds, 300);
  ASSERT_TRUE(s.LAeq && s.LAFmax && s.LCpeak && s.Limit);
  EXPECT_NEAR(*s.LAeq, 96.63, 0.005);
  EXPECT_DOUBLE_EQ(*s.LAFmax, 102);
  EXPECT_DOUBLE_EQ(*s.LCpeak, 105);
  EXPECT_DOUBLE_EQ(*s.Limit, 95);
  EXPECT_EQ(s.LimitMinutes, 15);
  EXPECT_DOUBLE_EQ(s.MinutesAboveLimit, 10);
  const std::vector<TReportStep> steps = QuarterHourSteps(HalfHour());
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[1].FirstSecond, 900);
  EXPECT_EQ(steps[1].EndSecond, 1800);
  ASSERT_TRUE(steps[0].LAeq && steps[1].LAeq);
  EXPECT_NEAR(*steps[0].LAeq, 90, 1e-9);
  EXPECT_NEAR(*steps[1].LAeq, 100, 1e-9);  // the lost seconds count as no time
}

// The plot spans x 72..1256 for 0..1800 s and y 640..112 for the 10 dB steps around the levels
// and the limit: 80..110 dB, 17.6 px a dB. So the limit (95 dB) lies on y 375..376, the second
// quarter's step (100 dB) on y 287..289, and the lost stretch from x 1058 on.
TEST(ShowReport, ThePlotShowsTheLimitTheStepsAndTheGap) {
  platform::TFontconfigFonts fonts;
  const platform::TPixels p = DrawShowReport(HalfHour(), "half hour", &fonts);
  ASSERT_EQ(p.Width, 1280);
  ASSERT_EQ(p.Height, 720);
  auto at = [&p](int x, int y) { return p.Pixels[static_cast<std::size_t>(y * p.Width + x)]; };
  EXPECT_EQ(at(300, 375), 0xFFD12A2Au);   // the limit
  EXPECT_EQ(at(300, 380), 0xFFFFE2BFu);   // the warning band below it
  EXPECT_EQ(at(800, 288), 0xFF1C4F8Fu);   // the step
  EXPECT_EQ(at(1100, 200), 0xFFC9CCD1u);  // no input
  EXPECT_EQ(at(1100, 288), 0xFF1C4F8Fu);  // the quarter's step runs on over the gap
}

// A simulated hour through the sound meter: a 1 kHz tone swelling between -40 and -10 dBFS
// every ten minutes, two minutes without input at 0:40; then the report beside its log.
TEST(ShowReport, AnHourLongShowGivesItsPictureBesideTheLog) {
  const std::filesystem::path dir = test::MakeUniqueTempFolder("report");
  TSoundSettings settings;
  settings.Limit = 100;
  settings.Log = true;
  TSoundMeter meter(settings, dir.string() + "/");
  std::vector<double> cycle(441);
  for (std::size_t i = 0; i < cycle.size(); ++i)
    cycle[i] = 32767 * std::sin(2 * std::numbers::pi * static_cast<double>(i) / 44.1);
  std::vector<std::uint8_t> block(1100 * 4);
  std::int64_t sample = 0;
  std::uint32_t tick = 0;
  for (int b = 0; b < 3600 * 40; ++b, tick += 25) {
    if (b == 40 * 60 * 40) tick += 120000;
    const double t = static_cast<double>(sample) / 44100;
    const double gain = std::pow(10.0, (-25 + 15 * std::sin(2 * std::numbers::pi * t / 600)) / 20);
    for (int i = 0; i < 1100; ++i, ++sample) {
      const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(
          std::lround(gain * cycle[static_cast<std::size_t>(sample % 441)])));
      for (int byte = 0; byte < 4; byte += 2) {
        block[static_cast<std::size_t>(i * 4 + byte)] = static_cast<std::uint8_t>(v & 0xFF);
        block[static_cast<std::size_t>(i * 4 + byte + 1)] = static_cast<std::uint8_t>(v >> 8);
      }
    }
    meter.ProcessBuffer(block.data(), tick);
  }
  meter.FinishLog();
  ASSERT_EQ(meter.LogPath(), dir.string() + "/Show Log 0001.csv");
  platform::TFontconfigFonts fonts;
  EXPECT_EQ(WriteShowReport(meter.LogPath(), &fonts), "");
  std::ifstream png(dir.string() + "/Show Log 0001.png", std::ios::binary);
  std::string head(24, '\0');
  png.read(head.data(), 24);
  // The signature, then IHDR with the width and height big-endian.
  EXPECT_EQ(head.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(head.substr(12, 4), "IHDR");
  EXPECT_EQ(head.substr(16, 8), std::string("\0\0\x05\x00\0\0\x02\xd0", 8));
  EXPECT_NE(WriteShowReport(dir.string() + "/missing.csv", &fonts), "");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace roarmark
