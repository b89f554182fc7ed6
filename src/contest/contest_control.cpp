// Running a contest: rounds started and stopped by keys, timed and scored buffer by buffer,
// every finished round written to the results file at once.
#include "contest/contest_control.h"

#include <algorithm>

#include "contest/contest_captions.h"
#include "contest/contest_file.h"
#include "settings/file_save.h"
#include "settings/paths.h"

namespace roarmark {

namespace {

constexpr const char* kErrorCaption = " Roarmark Error";
constexpr const char* kQuestionCaption = " Roarmark ";

platform::TLocalTime ClockNow(platform::IClock* clock) {
  if (clock != nullptr) return clock->Now();
  return platform::TSystemClock().Now();
}

}  // namespace

TContestControl::TContestControl(TContestHost host)
    : host_(std::move(host)), results_(FilesFolder(host_.DataFolder), ClockNow(host_.Clock)) {}

std::string TContestControl::ContestPath() const {
  return FilesFolder(host_.DataFolder) + kContestFileName;
}

platform::TLocalTime TContestControl::Now() const {
  return ClockNow(host_.Clock);
}

void TContestControl::Message(const std::string& text) {
  if (host_.Dialogs) host_.Dialogs->MessageBox(kErrorCaption, text, platform::MessageButtons::Ok);
}

bool TContestControl::Ask(const std::string& text) {
  if (host_.Dialogs == nullptr) return false;
  return host_.Dialogs->MessageBox(kQuestionCaption, text, platform::MessageButtons::OkCancel) ==
         platform::MessageAnswer::Ok;
}

void TContestControl::Load() {
  const TContestFileRead read = ReadContestFile(ContestPath());
  contest_ = read.Contest;
  refused_file_ = read.Problem != TContestFileProblem::None;
  if (refused_file_) {
    const TContestTexts& t = ContestTexts(Language());
    const std::string detail = std::to_string(read.Detail);
    std::string reason;
    switch (read.Problem) {
      case TContestFileProblem::NotText:
        reason = t.NotText;
        break;
      case TContestFileProblem::TooLarge:
        reason = t.TooLarge;
        break;
      case TContestFileProblem::TooManyNames:
        reason = Fill(t.TooManyNames, detail);
        break;
      default:
        reason = Fill(t.NameTooLong, detail);
        break;
    }
    Message(Fill(t.FileRefused, ContestPath(), reason));
  }
  current_ = 0;
  UpdateBoardRows();
}

int TContestControl::CurrentNumber() const {
  return contest_.Contestants.empty() ? 0 : current_ + 1;
}

// --- Keys -------------------------------------------------------------------------------------

void TContestControl::StartOrStopRound() {
  switch (round_.Phase()) {
    case TContestPhase::Countdown:
      CancelRound();
      return;
    case TContestPhase::Running:
      // Stopped early: scored over the sound it had, unless it had none.
      if (round_.Buffers() == 0) {
        CancelRound();
      } else {
        FinishRound(false);
      }
      return;
    default:
      break;
  }
  if (contest_.Contestants.empty()) {
    Message(ContestTexts(Language()).NoContestants);
    return;
  }
  const TContestant& who = contest_.Contestants[static_cast<std::size_t>(current_)];
  round_id_ = who.Id;
  round_name_ = who.Name;
  ++round_number_;
  round_.Begin(contest_.Rules.CountdownSeconds, contest_.Rules.RoundSeconds);
  round_start_ = Now();
  view_.Board = false;
  UpdateRoundView();
}

void TContestControl::CancelRound() {
  round_.End();
  --round_number_;
  UpdateRoundView();
}

void TContestControl::ToggleBoard() {
  view_.Board = !view_.Board;
}

void TContestControl::Step(int by) {
  const int n = static_cast<int>(contest_.Contestants.size());
  const TContestPhase phase = round_.Phase();
  if (n == 0 || phase == TContestPhase::Countdown || phase == TContestPhase::Running) return;
  current_ = (current_ + by + n) % n;
}

void TContestControl::PreviousContestant() {
  Step(-1);
}

void TContestControl::NextContestant() {
  Step(1);
}

void TContestControl::ClearResults() {
  if (!Ask(ContestTexts(Language()).ClearQuestion)) return;
  for (TContestant& c : contest_.Contestants) {
    c.Latest.reset();
    c.Rounds = 0;
  }
  round_.End();
  round_number_ = 0;
  current_ = 0;
  UpdateRoundView();
  UpdateBoardRows();
}

// --- Buffers and rounds -----------------------------------------------------------------------

void TContestControl::BufferMeasured(int position) {
  if (round_.Phase() == TContestPhase::Idle) return;
  switch (round_.Buffer(position)) {
    case TRoundStep::CountdownOver:
      round_start_ = Now();
      break;
    case TRoundStep::RoundOver:
      FinishRound(false);
      return;
    default:
      break;
  }
  UpdateRoundView();
}

void TContestControl::InputLost() {
  switch (round_.Phase()) {
    case TContestPhase::Running:
      if (round_.Buffers() > 0) {
        FinishRound(true);
        return;
      }
      CancelRound();
      return;
    case TContestPhase::Countdown:
      CancelRound();
      return;
    case TContestPhase::Shown:
      round_.End();
      UpdateRoundView();
      return;
    default:
      return;
  }
}

void TContestControl::FinishRound(bool void_round) {
  TResultRow row;
  row.Contestant = round_name_;
  row.Start = round_start_;
  row.Buffers = round_.Buffers();
  row.Figures = FiguresOfRound(round_.PositionSum(), round_.Buffers(), round_.Peak());
  row.ScoreTenths = ScoreOf(row.Figures, contest_.Rules.Score);
  row.Void = void_round;
  // The contestant may have been removed while the round ran; the file still gets the round.
  const int index = contest_.IndexOf(round_id_);
  if (index >= 0) {
    TContestant& who = contest_.Contestants[static_cast<std::size_t>(index)];
    ++who.Rounds;
    if (!void_round) who.Latest = row.Figures;
  }
  if (void_round) {
    round_.End();  // the same contestant stays current, to run again
  } else {
    shown_score_ = row.ScoreTenths;
    round_.ShowScore();
    const int n = static_cast<int>(contest_.Contestants.size());
    if (index >= 0 && n > 0) current_ = (index + 1) % n;
  }
  UpdateRoundView();
  UpdateBoardRows();
  try {
    results_.Add(row);
  } catch (const TFileWriteError& error) {
    Message(Fill(ContestTexts(Language()).ResultsNotWritten, error.what()));
  }
}

// --- Editing ----------------------------------------------------------------------------------

bool TContestControl::ApplyEdited(const TContest& edited) {
  if (refused_file_ && !Ask(Fill(ContestTexts(Language()).ReplaceRefused, ContestPath()))) {
    return false;
  }
  try {
    SaveContestFile(ContestPath(), edited, refused_file_);
  } catch (const TFileWriteError& error) {
    if (host_.ShowException) host_.ShowException(error);
    return false;
  }
  refused_file_ = false;
  const int current_id = contest_.Contestants.empty()
                             ? 0
                             : contest_.Contestants[static_cast<std::size_t>(current_)].Id;
  contest_ = edited;
  const int at = contest_.IndexOf(current_id);
  const int n = static_cast<int>(contest_.Contestants.size());
  current_ = at >= 0 ? at : std::clamp(current_, 0, std::max(n - 1, 0));
  UpdateBoardRows();
  return true;
}

// --- The view ---------------------------------------------------------------------------------

void TContestControl::UpdateRoundView() {
  const TContestPhase phase = round_.Phase();
  const bool idle = phase == TContestPhase::Idle;
  const std::string name = idle ? std::string() : round_name_;
  // Only the countdown and the round show their seconds.
  const bool counting = phase == TContestPhase::Countdown || phase == TContestPhase::Running;
  const int seconds = counting ? round_.SecondsLeft() : 0;
  const int score = phase == TContestPhase::Shown ? shown_score_ : 0;
  if (view_.Phase == phase && view_.Name == name && view_.SecondsLeft == seconds &&
      view_.ScoreTenths == score) {
    return;
  }
  view_.Phase = phase;
  view_.Name = name;
  view_.SecondsLeft = seconds;
  view_.ScoreTenths = score;
}

void TContestControl::UpdateBoardRows() {
  const std::vector<int> ranks = Ranks();
  std::vector<std::size_t> order(contest_.Contestants.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  // Ranked contestants by rank, then those without a round; list order within each.
  std::stable_sort(order.begin(), order.end(), [&ranks](std::size_t a, std::size_t b) {
    const int ra = ranks[a] > 0 ? ranks[a] : kMaxContestants + 1;
    const int rb = ranks[b] > 0 ? ranks[b] : kMaxContestants + 1;
    return ra < rb;
  });
  view_.Rows.clear();
  for (std::size_t i : order) {
    const TContestant& c = contest_.Contestants[i];
    TContestBoardRow row;
    row.Rank = ranks[i];
    row.Name = c.Name;
    row.ScoreTenths = c.Latest ? ScoreOf(*c.Latest, contest_.Rules.Score) : -1;
    row.Leader = ranks[i] == 1;
    view_.Rows.push_back(std::move(row));
  }
  ++view_.RowsVersion;
}

}  // namespace roarmark
