// The live feed: what the meter shows after each buffer, handed from the GUI thread to the
// network threads as one newest snapshot (a reader that falls behind skips to the newest; nothing
// queues up), and the JSON message the feed's WebSocket sends for it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace roarmark {

struct TFeedSnapshot {
  int Position = 0;     // the meter position 0..1024
  int PeakMarker = 0;   // 0..1024, 0 when cleared
  std::string Readout;  // the text the readout last drew
  bool Hold = false;    // "Peak Hold"
  bool Blanked = false;
  int Preset = -1;  // the preset slot whose file is the layout now shown, -1 for none
  int Style = 0;    // meter style 0..3
  friend bool operator==(const TFeedSnapshot&, const TFeedSnapshot&) = default;
};

// {"level":L,"peak":P,"readout":"...","hold":false,"blanked":false,"preset":3,"style":1}: level
// and peak are the position and the marker as a share of full scale, 0..100 with one decimal;
// preset is null when the layout shown is none of the ten.
std::string FeedMessage(const TFeedSnapshot& snapshot);

// Position 0..1024 as 0..100 with one decimal (1020 gives 99.6).
double FeedPercent(int position);

class TFeedSlot {
 public:
  // GUI thread: replaces the snapshot (never blocks on a reader for longer than a copy).
  void Publish(const TFeedSnapshot& snapshot);
  // The newest snapshot, if any was published.
  std::optional<TFeedSnapshot> Latest() const;
  // Waits up to `timeout` for a snapshot newer than `*sequence`; on success fills `out`,
  // moves `*sequence` on and returns true. False on timeout or once stopped.
  bool WaitNewer(std::uint64_t* sequence, TFeedSnapshot& out, std::chrono::milliseconds timeout);
  void Stop();
  bool Stopped() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  TFeedSnapshot snapshot_;
  std::uint64_t sequence_ = 0;
  bool stopped_ = false;
};

}  // namespace roarmark
