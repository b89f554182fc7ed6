// Numeric readout: composed in the readout bitmap (solid box or over the background backing)
// and copied into the display at the readout position.
#include "display/readout.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "display/drawn_record.h"

namespace roarmark {

TRect MeterBox(const TMeterSettings& s) {
  const std::int64_t x = s.MeterX;
  const std::int64_t y = s.MeterY;
  return {x, y - s.MeterHeight, x + s.MeterWidth, y};
}

int ReadoutWidth(const TDisplayState& display, const TMeterSettings& s) {
  std::string sample = s.ShowDecimal ? "MM.M" : "MM.";
  if (s.Sound.ReadoutUnit == 1) sample += " dB(A)";
  return display.ReadoutBitmap.TextWidth(sample);
}

int ReadoutHeight(const TDisplayState& display) {
  return display.ReadoutBitmap.TextHeight("M");
}

void ApplyReadoutFont(TDisplayState& display, const TMeterSettings& s) {
  display.ReadoutFont = {s.FontName, s.FontSize, s.FontColor, s.FontStyle};
  display.ReadoutBitmap.SetFont(display.ReadoutFont, display.Fonts);
  display.ReadoutBitmap.SetSize(ReadoutWidth(display, s), ReadoutHeight(display));
}

void TakeMeterBacking(TDisplayState& display, const TBitmap32& source, const TRect& rect) {
  display.Drawn.Needles.Valid = false;
  display.MeterBackingRect = rect;
  display.MeterBacking.SetSize(rect.Width(), rect.Height());
  display.MeterBacking.Clear(kBlack32);
  display.MeterBacking.Draw(0, 0, rect, source);
}

void SaveBackings(TDisplayState& display, const TMeterSettings& s) {
  // Every caller lays the display out anew or is about to.
  ForgetDrawn(display);
  const TBitmap32& screen = display.DisplayBitmap;
  const std::int64_t rx = s.ReadoutX;
  const std::int64_t ry = s.ReadoutY;
  const TRect readout{rx, ry, rx + ReadoutWidth(display, s), ry + ReadoutHeight(display)};
  display.ReadoutBackingRect = Intersect(readout, screen.BoundsRect());
  display.ReadoutBacking.SetSize(display.ReadoutBackingRect.Width(),
                                 display.ReadoutBackingRect.Height());
  display.ReadoutBacking.Draw(0, 0, display.ReadoutBackingRect, screen);

  if (s.Style == kStyleAnalogue && s.MeterWidth > 0 && s.MeterHeight > 0) {
    TakeMeterBacking(display, screen, Intersect(MeterBox(s), screen.BoundsRect()));
  } else {
    // Other styles never read it; dropping it means a later switch takes a fresh one.
    display.MeterBackingRect = {};
    display.MeterBacking.SetSize(0, 0);
  }
}

// The level engine restores the background right before it draws the readout again; when the
// display still shows the readout as recorded, the restore waits to see whether the new
// readout differs at all.
void RestoreReadoutBacking(TDisplayState& display) {
  BeginDrawing(display);
  if (display.Drawn.Readout.Valid) {
    display.Drawn.Readout.RestorePending = true;
    return;
  }
  RestoreReadoutNow(display);
}

std::string ReadoutText(double value, bool show_decimal, bool blanked, char decimal_separator) {
  if (blanked) return " ";
  const double v = value / 4 / 2.55;
  char buf[64];
  const auto result =
      std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, show_decimal ? 1 : 0);
  std::string text(buf, result.ec == std::errc() ? result.ptr : buf);
  if (text == "-0" || text == "-0.0") text.erase(0, 1);
  for (char& c : text) {
    if (c == '.') c = decimal_separator;
  }
  return text;
}

namespace {

// Copies the pixels of `part` of `box` that differ from the display, with the box's top-left at
// (x, y), and returns the display rectangle around them.
TRect CopyChanged(const TBitmap32& box, const TRect& part, TBitmap32& screen, std::int64_t x,
                  std::int64_t y) {
  const TRect on_screen = Intersect(Offset(part, x, y), screen.BoundsRect());
  if (on_screen.Empty()) return {};
  std::int64_t left = on_screen.Right, right = on_screen.Left;
  std::int64_t top = on_screen.Bottom, bottom = on_screen.Top;
  for (std::int64_t row = on_screen.Top; row < on_screen.Bottom; ++row) {
    const TColor32* from = box.Bits() + (row - y) * box.Width();
    const TColor32* to = screen.Bits() + row * screen.Width();
    std::int64_t l = on_screen.Left, r = on_screen.Right;
    // Most rows are alike: a block compare finds them quicker than a pixel walk.
    if (std::memcmp(from + l - x, to + l, static_cast<std::size_t>(r - l) * sizeof *to) == 0)
      continue;
    // The row differs: only a difference beyond the columns already found widens the area.
    const std::int64_t left_stop = std::min(r, left);
    while (l < left_stop && from[l - x] == to[l])
      ++l;
    const std::int64_t right_stop = std::max(l, right);
    while (r > right_stop && from[r - 1 - x] == to[r - 1])
      --r;
    left = std::min(left, l);
    right = std::max(right, r);
    top = std::min(top, row);
    bottom = row + 1;
  }
  const TRect changed{left, top, right, bottom};
  if (changed.Empty()) return {};
  screen.Draw(changed.Left, changed.Top, Offset(changed, -x, -y), box);
  return changed;
}

}  // namespace

