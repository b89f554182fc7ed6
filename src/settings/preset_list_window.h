// The preset list window TForm3: ten slots in a grid, the thumbnail of the selected slot, and
// the buttons that clear slots and store the list.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/ui/text_grid.h"

namespace roarmark {

// What the window works on; the main window owns all of it.
struct TPresetListHost {
  std::vector<std::string>* PresetList = nullptr;
  std::string DataFolder;  // ends with the separator
  int Language = 0;
  platform::IDialogs* Dialogs = nullptr;
  std::function<void(const std::string& path)> LoadSettingsFile;
};

// Captions per language number (0 English .. 6 Spanish); out-of-range numbers use English.
struct TPresetListCaptions {
  const char* Window;
  const char* Instruction;
  const char* SaveAndClose;
  const char* ClearEntry;
  const char* ClearAll;
};
const TPresetListCaptions& PresetListCaptions(int language);

class TForm3 : public platform::ui::TForm {
 public:
  explicit TForm3(platform::ui::TApplication& app);

  platform::ui::TStaticText StaticText1;
  platform::ui::TTextGrid FileList;
  platform::ui::TPicture Image1;
  platform::ui::TButton Button2;  // "Clear Entry"
  platform::ui::TButton Button3;  // "Clear All"
  platform::ui::TButton Button1;  // "Save and Close"

  // Fills the grid from the host's list and shows the window modally; returns once it closes.
  void ShowPresetList(const TPresetListHost& host);

  int SelectedRow() const { return selected_row_; }

 private:
  void FormShow();
  void FormKeyUp(int& key);
  void FileListMouseUp(int x, int y);
  void FileListDblClick();
  void ShowSelectedThumbnail();
  void Button1Click();
  void Button2Click();
  void Button3Click();

  TPresetListHost host_;
  int selected_col_ = 1;
  int selected_row_ = 0;
};

}  // namespace roarmark
