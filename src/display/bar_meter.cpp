// Vertical and horizontal bar renderers: every block takes its colour on every redraw, so a
// falling level needs no erase; gaps between blocks keep the background picture. Only blocks
// whose colour changed since the last redraw are painted again.
#include "display/bar_meter.h"

#include <algorithm>

#include "display/drawn_record.h"
#include "display/readout.h"

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

namespace {

// Blocks of one pitch never overlap unless the pitch is a single pixel, so each block's pixels
// depend on its colour alone and a block whose colour stays need not be painted again.
bool BlocksApart(const TBarGeometry& g) {
  return g.Block <= g.Pitch;
}

// Paints the blocks whose colour differs from the record (all of them when the record does not
// fit), in block order so overlapping blocks end as a full redraw leaves them; notes each run of
// painted blocks as one rectangle.
void PaintBlocks(TDisplayState& display, const TMeterSettings& s, const TBarGeometry& g, int style,
                 int count, const TColor32* colours, const TRect* blocks, const TRect& extent) {
  TDrawnBars& drawn = display.Drawn.Bars;
  const bool incremental = drawn.Valid && drawn.Style == style && drawn.X == s.MeterX &&
                           drawn.Y == s.MeterY && drawn.Width == s.MeterWidth &&
                           drawn.Height == s.MeterHeight && drawn.Pitch == g.Pitch &&
                           drawn.Block == g.Block && BlocksApart(g) && !display.MeterSelected;
  TBitmap32& bmp = display.DisplayBitmap;
  if (!incremental) {
    for (int i = 0; i < count; ++i)
      bmp.FillRectS(blocks[i], colours[i]);
  } else {
    TRect run;
    bool in_run = false;
    for (int i = 0; i <= count; ++i) {
      const bool paint = i < count && colours[i] != drawn.Colours[static_cast<std::size_t>(i)];
      if (paint) {
        bmp.FillRectS(blocks[i], colours[i]);
        const TRect& b = blocks[i];
        run = in_run ? TRect{std::min(run.Left, b.Left), std::min(run.Top, b.Top),
                             std::max(run.Right, b.Right), std::max(run.Bottom, b.Bottom)}
                     : b;
        in_run = true;
      } else if (in_run) {
        NoteDrawn(display, run, TDrawnPart::Meter);
        in_run = false;
      }
    }
  }
  drawn.Valid = BlocksApart(g) && !display.MeterSelected;
  drawn.Style = style;
  drawn.X = s.MeterX;
  drawn.Y = s.MeterY;
  drawn.Width = s.MeterWidth;
  drawn.Height = s.MeterHeight;
  drawn.Pitch = g.Pitch;
  drawn.Block = g.Block;
  drawn.Extent = Intersect(extent, bmp.BoundsRect());
  std::copy(colours, colours + count, drawn.Colours.begin());
  if (!incremental) NoteDrawn(display, extent, TDrawnPart::Meter);
}

}  // namespace

void DrawVerticalBars(TDisplayState& display, const TMeterSettings& s, const TMeterState& state,
                      int position) {
  if (s.MeterWidth <= 0 || s.MeterHeight <= 0) return;
  BeginDrawing(display);
  const TBarGeometry g = VerticalBarGeometry(s, state, position);
  const TBarColours colours = BarColours(display, s);
  const std::int64_t x = s.MeterX;
  const std::int64_t y = s.MeterY;
  const std::int64_t w = s.MeterWidth;

  constexpr int kCount = 51;
  TColor32 block_colour[kCount];
  TRect blocks[kCount];
  TRect extent;
  std::int64_t edge = y;  // bottom edge of the current block
  TColor32 unblended = colours.Base;
  for (int i = 0; i < kCount; ++i) {
    if (i == g.Changeover) unblended = colours.Top;
    const TColor32 segment =
        s.Blend ? Color32(display.ColourRamp.Entries[static_cast<std::size_t>(i)].AsColour())
                : unblended;
    const std::int64_t distance = y - edge;
    const bool lit = distance <= g.Lit && g.Lit >= 15;
    TColor32 colour = lit ? segment : colours.Background;
    if (i == g.PeakIndex) colour = s.ColorPeak ? colours.Peak : segment;
    block_colour[i] = colour;
    blocks[i] = {x, edge - g.Block, x + w, edge};
    extent = Union(extent, blocks[i]);
    edge = std::max<std::int64_t>(edge - g.Pitch, 0);
  }
  PaintBlocks(display, s, g, kStyleVerticalBars, kCount, block_colour, blocks, extent);
  if (display.MeterSelected) {
    display.DisplayBitmap.FrameRectS(x, y - s.MeterHeight, x + w, y, colours.Top);
    NoteDrawn(display, MeterBox(s), TDrawnPart::Meter);
  }
}

void DrawHorizontalBars(TDisplayState& display, const TMeterSettings& s, const TMeterState& state,
                        int position) {
  if (s.MeterWidth <= 0 || s.MeterHeight <= 0) return;
  BeginDrawing(display);
  const TBarGeometry g = HorizontalBarGeometry(s, state, position);
  const TBarColours colours = BarColours(display, s);
  const std::int64_t x = s.MeterX;
  const std::int64_t y = s.MeterY;
  const std::int64_t h = s.MeterHeight;

  constexpr int kCount = 100;
  TColor32 block_colour[kCount];
  TRect blocks[kCount];
  TRect extent;
  TColor32 unblended = colours.Base;
  for (int i = 0; i < kCount; ++i) {
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
    blocks[i] = {x + i * g.Pitch, y - h, x + i * g.Pitch + g.Block, y};
    extent = Union(extent, blocks[i]);
  }
  PaintBlocks(display, s, g, kStyleHorizontalBars, kCount, block_colour, blocks, extent);
  if (display.MeterSelected) {
    DrawDesignFrame(display.DisplayBitmap, x, y, s.MeterWidth, h);
    NoteDrawn(display, MeterBox(s), TDrawnPart::Meter);
  }
}

}  // namespace roarmark
