// Drawing only what a buffer changes: after every buffer of a random level sequence, with peak
// resets, blanking, colour changes, selections and re-layouts mixed in, the display holds
// exactly what drawing everything anew gives, and the reported areas hold every changed pixel.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "display/analogue_meter.h"
#include "display/bar_meter.h"
#include "display/drawn_record.h"
#include "display/readout.h"
#include "display_test_support.h"

namespace roarmark {
namespace {

TColor32 Picture(int x, int y) {
  return 0xFF000000u | static_cast<TColor32>((x * 5 & 0xFF) << 16 | (y * 3 & 0xFF) << 8 | 0x33);
}

// One display as the main window keeps it, driven the way the level engine drives it.
struct Screen {
  testing::TLiberationFonts fonts;
  TMeterSettings s;
  TDisplayState display;
  TMeterState state;
  bool whole = false;  // forget what was drawn before every drawing: everything anew

  void Relayout() {
    TBitmap32& disp = display.DisplayBitmap;
    disp.SetSize(display.BackgroundBitmap.Width(), display.BackgroundBitmap.Height());
    disp.Draw(0, 0, display.BackgroundBitmap);
    ApplyReadoutFont(display, s);
    SaveBackings(display, s);
    BuildColourRamp(display, s);
    state.PeakMarker = 0;
  }

  void Start(const TMeterSettings& settings, int width, int height) {
    s = settings;
    display.Fonts = &fonts;
    display.BackgroundBitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x)
        display.BackgroundBitmap.SetPixel(x, y, Picture(x, y));
    }
    Relayout();
  }

  void Forget() {
    if (whole) ForgetDrawn(display);
  }

  // The drawing part of one buffer: the meter, then the readout when the peak is reached.
  void Buffer(int position, int level) {
    Forget();
    if (s.Style == kStyleVerticalBars) DrawVerticalBars(display, s, state, position);
    if (s.Style == kStyleHorizontalBars) DrawHorizontalBars(display, s, state, position);
    if (s.Style == kStyleAnalogue) DrawAnalogueMeter(display, s, state, position);
    if (position >= state.PeakMarker) {
      Forget();
      if (s.Transparent) RestoreReadoutBacking(display);
      Forget();
      DrawReadout(display, s, state, level);
      state.PeakMarker = position;
    }
  }

  void ToggleBlank() {
    state.Blanked = !state.Blanked;
    if (state.Blanked) {
      state.PeakMarker = 0;
      Forget();
      DrawReadout(display, s, state, 0);
    }
  }
};

struct Scene {
  const char* name;
  int width, height;
  int style;
  int meter_x, meter_y, meter_w, meter_h;
  int readout_x, readout_y, font_size;
  bool transparent, blocks, blend, decimal;
  int font_style;
  bool peak = true;               // the peak needle shown
  std::size_t needle_pixels = 0;  // needle pixels kept at most, 0: as the program keeps them
};

