// The settings lock: a password keeps the measurement and meter controls, the device list and
// the picture browse from being changed; the lock survives restarts through the INI store.
#include "core/main_window.h"
#include "setup/captions.h"
#include "setup/setup_dialog.h"

namespace roarmark {

using namespace platform::ui;

void TForm2::SetLockedGroupEnabled(bool enabled) {
  Panel2.SetEnabled(enabled);
  Panel3.SetEnabled(enabled);
  ComboBox1.SetEnabled(enabled);
  Button5.SetEnabled(enabled);
  SoundPanel.SetEnabled(enabled);
  Label30.SetVisible(!enabled);
}

void TForm2::PresentLocked() {
  LockSet.SetChecked(true);
  SetLockedGroupEnabled(false);
}

// Runs on the release of a mouse button over the box; by then a left click has toggled the
// mark, so every outcome sets it again.
void TForm2::ToggleSettingsLock() {
  TMeterSettings& s = main_.Settings;
  const TLockPrompts prompts = LockPrompts(s.Language);
  platform::IDialogs& dialogs = *main_.Platform().Dialogs;
  if (s.Locked) {
    const std::string answer = dialogs.InputBox(prompts.UnlockTitle, prompts.UnlockPrompt, "");
    if (answer == s.Password) {
      LockSet.SetChecked(false);
      s.Locked = false;
      SetLockedGroupEnabled(true);
      s.Password.clear();
    } else {
      LockSet.SetChecked(true);
    }
    return;
  }
  const std::string answer = dialogs.InputBox(prompts.LockTitle, prompts.LockPrompt, "");
  if (answer.empty()) {
    LockSet.SetChecked(false);
    return;
  }
  s.Locked = true;
  s.Password = answer;
  LockSet.SetChecked(true);
  SetLockedGroupEnabled(false);
}

}  // namespace roarmark
