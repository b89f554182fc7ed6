// The standard controls of the control model.
#include "platform/ui/controls.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "platform/ui/form.h"

namespace roarmark::platform::ui {

namespace {

int ClampInt(std::int64_t value, int lo, int hi) {
  if (hi < lo) std::swap(lo, hi);
  return static_cast<int>(std::clamp<std::int64_t>(value, lo, hi));
}

}  // namespace

// ---- TEdit

TEdit::TEdit(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  SetColour(clWindow);
  SetTabStop(true);
  Attach();
}

void TEdit::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Changed(TProperty::Text);
  if (OnChange) OnChange();
}

void TEdit::SetReadOnly(bool on) {
  if (on == read_only_) return;
  read_only_ = on;
  Changed(TProperty::ReadOnly);
}

bool TEdit::UserType(const std::string& text) {
  if (!CanTakeInput() || read_only_) return false;
  std::string typed;
  for (char c : text) {
    if (!numbers_only_ || (c >= '0' && c <= '9')) typed += c;
  }
  return Guarded([&] {
    SetFocus();
    SetText(std::move(typed));
  });
}

// ---- TCheckBox

TCheckBox::TCheckBox(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  SetTabStop(true);
  Attach();
}

void TCheckBox::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed(TProperty::Caption);
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Changed(TProperty::Checked);
  if (OnClick) OnClick();
}

void TCheckBox::ClickAction() {
  SetChecked(!checked_);
}

// ---- TComboBox

TComboBox::TComboBox(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  SetColour(clWindow);
  SetTabStop(true);
  Attach();
}

void TComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  item_index_ = -1;
  Changed(TProperty::Items);
  Changed(TProperty::ItemIndex);
}

void TComboBox::AddItem(std::string item) {
  items_.push_back(std::move(item));
  Changed(TProperty::Items);
}

void TComboBox::SetItem(int index, std::string item) {
  if (index < 0 || index >= ItemCount()) return;
  items_[static_cast<std::size_t>(index)] = std::move(item);
  Changed(TProperty::Items);
}

void TComboBox::Clear() {
  SetItems({});
}

void TComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= ItemCount()) index = -1;
  if (index == item_index_) return;
  item_index_ = index;
  Changed(TProperty::ItemIndex);
}

std::string TComboBox::Text() const {
  return item_index_ < 0 ? std::string() : items_[static_cast<std::size_t>(item_index_)];
}

bool TComboBox::UserSelect(int index) {
  if (!CanTakeInput() || index < 0 || index >= ItemCount()) return false;
  return Guarded([&] {
    SetFocus();
    SetItemIndex(index);
    if (OnClick) OnClick();
    if (OnChange) OnChange();
  });
}

// ---- TUpDown

TUpDown::TUpDown(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  Attach();
}

int TUpDown::Clamp(int value) const {
  return ClampInt(value, min_, max_);
}

void TUpDown::SetMin(int min) {
  SetRange(min, max_);
}

void TUpDown::SetMax(int max) {
  SetRange(min_, max);
}

void TUpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  position_ = Clamp(position_);
  Changed(TProperty::Range);
}

// The native control reads its position back from the edit, so a number typed there counts.
int TUpDown::Position() const {
  if (!associate_) return position_;
  const std::string& text = associate_->Text();
  std::size_t first = text.find_first_not_of(' ');
  std::size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos) return position_;
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  std::int64_t value = 0;
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end) return position_;
  return ClampInt(value, min_, max_);
}

void TUpDown::SetPosition(int position) {
  position_ = Clamp(position);
  Changed(TProperty::Position);
  WriteAssociate();
}

void TUpDown::SetIncrement(int step) {
  if (step == increment_) return;
  increment_ = step;
  Changed(TProperty::Increment);
}

void TUpDown::SetAssociate(TEdit* edit) {
  associate_ = edit;
  Changed(TProperty::Associate);
  WriteAssociate();
}

void TUpDown::WriteAssociate() {
  if (associate_) associate_->SetText(std::to_string(position_));
}

bool TUpDown::UserArrow(bool up) {
  if (!CanTakeInput()) return false;
  return Guarded([&] {
    const std::int64_t step = up ? increment_ : -static_cast<std::int64_t>(increment_);
    position_ = ClampInt(static_cast<std::int64_t>(Position()) + step, min_, max_);
    Changed(TProperty::Position);
    WriteAssociate();
    if (OnClick) OnClick(up ? TUDBtnType::btNext : TUDBtnType::btPrev);
  });
}

