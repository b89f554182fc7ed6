// The contest as the program runs it: the contest and its file, the round in progress, the
// results file, and the view the display draws. The main window drives it through
// IContestControl; the contest window edits it through ApplyEdited.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "contest/contest.h"
#include "contest/contest_round.h"
#include "contest/results_file.h"
#include "core/contest_access.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

namespace roarmark {

struct TContestHost {
  platform::IDialogs* Dialogs = nullptr;
  platform::IClock* Clock = nullptr;
  std::string DataFolder;  // ends with the separator
  std::function<int()> Language;
  // The user-interface framework's standard error box, as other saves report through it.
  std::function<void(const std::exception&)> ShowException;
};

class TContestControl : public IContestControl {
 public:
  explicit TContestControl(TContestHost host);

  // Reads "Files/Contest.txt". A file that cannot be used is named in a message, left as it
  // is, and replaced only after a question when a contest is saved over it.
  void Load();
  std::string ContestPath() const;

  // ---- IContestControl
  void StartOrStopRound() override;
  void ToggleBoard() override;
  void PreviousContestant() override;
  void NextContestant() override;
  void ClearResults() override;
  void BufferMeasured(int position) override;
  void InputLost() override;
  const TContestView& View() const override { return view_; }

  // The contest window's OK: saves the rules and names and takes them; every contestant keeps
  // the results it had. False (nothing taken) when the operator declined or the save failed.
  bool ApplyEdited(const TContest& edited);

  // ---- What there is to look at
  const TContest& Contest() const { return contest_; }
  TContestPhase Phase() const { return round_.Phase(); }
  // Rounds started since the results were last cleared, the one in progress included.
  int RoundNumber() const { return round_number_; }
  // 1-based; 0 with no contestants.
  int CurrentNumber() const;
  std::int64_t LeftMs() const { return round_.LeftMs(); }
  bool BoardShown() const { return view_.Board; }
  std::vector<int> Ranks() const { return roarmark::Ranks(contest_); }
  const std::string& ResultsPath() const { return results_.Path(); }

 private:
  int Language() const { return host_.Language ? host_.Language() : 0; }
  platform::TLocalTime Now() const;
  void Message(const std::string& text);
  bool Ask(const std::string& text);
  void CancelRound();
  void FinishRound(bool void_round);
  void Step(int by);
  // The round's part of the view, cheap enough for every buffer.
  void UpdateRoundView();
  void UpdateBoardRows();

  TContestHost host_;
  TContest contest_;
  TContestRound round_;
  TResultsFile results_;
  bool refused_file_ = false;
  int current_ = 0;  // index into the contestants
  int round_number_ = 0;
  // The round in progress or on show.
  int round_id_ = 0;
  std::string round_name_;
  platform::TLocalTime round_start_;
  int shown_score_ = 0;
  TContestView view_;
};

}  // namespace roarmark