void DrawReadout(TDisplayState& display, const TMeterSettings& s, const TMeterState& state,
                 double value) {
  BeginDrawing(display);
  TDrawnReadout& drawn = display.Drawn.Readout;
  if (!s.ShowReadout || s.Style == kStyleBackgroundOnly) {
    if (drawn.RestorePending) RestoreReadoutNow(display);
    return;
  }
  const TReadoutLook look = display.ReadoutLook ? display.ReadoutLook() : TReadoutLook{};
  const std::string text =
      look.Text && !state.Blanked
          ? *look.Text
          : ReadoutText(value, s.ShowDecimal, state.Blanked, display.DecimalSeparator);
  display.LastReadoutText = text;
  display.LastReadoutValue = value;

  TBitmap32& box = display.ReadoutBitmap;
  const std::int64_t rx = s.ReadoutX;
  const std::int64_t ry = s.ReadoutY;
  const TRect area{rx, ry, rx + box.Width(), ry + box.Height()};
  const TColor32 box_colour = Color32(s.ReadoutColor, display.SystemColours);
  const TColor32 digits =
      Color32(look.DigitColour.value_or(box.Font().Color), display.SystemColours);
  // A selection frame is drawn every time and never recorded.
  if (drawn.Valid && !display.ReadoutSelected && drawn.Text == text && drawn.Box == area &&
      drawn.Font == box.Font() && drawn.Digits == digits && drawn.Transparent == s.Transparent &&
      (s.Transparent || drawn.BoxColour == box_colour)) {
    drawn.RestorePending = false;  // the display already shows exactly this
    return;
  }
  const int x = (box.Width() - box.TextWidth(text)) / 2;
  // Only the text changed: the readout bitmap still holds the last readout, so only the glyphs
  // that differ are drawn again, and only pixels that differ are handed on. A large readout is
  // mostly plain box, and a new value mostly changes its last digit.
  if (drawn.Valid && !display.ReadoutSelected && drawn.Box == area && drawn.Font == box.Font() &&
      drawn.Digits == digits && drawn.Transparent == s.Transparent &&
      (s.Transparent || drawn.BoxColour == box_colour)) {
    drawn.RestorePending = false;  // the background goes back under the changed glyphs below
    const TRect dirty = box.TextChange(drawn.TextX, drawn.Text, x, 0, text);
    if (s.Transparent) {
      const std::int64_t bx = display.ReadoutBackingRect.Left - rx;
      const std::int64_t by = display.ReadoutBackingRect.Top - ry;
      box.Draw(dirty.Left, dirty.Top, Offset(dirty, -bx, -by), display.ReadoutBacking);
      box.RenderTextWithin(x, 0, text, digits, dirty);
    } else {
      box.RenderTextWithin(x, 0, text, digits, dirty, box_colour);
    }
    drawn.Text = text;
    drawn.TextX = x;
    const TRect changed = CopyChanged(box, dirty, display.DisplayBitmap, rx, ry);
    if (!changed.Empty()) NoteDrawn(display, changed, TDrawnPart::Readout);
    return;
  }
  if (drawn.RestorePending) RestoreReadoutNow(display);

  if (s.Transparent) {
    box.Draw(display.ReadoutBackingRect.Left - rx, display.ReadoutBackingRect.Top - ry,
             display.ReadoutBacking);
  } else {
    box.Clear(box_colour);
  }
  if (display.ReadoutSelected) {
    box.FrameRectS(box.BoundsRect(), Color32(s.TopColor, display.SystemColours));
  }
  box.RenderText(x, 0, text, 2, digits);
  display.DisplayBitmap.Draw(rx, ry, box);
  NoteDrawn(display, area, TDrawnPart::Readout);
  drawn.Valid = !display.ReadoutSelected;
  drawn.Text = text;
  drawn.Box = area;
  drawn.Font = box.Font();
  drawn.Digits = digits;
  drawn.Transparent = s.Transparent;
  drawn.BoxColour = box_colour;
  drawn.TextX = x;
}

void RedrawReadout(TDisplayState& display, const TMeterSettings& s, const TMeterState& state) {
  if (s.Transparent) RestoreReadoutBacking(display);
  DrawReadout(display, s, state, display.LastReadoutValue);
}

}  // namespace roarmark
