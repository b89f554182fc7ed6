// What the feed costs: the GUI thread's share per buffer (a snapshot handed over) and the feed
// thread's (the JSON message built once for every client).
#include <benchmark/benchmark.h>

#include "remote/feed.h"

namespace {

roarmark::TFeedSnapshot Sample(int i) {
  roarmark::TFeedSnapshot s;
  s.Position = 300 + i % 700;
  s.PeakMarker = 900;
  s.Readout = "87";
  s.Preset = 3;
  s.Style = 1;
  return s;
}

// GUI thread: one publish per buffer, with the feed thread waiting on the other side.
void BM_PublishSnapshot(benchmark::State& state) {
  roarmark::TFeedSlot slot;
  int i = 0;
  for (auto _ : state)
    slot.Publish(Sample(++i));
}
BENCHMARK(BM_PublishSnapshot);

// Feed thread: one message per buffer, shared by every client.
void BM_FeedMessage(benchmark::State& state) {
  int i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(roarmark::FeedMessage(Sample(++i)));
}
BENCHMARK(BM_FeedMessage);

}  // namespace
