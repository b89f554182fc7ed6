// Points and rectangles in screen or control pixels, shared by the platform seams and the controls.
#pragma once

namespace roarmark::platform {

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Half-open like a Windows RECT: Right and Bottom lie just outside.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect RectOfSize(int left, int top, int width, int height) {
  return TRect{left, top, left + width, top + height};
}

}  // namespace roarmark::platform
