// Peers the program paints itself: the display image, colour blocks, pictures and the preset
// grid.
#include "platform/win32/win32_peer_kinds.h"

// clang-format off
#include "platform/win32/base/win32_windows.h"
#include <commctrl.h>
#include <windowsx.h>
// clang-format on

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/ui/image_view.h"
#include "platform/ui/text_grid.h"
#include "platform/win32/base/win32_text.h"
#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_ui_backend.h"

namespace roarmark::platform::win32 {

using namespace ui;

namespace {

// ---- Painted controls

class TPaintedPeer : public TWin32Peer {
 public:
  using TWin32Peer::TWin32Peer;
  LRESULT Message(UINT message, WPARAM w, LPARAM l) override {
    if (message == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      Paint(dc, ps.rcPaint);
      EndPaint(window_, &ps);
      return 0;
    }
    if (message == WM_ERASEBKGND) return 1;  // Paint covers everything
    return TWin32Peer::Message(message, w, l);
  }

 protected:
  virtual void Paint(HDC dc, const RECT& area) = 0;
  void Update(TProperty) override { InvalidateRect(window_, nullptr, FALSE); }
};

// The display image: the owner's pixels 1:1 or stretched (nearest neighbour) over grey; only
// the areas the owner reports as changed are repainted, each on its own: the meter and the
// readout are small parts of a full-screen picture, 40 times a second, and their bounding box
// may be most of it.
class TImagePeer final : public TPaintedPeer {
 public:
  TImagePeer(TWin32UiBackend& backend, TImageView& view)
      : TPaintedPeer(backend, view), view_(view) {
    Create(kPaintedClass, WS_CLIPSIBLINGS, 0, TMouse::Forward);
  }

  std::uint64_t PresentedPixels() const { return presented_pixels_; }

  LRESULT Message(UINT message, WPARAM w, LPARAM l) override {
    if (message != WM_PAINT) return TPaintedPeer::Message(message, w, l);
    // The update region's rectangles, taken before BeginPaint empties it.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetUpdateRgn(window_, region, FALSE);
    std::vector<RECT> parts;
    if (kind != ERROR && kind != NULLREGION) {
      const DWORD size = GetRegionData(region, 0, nullptr);
      std::vector<std::byte> data(size);
      auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
      if (size > 0 && GetRegionData(region, size, rgn) == size) {
        const auto* rects = reinterpret_cast<const RECT*>(rgn->Buffer);
        parts.assign(rects, rects + rgn->rdh.nCount);
      }
    }
    DeleteObject(region);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (parts.empty()) parts.push_back(ps.rcPaint);
    PaintParts(dc, parts);
    EndPaint(window_, &ps);
    return 0;
  }

 protected:
  void Update(TProperty what) override {
    if (what != TProperty::ImageChanged) {
      view_.TakeChangedArea();
      InvalidateRect(window_, nullptr, FALSE);
      return;
    }
    const TImageView::TChangedArea changed = view_.TakeChangedArea();
    const TPixelsView& image = view_.Image();
    if (changed.Whole || image.Width <= 0 || image.Height <= 0) {
      InvalidateRect(window_, nullptr, FALSE);
      return;
    }
    RECT client;
    GetClientRect(window_, &client);
    for (const TRect& area : changed.Areas) {
      RECT r{std::max(0, area.Left), std::max(0, area.Top), std::min(image.Width, area.Right),
             std::min(image.Height, area.Bottom)};
      if (r.right <= r.left || r.bottom <= r.top) continue;
      if (view_.ScaleMode() == TScaleMode::smStretch) {
        // Every client pixel whose source pixel lies in the area, with a pixel to spare.
        r.left = r.left * client.right / image.Width - 1;
        r.top = r.top * client.bottom / image.Height - 1;
        r.right = (r.right * client.right + image.Width - 1) / image.Width + 1;
        r.bottom = (r.bottom * client.bottom + image.Height - 1) / image.Height + 1;
      }
      InvalidateRect(window_, &r, FALSE);
    }
  }

  void Paint(HDC dc, const RECT& area) override { PaintParts(dc, {area}); }

 private:
  void PaintParts(HDC dc, const std::vector<RECT>& parts) {
    RECT client;
    GetClientRect(window_, &client);
    const TPixelsView& image = view_.Image();
    HBRUSH grey = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    if (!image.Pixels || image.Width <= 0 || image.Height <= 0) {
      for (const RECT& part : parts)
        FillRect(dc, &part, grey);
      DeleteObject(grey);
      return;
    }
    SetStretchBltMode(dc, COLORONCOLOR);
    if (view_.ScaleMode() == TScaleMode::smStretch) {
      // One stretch, which the update region clips: the parts alone would each round the
      // picture's pixels on their own.
      const BITMAPINFO info = TopDownInfo(image.Width, image.Height);
      StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, image.Width, image.Height,
                    image.Pixels, &info, DIB_RGB_COLORS, SRCCOPY);
      for (const RECT& part : parts)
        presented_pixels_ += static_cast<std::uint64_t>(part.right - part.left) *
                             static_cast<std::uint64_t>(part.bottom - part.top);
      DeleteObject(grey);
      return;
    }
    for (const RECT& part : parts) {
      // Only the rows and columns of the part, straight from the picture.
      const int left = std::max<int>(0, part.left), top = std::max<int>(0, part.top);
      const int right = std::min<int>(image.Width, part.right);
      const int bottom = std::min<int>(image.Height, part.bottom);
      if (right > left && bottom > top) {
        const BITMAPINFO rows = TopDownInfo(image.Width, bottom - top);
        SetDIBitsToDevice(
            dc, left, top, static_cast<DWORD>(right - left), static_cast<DWORD>(bottom - top), left,
            0, 0, static_cast<UINT>(bottom - top),
            image.Pixels + static_cast<std::size_t>(top) * image.Width, &rows, DIB_RGB_COLORS);
        presented_pixels_ +=
            static_cast<std::uint64_t>(right - left) * static_cast<std::uint64_t>(bottom - top);
      }
      // The grey beyond the picture's right and bottom edges.
      RECT strip{std::max<LONG>(part.left, image.Width), part.top, part.right, part.bottom};
      if (strip.right > strip.left) FillRect(dc, &strip, grey);
      strip = RECT{part.left, std::max<LONG>(part.top, image.Height),
                   std::min<LONG>(part.right, image.Width), part.bottom};
      if (strip.bottom > strip.top && strip.right > strip.left) FillRect(dc, &strip, grey);
    }
    DeleteObject(grey);
  }