TEST(IncrementalDrawing, EveryBufferLeavesThePixelsOfAWholeRedraw) {
  const Scene scenes[] = {
      {"vertical bars, readout apart", 300, 560, kStyleVerticalBars, 20, 540, 60, 500, 120, 20, 36,
       false, true, true, false, 0},
      {"vertical bars of one-pixel pitch, overlapping blocks", 200, 120, kStyleVerticalBars, 10,
       100, 30, 30, 80, 10, 20, false, false, true, false, 0},
      {"horizontal bars under a transparent readout", 640, 200, kStyleHorizontalBars, 20, 180, 600,
       60, 200, 100, 40, true, true, false, true, 0},
      {"analogue meter reaching past the display, readout apart", 520, 330, kStyleAnalogue, -40,
       300, 400, 200, 380, 10, 30, false, true, true, false, 0},
      {"analogue meter under a transparent readout", 420, 260, kStyleAnalogue, 10, 250, 400, 200,
       150, 120, 28, true, true, true, true, 0},
      // A needle alone is copied from pixels kept per angle, which a re-layout over another part
      // of the picture or a colour change must renew.
      {"analogue meter without a peak needle", 420, 260, kStyleAnalogue, 10, 250, 400, 200, 150, 10,
       28, false, true, true, true, 0, false},
      {"analogue meter reaching past the display without a peak needle", 520, 330, kStyleAnalogue,
       -40, 300, 400, 200, 380, 10, 30, false, true, true, false, 0, false},
      // Pixels for little more than two angles: the others' are let go on nearly every move.
      {"analogue meter without a peak needle keeping few pixels", 420, 260, kStyleAnalogue, 10, 250,
       400, 200, 150, 10, 28, false, true, true, true, 0, false, 10000},
      {"large readout alone", 500, 300, kStyleVerticalBars, 0, 0, 0, 0, 30, 20, 120, true, true,
       true, true, 0},
      // Slanted glyphs reach into their neighbours' boxes; lines span the whole text.
      {"large italic readout on a box", 500, 300, kStyleVerticalBars, 0, 0, 0, 0, 30, 20, 110,
       false, true, true, true, kFontItalic | kFontBold},
      {"large underlined struck-out readout", 500, 300, kStyleVerticalBars, 0, 0, 0, 0, 30, 20, 110,
       true, true, true, true, kFontUnderline | kFontStrikeOut},
  };
  for (const Scene& sc : scenes) {
    SCOPED_TRACE(sc.name);
    TMeterSettings s;
    s.Style = sc.style;
    s.MeterX = sc.meter_x;
    s.MeterY = sc.meter_y;
    s.MeterWidth = sc.meter_w;
    s.MeterHeight = sc.meter_h;
    s.ReadoutX = sc.readout_x;
    s.ReadoutY = sc.readout_y;
    s.FontSize = sc.font_size;
    s.Transparent = sc.transparent;
    s.Blocks = sc.blocks;
    s.Blend = sc.blend;
    s.ShowDecimal = sc.decimal;
    s.FontStyle = sc.font_style;
    s.ColorPeak = sc.peak;
    Screen step, whole;
    whole.whole = true;
    step.Start(s, sc.width, sc.height);
    if (sc.needle_pixels != 0) step.display.NeedleShapes.MaxPixels = sc.needle_pixels;
    whole.Start(s, sc.width, sc.height);
    TakeDrawnAreas(step.display);

    std::mt19937 random(1234);
    auto chance = [&](int percent) {
      return std::uniform_int_distribution<int>(0, 99)(random) < percent;
    };
    int position = 1;
    for (int buffer = 0; buffer < 300; ++buffer) {
      const TBitmap32& shown = step.display.DisplayBitmap;
      const std::vector<TColor32> before(
          shown.Bits(), shown.Bits() + std::size_t(shown.Width()) * shown.Height());
      // Mostly small moves as a crowd swells and fades, now and then a jump.
      position =
          chance(15)
              ? std::uniform_int_distribution<int>(1, 1024)(random)
              : std::clamp(position + std::uniform_int_distribution<int>(-60, 60)(random), 1, 1024);
      const int level = std::uniform_int_distribution<int>(0, 1020)(random);
      const bool relayout = buffer % 97 == 17;  // the image shows all of it anew then
      for (Screen* screen : {&step, &whole}) {
        if (buffer % 37 == 5) {
          screen->state.PeakMarker = 0;  // peak reset
        } else if (buffer % 53 == 7) {
          screen->ToggleBlank();
        } else if (buffer % 41 == 11) {  // a colour changed in the setup dialog
          screen->s.PeakColor ^= 0x00FF00;
          screen->s.TopColor ^= 0x0000FF;
          screen->s.ReadoutColor ^= 0x101010;
          screen->s.FontColor ^= 0x400000;
          screen->s.Midtone = (screen->s.Midtone + 30) % 100;
          ApplyReadoutFont(screen->display, screen->s);
          BuildColourRamp(screen->display, screen->s);
        } else if (buffer % 43 == 19) {  // the peak needle's colour alone
          screen->s.PeakColor ^= 0x300000;
        } else if (buffer % 67 == 13) {  // design mode selects both parts, then lets go
          screen->display.MeterSelected = !screen->display.MeterSelected;
          screen->display.ReadoutSelected = !screen->display.ReadoutSelected;
        } else if (relayout) {  // dragged a little: laid out anew
          screen->s.MeterX += 3;
          screen->s.ReadoutY += 2;
          screen->Relayout();
        }
        screen->Buffer(position, level);
      }
      const TBitmap32& want = whole.display.DisplayBitmap;
      ASSERT_EQ(shown.Width(), want.Width());
      ASSERT_EQ(shown.Height(), want.Height());
      const std::vector<platform::TRect> areas = TakeDrawnAreas(step.display);
      int reported = 0;
      for (int y = 0; y < shown.Height() && reported < 3; ++y) {
        for (int x = 0; x < shown.Width() && reported < 3; ++x) {
          const TColor32 got = shown.Pixel(x, y);
          if (got != want.Pixel(x, y)) {
            ADD_FAILURE() << "buffer " << buffer << " position " << position << ": pixel (" << x
                          << ", " << y << ") is 0x" << std::hex << got << ", a whole redraw 0x"
                          << want.Pixel(x, y);
            ++reported;
          }
          if (!relayout && got != before[std::size_t(y) * shown.Width() + x]) {
            bool inside = false;
            for (const platform::TRect& r : areas)
              inside = inside || r.Contains({x, y});
            if (!inside) {
              ADD_FAILURE() << "buffer " << buffer << ": changed pixel (" << x << ", " << y
                            << ") lies in no reported area";
              ++reported;
            }
          }
        }
      }
      if (reported > 0) break;
    }
  }
}

}  // namespace
}  // namespace roarmark
