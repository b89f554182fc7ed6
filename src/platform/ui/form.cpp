// Forms: placement, showing (modal or not), closing, activation, focus and key routing.
#include "platform/ui/form.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "platform/monitors.h"
#include "platform/ui/application.h"
#include "platform/ui/backend.h"
#include "platform/ui/controls.h"

namespace roarmark::platform::ui {

TForm::TForm(TApplication& application, std::string name) : app_(&application) {
  form_ = this;
  visible_ = false;
  SetIdentity(nullptr, std::move(name));
  app_->AddForm(this);
}

TForm::~TForm() {
  for (TComponent* component : components_) {
    component->owner_ = nullptr;
    if (auto* control = dynamic_cast<TControl*>(component)) control->form_ = nullptr;
  }
  components_.clear();
  app_->RemoveForm(this);
}

// ---- Components

void TForm::RegisterComponent(TComponent* component) {
  components_.push_back(component);
}

void TForm::UnregisterComponent(TComponent* component) {
  components_.erase(std::remove(components_.begin(), components_.end(), component),
                    components_.end());
}

void TForm::ForgetControl(TControl* control) {
  for (TControl* c = active_control_; c; c = c->Parent()) {
    if (c == control) {
      active_control_ = nullptr;
      Changed(TProperty::Focus);
      return;
    }
  }
}

TComponent* TForm::FindComponent(const std::string& name) const {
  for (TComponent* component : components_) {
    if (component->Name() == name) return component;
  }
  return nullptr;
}

TControl* TForm::FindControl(const std::string& name) const {
  return Find<TControl>(name);
}

// ---- Looks and placement

void TForm::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed(TProperty::Caption);
}

void TForm::SetBorderStyle(TBorderStyle style) {
  if (style == border_style_) return;
  border_style_ = style;
  Changed(TProperty::BorderStyle);
}

void TForm::SetStayOnTop(bool on) {
  if (on == stay_on_top_) return;
  stay_on_top_ = on;
  Changed(TProperty::StayOnTop);
  if (IUiBackend* backend = app_->Backend()) backend->ZOrderChanged();
}

TFrameExtents TForm::Frame() const {
  if (IUiBackend* backend = app_->Backend()) return backend->FrameExtents(border_style_);
  return DefaultFrameExtents(border_style_);
}

int TForm::ClientWidth() const {
  TFrameExtents f = Frame();
  return Width() - f.Left - f.Right;
}

int TForm::ClientHeight() const {
  TFrameExtents f = Frame();
  return Height() - f.Top - f.Bottom;
}

void TForm::SetClientWidth(int width) {
  SetClientSize(width, ClientHeight());
}

void TForm::SetClientHeight(int height) {
  SetClientSize(ClientWidth(), height);
}

void TForm::SetClientSize(int width, int height) {
  TFrameExtents f = Frame();
  SetBounds(Left(), Top(), width + f.Left + f.Right, height + f.Top + f.Bottom);
}

TPoint TForm::ClientOrigin() const {
  TFrameExtents f = Frame();
  return TPoint{Left() + f.Left, Top() + f.Top};
}

void TForm::SetBounds(int left, int top, int width, int height) {
  const bool resized = width != Width() || height != Height();
  TControl::SetBounds(left, top, width, height);
  if (resized && OnResize) OnResize();
}

void TForm::PlaceOnShow() {
  if (position_ != TFormPosition::poScreenCenter || !app_->Platform().Monitors) return;
  std::vector<TMonitor> monitors = app_->Platform().Monitors->Monitors();
  if (monitors.empty()) return;
  const TRect& screen = monitors.front().Bounds;
  SetBounds(screen.Left + (screen.Width() - Width()) / 2,
            screen.Top + (screen.Height() - Height()) / 2, Width(), Height());
}

// ---- Showing and closing

void TForm::Realize() {
  if (realized_) return;
  realized_ = true;
  IUiBackend* backend = app_->Backend();
  if (!backend) return;
  if (!Peer()) SetPeer(backend->CreatePeer(*this));
  ForEachDescendant([backend](TControl& control) {
    if (!control.Peer()) control.SetPeer(backend->CreatePeer(control));
  });
}

void TForm::DoShow() {
  Realize();
  PlaceOnShow();
  visible_ = true;
  Changed(TProperty::Visible);
  app_->Raise(this);
  if (OnShow) OnShow();
  if (!active_control_) FocusFirst();
}

void TForm::DoHide() {
  visible_ = false;
  Changed(TProperty::Visible);
  if (OnHide) OnHide();
  app_->FormHidden(this);
}

void TForm::Show() {
  if (!visible_) DoShow();
  Activate();
}

void TForm::Hide() {
  if (visible_) DoHide();
}

void TForm::SetVisible(bool visible) {
  if (visible)
    Show();
  else
    Hide();
}

void TForm::SetModalResult(TModalResult result) {
  modal_result_ = result;
}

bool TForm::CloseModal() {
  bool can_close = true;
  if (OnCloseQuery) OnCloseQuery(can_close);
  if (!can_close) {
    modal_result_ = mrNone;
    return false;
  }
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(action);
  if (action == TCloseAction::caNone) {
    modal_result_ = mrNone;
    return false;
  }
  return true;
}

