// The queue of capture buffers of one open device: recorded bytes fill the oldest buffer, and a
// full buffer leaves the queue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/wave_input.h"

namespace roarmark::platform::qt {

class TWaveQueue {
 public:
  // Queues `header` behind the others, empty.
  void Add(WaveHeader* header);
  // Copies `size` recorded bytes into the queued buffers in order; every buffer that becomes
  // full is appended to `done`. Bytes that find no queued buffer are dropped, as a driver does
  // when the program falls behind. Returns how many were dropped.
  std::size_t Feed(const std::uint8_t* bytes, std::size_t size, std::vector<WaveHeader*>& done);
  // Takes every queued buffer out, partly filled, in queue order.
  std::vector<WaveHeader*> TakeAll();
  bool Empty() const { return queue_.empty(); }
  std::size_t Size() const { return queue_.size(); }
  bool Contains(const WaveHeader* header) const;

 private:
  static void Finish(WaveHeader* header);
  std::deque<WaveHeader*> queue_;
};

}  // namespace roarmark::platform::qt
