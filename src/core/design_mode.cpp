// Design mode: the meter and the readout picked, dragged and resized with the mouse on the
// running display. Mouse positions come in control pixels of Image1, the boxes are in pixels
// of the background picture.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "core/main_window.h"
#include "display/readout.h"

namespace roarmark {

using namespace platform::ui;

namespace {

// Halves go to the even neighbour (the default rounding mode); kept within what the positions'
// 64-bit arithmetic can take.
std::int64_t RoundEven(double v) {
  constexpr double kLimit = 4e18;
  return static_cast<std::int64_t>(std::nearbyint(std::clamp(v, -kLimit, kLimit)));
}

int Clamp32(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

// The control-to-picture scale; false when there is none to speak of (a zero-sized picture or
// control), and then design mode leaves the mouse alone. A picture shown 1:1 has scale 1
// whatever the control's size.
bool TForm1::DesignScale(double& sx, double& sy) const {
  const TBitmap32& bg = Display.BackgroundBitmap;
  if (bg.Width() <= 0 || bg.Height() <= 0 || Image1.Width() <= 0 || Image1.Height() <= 0) {
    return false;
  }
  if (Image1.ScaleMode() == TScaleMode::smNormal) {
    sx = sy = 1.0;
  } else {
    sx = static_cast<double>(Image1.Width()) / static_cast<double>(bg.Width());
    sy = static_cast<double>(Image1.Height()) / static_cast<double>(bg.Height());
  }
  return true;
}

bool TForm1::InMeterBox(std::int64_t x, std::int64_t y) const {
  const std::int64_t left = Settings.MeterX;
  const std::int64_t bottom = Settings.MeterY;
  return left < x && x < left + Settings.MeterWidth && bottom - Settings.MeterHeight < y &&
         y < bottom;
}

bool TForm1::InReadoutBox(std::int64_t x, std::int64_t y) const {
  const std::int64_t left = Settings.ReadoutX;
  const std::int64_t top = Settings.ReadoutY;
  return left < x && x < left + ReadoutWidth(Display, Settings) && top < y &&
         y < top + ReadoutHeight(Display);
}

void TForm1::DrawMeterBand() {
  DrawDesignFrame(Display.DisplayBitmap, Settings.MeterX, Settings.MeterY, Settings.MeterWidth,
                  Settings.MeterHeight);
  const std::int64_t x = Settings.MeterX;
  const std::int64_t y = Settings.MeterY;
  BandChanged(x, y - Settings.MeterHeight, x + Settings.MeterWidth, y);
}

void TForm1::DrawReadoutBand() {
  const std::int64_t w = ReadoutWidth(Display, Settings);
  const std::int64_t h = ReadoutHeight(Display);
  DrawDesignFrame(Display.DisplayBitmap, Settings.ReadoutX, Settings.ReadoutY, w, -h);
  BandChanged(Settings.ReadoutX, Settings.ReadoutY, std::int64_t{Settings.ReadoutX} + w,
              std::int64_t{Settings.ReadoutY} + h);
}

void TForm1::BandChanged(std::int64_t left, std::int64_t top, std::int64_t right,
                         std::int64_t bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  Image1.Changed(platform::TRect{Clamp32(left - 1), Clamp32(top - 1), Clamp32(right + 1),
                                 Clamp32(bottom + 1)});
}

void TForm1::DesignMouseDown(TMouseButton button, int x, int y) {
  if (button == TMouseButton::mbRight) {
    OpenSetupDialog();
    return;
  }
  if (!Settings.AllowDrag) return;
  double sx = 1;
  double sy = 1;
  if (!DesignScale(sx, sy)) return;
  if (button != TMouseButton::mbLeft) {
    Display.MeterSelected = false;
    Display.ReadoutSelected = false;
    return;
  }
  Dragging = true;
  LastPointer = {x, y};
  const std::int64_t px = RoundEven(x / sx);
  const std::int64_t py = RoundEven(y / sy);
  // Where the boxes overlap the meter wins.
  if (InMeterBox(px, py)) {
    Display.MeterSelected = true;
    Display.ReadoutSelected = false;
    DrawMeterBand();
  } else if (InReadoutBox(px, py)) {
    Display.ReadoutSelected = true;
    Display.MeterSelected = false;
    DrawReadoutBand();
  } else {
    Display.MeterSelected = false;
    Display.ReadoutSelected = false;
  }
}

void TForm1::DesignMouseMove(int x, int y) {
  const bool modifier = (App().KeyShiftState() & (ssCtrl | ssShift)) != 0;
  // Pointer positions may lie anywhere in the 32-bit range; their difference may not.
  const std::int64_t dx = std::int64_t{LastPointer.X} - x;
  const std::int64_t dy = std::int64_t{LastPointer.Y} - y;
  LastPointer = {x, y};
  double sx = 1;
  double sy = 1;
  if (!DesignScale(sx, sy)) return;
  const std::int64_t px = RoundEven(x / sx);
  const std::int64_t py = RoundEven(y / sy);

  if (InMeterBox(px, py)) {
    if (Display.MeterSelected && !Dragging) {
      // The pointer announces what the wheel will resize.
      if (Settings.Style == kStyleVerticalBars) {
        App().SetCursor(modifier ? TCursor::crSizeWE : TCursor::crSizeNS);
      } else if (Settings.Style == kStyleHorizontalBars || Settings.Style == kStyleAnalogue) {
        App().SetCursor(modifier ? TCursor::crSizeNS : TCursor::crSizeWE);
      }
    }
    if (Dragging && Display.MeterSelected) {
      DrawMeterBand();
      App().SetCursor(TCursor::crDrag);
      Settings.MeterX = Clamp32(Settings.MeterX - RoundEven(dx / sx));
      Settings.MeterY = Clamp32(Settings.MeterY - RoundEven(dy / sy));
      DrawMeterBand();
      return;
    }
  }
  if (InReadoutBox(px, py)) {
    if (Display.ReadoutSelected && !Dragging) App().SetCursor(TCursor::crSizeAll);
    if (Dragging && Display.ReadoutSelected) {
      DrawReadoutBand();
      App().SetCursor(TCursor::crDrag);
      Settings.ReadoutX = Clamp32(Settings.ReadoutX - RoundEven(dx / sx));
      Settings.ReadoutY = Clamp32(Settings.ReadoutY - RoundEven(dy / sy));
      DrawReadoutBand();
    }
  }
}

void TForm1::DesignMouseUp() {
  Dragging = false;
  App().SetCursor(TCursor::crDefault);
  if (Settings.AllowDrag) RelayoutDisplay();
  Image1.SetFocus();  // the display's keys arrive on the image (path A) from now on
}

void TForm1::DesignWheel(int step) {
  const bool modifier = (App().KeyShiftState() & (ssCtrl | ssShift)) != 0;
  double sx = 1;
  double sy = 1;
  if (!DesignScale(sx, sy)) return;
  const platform::TPoint p = Image1.ScreenToClient(App().CursorPos());
  const std::int64_t px = RoundEven(p.X / sx);
  const std::int64_t py = RoundEven(p.Y / sy);

  if (InReadoutBox(px, py)) {
    if (!Display.ReadoutSelected) return;
    if ((step == -1 && Settings.FontSize > 8) || (step == 1 && Settings.FontSize < 240)) {
      Settings.FontSize += step;
    }
    RelayoutDisplay();
  }
  if (InMeterBox(px, py) && Display.MeterSelected) {
    auto add = [](int& field, std::int64_t delta) { field = Clamp32(field + delta); };
    switch (Settings.Style) {
      case kStyleVerticalBars:
        modifier ? add(Settings.MeterWidth, step) : add(Settings.MeterHeight, 10 * step);
        break;
      case kStyleHorizontalBars:
        modifier ? add(Settings.MeterHeight, step) : add(Settings.MeterWidth, 10 * step);
        break;
      case kStyleAnalogue:
        if (modifier) {
          add(Settings.MeterHeight, step);
        } else {
          // Grows on both sides.
          add(Settings.MeterWidth, 2 * step);
          add(Settings.MeterX, -step);
        }
        break;
      default:
        break;
    }
    RelayoutDisplay();
  }
}

void TForm1::ToggleDesignMode() {
  Settings.AllowDrag = !Settings.AllowDrag;
  if (!Settings.AllowDrag) RelayoutDisplay();
}

}  // namespace roarmark
