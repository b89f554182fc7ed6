// The display's picture reduction rule and the nearest-neighbour scale it draws with.
#pragma once

#include <cstdint>

#include "platform/pixels.h"

namespace roarmark {

// No picture, as loaded or as reduced, is allowed more pixels than this: it bounds memory for
// untrusted files and for the extreme shapes the reduction rule would enlarge.
inline constexpr std::int64_t kMaxPicturePixels = 40'000'000;

// The largest picture shown without reduction.
inline constexpr int kReduceAboveWidth = 1920;
inline constexpr int kReduceAboveHeight = 1080;
inline constexpr int kReducedHeight = 800;

struct TPictureSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TPictureSize&, const TPictureSize&) = default;
};

// True when a picture of w x h exceeds the largest unreduced size.
bool NeedsReduction(int w, int h);

// The size a w x h picture is shown at: unchanged up to 1920 x 1080, otherwise 800 high and
// trunc(w / h * 800) wide (at least 1). Exact integer arithmetic; saturates instead of
// overflowing for extreme shapes, which ReductionAllowed refuses anyway.
TPictureSize ReducedSize(int w, int h);

// False for an empty size, or when the picture or its reduced size has more than
// kMaxPicturePixels pixels.
bool ReductionAllowed(int w, int h);

// Rectangle-to-rectangle nearest neighbour: destination pixel (dx, dy) takes source pixel
// (dx * sw / dw, dy * sh / dh). An empty source or a size of 0 or less gives an empty picture.
platform::TPixels ScaleNearest(const platform::TPixels& source, int width, int height);

// Applies the reduction rule to a freshly loaded picture. `source` is the size of the picture in
// its file, which differs from `picture`'s size when the JPEG loader already decoded it at a
// reduced scale; the rule is worked out from the file's size so both paths give the same
// result. Returns false, leaving `picture` as it was, when the picture must be refused.
bool ReduceLoadedPicture(platform::TPixels& picture, TPictureSize source);

}  // namespace roarmark
