// Everything the meter display draws with, owned by the main window for the program's life.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "display/bitmap32.h"
#include "display/colour_ramp.h"
#include "display/contest_view.h"
#include "platform/fonts.h"
#include "platform/system_colours.h"

namespace roarmark {

// What the renderers last put into the display bitmap, so that a buffer repaints only what
// differs from the one before. Each part keeps every input its pixels depend on; a part whose
// inputs differ, or whose pixels someone else drew over, is drawn whole.
struct TDrawnBars {
  bool Valid = false;
  int Style = 0;
  std::int64_t X = 0, Y = 0, Width = 0, Height = 0, Pitch = 0, Block = 0;
  TRect Extent;  // every display pixel the blocks cover
  std::array<TColor32, 100> Colours{};
};

struct TDrawnNeedles {
  bool Valid = false;
  TRect Box, Visible;
  std::int64_t PivotX = 0, PivotY = 0, Length = 0;  // pivot in box coordinates
  TColor32 Needle = 0, Edge = 0, Peak = 0;
  int Step = 0;      // position div 4, which sets the angle
  int PeakStep = 0;  // -1 without a peak needle
};

// One needle at one angle step as it is drawn into the visible part of its box, in box
// coordinates: the fill's coverage, the edge's pixels, and row by row the columns it touches
// and the columns it paints over wholly.
struct TNeedleSpan {
  std::int32_t Left = 0, Right = 0;  // columns Left..Right-1
};
struct TNeedleRow {
  TNeedleSpan Touched;   // every column the fill or the edge changes
  TNeedleSpan Solid;     // filled wholly and left alone by the edge
  std::uint32_t At = 0;  // where the touched columns start in Composed and Under
};
struct TNeedleShape {
  TPolygonCoverage Fill;
  std::vector<TEdgePixel> Edge;  // blended over the fill, in this order
  std::int64_t Top = 0;          // the row of Rows' first entry
  std::vector<TNeedleRow> Rows;
  // The touched columns of each row as the needle leaves them over the meter backing, and as
  // the backing has them, row after row: a move then copies from a few pages instead of
  // blending into rows a page apart. Made for the shapes' Stamp in PixelsFor.
  std::vector<TColor32> Composed, Under;
  std::uint64_t PixelsFor = 0;
};

// The peak needle as it lies over the meter backing, at the touched columns of its step's shape
// and laid out as that shape's rows say. Made for the shapes' Stamp in For.
struct TPeakPixels {
  int Step = -1;
  TColor32 Fill = 0;
  std::uint64_t For = 0;
  std::vector<TColor32> Composed;
};

// Needle shapes by angle step for one meter box and visible size: a swinging needle keeps
// returning to the same few hundred shapes.
struct TNeedleShapes {
  int Width = 0, Height = 0;
  std::int64_t PivotX = 0, PivotY = 0, Length = 0;
  std::unordered_map<int, TNeedleShape> ByStep;
  // What the shapes' pixels are made for: the backing's change stamp and the needle's colours,
  // numbered by Stamp (0: nothing yet).
  std::uint64_t Backing = 0;
  TColor32 Fill = 0, Edge = 0;
  std::uint64_t Stamp = 0;
  // Pixels held in all shapes' Composed and Under, and how many may be: past that, the other
  // steps' are let go and made again when the needle comes back to them. A 1200 x 600 meter
  // keeps some 58 KB a step, one filling a 1920 x 1080 screen some 80 KB: 15 and 20 MB with
  // every one of the 257 steps.
  std::size_t Pixels = 0;
  std::size_t MaxPixels = std::size_t{8} << 20;  // 32 MB
  TPeakPixels Peak;
};

struct TDrawnReadout {
  bool Valid = false;
  std::string Text;
  TRect Box;  // readout box in display pixels, unclipped
  TFont Font;
  bool Transparent = false;
  TColor32 BoxColour = 0;
  TColor32 Digits = 0;
  std::int64_t TextX = 0;  // where the text starts in the readout bitmap
  // The background was to be restored under a readout that is about to be drawn again; done
  // only if the readout turns out different (or is not drawn).
  bool RestorePending = false;
};

// What the contest renderer last put on the display: the round's banner and large figure, or
// the ranking board, with everything their pixels depend on.
struct TContestLook {
  int Width = 0, Height = 0;
  TFont Font;
  TColor32 Box = 0, Text = 0, Track = 0, Fill = 0, Leader = 0;
  TRect MeterBox, ReadoutBox;  // the banner keeps clear of them where it can
  friend bool operator==(const TContestLook&, const TContestLook&) = default;
};

struct TDrawnContest {
  bool Valid = false;
  bool Board = false;
  std::uint64_t RowsVersion = 0;
  TContestLook Look;
  TRect Banner, Big;  // empty when not on the display
  // The round as the banner and large figure show it.
  TContestPhase Phase = TContestPhase::Idle;
  std::string Name;
  int SecondsLeft = 0;
  int ScoreTenths = 0;
};

struct TDrawnRecord {
  bool Tracking = false;
  std::uint64_t DisplayChanges = 0;  // the display's change count after the renderers drew
  TDrawnBars Bars;
  TDrawnNeedles Needles;
  TDrawnReadout Readout;
  TDrawnContest Contest;
  std::vector<TRect> Areas;  // display pixels drawn since the image last took them
};

// What the readout shows in place of the 0..100 level (the sound level in dB) and a colour for
// its digits (the noise limit's warning); either may be left as it is.
struct TReadoutLook {
  std::optional<std::string> Text;
  std::optional<TColor> DigitColour;
};

struct TDisplayState {
  TBitmap32 DisplayBitmap;     // what the image control shows
  TBitmap32 BackgroundBitmap;  // the background picture as loaded, same size as the display
  TBitmap32 ReadoutBitmap;     // the readout is composed here, carrying the readout font
  // Background under the readout and the analogue meter box; each holds only the part of its
  // box that lies inside the display bitmap, at the display rectangle next to it.
  TBitmap32 ReadoutBacking;
  TRect ReadoutBackingRect;
  TBitmap32 MeterBacking;
  TRect MeterBackingRect;
  TFont ReadoutFont;
  TColourRamp ColourRamp;

  // Design mode (on when the settings' AllowDrag is set).
  bool MeterSelected = false;
  bool ReadoutSelected = false;

  char DecimalSeparator = '.';
  const platform::ISystemColours* SystemColours = nullptr;
  platform::IFonts* Fonts = nullptr;

  // Text of the last readout drawn, for inspection, and the level value it was drawn for.
  std::optional<std::string> LastReadoutText;
  double LastReadoutValue = 0;
  // Asked each time the readout is drawn; unset, the readout shows the level in its own colour.
  std::function<TReadoutLook()> ReadoutLook;

  // The contest's banner, large figure and board rows are composed here, each carrying its font.
  TBitmap32 ContestBanner;
  TBitmap32 ContestBig;
  TBitmap32 ContestRow;

  TDrawnRecord Drawn;
  TNeedleShapes NeedleShapes;
};

}  // namespace roarmark
