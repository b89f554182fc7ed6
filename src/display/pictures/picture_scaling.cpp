// The display's picture reduction rule and the nearest-neighbour scale it draws with.
#include "display/pictures/picture_scaling.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace roarmark {

namespace {

int SaturateToInt(std::int64_t v) {
  return static_cast<int>(std::min<std::int64_t>(v, INT_MAX));
}

// Width of the reduced picture in 64 bits, before saturation.
std::int64_t ReducedWidth64(int w, int h) {
  const std::int64_t width = static_cast<std::int64_t>(w) * kReducedHeight / h;
  // A picture far taller than wide would otherwise lose its last column.
  return std::max<std::int64_t>(width, 1);
}

// Pixel count of the reduced picture in 64 bits (w, h > 0).
std::int64_t ShownPixels64(int w, int h) {
  if (!(w > kReduceAboveWidth || h > kReduceAboveHeight)) return static_cast<std::int64_t>(w) * h;
  return ReducedWidth64(w, h) * kReducedHeight;
}

bool PictureIsValid(const platform::TPixels& p) {
  return p.Width > 0 && p.Height > 0 &&
         p.Pixels.size() == static_cast<std::size_t>(p.Width) * static_cast<std::size_t>(p.Height);
}

}  // namespace

bool NeedsReduction(int w, int h) {
  return w > kReduceAboveWidth || h > kReduceAboveHeight;
}

TPictureSize ReducedSize(int w, int h) {
  if (w <= 0 || h <= 0 || !NeedsReduction(w, h)) return {w, h};
  return {SaturateToInt(ReducedWidth64(w, h)), kReducedHeight};
}

bool ReductionAllowed(int w, int h) {
  if (w <= 0 || h <= 0) return false;
  return static_cast<std::int64_t>(w) * h <= kMaxPicturePixels &&
         ShownPixels64(w, h) <= kMaxPicturePixels;
}

platform::TPixels ScaleNearest(const platform::TPixels& source, int width, int height) {
  platform::TPixels out;
  if (!PictureIsValid(source) || width <= 0 || height <= 0) return out;
  if (static_cast<std::int64_t>(width) * height > kMaxPicturePixels) return out;
  out.Width = width;
  out.Height = height;
  out.Pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));

  std::vector<int> column(static_cast<std::size_t>(width));
  for (int dx = 0; dx < width; ++dx) {
    column[static_cast<std::size_t>(dx)] =
        static_cast<int>(static_cast<std::int64_t>(dx) * source.Width / width);
  }
  std::uint32_t* dst = out.Pixels.data();
  for (int dy = 0; dy < height; ++dy) {
    const auto sy =
        static_cast<std::size_t>(static_cast<std::int64_t>(dy) * source.Height / height);
    const std::uint32_t* src_row =
        source.Pixels.data() + sy * static_cast<std::size_t>(source.Width);
    for (int dx = 0; dx < width; ++dx)
      *dst++ = src_row[column[static_cast<std::size_t>(dx)]];
  }
  return out;
}

bool ReduceLoadedPicture(platform::TPixels& picture, TPictureSize source) {
  if (!PictureIsValid(picture) || source.Width <= 0 || source.Height <= 0) return false;
  if (!ReductionAllowed(source.Width, source.Height)) return false;
  // The JPEG loader may have decoded it smaller, never larger.
  if (picture.Width > source.Width || picture.Height > source.Height) return false;
  if (!NeedsReduction(source.Width, source.Height)) return true;
  const TPictureSize shown = ReducedSize(source.Width, source.Height);
  if (shown.Width != picture.Width || shown.Height != picture.Height)
    picture = ScaleNearest(picture, shown.Width, shown.Height);
  return true;
}

}  // namespace roarmark