// ---- TTrackBar

TTrackBar::TTrackBar(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  SetTabStop(true);
  Attach();
}

void TTrackBar::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  Changed(TProperty::Range);
  SetPosition(position_);
}

void TTrackBar::SetPosition(int position) {
  position = ClampInt(position, min_, max_);
  if (position == position_) return;
  position_ = position;
  Changed(TProperty::Position);
  if (OnChange) OnChange();
}

bool TTrackBar::UserSlide(int position) {
  if (!CanTakeInput()) return false;
  return Guarded([&] {
    SetFocus();
    SetPosition(position);
  });
}

// ---- Labels, panel, button, colour block

TLabel::TLabel(TWinControl* parent, std::string name) : TLabel(parent, std::move(name), true) {}

TLabel::TLabel(TWinControl* parent, std::string name, bool attach)
    : TControl(parent, std::move(name)) {
  if (attach) Attach();
}

void TLabel::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed(TProperty::Caption);
}

TStaticText::TStaticText(TWinControl* parent, std::string name)
    : TLabel(parent, std::move(name), false) {
  Attach();
}

TPanel::TPanel(TWinControl* parent, std::string name) : TWinControl(parent, std::move(name)) {
  Attach();
}

void TPanel::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed(TProperty::Caption);
}

TButton::TButton(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  SetTabStop(true);
  Attach();
}

void TButton::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed(TProperty::Caption);
}

void TButton::Click() {
  ClickAction();
}

// The form's modal result is set before OnClick, so the handler can still clear it.
void TButton::ClickAction() {
  if (modal_result_ != mrNone && Form()) Form()->SetModalResult(modal_result_);
  if (OnClick) OnClick();
}

TColourBlock::TColourBlock(TWinControl* parent, std::string name)
    : TControl(parent, std::move(name)) {
  SetColour(clWhite);
  Attach();
}

void TColourBlock::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed(TProperty::Caption);
}

// ---- TPicture

TPicture::TPicture(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  Attach();
}

void TPicture::SetPicture(TPixels picture) {
  picture_ = std::move(picture);
  Changed(TProperty::Picture);
}

void TPicture::Clear() {
  SetPicture(TPixels{});
}

TRect TPicture::DestRect() const {
  if (Empty() || Width() <= 0 || Height() <= 0) return TRect{};
  const std::int64_t w = picture_.Width;
  const std::int64_t h = picture_.Height;
  const std::int64_t cw = Width();
  const std::int64_t ch = Height();
  std::int64_t dw = cw;
  std::int64_t dh = ch;
  if (w * ch <= h * cw)
    dw = w * ch / h;  // the height limits
  else
    dh = h * cw / w;
  const int left = static_cast<int>((cw - dw) / 2);
  const int top = static_cast<int>((ch - dh) / 2);
  return RectOfSize(left, top, static_cast<int>(dw), static_cast<int>(dh));
}

// ---- TProgressBar

TProgressBar::TProgressBar(TWinControl* parent, std::string name)
    : TControl(parent, std::move(name)) {
  Attach();
}

void TProgressBar::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = ClampInt(position_, min_, max_);
  Changed(TProperty::Range);
}

void TProgressBar::SetPosition(int position) {
  position = ClampInt(position, min_, max_);
  if (position == position_) return;
  position_ = position;
  Changed(TProperty::Position);
}

// Like the native bar: stepping past the end starts again from the beginning.
void TProgressBar::StepIt() {
  const std::int64_t next = static_cast<std::int64_t>(position_) + step_;
  SetPosition(next > max_ ? min_ : static_cast<int>(next));
}

// ---- TMemo

TMemo::TMemo(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  SetColour(clWindow);
  SetTabStop(true);
  Attach();
}

void TMemo::SetLines(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  Changed(TProperty::Lines);
}

void TMemo::AddLine(std::string line) {
  lines_.push_back(std::move(line));
  Changed(TProperty::Lines);
}

std::string TMemo::Text() const {
  std::string text;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i) text += "\r\n";
    text += lines_[i];
  }
  return text;
}

void TMemo::SetReadOnly(bool on) {
  if (on == read_only_) return;
  read_only_ = on;
  Changed(TProperty::ReadOnly);
}

}  // namespace roarmark::platform::ui
