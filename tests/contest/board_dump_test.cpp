// The ranking board as `dump display` writes it, after real rounds on the sim: every row where
// the board's layout puts it, bars as long as the scores, the leader framed, names in their
// field in ranking order. Positions are worked out by hand from the layout rule:
//   margin H/20; pitch min((H - 2 margin) / rows per column, H/8); gap pitch/10; box height
//   rh = pitch - gap; top (H - pitch x rows + gap) / 2; column width 3W/4 (one column, centred)
//   or (W - 3 margin) / 2 (two, from the margin); in a box: pad rh/4, rank field rh wide, name
//   field (width - 3 rh) / 2, score field 2 rh at the right, track between name and score
//   fields less a pad each side, pad below and above.
#include <gtest/gtest.h>

#include <sstream>

#include "../temp_folder.h"
#include "contest/contest_control.h"
#include "app/application.h"
#include "core/main_window.h"
#include "display/pictures/bmp_reader.h"
#include "platform/sim/sim_platform.h"
#include "scenario/runner.h"
#include "scenario/script.h"

namespace roarmark {
namespace {

constexpr std::uint32_t kPicture = 0xFF203040;
constexpr std::uint32_t kBox = 0xFFFFFFFF;     // ReadoutColor white
constexpr std::uint32_t kText = 0xFF000000;    // FontColor black
constexpr std::uint32_t kTrack = 0xFF002626;   // BarBgndColor 0x262600
constexpr std::uint32_t kFill = 0xFF0000FF;    // BaseColor 0xFF0000
constexpr std::uint32_t kLeader = 0xFFFF0080;  // TopColor 0x8000FF

struct TRow {
  std::int64_t x0, y0;  // box corner
  std::int64_t fill;    // bar length, -1 before a first round
  bool leader;
};

struct BoardCase {
  const char* name;
  int width, height;
  std::string names;   // the contest file's [Contestants] lines
  std::string rounds;  // script lines that run the rounds
  std::int64_t rh, pad, name_w, cw;
  std::vector<TRow> rows;
};

// A constant M on both channels at cal -30 measures position table[M - 39]: dc 1039 gives 639
// (62.6), dc 1539 gives 820 (80.4), dc 2039 gives 909 (89.1), dc 3039 gives 996 (97.6).
std::string Round(int dc) {
  return "signal \"Mic\" dc " + std::to_string(dc) + " " + std::to_string(dc) +
         "\nkey f5\nbuffers 121\n";
}

platform::TPixels DumpBoard(const BoardCase& c, const test::TScratchFolder& folder) {
  const std::string dump = folder / "board.bmp";
  std::ostringstream script;
  script << "folder \"" << folder.String() << "\"\n"
         << "picture Files/Graphic.bmp " << c.width << " " << c.height << " 0x203040\n"
         << "write Roarmark.ini \"[Form]\\ncal=-30\\nStyle=1\\nReadoutColor=16777215\\n"
            "FontColor=0\\nBarBgndColor=2500096\\nBaseColor=16711680\\nTopColor=8388863\\n"
            "Transparent=0\\n\"\n"
         << "write Files/Contest.txt \"[Contest]\\nRound Seconds=3\\nCountdown Seconds=0\\n"
            "[Contestants]\\n"
         << c.names << "\"\n"
         << "device \"Mic\"\nstart\n"
         << c.rounds << "key f6\ndump display \"" << dump << "\"\n";
  std::ostringstream out, err;
  scenario::TScenarioRunner runner(scenario::ParseScript(script.str()), out, err);
  EXPECT_EQ(runner.Run(), scenario::kRanToEnd) << err.str();
  platform::TPixels pixels;
  EXPECT_TRUE(DecodeBmpFile(dump, pixels));
  return pixels;
}

class BoardDump : public ::testing::TestWithParam<BoardCase> {};

TEST_P(BoardDump, RowsBarsLeaderAndNamesWhereTheyBelong) {
  const BoardCase& c = GetParam();
  test::TScratchFolder folder("contest_board");
  const platform::TPixels p = DumpBoard(c, folder);
  ASSERT_EQ(p.Width, c.width);
  ASSERT_EQ(p.Height, c.height);
  auto at = [&p](std::int64_t x, std::int64_t y) {
    return p.Pixels[static_cast<std::size_t>(y * p.Width + x)];
  };
  auto dark = [&at](std::int64_t x, std::int64_t y) { return (at(x, y) & 0xFF) < 0x80; };
  // The rightmost column with ink in a field of a row, or -1.
  auto ink_right = [&](std::int64_t left, std::int64_t right, const TRow& r) {
    for (std::int64_t x = right - 1; x >= left; --x)
      for (std::int64_t y = r.y0 + 3; y < r.y0 + c.rh - 3; ++y)
        if (dark(x, y)) return x;
    return std::int64_t{-1};
  };
  std::int64_t last_name_ink = -1;
  for (std::size_t i = 0; i < c.rows.size(); ++i) {
    const TRow& r = c.rows[i];
    SCOPED_TRACE("row " + std::to_string(i));
    const std::int64_t track_l = r.x0 + c.rh + c.name_w + c.pad;
    const std::int64_t track_r = r.x0 + c.cw - 2 * c.rh - c.pad;
    const std::int64_t mid = r.y0 + c.rh / 2;
    EXPECT_EQ(at(r.x0 + c.cw - 1, r.y0 + c.rh - 1), r.leader ? kText : kBox);  // frame or box
    EXPECT_EQ(at(r.x0 + 1, r.y0 + 1), r.leader ? kText : kBox);
    EXPECT_EQ(at(r.x0 + 4, r.y0 + c.rh + 1), kPicture);  // the gap under the box
    EXPECT_EQ(at(r.x0 - 2, mid), kPicture);
    EXPECT_EQ(at(track_l, r.y0 + c.pad - 1), kBox);
    EXPECT_EQ(at(track_l - 1, mid), kBox);
    EXPECT_EQ(at(track_r, mid), kBox);
    const std::uint32_t fill = r.leader ? kLeader : kFill;
    if (r.fill > 0) {
      EXPECT_EQ(at(track_l, r.y0 + c.pad), fill);
      EXPECT_EQ(at(track_l + r.fill - 1, r.y0 + c.rh - c.pad - 1), fill);
    }
    EXPECT_EQ(at(track_l + std::max<std::int64_t>(r.fill, 0), mid), kTrack);
    EXPECT_EQ(at(track_r - 1, mid), kTrack);
    // A rank only for a contestant with a round; every row has its name at the field's left,
    // the scored ones in order of their names' lengths, which grow down the board.
    EXPECT_EQ(ink_right(r.x0 + 3, r.x0 + c.rh, r) >= 0, r.fill >= 0);
    const std::int64_t name_ink = ink_right(r.x0 + c.rh, r.x0 + c.rh + c.name_w, r);
    ASSERT_GE(name_ink, r.x0 + c.rh);
    bool starts_left = false;
    for (std::int64_t y = r.y0 + 3; y < r.y0 + c.rh - 3 && !starts_left; ++y)
      for (std::int64_t x = r.x0 + c.rh; x < r.x0 + c.rh + c.pad && !starts_left; ++x)
        starts_left = dark(x, y);
    EXPECT_TRUE(starts_left);
    if (r.fill >= 0) {
      EXPECT_GT(name_ink - r.x0, last_name_ink);
      last_name_ink = name_ink - r.x0;
    }
  }
}

// 1920 x 1080, five rows: margin 54, pitch min(972 / 5, 135) = 135, gap 13, rh 122, top
// (1080 - 675 + 13) / 2 = 209, width 1440 from x 240, pad 30, name field (1440 - 366) / 2 = 537,
// track 929..1406 = 477 long. Bars 477 x 97.6% = 465, x 89.1% = 425, x 80.4% = 383,
// x 62.6% = 298. Run in rising order so the meter never has to fall during a round.
const BoardCase kFiveRows{
    "FiveRows1920x1080",
    1920,
    1080,
    "1=Maximiliana\\n2=Claudia\\n3=Bess\\n4=Al\\n5=Eve\\n",
    Round(1039) + Round(1539) + Round(2039) + Round(3039),
    122,
    30,
    537,
    1440,
    {{240, 209, 465, true},
     {240, 344, 425, false},
     {240, 479, 383, false},
     {240, 614, 298, false},
     {240, 749, -1, false}},
};

// 1280 x 720, twenty rows in two columns of ten: margin 36, pitch min(648 / 10, 90) = 64, gap 6,
// rh 58, top (720 - 640 + 6) / 2 = 43, column width (1280 - 108) / 2 = 586 from x 36 and 658,
// pad 14, name field (586 - 174) / 2 = 206, track 178 long. Bars 178 x 97.6% = 173, x 62.6% =
// 111. Rows 0 ("A") and 1 ("Bea") are the two with rounds, then the others in list order: row
// 10 (the first of the second column) is "Act 11", row 19 "Act 20".
std::string TwentyNames() {
  std::string names = "1=Bea\\n2=A\\n";
  for (int n = 3; n <= 20; ++n)
    names += std::to_string(n) + "=Act " + std::to_string(n) + "\\n";
  return names;
}
const BoardCase kTwentyRows{
    "TwentyRows1280x720",
    1280,
    720,
    TwentyNames(),
    Round(1039) + Round(3039),
    58,
    14,
    206,
    586,
    {{36, 43, 173, true},
     {36, 107, 111, false},
     {36, 619, -1, false},
     {658, 43, -1, false},
     {658, 619, -1, false}},
};

INSTANTIATE_TEST_SUITE_P(Boards, BoardDump, ::testing::Values(kFiveRows, kTwentyRows),
                         [](const auto& info) { return info.param.name; });

// A board on show costs nothing per buffer: the display is drawn again only when the board
// changes (a new result) or goes.
TEST(BoardDrawing, OnlyWhenTheBoardChanges) {
  test::TScratchFolder folder("contest_board_drawing");
  platform::sim::SimPlatform sim;
  sim.shell.SetCommonAppDataFolder(folder.String());
  sim.monitors.AddMonitor(1920, 1080, 0, 0, 1920, 1040);
  sim.wave_input.AddDevice("Mic", {});
  sim.wave_input.SetSignal(0, platform::sim::WaveSignal::Square(-6));
  TRoarmarkProgram program(sim.Platform());
  program.Start();
  TContest contest;
  contest.Rules.CountdownSeconds = 0;
  contest.Rules.RoundSeconds = 3;
  contest.Add("Anna");
  ASSERT_TRUE(program.Contest()->ApplyEdited(contest));
  TForm1& main = *program.MainWindow();
  auto buffers = [&sim](int n) {
    for (int i = 0; i < n; ++i) {
      sim.wave_input.DeliverBuffers(1);
      sim.loop.DispatchPending();
    }
  };
  main.ContestKey(platform::ui::VkF(6), false);
  buffers(1);
  const std::uint64_t shown = main.Display.DisplayBitmap.ChangeCount();
  buffers(200);
  EXPECT_EQ(main.Display.DisplayBitmap.ChangeCount(), shown);
  main.ContestKey(platform::ui::VkF(5), false);  // the round takes the board away
  buffers(121);                                  // and its result is a change for the board
  main.ContestKey(platform::ui::VkF(6), false);
  const std::uint64_t again = main.Display.DisplayBitmap.ChangeCount();
  EXPECT_NE(again, shown);
  buffers(50);
  EXPECT_EQ(main.Display.DisplayBitmap.ChangeCount(), again);
  main.ContestKey(platform::ui::VkF(6), false);
  EXPECT_NE(main.Display.DisplayBitmap.ChangeCount(), again);
}

}  // namespace
}  // namespace roarmark
