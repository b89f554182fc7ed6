// What the display shows of a contest: a small read-only picture of it that the contest fills
// and the board renderer draws, so the display builds without the contest itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace roarmark {

enum class TContestPhase { Idle, Countdown, Running, Shown };

struct TContestBoardRow {
  int Rank = 0;  // 0: no scored round yet
  std::string Name;
  int ScoreTenths = -1;  // 0..1004 on the readout's scale times ten; -1 before a first round
  bool Leader = false;
};

struct TContestView {
  TContestPhase Phase = TContestPhase::Idle;
  // Countdown and running: the contestant whose round it is and the whole seconds left; shown:
  // the contestant who ran and the round's score.
  std::string Name;
  int SecondsLeft = 0;
  int ScoreTenths = 0;
  bool Board = false;
  std::vector<TContestBoardRow> Rows;  // in ranking order
  // Renewed whenever the rows change, so a renderer tells a new board cheaply.
  std::uint64_t RowsVersion = 0;
};

}  // namespace roarmark
