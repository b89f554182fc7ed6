// Vertical and horizontal bar renderers: every block is repainted on every redraw, so a
// falling level needs no erase; gaps between blocks keep the background picture.
#include "display/bar_meter.h"

#include <algorithm>

namespace roarmark {

namespace {

struct TBarColours {
  TColor32 Background;
  TColor32 Peak;
  TColor32 Base;
  TColor32 Top;
};

TBarColours BarColours(const TDisplayState& display, const TMeterSettings& s) {
  const auto* sys = display.SystemColours;
  return {Color32(s.BarBgndColor, sys), Color32(s.PeakColor, sys), Color32(s.BaseColor, sys),
          Color32(s.TopColor, sys)};
}

}  // namespace

TBarGeometry VerticalBarGeometry(const TMeterSettings& s, const TMeterState& state, int position) {
  const std::int64_t h = s.MeterHeight;
  TBarGeometry g;
  g.Lit = std::int64_t{position} * h / 1024;
  g.Pitch = std::max<std::int64_t>(h / 50, 1);
  g.Block = std::max<std::int64_t>(s.Blocks ? g.Pitch - 2 : g.Pitch, 2);
  g.PeakIndex = (std::int64_t{state.PeakMarker} * h / 1024) / g.Pitch;
  if (g.PeakIndex == 0) g.PeakIndex = -1;
  g.Changeover = 40 + s.BlendOffset / 4;
  return g;
}

TBarGeometry HorizontalBarGeometry(const TMeterSettings& s, const TMeterState& state,
                                   int position) {
  const std::int64_t w = s.MeterWidth;
  TBarGeometry g;
  g.Lit = std::int64_t{position} * w / 1024;
  g.Pitch = std::max<std::int64_t>(w / 100, 1);
  g.Block = std::max<std::int64_t>(s.Blocks ? g.Pitch - 2 : g.Pitch, 2);
  g.PeakIndex = (std::int64_t{state.PeakMarker} * w / 1024) / g.Pitch;
  if (g.PeakIndex == 0) g.PeakIndex = -1;
  if (g.PeakIndex > 100) g.PeakIndex = 100;
  g.Changeover = 80 + s.BlendOffset / 2;
  return g;
}

void DrawVerticalBars(TDisplayState& display, const TMeterSettings& s, const TMeterState& state,
                      int position) {
  if (s.MeterWidth <= 0 || s.MeterHeight <= 0) return;
  const TBarGeometry g = VerticalBarGeometry(s, state, position);
  const TBarColours colours = BarColours(display, s);
  const std::int64_t x = s.MeterX;
  const std::int64_t y = s.MeterY;
  const std::int64_t w = s.MeterWidth;
  TBitmap32& bmp = display.DisplayBitmap;

  std::int64_t edge = y;  // bottom edge of the current block
  TColor32 unblended = colours.Base;
  for (int i = 0; i <= 50; ++i) {
    if (i == g.Changeover) unblended = colours.Top;
    const TColor32 segment =
        s.Blend ? Color32(display.ColourRamp.Entries[static_cast<std::size_t>(i)].AsColour())
                : unblended;
    const std::int64_t distance = y - edge;
    const bool lit = distance <= g.Lit && g.Lit >= 15;
    TColor32 colour = lit ? segment : colours.Background;
    if (i == g.PeakIndex) colour = s.ColorPeak ? colours.Peak : segment;
    bmp.FillRectS(x, edge - g.Block, x + w, edge, colour);
    edge = std::max<std::int64_t>(edge - g.Pitch, 0);
  }
  if (display.MeterSelected) {
    bmp.FrameRectS(x, y - s.MeterHeight, x + w, y, colours.Top);
  }
}

void DrawHorizontalBars(TDisplayState& display, const TMeterSettings& s, const TMeterState& state,
                        int position) {
  if (s.MeterWidth <= 0 || s.MeterHeight <= 0) return;
  const TBarGeometry g = HorizontalBarGeometry(s, state, position);
  const TBarColours colours = BarColours(display, s);
  const std::int64_t x = s.MeterX;
  const std::int64_t y = s.MeterY;
  const std::int64_t h = s.MeterHeight;
  TBitmap32& bmp = display.DisplayBitmap;

  // The blocks share their rows, so paint row by row: the same pixels as one FillRectS per
  // block, without a hundred short fills per row.
  TColor32 block_colour[100];
  TColor32 unblended = colours.Base;
  for (int i = 0; i < 100; ++i) {
    if (i == g.Changeover) unblended = colours.Top;
    const TColor32 segment =
        s.Blend ? Color32(display.ColourRamp.Entries[static_cast<std::size_t>(i)].AsColour())
                : unblended;
    const std::int64_t distance = i * g.Pitch;
    // The blended bar lights a block only when the level passes its start.
    const bool reached = s.Blend ? distance < g.Lit : distance <= g.Lit;
    const bool lit = reached && g.Lit >= 30;
    TColor32 colour = lit ? segment : colours.Background;
    if (i == g.PeakIndex) colour = s.ColorPeak ? colours.Peak : segment;
    block_colour[i] = colour;
  }
  const std::int64_t top = std::max<std::int64_t>(y - h, 0);
  const std::int64_t bottom = std::min<std::int64_t>(y, bmp.Height());
  if (top < bottom) {
    const TRect bounds = bmp.BoundsRect();
    std::int64_t first[100], last[100];  // clipped columns, half-open
    for (int i = 0; i < 100; ++i) {
      const std::int64_t left = x + i * g.Pitch;
      first[i] = std::max(left, bounds.Left);
      last[i] = std::min(left + g.Block, bounds.Right);
    }
    for (std::int64_t row = top; row < bottom; ++row) {
      TColor32* line = bmp.Bits() + row * bmp.Width();
      for (int i = 0; i < 100; ++i) {
        for (std::int64_t col = first[i]; col < last[i]; ++col)
          line[col] = block_colour[i];
      }
    }
    bmp.Changed();
  }
  if (display.MeterSelected) DrawDesignFrame(bmp, x, y, s.MeterWidth, h);
}

}  // namespace roarmark
