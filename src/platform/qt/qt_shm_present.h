// Pixels put on an X window straight from memory shared with the X server.
#pragma once

#include <QRect>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

struct xcb_connection_t;

namespace roarmark::platform::qt {

// Memory of the program that the X server has attached and reads itself.
struct TShmSegment {
  std::uint32_t Id = 0;  // the server's name for it
  std::byte* Memory = nullptr;
  std::size_t Bytes = 0;
};

// A new segment of `bytes`, attached by the server of Qt's X connection; none where the server
// cannot share memory with the program (not X11, a server on another machine, out of memory).
std::optional<TShmSegment> AttachSegment(std::size_t bytes);
// Lets go of it; puts already sent still read it, the server detaches after them.
void DetachSegment(const TShmSegment& segment);

// Puts pixels on one native window from shared memory: from a picture of the window's size kept
// here, or from pixels the owner keeps in a segment of its own. Either way nothing goes through
// Qt's backing store (a second copy of every part and a round trip to the server before each
// paint), and nothing waits for the server: a part rewritten before the server read it shows
// its newer pixels, which the next put shows anyway.
class TShmPresenter {
 public:
  // Null where the server cannot share memory with the program.
  static std::unique_ptr<TShmPresenter> Create();
  ~TShmPresenter();
  TShmPresenter(const TShmPresenter&) = delete;
  TShmPresenter& operator=(const TShmPresenter&) = delete;

  // Puts on X window `window` from now on; false when its visual does not take 0x00RRGGBB words
  // at 32 bits a pixel.
  bool UseWindow(std::uint32_t window);
  // Makes the picture kept here `size` device pixels (contents unspecified when it changed);
  // false when it cannot be had.
  bool Prepare(QSize size);
  QSize Size() const { return size_; }
  // A row of the picture kept here.
  std::uint32_t* Row(int y) {
    return reinterpret_cast<std::uint32_t*>(picture_->Memory) +
           static_cast<std::ptrdiff_t>(y) * size_.width();
  }
  // Puts `area` (device pixels, within the picture kept here) on the window at the same place.
  void Put(const QRect& area);
  // Puts `area` of a `width` x `height` picture of 0x??RRGGBB pixels at `offset` in `segment` on
  // the window at the same place.
  void PutFrom(const TShmSegment& segment, std::size_t offset, int width, int height,
               const QRect& area);
  // Fills `area` of the window with 0x??RRGGBB `colour`.
  void Fill(const QRect& area, std::uint32_t colour);
  // Sends what was put.
  void Flush();

 private:
  explicit TShmPresenter(xcb_connection_t* connection) : connection_(connection) {}
  void Release();

  xcb_connection_t* connection_;
  std::uint32_t window_ = 0;
  std::uint32_t gc_ = 0;
  std::optional<TShmSegment> picture_;
  QSize size_;
};

}  // namespace roarmark::platform::qt
