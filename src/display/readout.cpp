// Numeric readout: composed in the readout bitmap (solid box or over the background backing)
// and copied into the display at the readout position.
#include "display/readout.h"

#include <charconv>

namespace roarmark {

TRect MeterBox(const TMeterSettings& s) {
  const std::int64_t x = s.MeterX;
  const std::int64_t y = s.MeterY;
  return {x, y - s.MeterHeight, x + s.MeterWidth, y};
}

int ReadoutWidth(const TDisplayState& display, const TMeterSettings& s) {
  return display.ReadoutBitmap.TextWidth(s.ShowDecimal ? "MM.M" : "MM.");
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
  display.MeterBackingRect = rect;
  display.MeterBacking.SetSize(rect.Width(), rect.Height());
  display.MeterBacking.Clear(kBlack32);
  display.MeterBacking.Draw(0, 0, rect, source);
}

void SaveBackings(TDisplayState& display, const TMeterSettings& s) {
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

void RestoreReadoutBacking(TDisplayState& display) {
  display.DisplayBitmap.Draw(display.ReadoutBackingRect.Left, display.ReadoutBackingRect.Top,
                             display.ReadoutBacking);
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

void DrawReadout(TDisplayState& display, const TMeterSettings& s, const TMeterState& state,
                 double value) {
  if (!s.ShowReadout || s.Style == kStyleBackgroundOnly) return;
  const std::string text =
      ReadoutText(value, s.ShowDecimal, state.Blanked, display.DecimalSeparator);
  display.LastReadoutText = text;

  TBitmap32& box = display.ReadoutBitmap;
  const std::int64_t rx = s.ReadoutX;
  const std::int64_t ry = s.ReadoutY;
  if (s.Transparent) {
    box.Draw(display.ReadoutBackingRect.Left - rx, display.ReadoutBackingRect.Top - ry,
             display.ReadoutBacking);
  } else {
    box.Clear(Color32(s.ReadoutColor, display.SystemColours));
  }
  if (display.ReadoutSelected) {
    box.FrameRectS(box.BoundsRect(), Color32(s.TopColor, display.SystemColours));
  }
  const int x = (box.Width() - box.TextWidth(text)) / 2;
  box.RenderText(x, 0, text, 2, Color32(box.Font().Color, display.SystemColours));
  display.DisplayBitmap.Draw(rx, ry, box);
}

}  // namespace roarmark
