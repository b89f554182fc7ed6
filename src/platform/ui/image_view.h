// The display image control: shows pixels owned elsewhere 1:1 or stretched (nearest neighbour)
// over a grey background, and takes mouse, wheel and keys.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/pixels.h"
#include "platform/ui/control.h"

namespace roarmark::platform::ui {

enum class TScaleMode { smNormal, smStretch };

// The grey shown where the image does not cover the control (0xAARRGGBB).
inline constexpr std::uint32_t kImageViewBackground = 0xFF808080;

class TImageView : public TControl {
 public:
  TImageView(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TImageView"; }
  bool AcceptsFocus() const override { return true; }
  bool FocusOnPress() const override { return false; }

  // The pixels to show; the owner keeps them alive and calls Changed() after drawing.
  const TPixelsView& Image() const { return image_; }
  void SetImage(TPixelsView image);
  TScaleMode ScaleMode() const { return scale_mode_; }
  void SetScaleMode(TScaleMode mode);
  // Asks for a repaint of the whole image.
  void Changed();
  // Asks for a repaint of `area` only (image pixels): what the owner drew is known to lie there.
  // Areas add up until a backend takes them.
  void Changed(const TRect& area);
  // The same for several areas drawn together (the meter and the readout, say); nothing when
  // there are none.
  void Changed(std::span<const TRect> areas);
  // What changed since the last call: the areas given, overlapping ones merged, or the whole image
  // (`Whole`) when Changed() was called without one. Clears the record.
  struct TChangedArea {
    bool Whole = false;
    TRect Area;                // the bounds of all of them; empty when nothing changed
    std::vector<TRect> Areas;  // apart from one another
  };
  TChangedArea TakeChangedArea();
  // How many repaints were asked for.
  std::uint64_t ChangeCount() const { return change_count_; }

  // What the control shows at client pixel (x, y): an image pixel, or the grey background.
  std::uint32_t PixelAt(int x, int y) const;

 private:
  TPixelsView image_;
  TScaleMode scale_mode_ = TScaleMode::smNormal;
  void AddArea(const TRect& area);

  std::uint64_t change_count_ = 0;
  TChangedArea changed_{true, {}, {}};
};

}  // namespace roarmark::platform::ui
