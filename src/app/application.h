// The program's entry: the application object, its four windows and the message loop.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "remote/remote_settings.h"

namespace roarmark {

class TForm1;
class TForm2;
class TSoundMeter;
class TForm3;
class TForm5;
class TForm6;
class TContestControl;
class TRemoteLink;
class TRemoteService;
class TUnwrappedClock;
class TShowEvents;
namespace platform::ui {
class TApplication;
}

// How the program was started beyond its settings.
struct TProgramOptions {
  // The remote's network side may start (a desktop program; never the scenario runner).
  bool Network = false;
  // --remote [ADDRESS:]PORT: the remote on, at this address, whatever "[Remote]" says.
  std::optional<TEndpoint> Remote;
};

// The whole program on one platform. Start() runs the entry up to the message loop; a desktop
// backend then runs the loop, a headless harness drives it step by step.
class TRoarmarkProgram {
 public:
  explicit TRoarmarkProgram(const platform::TPlatform& platform, TProgramOptions options = {});
  ~TRoarmarkProgram();

  // Application title, the main window (its creation handler brings everything up), the setup
  // dialog, the preset list, the input-loss dialog and the contest, then the main window is
  // shown.
  void Start();
  // Runs the message loop until the main window closes, then ends the show; returns the exit
  // code.
  int Run();
  // The show log's last rows and, when the log is on, its report beside it. Runs once, when the
  // program has ended by its own means (a fatal end leaves the log as last saved).
  void FinishShow();

  platform::ui::TApplication& App() { return *app_; }
  TForm1* MainWindow() { return form1_.get(); }
  TForm2* SetupDialog() { return form2_.get(); }
  TForm3* PresetList() { return form3_.get(); }
  TForm5* InputLossDialog() { return form5_.get(); }
  TSoundMeter* SoundMeter() { return sound_.get(); }
  TForm6* ContestWindow() { return form6_.get(); }
  TContestControl* Contest() { return contest_.get(); }

  TRemoteService* Remote() { return remote_.get(); }

  // A monitor came, went or changed its geometry: the display goes back to the monitor
  // "Monitor" names (or monitor 1 while that one is away) and is laid out again, once for a
  // burst of changes.
  void MonitorsChanged();
  // A second start asked for this one: the window the operator needs comes to the front.
  void BringToFront();
  // The show's event log ("Roarmark.log" in the data folder).
  TShowEvents& Events() { return *events_; }

 private:
  // The sound level takes each buffer after the engine and gives the readout its look.
  void WireSoundLevel();
  // The contest, its window and its button in the setup dialog.
  void StartContest();
  // The remote's commands and feed; its server too when the options and "[Remote]" say so.
  void StartRemote();

  // Places the main window on its monitor and lays the display out again.
  void PlaceOnMonitor();

  platform::TPlatform platform_;
  // Wraps the platform's dialogs and loop before anything is built from them; goes last.
  std::unique_ptr<TShowEvents> events_;
  bool placing_ = false;
  std::unique_ptr<platform::ui::TApplication> app_;
  std::unique_ptr<TForm1> form1_;
  std::unique_ptr<TForm2> form2_;
  std::unique_ptr<TForm3> form3_;
  std::unique_ptr<TForm5> form5_;
  std::unique_ptr<TSoundMeter> sound_;
  bool finished_ = false;
  std::unique_ptr<TContestControl> contest_;
  std::unique_ptr<TForm6> form6_;
  TProgramOptions options_;
  std::unique_ptr<TUnwrappedClock> clock_;
  std::unique_ptr<TRemoteLink> remote_link_;
  std::unique_ptr<TRemoteService> remote_;
};

// The data folder of the program on `platform`, with its trailing separator.
std::string ProgramDataFolder(const platform::TPlatform& platform);

// Start() then Run(): what the desktop executable calls.
int RunRoarmark(const platform::TPlatform& platform, TProgramOptions options = {});

}  // namespace roarmark
