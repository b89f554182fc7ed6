// The caption tables against the dialog they label: every row names a component, a language
// relabels the dialog, a number outside 0..6 changes nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "platform/sim/sim_platform.h"
#include "setup/captions.h"
#include "setup/setup_dialog.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;

class CaptionsTest : public ::testing::Test {
 protected:
  CaptionsTest() {
    // One folder per test: CTest runs the tests of this file side by side.
    root = fs::temp_directory_path() /
           ("roarmark_captions_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root);
    fs::create_directories(root);
    sim.shell.SetCommonAppDataFolder(root.string());
    sim.monitors.AddMonitor(1920, 1080, 0, 0, 1920, 1040);
    sim.wave_input.AddDevice("Mic", {});
    program = std::make_unique<TRoarmarkProgram>(sim.Platform());
    program->Start();
  }
  ~CaptionsTest() override {
    program.reset();
    fs::remove_all(root);
  }
  TForm2& Dialog() { return *program->SetupDialog(); }

  fs::path root;
  platform::sim::SimPlatform sim;
  std::unique_ptr<TRoarmarkProgram> program;
};

TEST_F(CaptionsTest, EveryRowNamesAComponentOfTheDialog) {
  ASSERT_EQ(SetupCaptionRows().size(), 52u);
  std::vector<TCaptionRow> rows = SetupCaptionRows();
  rows.insert(rows.end(), AddedCaptionRows().begin(), AddedCaptionRows().end());
  for (const TCaptionRow& row : rows) {
    const std::string key = row.Key;
    if (key == "TForm2" || key == "cbStyle.1" || key == "cbStyle.2") continue;
    EXPECT_NE(Dialog().FindComponent(key), nullptr) << key;
  }
}

TEST_F(CaptionsTest, LanguageRelabelsAndOutOfRangeKeepsTexts) {
  TForm2& d = Dialog();
  d.ApplyLanguage(1);
  EXPECT_EQ(d.StaticText2.Caption(), "Uitlezen tekst");
  EXPECT_EQ(d.Caption(), "");
  d.ApplyLanguage(7);
  d.ApplyLanguage(-1);
  EXPECT_EQ(d.StaticText2.Caption(), "Uitlezen tekst");
  d.ApplyLanguage(0);
  EXPECT_EQ(d.Caption(), "Roarmark Setup");
  EXPECT_EQ(d.Label18.Caption(), "Bar Position, Horizontal");
  EXPECT_EQ(d.cbStyle.Items(), (std::vector<std::string>{"Background only", " Vertical Bars",
                                                         " Horizontal Bars", "Analogue Meter"}));
}

TEST(Captions, HelpNamesAndLockPromptsFollowTheLanguageNumber) {
  EXPECT_EQ(HelpFileName(5), "Roarmark Help Portugese.pdf");
  EXPECT_EQ(HelpFileName(7), "");
  EXPECT_EQ(LockPrompts(6).LockPrompt, LockPrompts(6).UnlockPrompt);
  EXPECT_EQ(LockPrompts(-1).UnlockTitle, "");
}

}  // namespace
}  // namespace roarmark
