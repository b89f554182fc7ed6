// Peers shown with native controls: EDIT, BUTTON, COMBOBOX, STATIC and the common controls
// (up-down, track bar, progress bar).
#include "platform/win32/win32_peer_kinds.h"

// clang-format off
#include "platform/win32/base/win32_windows.h"
#include <commctrl.h>
#include <windowsx.h>
// clang-format on

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/ui/image_view.h"
#include "platform/ui/text_grid.h"
#include "platform/win32/base/win32_text.h"
#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_ui_backend.h"

namespace roarmark::platform::win32 {

using namespace ui;

namespace {

// ---- Native controls

class TEditPeer final : public TWin32Peer {
 public:
  TEditPeer(TWin32UiBackend& backend, TEdit& edit) : TWin32Peer(backend, edit), edit_(edit) {
    Create(L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | (edit.NumbersOnly() ? ES_NUMBER : 0u),
           WS_EX_CLIENTEDGE, TMouse::Native);
  }
  void Command(WORD code) override {
    if (code != EN_CHANGE) return;
    const std::string typed = Text();
    if (typed == edit_.Text()) return;
    backend_.Guard([&] { edit_.UserType(typed); });
    // The field may refuse characters, or not take input at all: show what the model holds.
    Quietly([&] { SetText(edit_.Text()); });
  }

 protected:
  void Update(TProperty what) override {
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Text) SetText(edit_.Text());
    if (all || what == TProperty::ReadOnly)
      SendMessageW(window_, EM_SETREADONLY, edit_.ReadOnly(), 0);
  }

 private:
  TEdit& edit_;
};

class TMemoPeer final : public TWin32Peer {
 public:
  TMemoPeer(TWin32UiBackend& backend, TMemo& memo) : TWin32Peer(backend, memo), memo_(memo) {
    Create(L"EDIT", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
           WS_EX_CLIENTEDGE, TMouse::Native);
  }

 protected:
  void Update(TProperty what) override {
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Lines) SetText(memo_.Text());
    if (all || what == TProperty::ReadOnly)
      SendMessageW(window_, EM_SETREADONLY, memo_.ReadOnly(), 0);
  }

 private:
  TMemo& memo_;
};

class TCheckBoxPeer final : public TWin32Peer {
 public:
  TCheckBoxPeer(TWin32UiBackend& backend, TCheckBox& box) : TWin32Peer(backend, box), box_(box) {
    Create(L"BUTTON", WS_TABSTOP | BS_CHECKBOX, 0, TMouse::Native);
  }
  void Command(WORD code) override {
    if (code == BN_CLICKED) backend_.Guard([&] { box_.UserClick(); });
  }

 protected:
  void Update(TProperty what) override {
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Caption) SetText(box_.Caption());
    if (all || what == TProperty::Checked)
      SendMessageW(window_, BM_SETCHECK, box_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }

 private:
  TCheckBox& box_;
};

class TButtonPeer final : public TWin32Peer {
 public:
  TButtonPeer(TWin32UiBackend& backend, TButton& button)
      : TWin32Peer(backend, button), button_(button) {
    Create(L"BUTTON", WS_TABSTOP | (button.Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0,
           TMouse::Native);
  }
  void Command(WORD code) override {
    if (code == BN_CLICKED) backend_.Guard([&] { button_.UserClick(); });
  }

 protected:
  void Update(TProperty what) override {
    if (what == TProperty::Other || what == TProperty::Caption) SetText(button_.Caption());
  }

 private:
  TButton& button_;
};

class TComboPeer final : public TWin32Peer {
 public:
  TComboPeer(TWin32UiBackend& backend, TComboBox& combo)
      : TWin32Peer(backend, combo), combo_(combo) {
    Create(L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, TMouse::Native);
  }
  void Command(WORD code) override {
    if (code != CBN_SELCHANGE) return;
    const int index = static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0));
    backend_.Guard([&] { combo_.UserSelect(index); });
    Quietly(
        [&] { SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(combo_.ItemIndex()), 0); });
  }

 protected:
  // The window's height includes its drop-down list.
  void ApplyBounds() override {
    const int item = std::max(16, static_cast<int>(SendMessageW(window_, CB_GETITEMHEIGHT, 0, 0)));
    MoveWindow(window_, combo_.Left(), combo_.Top(), combo_.Width(),
               combo_.Height() + item * std::max(1, combo_.DropDownCount()) + 4, TRUE);
  }
  void Update(TProperty what) override {
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Items) {
      SendMessageW(window_, CB_RESETCONTENT, 0, 0);
      for (const std::string& item : combo_.Items())
        SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    }
    if (all || what == TProperty::Items || what == TProperty::ItemIndex)
      SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(combo_.ItemIndex()), 0);
  }

 private:
  TComboBox& combo_;
};

