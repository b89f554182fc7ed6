// What the peer files share: the program's own window classes, a top-down DIB header, and one
// factory per kind of peer (each answers null for a control of another kind).
#pragma once

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <cstdint>
#include <memory>

#include "platform/ui/image_view.h"
#include "platform/win32/win32_peers.h"

namespace roarmark::platform::win32 {

// The window property that leads from a window to its peer.
inline constexpr wchar_t kPeerProperty[] = L"RoarmarkPeer";
inline constexpr wchar_t kContainerClass[] = L"RoarmarkContainer";
inline constexpr wchar_t kFormClass[] = L"RoarmarkForm";
inline constexpr wchar_t kPaintedClass[] = L"RoarmarkPainted";

inline BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

std::unique_ptr<ui::IControlPeer> CreateWin32FormPeer(TWin32UiBackend& backend,
                                                      ui::TControl& control);
std::unique_ptr<ui::IControlPeer> CreateWin32NativePeer(TWin32UiBackend& backend,
                                                        ui::TControl& control);
// Picture pixels the display image's peer has handed to GDI so far (stretched: window pixels).
std::uint64_t PresentedPixels(const ui::TImageView& view);
std::unique_ptr<ui::IControlPeer> CreateWin32PaintedPeer(TWin32UiBackend& backend,
                                                         ui::TControl& control);

}  // namespace roarmark::platform::win32
