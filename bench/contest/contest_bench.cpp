// What a running contest round adds to a whole buffer cycle at 1920 x 1080, as a crowd sounds
// (a 1 kHz tone swelling and fading at 0.7 Hz, so the meter moves every buffer). Target: at
// most 2 µs more than the same cycle with no round. The contest's own part of a buffer is
// measured alone as well: the round's bookkeeping, the check whether its banner needs drawing,
// and the banner drawn again each second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

#include "../bench_program.h"
#include "contest/contest_control.h"
#include "display/contest_board.h"
#include "display/drawn_record.h"
#include "platform/ui/keys.h"

namespace roarmark {
namespace {

std::vector<std::int16_t> Crowd() {
  constexpr int kFrames = 44100 * 10;
  std::vector<std::int16_t> samples(2 * kFrames);
  for (int f = 0; f < kFrames; ++f) {
    const double t = f / 44100.0;
    const double swell = 1.0 - 0.9 * (0.5 - 0.5 * std::sin(2 * std::numbers::pi * 0.7 * t));
    const auto v = static_cast<std::int16_t>(
        std::lround(8000 * swell * std::sin(2 * std::numbers::pi * 1000.0 * t)));
    samples[2 * f] = samples[2 * f + 1] = v;
  }
  return samples;
}

const std::string& PreparedFolder() {
  static const std::string root = bench::MakeDataFolder("roarmark-bench-contest").string();
  return root;
}

// A program with a contest of one contestant and 120 s rounds, no countdown.
struct TContestProgram : bench::TBenchProgram {
  TContestProgram() : TBenchProgram(PreparedFolder()) {
    sim.wave_input.SetSignal(0, platform::sim::WaveSignal::Samples(Crowd()));
    TContest contest;
    contest.Rules.RoundSeconds = kMaxRoundSeconds;
    contest.Rules.CountdownSeconds = 0;
    contest.Add("Contestant");
    program->Contest()->ApplyEdited(contest);
    for (int i = 0; i < 40; ++i)
      DrawOneBuffer();
  }
  // Starts a round afresh (calling the last one off unwritten), so a timed stretch never
  // holds a round's end and its file write.
  void StartRound() {
    if (program->Contest()->Phase() != TContestPhase::Idle) program->Contest()->ClearResults();
    Main().ContestKey(platform::ui::VkF(5), false);
  }
};

constexpr int kBuffersPerRound = 4000;  // under the 4811 of a 120 s round

void BM_WholeBufferCycle(benchmark::State& state) {
  TContestProgram run;
  const bool round = state.range(0) != 0;
  int done = 0;
  for (auto _ : state) {
    if (done++ % kBuffersPerRound == 0 && round) {
      state.PauseTiming();
      run.StartRound();
      state.ResumeTiming();
    }
    run.DrawOneBuffer();
  }
  state.SetLabel(round ? "round running" : "no round");
}
BENCHMARK(BM_WholeBufferCycle)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ContestPartOfABuffer(benchmark::State& state) {
  TContestProgram run;
  run.StartRound();
  TForm1& main = run.Main();
  IContestControl& contest = *main.Contest;
  int done = 0;
  for (auto _ : state) {
    if (++done % kBuffersPerRound == 0) {
      state.PauseTiming();
      run.StartRound();
      state.ResumeTiming();
    }
    contest.BufferMeasured(main.State.Position);
    benchmark::DoNotOptimize(DrawContest(main.Display, main.Settings, contest.View()));
    benchmark::DoNotOptimize(TakeDrawnAreas(main.Display));
  }
}
BENCHMARK(BM_ContestPartOfABuffer);

}  // namespace
}  // namespace roarmark
