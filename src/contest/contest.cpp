// Scores and ranks of a contest.
#include "contest/contest.h"

#include <algorithm>

namespace roarmark {

TContestant& TContest::Add(std::string name) {
  TContestant c;
  c.Id = NextId++;
  c.Name = std::move(name);
  Contestants.push_back(std::move(c));
  return Contestants.back();
}

int TContest::IndexOf(int id) const {
  for (std::size_t i = 0; i < Contestants.size(); ++i) {
    if (Contestants[i].Id == id) return static_cast<int>(i);
  }
  return -1;
}

// Tenths of position / 10.2 are position * 100 / 102; adding half the divisor rounds half up.
TRoundFigures FiguresOfRound(std::int64_t position_sum, std::int64_t buffers, int peak_position) {
  const std::int64_t n = std::max<std::int64_t>(buffers, 1);
  TRoundFigures f;
  f.AverageTenths = static_cast<int>((position_sum * 100 + 51 * n) / (102 * n));
  f.PeakTenths = static_cast<int>((std::int64_t{peak_position} * 100 + 51) / 102);
  return f;
}

int ScoreOf(const TRoundFigures& figures, TScoreRule rule) {
  return rule == TScoreRule::Peak ? figures.PeakTenths : figures.AverageTenths;
}

int TieBreakOf(const TRoundFigures& figures, TScoreRule rule) {
  return rule == TScoreRule::Peak ? figures.AverageTenths : figures.PeakTenths;
}

std::vector<int> Ranks(const TContest& contest) {
  const TScoreRule rule = contest.Rules.Score;
  std::vector<int> ranks(contest.Contestants.size(), 0);
  for (std::size_t i = 0; i < contest.Contestants.size(); ++i) {
    const auto& mine = contest.Contestants[i].Latest;
    if (!mine) continue;
    int better = 0;
    for (const TContestant& other : contest.Contestants) {
      if (!other.Latest) continue;
      const int a = ScoreOf(*other.Latest, rule);
      const int b = ScoreOf(*mine, rule);
      if (a > b || (a == b && TieBreakOf(*other.Latest, rule) > TieBreakOf(*mine, rule))) ++better;
    }
    ranks[i] = better + 1;
  }
  return ranks;
}

std::size_t CharacterCount(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string CleanName(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  std::string name = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
  std::size_t chars = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80 && ++chars > kMaxNameCharacters) {
      name.resize(i);
      break;
    }
  }
  return name;
}

}  // namespace roarmark