TModalResult TForm::ShowModal() {
  if (visible_ || modal_) throw std::logic_error("Cannot make a visible window modal");
  TForm* previous = app_->ActiveForm();

  // Undone however the loop ends, an exception (the end of the process) included.
  struct Restore {
    TForm* self;
    std::vector<TForm*> disabled;
    bool done = false;
    void Undo() {
      if (done) return;
      done = true;
      auto& stack = self->app_->modal_stack_;
      stack.erase(std::remove(stack.begin(), stack.end(), self), stack.end());
      self->modal_ = false;
      for (TForm* form : disabled)
        --form->modal_disabled_;
    }
    ~Restore() { Undo(); }
  } restore{this, {}};
  for (TForm* form : app_->Forms()) {
    if (form != this && form->visible_) {
      ++form->modal_disabled_;
      restore.disabled.push_back(form);
    }
  }
  modal_ = true;
  modal_result_ = mrNone;
  app_->modal_stack_.push_back(this);

  Show();
  TApplication& app = *app_;
  for (;;) {
    try {
      app.Loop().RunUntil([&] { return modal_result_ != mrNone || app.Terminated() || !visible_; });
    } catch (const std::exception& error) {
      app.ShowException(error);
      continue;
    }
    if (app.Terminated() || !visible_) {
      if (modal_result_ == mrNone || app.Terminated()) modal_result_ = mrCancel;
      break;
    }
    if (CloseModal()) break;
  }
  restore.Undo();
  Hide();
  if (previous && previous != this && previous->visible_) previous->Activate();
  return modal_result_;
}

void TForm::Close() {
  if (modal_) {
    modal_result_ = mrCancel;
    return;
  }
  bool can_close = true;
  if (OnCloseQuery) OnCloseQuery(can_close);
  if (!can_close) return;
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(action);
  if (action == TCloseAction::caNone) return;
  if (app_->MainForm() == this)
    app_->Terminate();
  else
    Hide();
}

void TForm::Activate() {
  if (!visible_ || !InputEnabled()) return;
  app_->Raise(this);
  app_->SetActiveForm(this);
}

bool TForm::Active() const {
  return app_->ActiveForm() == this;
}

// ---- Keys and focus

void TForm::SetKeyPreview(bool on) {
  if (on == key_preview_) return;
  key_preview_ = on;
  Changed(TProperty::KeyPreview);
}

bool TForm::SetActiveControl(TControl* control) {
  if (control && (control->Form() != this || !control->CanFocus())) return false;
  if (control == active_control_) return true;
  active_control_ = control;
  Changed(TProperty::Focus);
  return true;
}

void TForm::FocusFirst() {
  TControl* first = nullptr;
  ForEachDescendant([&first](TControl& control) {
    if (!first && control.TabStop() && control.CanFocus()) first = &control;
  });
  if (first) SetActiveControl(first);
}

bool TForm::RouteKey(bool down, int key, TShiftState shift) {
  if (!Showing() || !Enabled() || !InputEnabled() || app_->Terminated()) return false;
  auto handler = [down](TControl& c) -> std::function<void(int&, TShiftState)>& {
    return down ? c.OnKeyDown : c.OnKeyUp;
  };
  return Guarded([&] {
    int k = key;
    if (key_preview_ && handler(*this)) {
      handler (*this)(k, shift);
      if (k == 0) return;
    }
    TControl* target = active_control_;
    if (target && !target->CanTakeInput()) target = nullptr;
    if (target) {
      if (handler(*target)) handler (*target)(k, shift);
    } else if (!key_preview_ && handler(*this)) {
      handler (*this)(k, shift);
    }
    if (k == 0 || !down || (k != VK_RETURN && k != VK_ESCAPE)) return;
    TButton* chosen = nullptr;
    ForEachDescendant([&](TControl& control) {
      auto* button = dynamic_cast<TButton*>(&control);
      if (!chosen && button && button->CanTakeInput() &&
          (k == VK_RETURN ? button->Default() : button->Cancel()))
        chosen = button;
    });
    if (chosen) chosen->Click();
  });
}

bool TForm::UserKeyDown(int key) {
  app_->SetKeyDown(key, true);
  if (std::find(keys_down_.begin(), keys_down_.end(), key) == keys_down_.end())
    keys_down_.push_back(key);
  return RouteKey(true, key, app_->KeyShiftState());
}

bool TForm::UserKeyUp(int key) {
  app_->SetKeyDown(key, false);
  const auto it = std::find(keys_down_.begin(), keys_down_.end(), key);
  if (it == keys_down_.end()) return false;
  keys_down_.erase(it);
  return RouteKey(false, key, app_->KeyShiftState());
}

bool TForm::UserKey(int key, TShiftState modifiers) {
  std::vector<int> held;
  if (modifiers & ssCtrl) held.push_back(VK_CONTROL);
  if (modifiers & ssShift) held.push_back(VK_SHIFT);
  if (modifiers & ssAlt) held.push_back(VK_MENU);
  bool taken = true;
  for (int vk : held)
    taken = UserKeyDown(vk) && taken;
  taken = UserKeyDown(key) && taken;
  taken = UserKeyUp(key) && taken;
  for (auto it = held.rbegin(); it != held.rend(); ++it)
    taken = UserKeyUp(*it) && taken;
  return taken;
}

bool TForm::UserCloseBox() {
  if (!visible_ || !close_box_ || !InputEnabled() || app_->Terminated()) return false;
  return Guarded([this] { Close(); });
}

void TForm::UserMoved(int left, int top) {
  SetBounds(left, top, Width(), Height());
}

void TForm::UserResized(int width, int height) {
  SetBounds(Left(), Top(), width, height);
}

}  // namespace roarmark::platform::ui
