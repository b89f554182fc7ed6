// The display window's key map: every command runs when its key is released, on the display
// image (path A) or on the window itself (path B).
#include "core/main_window.h"
#include "settings/ini_store.h"

namespace roarmark {

using namespace platform::ui;

namespace {

constexpr const char* kExitQuestion =
    "Escape pressed  -  Do you wish to exit the program?\n\r\rClick OK or press Return to close "
    "Roarmark";

// The preset slot of a digit key on the main keyboard or the keypad, or -1.
int PresetSlotOfKey(int key) {
  if (key >= VK_0 && key <= VK_0 + 9) return key - VK_0;
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return key - VK_NUMPAD0;
  return -1;
}

}  // namespace

void TForm1::KeyReleased(int& key, TShiftState shift, bool image_has_focus) {
  const bool ctrl = (shift & ssCtrl) != 0;
  if (key == VK_SPACE) {
    ToggleBlankCommand();
  } else if (key == VK_ESCAPE) {
    const auto answer = platform_.Dialogs->MessageBox(" Roarmark ", kExitQuestion,
                                                      platform::MessageButtons::OkCancel);
    if (answer == platform::MessageAnswer::Ok) {
      key = 0;
      if (image_has_focus) SaveIniSettings(Settings, DataFolder, Left(), Top());
      Close();
      return;
    }
  } else if (key == VK_F1) {
    if (Setup) Setup->OpenHelpFile();
  } else if (key >= VkF(5) && key <= VkF(8)) {
    ContestKey(key, ctrl);
  } else if (ctrl && key == VkLetter('R')) {
    ResetPeakCommand();
  } else if (ctrl && key == VkLetter('S')) {
    OpenSetupDialog();
  } else if (ctrl && key == VkLetter('X')) {
    key = 0;
    Close();
    return;
  } else if (ctrl && key == VkLetter('H')) {
    HoldCommand(true);
  } else if (ctrl && key == VkLetter('N')) {
    HoldCommand(false);
  } else if (ctrl && key == VkLetter('D')) {
    // Only the display image switches design mode: the window itself has no picture to design.
    if (image_has_focus) ToggleDesignMode();
  } else if (ctrl && PresetSlotOfKey(key) >= 0) {
    RecallPreset(PresetSlotOfKey(key));
  } else if (ctrl && (key == VK_DELETE || key == VK_DECIMAL)) {
    RecallCurrentDat();
  }
  if (image_has_focus) {
    Display.MeterSelected = false;
    Display.ReadoutSelected = false;
  }
  key = 0;
}

void TForm1::ContestKey(int key, bool ctrl) {
  if (Contest == nullptr) return;
  if (key == VkF(5)) {
    Contest->StartOrStopRound();
  } else if (key == VkF(6)) {
    Contest->ToggleBoard();
  } else if (key == VkF(7)) {
    Contest->PreviousContestant();
  } else if (ctrl) {
    Contest->ClearResults();
  } else {
    Contest->NextContestant();
  }
  // A design-mode drag owns the display until the button is released.
  if (!Dragging) PresentDrawing();
}

void TForm1::HoldCommand(bool on) {
  ResetPeakCommand();
  Settings.PeakHold = on;
}

void TForm1::RecallPreset(int slot) {
  const auto n = static_cast<std::size_t>(slot);
  LoadSettingsFile(slot >= 0 && n < PresetList.size() ? PresetList[n] : std::string());
}

void TForm1::RecallCurrentDat() {
  LoadSettingsFile(CurrentDatPath());
}

void TForm1::OpenSetupDialog() {
  // The dialog clears the selections and re-lays out the display when it closes.
  if (Setup) Setup->ShowSetupDialog();
}

}  // namespace roarmark
