// The standard controls: edit field, check box, drop-down list, up-down arrows, track bar,
// labels, panel, button, colour block, picture, progress bar and memo.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/pixels.h"
#include "platform/ui/control.h"

namespace roarmark::platform::ui {

// A one-line text field. Setting the text runs OnChange when the text changes.
class TEdit : public TControl {
 public:
  TEdit(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TEdit"; }
  bool AcceptsFocus() const override { return true; }

  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool on);
  // Only digits can be typed (a program may still set any text).
  bool NumbersOnly() const { return numbers_only_; }
  void SetNumbersOnly(bool on) { numbers_only_ = on; }

  std::function<void()> OnChange;

  // The user replaces the whole text by typing `text`; characters the field refuses (anything
  // but digits when NumbersOnly) are dropped. False when read-only or unable to take input.
  bool UserType(const std::string& text);

 private:
  std::string text_;
  bool read_only_ = false;
  bool numbers_only_ = false;
};

// A check box. Setting Checked runs OnClick when the mark changes; a user click toggles the mark
// (OnClick) between the press and the release handlers.
class TCheckBox : public TControl {
 public:
  TCheckBox(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TCheckBox"; }
  bool AcceptsFocus() const override { return true; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);

 protected:
  void ClickAction() override;

 private:
  std::string caption_;
  bool checked_ = false;
  bool in_toggle_ = false;
};

// A drop-down list of fixed entries. Setting ItemIndex runs no handler; a user selection runs
// OnClick and then OnChange.
class TComboBox : public TControl {
 public:
  TComboBox(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TComboBox"; }
  bool AcceptsFocus() const override { return true; }

  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);  // clears the selection
  void AddItem(std::string item);
  void SetItem(int index, std::string item);  // keeps the selection index
  void Clear();
  int ItemCount() const { return static_cast<int>(items_.size()); }
  // -1 when nothing is selected.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);  // out of range selects nothing
  // The selected entry's text, or empty.
  std::string Text() const;
  int DropDownCount() const { return drop_down_count_; }
  void SetDropDownCount(int count) { drop_down_count_ = count; }

  std::function<void()> OnChange;

  bool UserSelect(int index);

 private:
  std::vector<std::string> items_;
  int item_index_ = -1;
  int drop_down_count_ = 8;
};

enum class TUDBtnType { btNext, btPrev };

// Up and down arrows tied to an edit field. The position stays within Min..Max and is written
// into the associated edit as a plain integer (no thousands separators), which runs the edit's
// OnChange when its text changes. Reading the position takes a number typed into the edit (as
// the native control does). An arrow click moves by Increment, then runs OnClick.
class TUpDown : public TControl {
 public:
  TUpDown(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TUpDown"; }

  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetMin(int min);
  void SetMax(int max);
  void SetRange(int min, int max);
  int Position() const;
  void SetPosition(int position);
  int Increment() const { return increment_; }
  void SetIncrement(int step);
  TEdit* Associate() const { return associate_; }
  void SetAssociate(TEdit* edit);  // writes the position into it
  TOrientation Orientation() const { return orientation_; }
  void SetOrientation(TOrientation o) { orientation_ = o; }

  std::function<void(TUDBtnType button)> OnClick;

  // A click on the up (true) or down (false) arrow.
  bool UserArrow(bool up);

 private:
  int Clamp(int value) const;
  void WriteAssociate();
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int increment_ = 1;
  TEdit* associate_ = nullptr;
  TOrientation orientation_ = TOrientation::Vertical;
};

// A slider. Setting the position (clamped to Min..Max) runs OnChange when it changes.
class TTrackBar : public TControl {
 public:
  TTrackBar(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TTrackBar"; }
  bool AcceptsFocus() const override { return true; }

  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  void SetMin(int min) { SetRange(min, max_); }
  void SetMax(int max) { SetRange(min_, max); }
  int Position() const { return position_; }
  void SetPosition(int position);
  TOrientation Orientation() const { return orientation_; }
  void SetOrientation(TOrientation o) { orientation_ = o; }

  std::function<void()> OnChange;

  bool UserSlide(int position);

 private:
  int min_ = 0;
  int max_ = 10;
  int position_ = 0;
  TOrientation orientation_ = TOrientation::Horizontal;
};

// A caption drawn on its parent; takes no focus.
class TLabel : public TControl {
 public:
  TLabel(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TLabel"; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

 protected:
  TLabel(TWinControl* parent, std::string name, bool attach);

 private:
  std::string caption_;
};

// A caption in a window of its own; takes no focus.
class TStaticText : public TLabel {
 public:
  TStaticText(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TStaticText"; }
};

// A container; disabling or hiding it does the same to everything inside.
class TPanel : public TWinControl {
 public:
  TPanel(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TPanel"; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

 private:
  std::string caption_;
};

// A push button. A click sets the form's modal result (when the button has one) and runs
// OnClick. The default button answers Return, the cancel button Escape.
class TButton : public TControl {
 public:
  TButton(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TButton"; }
  bool AcceptsFocus() const override { return true; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  TModalResult ModalResult() const { return modal_result_; }
  void SetModalResult(TModalResult result) { modal_result_ = result; }
  bool Default() const { return default_; }
  void SetDefault(bool on) { default_ = on; }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool on) { cancel_ = on; }

  // Runs the click without a mouse (Return, Escape, or a program's own call).
  void Click();

 protected:
  void ClickAction() override;

 private:
  std::string caption_;
  TModalResult modal_result_ = mrNone;
  bool default_ = false;
  bool cancel_ = false;
};

// A block filled with one colour (Colour()), optionally with a caption in the font's colour.
class TColourBlock : public TControl {
 public:
  TColourBlock(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TColourBlock"; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

 private:
  std::string caption_;
};

// Shows a picture scaled to fit the control with its proportions kept, centred.
class TPicture : public TControl {
 public:
  TPicture(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TPicture"; }

  const TPixels& Picture() const { return picture_; }
  bool Empty() const { return picture_.Width <= 0 || picture_.Height <= 0; }
  void SetPicture(TPixels picture);
  void Clear();
  // Where the picture lands in the control's client pixels (empty when there is none).
  TRect DestRect() const;

 private:
  TPixels picture_;
};

class TProgressBar : public TControl {
 public:
  TProgressBar(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TProgressBar"; }

  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int Position() const { return position_; }
  void SetPosition(int position);  // clamped to Min..Max
  int Step() const { return step_; }
  void SetStep(int step) { step_ = step; }
  void StepIt();

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
};

// A multi-line text box.
class TMemo : public TControl {
 public:
  TMemo(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TMemo"; }
  bool AcceptsFocus() const override { return true; }

  const std::vector<std::string>& Lines() const { return lines_; }
  void SetLines(std::vector<std::string> lines);
  void AddLine(std::string line);
  // The lines joined by CR LF.
  std::string Text() const;
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool on);

 private:
  std::vector<std::string> lines_;
  bool read_only_ = false;
};

}  // namespace roarmark::platform::ui
