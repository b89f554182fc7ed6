// Round phases counted in frames of sound.
#include "contest/contest_round.h"

namespace roarmark {

void TContestRound::StartPhase(TContestPhase phase, int seconds) {
  phase_ = phase;
  frames_ = 0;
  phase_frames_ = std::int64_t{seconds} * kFramesPerSecond;
}

void TContestRound::Begin(int countdown_seconds, int round_seconds) {
  round_seconds_ = round_seconds;
  sum_ = 0;
  buffers_ = 0;
  peak_ = 0;
  if (countdown_seconds > 0) {
    StartPhase(TContestPhase::Countdown, countdown_seconds);
  } else {
    StartPhase(TContestPhase::Running, round_seconds);
  }
}

void TContestRound::ShowScore() {
  StartPhase(TContestPhase::Shown, kScoreShownSeconds);
}

void TContestRound::End() {
  StartPhase(TContestPhase::Idle, 0);
}

TRoundStep TContestRound::Buffer(int position) {
  if (phase_ == TContestPhase::Idle) return TRoundStep::None;
  if (phase_ == TContestPhase::Running) {
    sum_ += position;
    ++buffers_;
    if (position > peak_) peak_ = position;
  }
  frames_ += kFramesPerRoundBuffer;
  if (frames_ < phase_frames_) return TRoundStep::None;
  switch (phase_) {
    case TContestPhase::Countdown:
      StartPhase(TContestPhase::Running, round_seconds_);
      return TRoundStep::CountdownOver;
    case TContestPhase::Running:
      return TRoundStep::RoundOver;
    default:
      End();
      return TRoundStep::ShownOver;
  }
}

int TContestRound::SecondsLeft() const {
  const std::int64_t left = phase_frames_ - frames_;
  return left <= 0 ? 0 : static_cast<int>((left + kFramesPerSecond - 1) / kFramesPerSecond);
}

std::int64_t TContestRound::LeftMs() const {
  const std::int64_t left = phase_frames_ - frames_;
  return left <= 0 ? 0 : (left * 1000 + kFramesPerSecond / 2) / kFramesPerSecond;
}

}  // namespace roarmark
