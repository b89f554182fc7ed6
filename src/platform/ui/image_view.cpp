// The display image control.
#include "platform/ui/image_view.h"

#include <algorithm>

namespace roarmark::platform::ui {

TImageView::TImageView(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  Attach();
}

void TImageView::SetImage(TPixelsView image) {
  image_ = image;
  TControl::Changed(TProperty::Picture);
}

void TImageView::SetScaleMode(TScaleMode mode) {
  if (mode == scale_mode_) return;
  scale_mode_ = mode;
  TControl::Changed(TProperty::ScaleMode);
}

void TImageView::Changed() {
  ++change_count_;
  changed_.Whole = true;
  TControl::Changed(TProperty::ImageChanged);
}

void TImageView::Changed(const TRect& area) {
  ++change_count_;
  if (!changed_.Whole && area.Width() > 0 && area.Height() > 0) {
    TRect& u = changed_.Area;
    if (u.Width() <= 0 || u.Height() <= 0) {
      u = area;
    } else {
      u = TRect{std::min(u.Left, area.Left), std::min(u.Top, area.Top),
                std::max(u.Right, area.Right), std::max(u.Bottom, area.Bottom)};
    }
  }
  TControl::Changed(TProperty::ImageChanged);
}

TImageView::TChangedArea TImageView::TakeChangedArea() {
  TChangedArea taken = changed_;
  changed_ = TChangedArea{};
  return taken;
}

// Nearest neighbour: control pixel x shows image column x * imageWidth / controlWidth.
std::uint32_t TImageView::PixelAt(int x, int y) const {
  if (!image_.Pixels || image_.Width <= 0 || image_.Height <= 0) return kImageViewBackground;
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return kImageViewBackground;
  std::int64_t sx = x;
  std::int64_t sy = y;
  if (scale_mode_ == TScaleMode::smStretch) {
    sx = sx * image_.Width / Width();
    sy = sy * image_.Height / Height();
  }
  if (sx >= image_.Width || sy >= image_.Height) return kImageViewBackground;
  return image_.Pixels[sy * image_.Width + sx];
}

}  // namespace roarmark::platform::ui
