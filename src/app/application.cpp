// The program entry: application title, the four windows in their order, the message loop.
#include "app/application.h"

#include "app/first_start.h"
#include "app/remote_link.h"
#include "core/input_loss_dialog.h"
#include "core/main_window.h"
#include "platform/ui/application.h"
#include "remote/remote_service.h"
#include "settings/preset_list_window.h"
#include "setup/setup_dialog.h"

namespace roarmark {

TRoarmarkProgram::TRoarmarkProgram(const platform::TPlatform& platform, TProgramOptions options)
    : platform_(platform), options_(std::move(options)) {}

TRoarmarkProgram::~TRoarmarkProgram() {
  // The remote's threads end before the windows they reach through the message loop.
  remote_.reset();
  // Windows go before the application they belong to.
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
  form1_->FirstStart = [](TForm1& form) { EnsureDataFolder(form); };
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
  form1_->Show();
  StartRemote();
}

int TRoarmarkProgram::Run() {
  app_->Run();
  return 0;
}

int RunRoarmark(const platform::TPlatform& platform, TProgramOptions options) {
  TRoarmarkProgram program(platform, std::move(options));
  program.Start();
  return program.Run();
}

}  // namespace roarmark