// Arrows only: the model writes the position into the associated field itself.
class TUpDownPeer final : public TWin32Peer {
 public:
  TUpDownPeer(TWin32UiBackend& backend, TUpDown& updown)
      : TWin32Peer(backend, updown), updown_(updown) {
    Create(UPDOWN_CLASSW, updown.Orientation() == TOrientation::Horizontal ? UDS_HORZ : 0u, 0,
           TMouse::Native);
    SendMessageW(window_, UDM_SETRANGE32, 0, 100);
    SendMessageW(window_, UDM_SETPOS32, 0, 50);
  }
  LRESULT Notify(NMHDR* header) override {
    if (header->code != UDN_DELTAPOS) return 0;
    const auto* change = reinterpret_cast<NMUPDOWN*>(header);
    const bool up = change->iDelta > 0;
    backend_.Guard([&] { updown_.UserArrow(up); });
    return TRUE;  // the native position stays in the middle
  }

 private:
  TUpDown& updown_;
};

class TTrackBarPeer final : public TWin32Peer {
 public:
  TTrackBarPeer(TWin32UiBackend& backend, TTrackBar& bar) : TWin32Peer(backend, bar), bar_(bar) {
    Create(TRACKBAR_CLASSW,
           WS_TABSTOP | TBS_AUTOTICKS |
               (bar.Orientation() == TOrientation::Vertical ? TBS_VERT : TBS_HORZ),
           0, TMouse::Native);
  }
  void Scroll() override {
    const int position = static_cast<int>(SendMessageW(window_, TBM_GETPOS, 0, 0));
    if (position != bar_.Position()) backend_.Guard([&] { bar_.UserSlide(position); });
    if (position != bar_.Position())
      Quietly([&] { SendMessageW(window_, TBM_SETPOS, TRUE, bar_.Position()); });
  }

 protected:
  void Update(TProperty what) override {
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Range) {
      SendMessageW(window_, TBM_SETRANGEMIN, FALSE, bar_.Min());
      SendMessageW(window_, TBM_SETRANGEMAX, TRUE, bar_.Max());
    }
    if (all || what == TProperty::Range || what == TProperty::Position)
      SendMessageW(window_, TBM_SETPOS, TRUE, bar_.Position());
  }

 private:
  TTrackBar& bar_;
};

class TProgressPeer final : public TWin32Peer {
 public:
  TProgressPeer(TWin32UiBackend& backend, TProgressBar& bar) : TWin32Peer(backend, bar), bar_(bar) {
    Create(PROGRESS_CLASSW, 0, 0, TMouse::Native);
  }

 protected:
  void Update(TProperty) override {
    SendMessageW(window_, PBM_SETRANGE32, static_cast<WPARAM>(bar_.Min()), bar_.Max());
    SendMessageW(window_, PBM_SETPOS, static_cast<WPARAM>(bar_.Position()), 0);
  }

 private:
  TProgressBar& bar_;
};

// Labels and static texts: a STATIC window that reports clicks.
class TLabelPeer final : public TWin32Peer {
 public:
  TLabelPeer(TWin32UiBackend& backend, TLabel& label, bool framed)
      : TWin32Peer(backend, label), label_(label) {
    Create(L"STATIC", SS_NOTIFY | SS_LEFT | (framed ? SS_SUNKEN : 0u), 0, TMouse::Native);
  }
  void Command(WORD code) override {
    if (code == STN_CLICKED) backend_.Guard([&] { label_.UserClick(); });
    if (code == STN_DBLCLK && label_.OnDblClick) backend_.Guard([&] { label_.OnDblClick(); });
  }

 protected:
  void Update(TProperty what) override {
    if (what == TProperty::Other || what == TProperty::Caption) SetText(label_.Caption());
  }

 private:
  TLabel& label_;
};

}  // namespace

std::unique_ptr<IControlPeer> CreateWin32NativePeer(TWin32UiBackend& backend, TControl& control) {
  if (auto* c = dynamic_cast<TEdit*>(&control)) return std::make_unique<TEditPeer>(backend, *c);
  if (auto* c = dynamic_cast<TMemo*>(&control)) return std::make_unique<TMemoPeer>(backend, *c);
  if (auto* c = dynamic_cast<TCheckBox*>(&control))
    return std::make_unique<TCheckBoxPeer>(backend, *c);
  if (auto* c = dynamic_cast<TButton*>(&control)) return std::make_unique<TButtonPeer>(backend, *c);
  if (auto* c = dynamic_cast<TComboBox*>(&control))
    return std::make_unique<TComboPeer>(backend, *c);
  if (auto* c = dynamic_cast<TUpDown*>(&control)) return std::make_unique<TUpDownPeer>(backend, *c);
  if (auto* c = dynamic_cast<TTrackBar*>(&control))
    return std::make_unique<TTrackBarPeer>(backend, *c);
  if (auto* c = dynamic_cast<TProgressBar*>(&control))
    return std::make_unique<TProgressPeer>(backend, *c);
  if (auto* c = dynamic_cast<TStaticText*>(&control))
    return std::make_unique<TLabelPeer>(backend, *c, true);
  if (auto* c = dynamic_cast<TLabel*>(&control))
    return std::make_unique<TLabelPeer>(backend, *c, false);
  return nullptr;
}

}  // namespace roarmark::platform::win32
