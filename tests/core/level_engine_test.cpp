// Level engine behaviour: table, envelope, reference, decay, averaging, hold and reset.
#include "core/level_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace roarmark {
namespace {

struct FakeDisplay : IMeterDisplay {
  std::vector<std::string> calls;
  std::vector<double> readouts;
  void DrawVerticalBars(int p) override { calls.push_back("V" + std::to_string(p)); }
  void DrawHorizontalBars(int p) override { calls.push_back("H" + std::to_string(p)); }
  void DrawAnalogueMeter(int p) override { calls.push_back("A" + std::to_string(p)); }
  void RestoreReadoutBacking() override { calls.push_back("restore"); }
  void DrawReadout(double v) override {
    calls.push_back("readout");
    readouts.push_back(v);
  }
};

struct FakeFields : ISetupFields {
  std::string reference = " 0";
  std::string decay = "2";
  TColor reference_colour = 0;
  TColor decay_colour = 0;
  std::string headroom = "unset";
  std::string ReferenceText() const override { return reference; }
  void SetReferenceColour(TColor c) override { reference_colour = c; }
  std::string DecayText() const override { return decay; }
  void SetDecayColour(TColor c) override { decay_colour = c; }
  void SetHeadroomCaption(const std::string& c) override { headroom = c; }
};

// One buffer whose every frame holds the given left and right samples.
std::vector<std::uint8_t> Constant(int left, int right) {
  std::vector<std::uint8_t> b(kBufferBytes);
  for (int f = 0; f < kFramesPerBuffer; ++f) {
    b[4 * f] = static_cast<std::uint8_t>(left & 0xFF);
    b[4 * f + 1] = static_cast<std::uint8_t>((left >> 8) & 0xFF);
    b[4 * f + 2] = static_cast<std::uint8_t>(right & 0xFF);
    b[4 * f + 3] = static_cast<std::uint8_t>((right >> 8) & 0xFF);
  }
  return b;
}

// A 100 Hz full-scale square wave: 220.5 frames per half period.
std::vector<std::uint8_t> Square() {
  std::vector<std::uint8_t> b(kBufferBytes);
  for (int f = 0; f < kFramesPerBuffer; ++f) {
    int s = (static_cast<int>(f / 220.5) % 2 == 0) ? 32767 : -32767;
    for (int c = 0; c < 2; ++c) {
      b[4 * f + 2 * c] = static_cast<std::uint8_t>(s & 0xFF);
      b[4 * f + 2 * c + 1] = static_cast<std::uint8_t>((s >> 8) & 0xFF);
    }
  }
  return b;
}

// A first frame of `m` on both channels and silence after it: the envelope is m div 40.
std::vector<std::uint8_t> SingleStep(int m) {
  std::vector<std::uint8_t> b = Constant(0, 0);
  std::vector<std::uint8_t> first = Constant(m, m);
  std::copy(first.begin(), first.begin() + 4, b.begin());
  return b;
}

const std::vector<std::uint8_t> kSilence = Constant(0, 0);

class EngineTest : public ::testing::Test {
 protected:
  EngineTest() {
    BuildLevelTable(table);
    settings.Style = kStyleVerticalBars;
  }
  void Run(const std::vector<std::uint8_t>& block, bool dragging = false) {
    TLevelEngine engine{state, table, settings, display, fields, [this] { return tick; }, decimal};
    ProcessBuffer(engine, block.data(), dragging);
  }
  double LastReadout() const { return display.readouts.empty() ? -1 : display.readouts.back(); }

