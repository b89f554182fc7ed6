// Memory for the shown picture that the X server reads itself.
#pragma once

#include <cstddef>
#include <memory_resource>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/qt/qt_shm_present.h"

namespace roarmark::platform::qt {

// Large blocks come from segments the X server has attached, so the display image puts the
// picture on screen from where the program drew it; small ones, and every block where the
// server cannot share memory, from the heap.
class TShownPixelMemory final : public std::pmr::memory_resource {
 public:
  // The segment `block` lies in, and where in it; none when it is not in one.
  struct TPlace {
    TShmSegment Segment;
    std::size_t Offset = 0;
  };
  std::optional<TPlace> PlaceOf(const void* block, std::size_t bytes) const;

 private:
  void* do_allocate(std::size_t bytes, std::size_t alignment) override;
  void do_deallocate(void* block, std::size_t bytes, std::size_t alignment) override;
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }

  mutable std::mutex mutex_;
  std::vector<TShmSegment> segments_;
};

// The one for the whole program: it outlives every picture kept in it.
TShownPixelMemory& ShownPixelMemory();

}  // namespace roarmark::platform::qt