  TImageView& view_;
  std::uint64_t presented_pixels_ = 0;
};

class TColourBlockPeer final : public TPaintedPeer {
 public:
  TColourBlockPeer(TWin32UiBackend& backend, TColourBlock& block)
      : TPaintedPeer(backend, block), block_(block) {
    Create(kPaintedClass, 0, 0, TMouse::ClickOnly);
  }

 protected:
  void Paint(HDC dc, const RECT&) override {
    RECT r;
    GetClientRect(window_, &r);
    FillRect(dc, &r, brush_);
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    if (!block_.Caption().empty()) {
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, Colour(block_.Font().Colour));
      HGDIOBJ old = SelectObject(dc, font_);
      DrawTextW(dc, Wide(block_.Caption()).c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      SelectObject(dc, old);
    }
  }

 private:
  TColourBlock& block_;
};

class TPicturePeer final : public TPaintedPeer {
 public:
  TPicturePeer(TWin32UiBackend& backend, TPicture& picture)
      : TPaintedPeer(backend, picture), picture_(picture) {
    Create(kPaintedClass, 0, 0, TMouse::ClickOnly);
  }

 protected:
  void Paint(HDC dc, const RECT&) override {
    RECT r;
    GetClientRect(window_, &r);
    FillRect(dc, &r, brush_);
    if (picture_.Empty()) return;
    const TPixels& p = picture_.Picture();
    const TRect dest = picture_.DestRect();
    const BITMAPINFO info = TopDownInfo(p.Width, p.Height);
    SetStretchBltMode(dc, HALFTONE);
    StretchDIBits(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), 0, 0, p.Width, p.Height,
                  p.Pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }

 private:
  TPicture& picture_;
};

// The preset grid, drawn from the model's cells and column widths so that a click lands on the
// cell the model computes.
class TGridPeer final : public TPaintedPeer {
 public:
  TGridPeer(TWin32UiBackend& backend, TTextGrid& grid) : TPaintedPeer(backend, grid), grid_(grid) {
    Create(kPaintedClass, WS_TABSTOP, WS_EX_CLIENTEDGE, TMouse::ClickOnly);
  }

 protected:
  void Paint(HDC dc, const RECT& area) override {
    HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
    FillRect(dc, &area, window);
    HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    for (int row = 0; row < grid_.RowCount(); ++row) {
      for (int col = 0; col < grid_.ColCount(); ++col) {
        const TRect c = grid_.CellRect(col, row);
        RECT r{c.Left, c.Top, c.Right, c.Bottom};
        const bool fixed = col < grid_.FixedCols() || row < grid_.FixedRows();
        const bool selected = !fixed && row == grid_.Row();
        FillRect(dc, &r,
                 GetSysColorBrush(fixed      ? COLOR_BTNFACE
                                  : selected ? COLOR_HIGHLIGHT
                                             : COLOR_WINDOW));
        RECT line{r.left, r.bottom, r.right + 1, r.bottom + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
        line = RECT{r.right, r.top, r.right + 1, r.bottom + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT text{r.left + 3, r.top, r.right - 2, r.bottom};
        DrawTextW(dc, Wide(grid_.Cell(col, row)).c_str(), -1, &text,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
      }
    }
    SelectObject(dc, old);
  }

 private:
  TTextGrid& grid_;
};

}  // namespace

std::uint64_t PresentedPixels(const TImageView& view) {
  const auto* peer = dynamic_cast<const TImagePeer*>(view.Peer());
  return peer ? peer->PresentedPixels() : 0;
}

std::unique_ptr<IControlPeer> CreateWin32PaintedPeer(TWin32UiBackend& backend, TControl& control) {
  if (auto* c = dynamic_cast<TImageView*>(&control))
    return std::make_unique<TImagePeer>(backend, *c);
  if (auto* c = dynamic_cast<TColourBlock*>(&control))
    return std::make_unique<TColourBlockPeer>(backend, *c);
  if (auto* c = dynamic_cast<TPicture*>(&control))
    return std::make_unique<TPicturePeer>(backend, *c);
  if (auto* c = dynamic_cast<TTextGrid*>(&control)) return std::make_unique<TGridPeer>(backend, *c);
  return nullptr;
}

}  // namespace roarmark::platform::win32
