// Memory for the shown picture that the X server reads itself.
#include "platform/qt/qt_shown_pixels.h"

#include <algorithm>

namespace roarmark::platform::qt {

namespace {

// Below this a block is no picture worth a segment of its own.
constexpr std::size_t kSmallestShared = std::size_t{1} << 16;

}  // namespace

std::optional<TShownPixelMemory::TPlace> TShownPixelMemory::PlaceOf(const void* block,
                                                                    std::size_t bytes) const {
  const auto* p = static_cast<const std::byte*>(block);
  const std::lock_guard lock(mutex_);
  for (const TShmSegment& s : segments_) {
    if (p >= s.Memory && p <= s.Memory + s.Bytes && bytes <= s.Bytes - (p - s.Memory))
      return TPlace{s, static_cast<std::size_t>(p - s.Memory)};
  }
  return std::nullopt;
}

void* TShownPixelMemory::do_allocate(std::size_t bytes, std::size_t alignment) {
  // Segments begin on a page, which serves any alignment a picture asks for.
  if (bytes >= kSmallestShared && alignment <= 4096) {
    if (const std::optional<TShmSegment> segment = AttachSegment(bytes)) {
      const std::lock_guard lock(mutex_);
      segments_.push_back(*segment);
      return segment->Memory;
    }
  }
  return std::pmr::new_delete_resource()->allocate(bytes, alignment);
}

void TShownPixelMemory::do_deallocate(void* block, std::size_t bytes, std::size_t alignment) {
  {
    const std::lock_guard lock(mutex_);
    const auto s = std::find_if(segments_.begin(), segments_.end(),
                                [&](const TShmSegment& x) { return x.Memory == block; });
    if (s != segments_.end()) {
      DetachSegment(*s);
      segments_.erase(s);
      return;
    }
  }
  std::pmr::new_delete_resource()->deallocate(block, bytes, alignment);
}

TShownPixelMemory& ShownPixelMemory() {
  static TShownPixelMemory memory;
  return memory;
}

}  // namespace roarmark::platform::qt
