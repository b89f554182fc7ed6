// The setup dialog's window and the controls the buffer cycle works with.
#include "setup/setup_dialog.h"

namespace roarmark {

using namespace platform::ui;

TForm2::TForm2(TApplication& app)
    : TForm(app, "TForm2"),
      Edit1(this, "Edit1"),
      Edit2(this, "Edit2"),
      Label13(this, "Label13"),
      Label14(this, "Label14") {
  SetCaption("Roarmark Setup");
  SetBorderStyle(TBorderStyle::bsDialog);
  SetPosition(TFormPosition::poScreenCenter);
  SetBounds(0, 0, 845, 650);
  SetKeyPreview(true);
  Edit1.SetBounds(120, 60, 60, 21);
  Edit2.SetBounds(120, 120, 60, 21);
  Label13.SetBounds(40, 90, 80, 13);
  Label13.SetCaption("Headroom = ");
  Label14.SetBounds(120, 90, 60, 13);
  Edit1.SetColour(clWindow);
  Edit2.SetColour(clWindow);
}

}  // namespace roarmark
