// The show's event log: what one line looks like, and how the file is kept below its size.
#include "app/event_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../temp_folder.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;

class FixedClock : public platform::IClock {
 public:
  platform::TLocalTime Now() const override { return {2026, 3, 14, 19, 5, 9}; }
};

TEST(EventLogTest, LineIsStampedAndKeepsOneEventOnOneLine) {
  const struct {
    platform::TLocalTime Time;
    const char* Text;
    const char* Line;
  } cases[] = {
      {{2026, 3, 14, 19, 5, 9}, "start", "2026-03-14 19:05:09 start\n"},
      {{2027, 12, 1, 0, 0, 0}, "input lost", "2027-12-01 00:00:00 input lost\n"},
      // The program's message boxes break lines with "\n\r".
      {{2026, 3, 14, 19, 5, 9}, "a\n\rb", "2026-03-14 19:05:09 a / b\n"},
      {{2026, 3, 14, 19, 5, 9}, "a\r\nb", "2026-03-14 19:05:09 a / b\n"},
      {{2026, 3, 14, 19, 5, 9}, "a\nb\n", "2026-03-14 19:05:09 a / b\n"},
      {{2026, 3, 14, 19, 5, 9}, "a\rb", "2026-03-14 19:05:09 a / b\n"},
      {{2026, 3, 14, 19, 5, 9}, "found.\n\r\n\rThe", "2026-03-14 19:05:09 found. / The\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(EventLine(c.Time, c.Text), c.Line) << c.Text;
}

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Each line below is 30 bytes ("2026-03-14 19:05:09 " + 9 letters + "\n"); with room for 60 the
// file holds two lines, and the third moves them to "Roarmark.log.1".
TEST(EventLogTest, RotatesOnceWhenTheNextLineWouldPassTheLimit) {
  const fs::path folder = test::MakeUniqueTempFolder("event-log");
  const fs::path file = folder / "Roarmark.log";
  const fs::path older = folder / "Roarmark.log.1";
  FixedClock clock;
  TEventLog log(file.string(), clock, 60);
  const std::string stamp = "2026-03-14 19:05:09 ";
  const auto line = [&](char c) { return stamp + std::string(9, c) + "\n"; };
  const struct {
    char Letter;
    std::string Log;
    std::string Older;  // empty: no older file
  } writes[] = {
      {'a', line('a'), ""},
      {'b', line('a') + line('b'), ""},
      {'c', line('c'), line('a') + line('b')},
      {'d', line('c') + line('d'), line('a') + line('b')},
      {'e', line('e'), line('c') + line('d')},
  };
  for (const auto& w : writes) {
    log.Write(std::string(9, w.Letter));
    EXPECT_EQ(Contents(file), w.Log) << w.Letter;
    EXPECT_EQ(fs::exists(older) ? Contents(older) : "", w.Older) << w.Letter;
  }
  fs::remove_all(folder);
}

// A first start writes its "start" line before the data folder exists; it appears, in order,
// once the folder is there.
TEST(EventLogTest, LinesWaitForTheFolderToExist) {
  const fs::path root = test::MakeUniqueTempFolder("event-log-wait");
  const fs::path folder = root / "Roarmark";
  FixedClock clock;
  TEventLog log((folder / "Roarmark.log").string(), clock);
  log.Write("start");
  EXPECT_FALSE(fs::exists(folder));
  fs::create_directories(folder);
  log.Write("input: RoarMic");
  EXPECT_EQ(Contents(folder / "Roarmark.log"),
            "2026-03-14 19:05:09 start\n2026-03-14 19:05:09 input: RoarMic\n");
  fs::remove_all(root);
}

}  // namespace
}  // namespace roarmark
