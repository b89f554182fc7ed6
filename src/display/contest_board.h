// The contest on the display, in the layout's font and colours: a round's banner (name and
// seconds left), the countdown and the round's score shown large, and the ranking board.
#pragma once

#include <cstdint>
#include <string>

#include "display/contest_view.h"
#include "display/display_state.h"
#include "settings/meter_settings.h"

namespace roarmark {

// Rows the board has room for: one column of up to ten, two columns past ten.
inline constexpr int kBoardMaxRows = 20;

// Where row `index` of a board of `rows` rows lies on a display `width` x `height`.
struct TBoardRowGeometry {
  TRect Box;
  TRect Rank, Name, Score;  // text fields inside the box
  TRect Track;              // the bar at full length
};
TBoardRowGeometry BoardRowGeometry(std::int64_t width, std::int64_t height, int rows, int index);

// Length of the bar for a score in tenths: proportional, the whole track at 100.0 and above.
std::int64_t BarLength(std::int64_t track, int score_tenths);

// "87.3" for 873 tenths, with the locale's separator.
std::string ScoreText(int tenths, char decimal_separator);

// Draws what the view asks for where it differs from what the display shows, or where the
// meter or readout drew over it since. True when the background picture was put back over the
// meter and readout: both are drawn whole next time, and the readout comes back only when the
// level engine draws it again.
bool DrawContest(TDisplayState& display, const TMeterSettings& settings, const TContestView& view);

}  // namespace roarmark
