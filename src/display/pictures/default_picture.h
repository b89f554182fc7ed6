// The picture shown when no picture of the operator's is available, drawn by code.
#pragma once

#include "platform/pixels.h"

namespace roarmark {

inline constexpr int kDefaultPictureWidth = 1920;
inline constexpr int kDefaultPictureHeight = 1080;

// A 1920 x 1080 stage scene: a deep blue backdrop lit by soft spotlights, a floor line and a
// dark audience row, with a plain dark panel where the default vertical meter sits (columns
// 188..315, rows 114..763) and a calm middle for the readout. The same pixels on every call
// and every machine (only +, -, *, / and sqrt are used).
platform::TPixels MakeDefaultPicture();

}  // namespace roarmark
