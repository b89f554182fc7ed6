// What the main window asks of the contest: its keys, each measured buffer, the loss of the
// input, and the view the display draws. The contest lives in its own folder; the entry hands
// the main window this interface.
#pragma once

#include "display/contest_view.h"

namespace roarmark {

class IContestControl {
 public:
  virtual ~IContestControl() = default;
  // F5: starts the current contestant's round (after its countdown), or stops one early.
  virtual void StartOrStopRound() = 0;
  // F6.
  virtual void ToggleBoard() = 0;
  // F7 and F8.
  virtual void PreviousContestant() = 0;
  virtual void NextContestant() = 0;
  // Ctrl+F8: asks first.
  virtual void ClearResults() = 0;
  // The level engine measured a buffer and left the meter at `position`.
  virtual void BufferMeasured(int position) = 0;
  // The input is gone: a round in progress is void.
  virtual void InputLost() = 0;
  virtual const TContestView& View() const = 0;
};

}  // namespace roarmark
