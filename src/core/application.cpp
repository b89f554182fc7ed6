// The program entry: application title, the four windows in their order, the message loop.
#include "core/application.h"

#include "contest/contest_control.h"
#include "contest/contest_window.h"
#include "core/input_loss_dialog.h"
#include "core/main_window.h"
#include "platform/ui/application.h"
#include "settings/preset_list_window.h"
#include "setup/setup_dialog.h"

namespace roarmark {

TRoarmarkProgram::TRoarmarkProgram(const platform::TPlatform& platform) : platform_(platform) {}

TRoarmarkProgram::~TRoarmarkProgram() {
  // Windows go before the application they belong to.
  form6_.reset();
  if (form1_) form1_->Contest = nullptr;
  contest_.reset();
  form5_.reset();
  form3_.reset();
  form2_.reset();
  form1_.reset();
  app_.reset();
}

void TRoarmarkProgram::Start() {
  app_ = std::make_unique<platform::ui::TApplication>(platform_);
  app_->SetTitle(kProgramTitle);
  form1_ = std::make_unique<TForm1>(*app_, platform_);
  form1_->FormCreate();
  form2_ = std::make_unique<TForm2>(*app_, *form1_);
  form3_ = std::make_unique<TForm3>(*app_);
  form5_ = std::make_unique<TForm5>(*app_);
  form1_->Setup = form2_.get();
  form1_->InputLoss = form5_.get();
  form1_->PresetWindow = form3_.get();
  // "CLOSE NOW": the operator's own choice to end at once, nothing saved.
  form5_->Button1.OnClick = [this] { platform_.MessageLoop->EndProcess(0); };
  // The engine reads these two fields from the first buffer on, whether or not the window
  // manager ever activates the main window.
  form2_->Edit1.SetText(form1_->Settings.Calibration);
  form2_->Edit2.SetText(form1_->Settings.Decay);
  StartContest();
  form1_->Show();
}

void TRoarmarkProgram::StartContest() {
  TForm1& main = *form1_;
  TContestHost host;
  host.Dialogs = platform_.Dialogs;
  host.Clock = platform_.Clock;
  host.DataFolder = main.DataFolder;
  host.Language = [&main] { return main.Settings.Language; };
  host.ShowException = [this](const std::exception& error) { app_->ShowException(error); };
  contest_ = std::make_unique<TContestControl>(std::move(host));
  contest_->Load();
  form6_ = std::make_unique<TForm6>(*app_);
  main.Contest = contest_.get();
  form2_->Button10.OnClick = [this, &main] {
    TContestWindowHost window;
    window.Language = main.Settings.Language;
    window.Apply = [this](const TContest& edited) { return contest_->ApplyEdited(edited); };
    form6_->ShowContestWindow(contest_->Contest(), window);
  };
}

int TRoarmarkProgram::Run() {
  app_->Run();
  return 0;
}

int RunRoarmark(const platform::TPlatform& platform) {
  TRoarmarkProgram program(platform);
  program.Start();
  return program.Run();
}

}  // namespace roarmark
