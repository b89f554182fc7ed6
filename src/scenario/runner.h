// Runs a checked scenario script against the whole program on the sim platform.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "scenario/script.h"

namespace roarmark {
class TRoarmarkProgram;
class TForm1;
class TRemoteService;
namespace platform::sim {
class SimPlatform;
}
namespace platform::ui {
class TControl;
class TForm;
}  // namespace platform::ui
}  // namespace roarmark

namespace roarmark::scenario {

// Exit statuses of the tool.
inline constexpr int kRanToEnd = 0;
inline constexpr int kCommandFailed = 1;
inline constexpr int kMalformed = 2;

class TScenarioRunner {
 public:
  TScenarioRunner(std::vector<TCommand> commands, std::ostream& out, std::ostream& err);
  ~TScenarioRunner();

  // Runs every command; returns the exit status.
  int Run();

 private:
  void Execute(const TCommand& c);
  bool RunNextFromDriver();
  void Prepare();
  void Start(const TCommand& c);
  void Print(const TCommand& c);
  void FormCommand(const TCommand& c);
  void PrintContest();

  TForm1& Main(const TCommand& c);
  platform::ui::TForm& KeyForm(const TCommand& c);
  TRemoteService* RemoteOf(const TCommand& c);
  platform::ui::TControl& FindControl(const TCommand& c, const std::string& name);
  std::string DataFolder() const;
  std::string DataPath(const std::string& rel) const;
  bool Ended() const;

  std::vector<TCommand> commands_;
  std::size_t next_ = 0;
  std::ostream& out_;
  std::ostream& err_;
  std::unique_ptr<platform::sim::SimPlatform> sim_;
  std::unique_ptr<TRoarmarkProgram> program_;
  std::map<int, std::vector<std::int16_t>> recordings_;  // the frames of each wav line
  std::string folder_;
  bool own_folder_ = false;
  bool monitor_added_ = false;
  bool started_ = false;
  int pressed_button_ = 0;              // 0 left, 1 right: the button of the last "press"
  std::size_t prompts_taken_ = 0;       // input boxes already printed
  std::size_t file_dialogs_taken_ = 0;  // open and save dialogs already printed
};

}  // namespace roarmark::scenario
