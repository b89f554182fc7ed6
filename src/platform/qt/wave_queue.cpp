// The queue of capture buffers of one open device.
#include "platform/qt/wave_queue.h"

#include <algorithm>
#include <cstring>

namespace roarmark::platform::qt {

void TWaveQueue::Add(WaveHeader* header) {
  header->bytes_recorded = 0;
  header->flags = (header->flags & ~kWaveHeaderDone) | kWaveHeaderInQueue;
  queue_.push_back(header);
}

void TWaveQueue::Finish(WaveHeader* header) {
  header->flags = (header->flags & ~kWaveHeaderInQueue) | kWaveHeaderDone;
}

std::size_t TWaveQueue::Feed(const std::uint8_t* bytes, std::size_t size,
                             std::vector<WaveHeader*>& done) {
  while (size > 0 && !queue_.empty()) {
    WaveHeader* header = queue_.front();
    const std::size_t room = header->buffer_length > header->bytes_recorded
                                 ? header->buffer_length - header->bytes_recorded
                                 : 0;
    const std::size_t n = std::min(room, size);
    if (n > 0) std::memcpy(header->data + header->bytes_recorded, bytes, n);
    header->bytes_recorded += static_cast<std::uint32_t>(n);
    bytes += n;
    size -= n;
    if (header->bytes_recorded >= header->buffer_length) {
      queue_.pop_front();
      Finish(header);
      done.push_back(header);
    }
  }
  return size;
}

std::vector<WaveHeader*> TWaveQueue::TakeAll() {
  std::vector<WaveHeader*> all(queue_.begin(), queue_.end());
  queue_.clear();
  for (WaveHeader* header : all)
    Finish(header);
  return all;
}

bool TWaveQueue::Contains(const WaveHeader* header) const {
  return std::find(queue_.begin(), queue_.end(), header) != queue_.end();
}

}  // namespace roarmark::platform::qt
