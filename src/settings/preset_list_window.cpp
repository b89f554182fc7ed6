// The preset list window's frame; its grid and buttons come with the preset editor.
#include "settings/preset_list_window.h"

namespace roarmark {

using namespace platform::ui;

TForm3::TForm3(TApplication& app) : TForm(app, "TForm3") {
  SetCaption("Settings File List");
  SetBorderStyle(TBorderStyle::bsDialog);
  SetPosition(TFormPosition::poScreenCenter);
  SetStayOnTop(true);
  SetKeyPreview(true);
  SetBounds(0, 0, 100, 100);
  SetClientSize(908, 406);
}

}  // namespace roarmark
