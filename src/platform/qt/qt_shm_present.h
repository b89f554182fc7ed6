// Pixels put on an X window straight from memory shared with the X server.
#pragma once

#include <QRect>
#include <QSize>
#include <cstdint>
#include <memory>

struct xcb_connection_t;

namespace roarmark::platform::qt {

// A picture the size of one native window, in memory the X server reads itself: a part written
// into it is put on the window with one request, without Qt's backing store (a second copy of
// every part and a round trip to the server before each paint) and without waiting for the
// server. A part rewritten before the server read it shows its newer pixels, which the next put
// shows anyway, so nothing is waited for.
class TShmPresenter {
 public:
  // Null where the server cannot share memory with the program (not X11, a remote server).
  static std::unique_ptr<TShmPresenter> Create();
  ~TShmPresenter();
  TShmPresenter(const TShmPresenter&) = delete;
  TShmPresenter& operator=(const TShmPresenter&) = delete;

  // Makes the picture `size` device pixels for X window `window` (contents unspecified when
  // either changed); false when that cannot be (out of memory, a visual that is not 24-bit
  // 0x00RRGGBB).
  bool Prepare(std::uint32_t window, QSize size);
  QSize Size() const { return size_; }
  // A row of the picture, 0x??RRGGBB pixels.
  std::uint32_t* Row(int y) { return pixels_ + static_cast<std::ptrdiff_t>(y) * size_.width(); }
  // Puts `area` (device pixels, within the picture) on the window at the same place.
  void Put(const QRect& area);
  // Sends what was put.
  void Flush();

 private:
  explicit TShmPresenter(xcb_connection_t* connection) : connection_(connection) {}
  bool UseWindow(std::uint32_t window);
  void Release();

  xcb_connection_t* connection_;
  std::uint32_t window_ = 0;
  std::uint32_t gc_ = 0;
  std::uint32_t segment_ = 0;  // the server's name for the shared memory
  std::uint32_t* pixels_ = nullptr;
  QSize size_;
};

}  // namespace roarmark::platform::qt
