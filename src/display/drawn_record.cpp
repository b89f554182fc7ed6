// What the renderers drew: the display's change count tells whether anyone else drew since.
#include "display/drawn_record.h"

#include <algorithm>

namespace roarmark {

namespace {

constexpr std::size_t kMaxAreas = 64;

bool Overlap(const TRect& a, const TRect& b) {
  return !Intersect(a, b).Empty();
}

TRect MeterExtent(const TDrawnRecord& drawn) {
  if (drawn.Bars.Valid) return drawn.Bars.Extent;
  if (drawn.Needles.Valid) return drawn.Needles.Visible;
  return {};
}

}  // namespace

void ForgetMeterAndReadout(TDisplayState& display) {
  TDrawnRecord& d = display.Drawn;
  d.Bars.Valid = false;
  d.Needles.Valid = false;
  d.Readout.Valid = false;
  d.Readout.RestorePending = false;
}

void ForgetDrawn(TDisplayState& display) {
  display.Drawn.Tracking = false;
  display.Drawn.Contest.Valid = false;
  ForgetMeterAndReadout(display);
}

void BeginDrawing(TDisplayState& display) {
  TDrawnRecord& d = display.Drawn;
  const std::uint64_t changes = display.DisplayBitmap.ChangeCount();
  if (d.Tracking && changes == d.DisplayChanges) return;
  ForgetDrawn(display);
  d.Tracking = true;
  d.DisplayChanges = changes;
}

void NoteDrawn(TDisplayState& display, const TRect& area, TDrawnPart part) {
  TDrawnRecord& d = display.Drawn;
  const TRect clipped = Intersect(area, display.DisplayBitmap.BoundsRect());
  if (!clipped.Empty()) {
    if (part == TDrawnPart::Meter && d.Readout.Valid && Overlap(clipped, d.Readout.Box)) {
      d.Readout.Valid = false;
    }
    if (part == TDrawnPart::Readout && Overlap(clipped, MeterExtent(d))) {
      d.Bars.Valid = false;
      d.Needles.Valid = false;
    }
    if (d.Areas.size() >= kMaxAreas) {
      // Nobody took them for a long while: one bounding rectangle does as well.
      TRect all = clipped;
      for (const TRect& r : d.Areas)
        all = {std::min(all.Left, r.Left), std::min(all.Top, r.Top), std::max(all.Right, r.Right),
               std::max(all.Bottom, r.Bottom)};
      d.Areas.assign(1, all);
    } else {
      d.Areas.push_back(clipped);
    }
  }
  d.DisplayChanges = display.DisplayBitmap.ChangeCount();
}

void RestoreReadoutNow(TDisplayState& display) {
  BeginDrawing(display);
  display.Drawn.Readout.RestorePending = false;
  display.Drawn.Readout.Valid = false;
  if (display.ReadoutBacking.Empty()) return;
  display.DisplayBitmap.Draw(display.ReadoutBackingRect.Left, display.ReadoutBackingRect.Top,
                             display.ReadoutBacking);
  NoteDrawn(display, display.ReadoutBackingRect, TDrawnPart::Readout);
}

std::vector<platform::TRect> TakeDrawnAreas(TDisplayState& display) {
  if (display.Drawn.Readout.RestorePending) RestoreReadoutNow(display);
  std::vector<platform::TRect> out;
  out.reserve(display.Drawn.Areas.size());
  // Clipped to the display, so every rectangle fits the platform's integers.
  for (const TRect& r : display.Drawn.Areas) {
    out.push_back({static_cast<int>(r.Left), static_cast<int>(r.Top), static_cast<int>(r.Right),
                   static_cast<int>(r.Bottom)});
  }
  display.Drawn.Areas.clear();
  return out;
}

}  // namespace roarmark
