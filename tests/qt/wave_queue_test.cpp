// The capture buffer queue: recorded bytes fill the oldest buffer, full buffers leave in order,
// a reset hands back the partly filled rest.
#include "platform/qt/wave_queue.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>

namespace roarmark::platform::qt {
namespace {

struct TBuffers {
  std::array<std::array<std::uint8_t, 4400>, 3> Blocks{};
  std::array<WaveHeader, 3> Headers{};
  TBuffers() {
    for (std::size_t i = 0; i < 3; ++i) {
      Headers[i].data = Blocks[i].data();
      Headers[i].buffer_length = 4400;
      Headers[i].bytes_recorded = 77;  // left over from an earlier use
      Headers[i].flags = kWaveHeaderPrepared | kWaveHeaderDone;
    }
  }
};

struct FeedCase {
  const char* name;
  std::vector<std::size_t> chunks;
  std::size_t full;              // buffers that come back full
  std::uint32_t third_recorded;  // bytes in the third buffer afterwards
  std::size_t dropped;
};

class WaveQueueFeed : public testing::TestWithParam<FeedCase> {};

TEST_P(WaveQueueFeed, FillsBuffersInQueueOrderAndDropsWhatFindsNoBuffer) {
  const FeedCase& c = GetParam();
  TBuffers b;
  TWaveQueue queue;
  for (WaveHeader& h : b.Headers)
    queue.Add(&h);

  std::vector<WaveHeader*> done;
  std::size_t dropped = 0;
  std::uint8_t next = 0;
  std::size_t total = 0;
  for (std::size_t n : c.chunks) {
    std::vector<std::uint8_t> bytes(n);
    for (auto& x : bytes)
      x = next++;
    dropped += queue.Feed(bytes.data(), bytes.size(), done);
    total += n;
  }

  ASSERT_EQ(done.size(), c.full);
  for (std::size_t i = 0; i < c.full; ++i) {
    EXPECT_EQ(done[i], &b.Headers[i]);
    EXPECT_EQ(done[i]->bytes_recorded, 4400u);
    EXPECT_EQ(done[i]->flags & (kWaveHeaderDone | kWaveHeaderInQueue), kWaveHeaderDone);
  }
  if (c.full < 3) {
    EXPECT_EQ(b.Headers[2].bytes_recorded, c.third_recorded);
  }
  EXPECT_EQ(dropped, c.dropped);
  EXPECT_EQ(queue.Size(), 3 - c.full);
  // Byte k of the recording lands at position k % 4400 of buffer k / 4400.
  const std::size_t kept = std::min<std::size_t>(total, 3 * 4400);
  for (std::size_t k = 0; k < kept; k += 997)
    EXPECT_EQ(b.Blocks[k / 4400][k % 4400], static_cast<std::uint8_t>(k)) << "byte " << k;
}

INSTANTIATE_TEST_SUITE_P(Chunks, WaveQueueFeed,
                         testing::Values(FeedCase{"Small", {100, 200}, 0, 0, 0},
                                         FeedCase{"ExactlyOne", {4400}, 1, 0, 0},
                                         FeedCase{"AcrossBuffers", {3000, 3000, 4000}, 2, 1200, 0},
                                         FeedCase{"AllThree", {13200}, 3, 0, 0},
                                         FeedCase{"MoreThanQueued", {10000, 5000}, 3, 0, 1800}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WaveQueue, AddEmptiesTheBufferAndMarksItQueued) {
  TBuffers b;
  TWaveQueue queue;
  queue.Add(&b.Headers[0]);
  EXPECT_EQ(b.Headers[0].bytes_recorded, 0u);
  EXPECT_EQ(b.Headers[0].flags, kWaveHeaderPrepared | kWaveHeaderInQueue);
  EXPECT_TRUE(queue.Contains(&b.Headers[0]));
  EXPECT_FALSE(queue.Contains(&b.Headers[1]));
}

TEST(WaveQueue, TakeAllHandsBackPartlyFilledBuffersInOrder) {
  TBuffers b;
  TWaveQueue queue;
  for (WaveHeader& h : b.Headers)
    queue.Add(&h);
  std::vector<std::uint8_t> bytes(5000, 1);
  std::vector<WaveHeader*> done;
  queue.Feed(bytes.data(), bytes.size(), done);

  const std::vector<WaveHeader*> back = queue.TakeAll();
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0], &b.Headers[1]);
  EXPECT_EQ(back[1], &b.Headers[2]);
  EXPECT_EQ(back[0]->bytes_recorded, 600u);
  EXPECT_EQ(back[1]->bytes_recorded, 0u);
  for (WaveHeader* h : back)
    EXPECT_EQ(h->flags & (kWaveHeaderDone | kWaveHeaderInQueue), kWaveHeaderDone);
  EXPECT_TRUE(queue.Empty());
}

}  // namespace
}  // namespace roarmark::platform::qt
