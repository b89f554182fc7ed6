// The fixture of the whole-program tests: a sim platform with one 1920 x 1080 monitor, a
// temporary common data folder of the test's own, and the program started through its entry.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "../temp_folder.h"
#include "app/application.h"
#include "platform/sim/sim_platform.h"

namespace roarmark::test {

class SimProgramTest : public ::testing::Test {
 protected:
  explicit SimProgramTest(const std::string& prefix) {
    root = MakeUniqueTempFolder(
        prefix + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    data = root.string() + "/Quillmoor/Roarmark/";
    sim.shell.SetCommonAppDataFolder(root.string());
    sim.monitors.AddMonitor(1920, 1080, 0, 0, 1920, 1040);
  }
  ~SimProgramTest() override {
    program.reset();
    std::filesystem::remove_all(root);
  }
  // Starts the program; false when it ended during the start.
  bool Start() {
    program = std::make_unique<TRoarmarkProgram>(sim.Platform());
    try {
      program->Start();
      return true;
    } catch (const platform::sim::ProcessEnded&) {
      return false;
    }
  }

  std::filesystem::path root;
  std::string data;
  platform::sim::SimPlatform sim;
  std::unique_ptr<TRoarmarkProgram> program;
};

}  // namespace roarmark::test
