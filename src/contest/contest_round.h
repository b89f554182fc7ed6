// The phases of one round, timed by the sound itself: every buffer brings 1100 frames of
// 44100 a second, so each contestant gets exactly as much sound whatever the machine's timing.
// A phase ends with the buffer that completes its time; the round's buffers are those after
// the countdown's last.
#pragma once

#include <cstdint>

#include "display/contest_view.h"

namespace roarmark {

inline constexpr std::int64_t kFramesPerSecond = 44100;
inline constexpr std::int64_t kFramesPerRoundBuffer = 1100;
// How long a round's score stays on the display.
inline constexpr int kScoreShownSeconds = 5;

enum class TRoundStep { None, CountdownOver, RoundOver, ShownOver };

class TContestRound {
 public:
  // A countdown of `countdown_seconds` (none when 0), then a round of `round_seconds`.
  void Begin(int countdown_seconds, int round_seconds);
  // The round's score on show for kScoreShownSeconds.
  void ShowScore();
  void End();

  // One buffer measured, `position` the meter position after it.
  TRoundStep Buffer(int position);

  TContestPhase Phase() const { return phase_; }
  // Of the current phase: whole seconds left, rounded up, and milliseconds, to the nearest.
  int SecondsLeft() const;
  std::int64_t LeftMs() const;

  std::int64_t PositionSum() const { return sum_; }
  std::int64_t Buffers() const { return buffers_; }
  int Peak() const { return peak_; }

 private:
  void StartPhase(TContestPhase phase, int seconds);

  TContestPhase phase_ = TContestPhase::Idle;
  std::int64_t frames_ = 0;        // into the current phase
  std::int64_t phase_frames_ = 0;  // the current phase's length
  int round_seconds_ = 0;
  std::int64_t sum_ = 0;
  std::int64_t buffers_ = 0;
  int peak_ = 0;
};

}  // namespace roarmark
