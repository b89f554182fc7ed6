// The input-loss dialog's fixed layout.
#include "core/input_loss_dialog.h"

#include "settings/meter_settings.h"

namespace roarmark {

using namespace platform::ui;

TForm5::TForm5(TApplication& app)
    : TForm(app, "TForm5"),
      Memo1(this, "Memo1"),
      Button1(this, "Button1"),
      ProgressBar1(this, "ProgressBar1") {
  SetCaption(kProgramTitle);
  SetBorderStyle(TBorderStyle::bsDialog);
  // No system menu, so no close box: the wait ends only when the input returns or by
  // "CLOSE NOW".
  SetCloseBox(false);
  SetBounds(0, 0, 100, 100);
  SetClientSize(542, 142);
  TFont font;
  font.Name = "Tahoma";
  font.PixelHeight = 13;
  SetFont(font);
  Memo1.SetBounds(8, 8, 409, 97);
  Memo1.SetReadOnly(true);
  Memo1.SetTabStop(false);
  Memo1.SetFont(font);
  Memo1.SetLines({"The audio input is not responding.", "Roarmark is attempting to reconnect.", " ",
                  "Alternatively, close the program now, fix the problem",
                  "then restart to try again."});
  Button1.SetBounds(427, 40, 97, 33);
  Button1.SetCaption("CLOSE NOW");
  ProgressBar1.SetBounds(8, 112, 401, 13);
  ProgressBar1.SetRange(0, 100);
  ProgressBar1.SetStep(1);
}

}  // namespace roarmark
