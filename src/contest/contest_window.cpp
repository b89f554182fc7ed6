// The contest window: edits on a copy, written and taken only by OK.
#include "contest/contest_window.h"

#include <algorithm>

#include "contest/contest_captions.h"

namespace roarmark {

using namespace platform::ui;

namespace {

constexpr int kGridRowHeight = 20;

platform::ui::TFont Arial(int pixels) {
  platform::ui::TFont font;
  font.Name = "Arial";
  font.PixelHeight = pixels;
  return font;
}

}  // namespace

TForm6::TForm6(TApplication& app)
    : TForm(app, "TForm6"),
      Label1(this, "Label1"),
      Grid1(this, "Grid1"),
      Label2(this, "Label2"),
      Edit1(this, "Edit1"),
      Button1(this, "Button1"),
      Button2(this, "Button2"),
      Button3(this, "Button3"),
      Button4(this, "Button4"),
      Button5(this, "Button5"),
      Label3(this, "Label3"),
      Edit2(this, "Edit2"),
      UpDown1(this, "UpDown1"),
      CheckBox1(this, "CheckBox1"),
      Label4(this, "Label4"),
      ComboBox1(this, "ComboBox1"),
      Label5(this, "Label5"),
      Label6(this, "Label6"),
      Button6(this, "Button6"),
      Button7(this, "Button7") {
  SetCaption(ContestTexts(0).Window);
  SetBorderStyle(TBorderStyle::bsDialog);
  SetPosition(TFormPosition::poScreenCenter);
  SetStayOnTop(true);
  SetBounds(0, 0, 100, 100);
  SetClientSize(632, 520);
  ForEachDescendant([](TControl& control) {
    if (&control != control.Form()) control.SetFont(Arial(13));
  });

  Label1.SetBounds(16, 12, 300, 16);
  Grid1.SetBounds(16, 32, 300, kMaxContestants * (kGridRowHeight + 1) + 1);
  Grid1.SetSize(2, kMaxContestants);
  Grid1.SetFixedCols(1);
  Grid1.SetFixedRows(0);
  Grid1.SetRowHeight(kGridRowHeight);
  Grid1.SetColWidth(0, 32);
  Grid1.SetColWidth(1, 300 - 36);
  for (int row = 0; row < kMaxContestants; ++row)
    Grid1.SetCell(0, row, std::to_string(row + 1));

  const int x = 336;
  const int w = 280;
  const int half = (w - 8) / 2;
  Label2.SetBounds(x, 32, w, 16);
  Edit1.SetBounds(x, 50, w, 22);
  Button1.SetBounds(x, 80, half, 26);
  Button2.SetBounds(x + half + 8, 80, half, 26);
  Button3.SetBounds(x, 112, half, 26);
  Button4.SetBounds(x + half + 8, 112, half, 26);
  Button5.SetBounds(x, 144, w, 26);
  Label3.SetBounds(x, 196, w, 16);
  Edit2.SetBounds(x, 214, 60, 22);
  Edit2.SetNumbersOnly(true);
  UpDown1.SetBounds(x + 60, 214, 17, 22);
  UpDown1.SetRange(kMinRoundSeconds, kMaxRoundSeconds);
  UpDown1.SetAssociate(&Edit2);
  CheckBox1.SetBounds(x, 250, w, 20);
  Label4.SetBounds(x, 284, w, 16);
  ComboBox1.SetBounds(x, 302, w, 23);
  ComboBox1.SetItems({"", ""});
  Button6.SetBounds(x, 404, half, 30);
  Button6.SetDefault(true);
  Button7.SetBounds(x + half + 8, 404, half, 30);
  Button7.SetCancel(true);
  Button7.SetModalResult(mrCancel);
  Label5.SetBounds(16, 470, 600, 16);
  Label6.SetBounds(16, 490, 600, 16);

  OnShow = [this] { FormShow(); };
  Grid1.OnMouseUp = [this](TMouseButton, TShiftState, int px, int py) { Grid1MouseUp(px, py); };
  Button1.OnClick = [this] { Button1Click(); };
  Button2.OnClick = [this] { Button2Click(); };
  Button3.OnClick = [this] { Move(-1); };
  Button4.OnClick = [this] { Move(1); };
  Button5.OnClick = [this] { Button5Click(); };
  Button6.OnClick = [this] { Button6Click(); };
}

void TForm6::ShowContestWindow(const TContest& contest, const TContestWindowHost& host) {
  host_ = host;
  edited_ = contest;
  ShowModal();
}

void TForm6::FormShow() {
  const TContestTexts& t = ContestTexts(host_.Language);
  SetCaption(t.Window);
  Label1.SetCaption(t.Contestants);
  Label2.SetCaption(t.Name);
  Button1.SetCaption(t.Add);
  Button2.SetCaption(t.Rename);
  Button3.SetCaption(t.Up);
  Button4.SetCaption(t.Down);
  Button5.SetCaption(t.Remove);
  Label3.SetCaption(t.RoundLength);
  CheckBox1.SetCaption(t.Countdown);
  Label4.SetCaption(t.Score);
  ComboBox1.SetItem(0, t.Average);
  ComboBox1.SetItem(1, t.Peak);
  Label5.SetCaption(t.Keys1);
  Label6.SetCaption(t.Keys2);
  Button6.SetCaption(t.Ok);
  Button7.SetCaption(t.Cancel);

  UpDown1.SetPosition(edited_.Rules.RoundSeconds);
  CheckBox1.SetChecked(edited_.Rules.CountdownSeconds > 0);
  ComboBox1.SetItemIndex(edited_.Rules.Score == TScoreRule::Peak ? 1 : 0);
  Edit1.SetText("");
  FillGrid();
  Select(edited_.Contestants.empty() ? -1 : 0);
}

void TForm6::FillGrid() {
  for (int row = 0; row < kMaxContestants; ++row) {
    const auto n = static_cast<std::size_t>(row);
    Grid1.SetCell(1, row, n < edited_.Contestants.size() ? edited_.Contestants[n].Name : "");
  }
  Button1.SetEnabled(edited_.Contestants.size() < static_cast<std::size_t>(kMaxContestants));
}

void TForm6::Select(int index) {
  selected_ = index;
  if (index < 0) return;
  Grid1.SetRow(index);
  Edit1.SetText(edited_.Contestants[static_cast<std::size_t>(index)].Name);
}

void TForm6::Grid1MouseUp(int px, int py) {
  int col = -1;
  int row = -1;
  Grid1.MouseToCell(px, py, col, row);
  if (row < 0) return;
  // A row below the last contestant selects nothing: Add is what it is for.
  Select(row < static_cast<int>(edited_.Contestants.size()) ? row : -1);
}

void TForm6::Button1Click() {
  const std::string name = CleanName(Edit1.Text());
  if (name.empty() || edited_.Contestants.size() >= static_cast<std::size_t>(kMaxContestants)) {
    return;
  }
  edited_.Add(name);
  FillGrid();
  Select(static_cast<int>(edited_.Contestants.size()) - 1);
}

void TForm6::Button2Click() {
  const std::string name = CleanName(Edit1.Text());
  if (selected_ < 0 || name.empty()) return;
  edited_.Contestants[static_cast<std::size_t>(selected_)].Name = name;
  FillGrid();
}

void TForm6::Move(int by) {
  const int to = selected_ + by;
  if (selected_ < 0 || to < 0 || to >= static_cast<int>(edited_.Contestants.size())) return;
  std::swap(edited_.Contestants[static_cast<std::size_t>(selected_)],
            edited_.Contestants[static_cast<std::size_t>(to)]);
  FillGrid();
  Select(to);
}

void TForm6::Button5Click() {
  if (selected_ < 0) return;
  edited_.Contestants.erase(edited_.Contestants.begin() + selected_);
  FillGrid();
  const int n = static_cast<int>(edited_.Contestants.size());
  Select(n == 0 ? -1 : std::min(selected_, n - 1));
  if (n == 0) Edit1.SetText("");
}

void TForm6::Button6Click() {
  edited_.Rules.RoundSeconds = std::clamp(UpDown1.Position(), kMinRoundSeconds, kMaxRoundSeconds);
  edited_.Rules.CountdownSeconds = CheckBox1.Checked() ? kDefaultCountdownSeconds : 0;
  edited_.Rules.Score = ComboBox1.ItemIndex() == 1 ? TScoreRule::Peak : TScoreRule::Average;
  if (host_.Apply && !host_.Apply(edited_)) return;
  SetModalResult(mrOk);
}

}  // namespace roarmark
