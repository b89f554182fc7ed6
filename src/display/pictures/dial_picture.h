// The analogue starter layout's picture: the stage scene with a meter dial drawn by code where
// that layout's needle swings.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/pixels.h"

namespace roarmark {

// The analogue meter box in display pixels, as the layout stores it: left edge, bottom edge,
// width, height and "Pivot Offset".
struct TDialBox {
  int X = 0;
  int Bottom = 0;
  int Width = 0;
  int Height = 0;
  int PivotOffset = 0;
};

// Coverage 0..255 of one label's text, row-major, tight around the ink.
struct TDialLabel {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Values;
};

// Renders a label at the dial's label size (about `pixel_em` pixels per em); an empty label
// when no font is at hand, and the dial then draws its own plain digits.
using TDialLabelText = std::function<TDialLabel(const std::string& text, int pixel_em)>;

struct TDialPoint {
  double X = 0;
  double Y = 0;
};

// Where the needle stands, in radians clockwise from straight up, while the readout shows
// `readout` (0..100) for a steady sound.
double DialMarkAngle(double readout);

// The point `radius` pixels from the needle's pivot towards the mark of `readout`.
TDialPoint DialPoint(const TDialBox& box, double readout, double radius);

// Radius of the dial's arc: the tip of the needle reaches a little beyond it, into the marks.
double DialArcRadius(const TDialBox& box);

// `stage` (the bare stage) with a dark panel and a dial for `box`: an arc over the
// readouts 0..100, a mark every 5 (longer every 10, longest at 0, 50 and 100), a red zone from
// 85 up, labels every 10 outside the arc and a hub over the pivot.
platform::TPixels MakeDialPicture(platform::TPixels stage, const TDialBox& box,
                                  const TDialLabelText& label_text);

}  // namespace roarmark