  LevelTable table{};
  TMeterState state;
  TMeterSettings settings;
  FakeDisplay display;
  FakeFields fields;
  std::uint32_t tick = 1000;
  char decimal = '.';
};

// --- Level table ---------------------------------------------------------------------------------

TEST(LevelTable, HoldsTheCheckValuesBreakpointsAndTiesToEven) {
  LevelTable t{};
  BuildLevelTable(t);
  const struct {
    int index;
    int value;
  } cases[] = {
      {0, 0},       {1, 1},       {100, 70},    {205, 144},   {221, 162},  {253, 200},
      {285, 236},   {300, 254},   {317, 274},   {333, 292},   {512, 436},  {819, 584},
      {1000, 639},  {1293, 728},  {1500, 820},  {1626, 876},  {2000, 909}, {3000, 996},
      {3271, 1019}, {3272, 1020}, {3276, 1020}, {3277, 1020},
  };
  for (const auto& c : cases)
    EXPECT_EQ(t[c.index], c.value) << "index " << c.index;
}

TEST(LevelTable, NeverDecreases) {
  LevelTable t{};
  BuildLevelTable(t);
  for (int i = 1; i < kLevelTableSize; ++i)
    ASSERT_LE(t[i - 1], t[i]) << "index " << i;
}

TEST(LevelTable, SegmentWithLastBeforeFirstWritesNothing) {
  LevelTable t{};
  t.fill(-7);
  FillLevelSegment(t, 10, 9, 0, 255);
  for (int v : t)
    ASSERT_EQ(v, -7);
}

// --- Envelope, reference and level ---------------------------------------------------------------

TEST_F(EngineTest, FullScaleSquareWaveAtZeroReferenceReachesTheTop) {
  Run(Square());
  EXPECT_EQ(state.Position, 1020);
  EXPECT_EQ(LastReadout(), 1020.0);
  EXPECT_EQ(fields.headroom, "0 dB");
}

TEST_F(EngineTest, ConstantSignalSettlesThirtyNineBelowItsMagnitude) {
  // E ends at M - 39: 32767 -> 32728 (index 3273); 16439 -> 16400.
  struct Case {
    int sample;
    std::string reference;
    double level;
  } cases[] = {
      {32767, " 0", 1020},  // index round(3272.8) = 3273
      {16439, "-6", 1020},  // 16400 / 5.0119 = 3272.2 -> 3272
      {3311, "-20", 1020},  // divisor 1: envelope 3272
      {3310, "-20", 1019},  // envelope 3271
      {3310, "-30", 1019},  // below -20 the divisor stays 1
      {32767, "6", 877},    // 32728 / 19.95 = 1640.3 -> 1640
      {39, " 0", 0},        // below 40 the envelope never moves
  };
  for (const auto& c : cases) {
    state = TMeterState{};
    fields.reference = c.reference;
    Run(Constant(c.sample, c.sample));
    EXPECT_EQ(LastReadout(), c.level) << c.sample << " at " << c.reference;
  }
}

TEST_F(EngineTest, OppositeChannelsCancel) {
  Run(Constant(20000, -20000));
  EXPECT_EQ(LastReadout(), 0.0);
  EXPECT_EQ(state.Position, 1);
}

TEST_F(EngineTest, IndexRoundsHalvesToEven) {
  // V = 25 and 35 at divisor 10: 2.5 -> 2 (table 1), 3.5 -> 4 (table 3).
  Run(SingleStep(1000));
  EXPECT_EQ(LastReadout(), 1.0);
  state = TMeterState{};
  Run(SingleStep(1400));
  EXPECT_EQ(LastReadout(), 3.0);
}

TEST_F(EngineTest, ReferenceTextDecidesColourAndHeadroomLabel) {
  struct Case {
    std::string text;
    char decimal;
    TColor colour;
    std::string headroom;
  } cases[] = {
      {" 0", '.', kClWindow, "0 dB"},
      {"-6", '.', kClWindow, "6 dB"},
      {"  -4.5", '.', kClWindow, "4.5 dB"},
      {"-4,5", ',', kClWindow, "4,5 dB"},
      {"6", '.', kClWindow, "-6 dB"},
      {"-4,5", '.', kClRed, "unset"},
      {"", '.', kClRed, "unset"},
      {"abc", '.', kClRed, "unset"},
      {"- 4", '.', kClRed, "unset"},
      {"7000", '.', kClRed, "unset"},  // the divisor would overflow a double
      {"-6 ", '.', kClRed, "unset"},   // blanks are allowed in front only
      {"-6\t", '.', kClRed, "unset"},
      {"-0000000000000000000006", '.', kClWindow, "6 dB"},
  };
  for (const auto& c : cases) {
    fields = FakeFields{};
    fields.reference = c.text;
    decimal = c.decimal;
    Run(kSilence);
    EXPECT_EQ(fields.reference_colour, c.colour) << '"' << c.text << '"';
    EXPECT_EQ(fields.headroom, c.headroom) << '"' << c.text << '"';
  }
}

TEST_F(EngineTest, InvalidReferenceMeasuresAtZeroDecibels) {
  fields.reference = "loud";
  Run(Constant(32767, 32767));
  EXPECT_EQ(LastReadout(), 1020.0);
  fields.reference = "7000";
  state = TMeterState{};
  Run(Constant(32767, 32767));
  EXPECT_EQ(LastReadout(), 1020.0);
}

TEST_F(EngineTest, FieldTurnsBackToNormalOnceCorrected) {
  fields.reference = "x";
  Run(kSilence);
  EXPECT_EQ(fields.reference_colour, kClRed);
  fields.reference = "-6";
  Run(kSilence);
  EXPECT_EQ(fields.reference_colour, kClWindow);
  EXPECT_EQ(fields.headroom, "6 dB");
}

// --- Decay and position --------------------------------------------------------------------------

TEST_F(EngineTest, DecayTextSetsTheStep) {
  struct Case {
    std::string text;
    int step;
    TColor colour;
  } cases[] = {
      {"2", 10, kClWindow},
      {" 3", 15, kClWindow},
      {"0", 0, kClWindow},
      {"-1", -5, kClWindow},
      {"two", 2, kClRed},
      {"", 2, kClRed},
      {"1.5", 2, kClRed},
      {"2147483647", 2147483647, kClWindow},
      {"3 ", 2, kClRed},
      {" 3\t", 2, kClRed},  // blanks are allowed in front only
      {"00000000003", 15, kClWindow},
      {"-000000000000000000004", -20, kClWindow},
      {"10000000003", 2, kClRed},  // beyond 32 bits
  };
  for (const auto& c : cases) {
    fields.decay = c.text;
    Run(kSilence);
    EXPECT_EQ(state.DecayStep, c.step) << '"' << c.text << '"';
    EXPECT_EQ(fields.decay_colour, c.colour) << '"' << c.text << '"';
  }
}

TEST_F(EngineTest, MeterFallsByTheStepAndRestsAtOne) {
  Run(Constant(32767, 32767));  // position 1020
  fields.decay = "100";         // 500 per buffer
  Run(kSilence);
  EXPECT_EQ(state.Position, 520);
  Run(kSilence);
  EXPECT_EQ(state.Position, 20);
  Run(kSilence);  // 20 - 0 < 500: straight to the level, then at least 1
  EXPECT_EQ(state.Position, 1);
}

TEST_F(EngineTest, DecayNeverGoesBelowTheCurrentLevel) {
  Run(Constant(32767, 32767));
  fields.decay = "100";
  Run(Constant(16439, 16439));  // level 877 (index 1640); 1020 - 877 is less than the step
  EXPECT_EQ(state.Position, 877);
}

TEST_F(EngineTest, ZeroDecayHoldsAndNegativeDecayClimbs) {
  Run(Constant(16439, 16439));
  const int held = state.Position;
  fields.decay = "0";
  Run(kSilence);
  EXPECT_EQ(state.Position, held);
  fields.decay = "-20";  // climbs by 100 per buffer up to 1024
  Run(kSilence);
  EXPECT_EQ(state.Position, held + 100);
  for (int i = 0; i < 20; ++i)
    Run(kSilence);
  EXPECT_EQ(state.Position, 1024);
  fields.decay = "-2147483648";  // saturates instead of overflowing
  Run(kSilence);
  EXPECT_EQ(state.Position, 1024);
}

// --- Averaging -----------------------------------------------------------------------------------

TEST_F(EngineTest, AveragingOverTheRing) {
  settings.ShowAverage = true;
  settings.AverageNumber = 4;
  fields.reference = "-20";   // divisor 1: index = averaged envelope
  Run(Constant(1039, 1039));  // envelope 1000; average (1000 + 0 + 0 + 0) / 4 = 250
  EXPECT_EQ(state.AverageIndex, 1);
  EXPECT_EQ(LastReadout(), table[250]);
  Run(Constant(1039, 1039));  // 2000 / 4 = 500
  EXPECT_EQ(LastReadout(), table[500]);
}

TEST_F(EngineTest, AverageOfOneIsTheBufferItself) {
  settings.ShowAverage = true;
  settings.AverageNumber = 1;
  fields.reference = "-20";
  Run(Constant(1039, 1039));
  EXPECT_EQ(LastReadout(), table[1000]);
  EXPECT_EQ(state.AverageIndex, 0);
}

TEST_F(EngineTest, RingKeepsItsValuesWhileAveragingIsOff) {
  settings.AverageNumber = 2;
  fields.reference = "-20";
  settings.ShowAverage = true;
  Run(Constant(1039, 1039));  // slot 0 = 1000
  settings.ShowAverage = false;
  Run(Constant(2039, 2039));  // not written
  EXPECT_EQ(state.AverageRing[1], 0);
  settings.ShowAverage = true;
  Run(Constant(639, 639));  // slot 1 = 600: (1000 + 600) / 2 = 800
  EXPECT_EQ(state.AverageRing[0], 1000);
  EXPECT_EQ(state.AverageRing[1], 600);
}

TEST_F(EngineTest, LoweredCountResumesAtSlotZero) {
  settings.ShowAverage = true;
  settings.AverageNumber = 5;
  for (int i = 0; i < 3; ++i)
    Run(kSilence);
  EXPECT_EQ(state.AverageIndex, 3);
  settings.AverageNumber = 2;
  fields.reference = "-20";
  Run(Constant(1039, 1039));  // written to slot 0, not 3
  EXPECT_EQ(state.AverageRing[0], 1000);
  EXPECT_EQ(state.AverageRing[3], 0);
  EXPECT_EQ(state.AverageIndex, 1);
}

TEST_F(EngineTest, CountsOutsideTheRingAreClamped) {
  settings.ShowAverage = true;
  fields.reference = "-20";
  settings.AverageNumber = 0;  // behaves as 1
  Run(Constant(1039, 1039));
  EXPECT_EQ(LastReadout(), table[1000]);
  settings.AverageNumber = 5000;  // behaves as 400
  state = TMeterState{};
  for (int i = 0; i < 450; ++i)
    Run(Constant(1039, 1039));
  EXPECT_LT(state.AverageIndex, kMaxAverageNumber);
  EXPECT_EQ(state.AverageRing[400], 0);
}

// --- Drawing, peak hold and reset ----------------------------------------------------------------

TEST_F(EngineTest, StyleChoosesTheRendererAndReadoutFollowsTheMeter) {
  const struct {
    int style;
    const char* meter;
  } cases[] = {{0, nullptr}, {1, "V1"}, {2, "H1"}, {3, "A1"}};
  for (const auto& c : cases) {
    display = FakeDisplay{};
    state = TMeterState{};
    settings.Style = c.style;
    Run(kSilence);
    std::vector<std::string> expected;
    if (c.meter) expected.push_back(c.meter);
    expected.push_back("readout");
    EXPECT_EQ(display.calls, expected) << "style " << c.style;
  }
}

TEST_F(EngineTest, TransparentReadoutRestoresItsBackgroundFirst) {
  settings.Transparent = true;
  Run(kSilence);
  EXPECT_EQ(display.calls, (std::vector<std::string>{"V1", "restore", "readout"}));
}

TEST_F(EngineTest, DraggingSkipsAllDrawingButMeasures) {
  Run(Constant(32767, 32767), /*dragging=*/true);
  EXPECT_TRUE(display.calls.empty());
  EXPECT_EQ(state.Position, 1020);
  EXPECT_EQ(state.PeakMarker, 0);
}

TEST_F(EngineTest, RaiseHoldsSeventyFourFurtherBuffers) {
  Run(Constant(16439, 16439));
  EXPECT_EQ(state.PeakMarker, state.Position);
  EXPECT_EQ(state.HoldCount, 74);
  EXPECT_EQ(state.PeakTick, 1000u);
  const int marker = state.PeakMarker;
  for (int i = 0; i < 73; ++i)
    Run(kSilence);
  EXPECT_EQ(state.HoldCount, 1);
  EXPECT_EQ(state.PeakMarker, marker);
  Run(kSilence);
  EXPECT_EQ(state.HoldCount, 0);
  EXPECT_EQ(state.PeakMarker, 0);
  const int falling = state.Position;
  Run(kSilence);  // raised again to the falling position
  EXPECT_EQ(state.PeakMarker, falling - 10);
}

TEST_F(EngineTest, PeakHoldFreezesTheCount) {
  Run(Constant(16439, 16439));
  for (int i = 0; i < 4; ++i)
    Run(kSilence);
  EXPECT_EQ(state.HoldCount, 70);
  settings.PeakHold = true;
  for (int i = 0; i < 200; ++i)
    Run(kSilence);
  EXPECT_EQ(state.HoldCount, 70);
  EXPECT_GT(state.PeakMarker, 0);
}

TEST_F(EngineTest, ResetPeakDuringSilenceRaisesAtOneWithReadoutZero) {
  for (int i = 0; i < 3; ++i)
    Run(kSilence);
  ResetPeak(state);
  display = FakeDisplay{};
  Run(kSilence);
  EXPECT_EQ(state.PeakMarker, 1);
  EXPECT_EQ(LastReadout(), 0.0);
}

TEST_F(EngineTest, AutoResetClearsTheMarkerAfterResetTimeAcrossTheWrap) {
  settings.PeakHold = true;
  settings.AutoReset = true;
  settings.ResetTime = 5000;
  tick = 4294966000u;  // 1296 ms before the counter wraps
  Run(Constant(32767, 32767));
  ASSERT_EQ(state.PeakMarker, 1020);
  fields.decay = "1";
  tick += 5000;  // wrapped; exactly the reset time: not yet
  Run(kSilence);
  EXPECT_EQ(state.PeakMarker, 1020);
  tick += 1;
  Run(kSilence);
  EXPECT_EQ(state.PeakMarker, 0);
}

TEST_F(EngineTest, NegativeResetTimeClearsAtOnce) {
  settings.PeakHold = true;
  settings.AutoReset = true;
  settings.ResetTime = -5;
  Run(Constant(32767, 32767));
  EXPECT_EQ(state.PeakMarker, 0);
}

TEST_F(EngineTest, BlankingShowsBlankAndClearsTheMarkerEveryBuffer) {
  settings.PeakHold = true;
  Run(Constant(32767, 32767));
  ToggleBlank(state, display);
  EXPECT_TRUE(state.Blanked);
  EXPECT_EQ(state.PeakMarker, 0);
  EXPECT_EQ(LastReadout(), 0.0);
  Run(Constant(32767, 32767));  // level forced to 0; meter falls by the decay step
  EXPECT_EQ(state.Position, 1010);
  EXPECT_EQ(state.PeakMarker, 0);
  const std::size_t drawn = display.readouts.size();
  ToggleBlank(state, display);  // unblanking draws nothing by itself
  EXPECT_FALSE(state.Blanked);
  EXPECT_EQ(display.readouts.size(), drawn);
}

// --- Number helpers ------------------------------------------------------------------------------

TEST(NumberFormat, GeneralFormatIsShortest) {
  const struct {
    double value;
    char sep;
    const char* text;
  } cases[] = {{6, '.', "6"},          {-6, '.', "-6"},   {4.5, ',', "4,5"},
               {0.0, '.', "0"},        {-0.0, '.', "0"},  {1e20, '.', "1E20"},
               {0.00001, '.', "1E-5"}, {0.1, '.', "0.1"}, {123.25, '.', "123.25"}};
  for (const auto& c : cases)
    EXPECT_EQ(FormatGeneral(c.value, c.sep), c.text) << c.value;
}

}  // namespace
}  // namespace roarmark
