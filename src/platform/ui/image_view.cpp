// The display image control.
#include "platform/ui/image_view.h"

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
  TControl::Changed(TProperty::ImageChanged);
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
