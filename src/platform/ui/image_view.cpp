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
  changed_.Areas.clear();
  TControl::Changed(TProperty::ImageChanged);
}

namespace {

// More separate areas than this cost the backend more than one rectangle around them.
constexpr std::size_t kMaxAreas = 16;

bool EmptyRect(const TRect& r) {
  return r.Width() <= 0 || r.Height() <= 0;
}

TRect Bounds(const TRect& a, const TRect& b) {
  if (EmptyRect(a)) return b;
  return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
               std::max(a.Bottom, b.Bottom)};
}

bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

}  // namespace

void TImageView::AddArea(const TRect& area) {
  if (changed_.Whole || EmptyRect(area)) return;
  changed_.Area = Bounds(changed_.Area, area);
  // Overlapping areas become one, so no pixel is repainted twice.
  TRect merged = area;
  std::vector<TRect>& areas = changed_.Areas;
  for (bool again = true; again;) {
    again = false;
    for (std::size_t i = 0; i < areas.size(); ++i) {
      if (Overlap(areas[i], merged)) {
        merged = Bounds(merged, areas[i]);
        areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(i));
        again = true;
        break;
      }
    }
  }
  areas.push_back(merged);
  if (areas.size() > kMaxAreas) areas.assign(1, changed_.Area);
}

void TImageView::Changed(const TRect& area) {
  ++change_count_;
  AddArea(area);
  TControl::Changed(TProperty::ImageChanged);
}

void TImageView::Changed(std::span<const TRect> areas) {
  if (areas.empty()) return;
  ++change_count_;
  for (const TRect& area : areas)
    AddArea(area);
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
