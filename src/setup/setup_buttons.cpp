// The setup dialog's buttons, keys and link: OK, Exit Program, the picture browse, the settings
// files and the preset list.
#include "core/main_window.h"
#include "settings/ini_store.h"
#include "settings/paths.h"
#include "setup/setup_dialog.h"

namespace roarmark {

using namespace platform::ui;

namespace {

std::string FolderPart(const std::string& path) {
  const std::size_t cut = path.find_last_of("/\\:");
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace

// "Current.dat" is written before anything is taken over: a failed write leaves the dialog
// open and nothing applied. The fields are taken over before the dialog closes, since closing
// it activates the main window, which puts the stored reference and decay texts back.
void TForm2::Button1Click() {
  main_.SaveSettingsFile(main_.CurrentDatPath());
  TakeOverFields();
  SetModalResult(mrOk);
}

// Stores everything as it stands (the OK-only fields are not taken) and ends the program
// without the closing steps: a device chosen but not applied is neither opened nor stored.
void TForm2::Button2Click() {
  SaveIniSettings(main_.Settings, main_.DataFolder, main_.Left(), main_.Top());
  App().Terminate();
}

void TForm2::Button5Click() {
  platform::TFileDialogRequest request;
  request.Filter =
      "Background Graphic (*.jpg; *.bmp; *.png)|*jpg;*bmp;*png;*BMP;*JPG;*PNG | Background "
      "Graphic (*.bmp)|*bmp;*BMP  | Background Graphic (*.jpg) | *jpg; *JPG | Background "
      "Graphic (*.png) | *png; *PNG";
  request.InitialDir = FolderPart(main_.Settings.GraphicFilename);
  request.DefaultExt = "bmp";
  if (auto chosen = main_.Platform().Dialogs->OpenFileDialog(request)) {
    main_.LoadBackground(*chosen);
    Edit10.SetText(*chosen);
  }
}

platform::TFileDialogRequest TForm2::SettingsFileRequest() const {
  platform::TFileDialogRequest request;
  request.Filter = "Settings (*.cfg)|*.cfg";
  request.InitialDir = main_.DataFolder + "Files";
  request.DefaultExt = "cfg";
  return request;
}

void TForm2::Button6Click() {
  if (auto chosen = main_.Platform().Dialogs->OpenFileDialog(SettingsFileRequest())) {
    main_.LoadSettingsFile(*chosen);  // it brings this dialog's controls up to date too
  }
}

// The thumbnail is copied from the screen, so the dialog stays hidden until the file and the
// thumbnail are written, and comes back whatever happened.
void TForm2::Button7Click() {
  platform::TFileDialogRequest request = SettingsFileRequest();
  request.FileName = main_.CurrentSettingsFile;
  Hide();
  try {
    if (auto chosen = main_.Platform().Dialogs->SaveFileDialog(request)) {
      main_.SaveSettingsFile(*chosen);
      main_.CaptureThumbnail(*chosen);
    }
  } catch (...) {
    Show();
    throw;
  }
  Show();
}

void TForm2::Button8Click() {
  main_.ShowPresetList();
}

void TForm2::Label15Click() {
  // A failing shell is not reported.
  main_.Platform().Shell->OpenDocument(kMakerWebAddress);
}

// The window sees every key first; each release is consumed.
void TForm2::FormKeyUp(int& key, TShiftState shift) {
  const bool ctrl = (shift & ssCtrl) != 0;
  if (key == VK_ESCAPE) {
    SetModalResult(mrCancel);
  } else if (ctrl && key == VkLetter('H')) {
    HoldCheckBox.SetChecked(true);
  } else if (ctrl && key == VkLetter('N')) {
    HoldCheckBox.SetChecked(false);
  }
  key = 0;
}

}  // namespace roarmark
