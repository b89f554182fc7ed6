// Pixels put on an X window straight from memory shared with the X server.
#include "platform/qt/qt_shm_present.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <bit>
#include <cstdlib>

namespace roarmark::platform::qt {

namespace {

xcb_connection_t* XConnection() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  return c && !xcb_connection_has_error(c) ? c : nullptr;
}

// Whether `visual` takes 0x00RRGGBB words as they lie in memory: depth 24 at 32 bits a pixel,
// least significant byte first, red, green and blue where the display bitmap has them.
bool TakesOurPixels(xcb_connection_t* c, xcb_visualid_t visual) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  if (std::endian::native != std::endian::little ||
      setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
    return false;
  bool whole_words = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
    if (f.data->depth == 24) whole_words = f.data->bits_per_pixel == 32;
  if (!whole_words) return false;
  for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s)) {
    for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d)) {
      if (d.data->depth != 24) continue;
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
        if (v.data->visual_id != visual) continue;
        return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xFF0000 &&
               v.data->green_mask == 0x00FF00 && v.data->blue_mask == 0x0000FF;
      }
    }
  }
  return false;
}

}  // namespace

std::optional<TShmSegment> AttachSegment(std::size_t bytes) {
  xcb_connection_t* c = XConnection();
  if (!c || bytes == 0) return std::nullopt;
  const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
  if (!shm || !shm->present) return std::nullopt;
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (id < 0) return std::nullopt;
  void* memory = shmat(id, nullptr, 0);
  if (memory == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    return std::nullopt;
  }
  const std::uint32_t segment = xcb_generate_id(c);
  // A server on another machine knows the extension but cannot attach our memory.
  xcb_generic_error_t* error =
      xcb_request_check(c, xcb_shm_attach_checked(c, segment, static_cast<std::uint32_t>(id), 0));
  shmctl(id, IPC_RMID, nullptr);  // gone once both sides have let go of it
  if (error) {
    std::free(error);
    shmdt(memory);
    return std::nullopt;
  }
  return TShmSegment{segment, static_cast<std::byte*>(memory), bytes};
}

void DetachSegment(const TShmSegment& segment) {
  // Without the connection (the application has ended) the server has let go already.
  if (xcb_connection_t* c = XConnection()) {
    xcb_shm_detach(c, segment.Id);
    xcb_flush(c);
  }
  shmdt(segment.Memory);
}

std::unique_ptr<TShmPresenter> TShmPresenter::Create() {
  xcb_connection_t* c = XConnection();
  if (!c) return nullptr;
  std::unique_ptr<TShmPresenter> presenter(new TShmPresenter(c));
  if (!presenter->Prepare(QSize(1, 1))) return nullptr;
  return presenter;
}

TShmPresenter::~TShmPresenter() {
  Release();
  if (gc_ && XConnection() == connection_) {
    xcb_free_gc(connection_, gc_);
    xcb_flush(connection_);
  }
}

bool TShmPresenter::Prepare(QSize size) {
  if (size == size_ && picture_) return true;
  Release();
  // Requests carry 16-bit sizes.
  if (size.isEmpty() || size.width() > 32767 || size.height() > 32767) return false;
  picture_ = AttachSegment(static_cast<std::size_t>(size.width()) * size.height() * 4);
  if (!picture_) return false;
  size_ = size;
  return true;
}

bool TShmPresenter::UseWindow(std::uint32_t window) {
  if (gc_) xcb_free_gc(connection_, gc_);
  gc_ = 0;
  window_ = 0;
  xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
      connection_, xcb_get_window_attributes(connection_, window), nullptr);
  if (!attributes) return false;
  const bool usable = TakesOurPixels(connection_, attributes->visual);
  std::free(attributes);
  if (!usable) return false;
  gc_ = xcb_generate_id(connection_);
  const std::uint32_t no_exposures = 0;
  xcb_create_gc(connection_, gc_, window, XCB_GC_GRAPHICS_EXPOSURES, &no_exposures);
  window_ = window;
  return true;
}

void TShmPresenter::Put(const QRect& area) {
  if (picture_) PutFrom(*picture_, 0, size_.width(), size_.height(), area);
}

void TShmPresenter::PutFrom(const TShmSegment& segment, std::size_t offset, int width, int height,
                            const QRect& area) {
  if (!window_ || area.isEmpty()) return;
  xcb_shm_put_image(connection_, window_, gc_, static_cast<std::uint16_t>(width),
                    static_cast<std::uint16_t>(height), static_cast<std::uint16_t>(area.x()),
                    static_cast<std::uint16_t>(area.y()), static_cast<std::uint16_t>(area.width()),
                    static_cast<std::uint16_t>(area.height()), static_cast<std::int16_t>(area.x()),
                    static_cast<std::int16_t>(area.y()), 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 0,
                    segment.Id, static_cast<std::uint32_t>(offset));
}

void TShmPresenter::Fill(const QRect& area, std::uint32_t colour) {
  if (!window_ || area.isEmpty()) return;
  const std::uint32_t foreground = colour & 0xFFFFFF;
  xcb_change_gc(connection_, gc_, XCB_GC_FOREGROUND, &foreground);
  const xcb_rectangle_t r{static_cast<std::int16_t>(area.x()), static_cast<std::int16_t>(area.y()),
                          static_cast<std::uint16_t>(area.width()),
                          static_cast<std::uint16_t>(area.height())};
  xcb_poly_fill_rectangle(connection_, window_, gc_, 1, &r);
}

void TShmPresenter::Flush() {
  xcb_flush(connection_);
}

void TShmPresenter::Release() {
  if (!picture_) return;
  DetachSegment(*picture_);
  picture_.reset();
  size_ = QSize();
}

}  // namespace roarmark::platform::qt
