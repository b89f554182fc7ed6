// A contest: contestants in order, the rules of a round, and each contestant's figures.
// Figures and scores are tenths of the readout's 0..100 scale (a meter position / 10.2).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace roarmark {

inline constexpr int kMinRoundSeconds = 3;
inline constexpr int kMaxRoundSeconds = 120;
inline constexpr int kDefaultRoundSeconds = 10;
inline constexpr int kDefaultCountdownSeconds = 3;
// The board has room for twenty; a name longer than this would not fit a row anyway.
inline constexpr int kMaxContestants = 20;
inline constexpr int kMaxNameCharacters = 60;

enum class TScoreRule { Average, Peak };

struct TContestRules {
  int RoundSeconds = kDefaultRoundSeconds;
  int CountdownSeconds = kDefaultCountdownSeconds;  // 0 or 3
  TScoreRule Score = TScoreRule::Average;
  friend bool operator==(const TContestRules&, const TContestRules&) = default;
};

struct TRoundFigures {
  int AverageTenths = 0;
  int PeakTenths = 0;
  friend bool operator==(const TRoundFigures&, const TRoundFigures&) = default;
};

struct TContestant {
  int Id = 0;  // stays with the contestant through renames and moves
  std::string Name;
  std::optional<TRoundFigures> Latest;  // the latest valid round is the one that counts
  int Rounds = 0;                       // finished rounds, void ones included
};

struct TContest {
  TContestRules Rules;
  std::vector<TContestant> Contestants;
  int NextId = 1;

  // Appends a contestant with a fresh id.
  TContestant& Add(std::string name);
  // The index of the contestant with this id, or -1.
  int IndexOf(int id) const;
};

// The figures of a round from the sum of the meter positions over its buffers, their number
// (at least 1) and the highest position, each rounded half up to tenths.
TRoundFigures FiguresOfRound(std::int64_t position_sum, std::int64_t buffers, int peak_position);

int ScoreOf(const TRoundFigures& figures, TScoreRule rule);
// The figure that breaks a tie under `rule`.
int TieBreakOf(const TRoundFigures& figures, TScoreRule rule);

// The rank of each contestant, in list order: 1 for the best score, ties broken by the other
// figure, contestants equal on both sharing a rank (1, 1, 3); 0 before a first valid round.
std::vector<int> Ranks(const TContest& contest);

// Characters of UTF-8 text (bytes that do not continue a character).
std::size_t CharacterCount(const std::string& text);
// The text without blanks around it, cut to kMaxNameCharacters characters.
std::string CleanName(const std::string& text);

}  // namespace roarmark
