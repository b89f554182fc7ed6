// The contest window TForm6: the contestants in order (add, rename, move, remove), the round
// length, the countdown and the scoring rule. It edits a copy; OK hands the copy over.
#pragma once

#include <functional>

#include "contest/contest.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/ui/text_grid.h"

namespace roarmark {

struct TContestWindowHost {
  int Language = 0;
  // Takes the edited contest; false keeps the window open (nothing was saved).
  std::function<bool(const TContest& edited)> Apply;
};

class TForm6 : public platform::ui::TForm {
 public:
  explicit TForm6(platform::ui::TApplication& app);

  platform::ui::TLabel Label1;  // "Contestants"
  platform::ui::TTextGrid Grid1;
  platform::ui::TLabel Label2;  // "Name"
  platform::ui::TEdit Edit1;
  platform::ui::TButton Button1;  // "Add"
  platform::ui::TButton Button2;  // "Rename"
  platform::ui::TButton Button3;  // "Move Up"
  platform::ui::TButton Button4;  // "Move Down"
  platform::ui::TButton Button5;  // "Remove"
  platform::ui::TLabel Label3;    // round length
  platform::ui::TEdit Edit2;
  platform::ui::TUpDown UpDown1;
  platform::ui::TCheckBox CheckBox1;  // countdown
  platform::ui::TLabel Label4;        // "Score"
  platform::ui::TComboBox ComboBox1;  // average, peak
  platform::ui::TLabel Label5;        // the keys on the display
  platform::ui::TLabel Label6;
  platform::ui::TButton Button6;  // "OK"
  platform::ui::TButton Button7;  // "Cancel"

  // Shows the window modally over a copy of `contest`; returns once it closes.
  void ShowContestWindow(const TContest& contest, const TContestWindowHost& host);

  const TContest& Edited() const { return edited_; }
  int Selected() const { return selected_; }

 private:
  void FormShow();
  void FillGrid();
  void Select(int index);
  void Grid1MouseUp(int x, int y);
  void Button1Click();
  void Button2Click();
  void Move(int by);
  void Button5Click();
  void Button6Click();

  TContestWindowHost host_;
  TContest edited_;
  int selected_ = -1;
};

}  // namespace roarmark
