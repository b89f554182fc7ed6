// Components, controls and containers of the control model.
#include "platform/ui/control.h"

#include <algorithm>
#include <cstdint>
#include <exception>

#include "platform/ui/application.h"
#include "platform/ui/backend.h"
#include "platform/ui/form.h"

namespace roarmark::platform::ui {

// ---- TComponent

TComponent::TComponent(TForm* owner, std::string name) {
  SetIdentity(owner, std::move(name));
}

TComponent::~TComponent() {
  if (owner_) owner_->UnregisterComponent(this);
}

void TComponent::SetIdentity(TForm* owner, std::string name) {
  name_ = std::move(name);
  owner_ = owner;
  if (owner_) owner_->RegisterComponent(this);
}

// ---- TControl

TControl::TControl(TWinControl* parent, std::string name)
    : TComponent(parent ? parent->form_ : nullptr, std::move(name)),
      form_(parent ? parent->form_ : nullptr),
      parent_(parent) {
  if (parent_) parent_->children_.push_back(this);
}

TControl::TControl() = default;

TControl::~TControl() {
  if (form_ && form_ != this) form_->ForgetControl(this);
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  peer_.reset();
}

TForm* TControl::Form() const {
  return form_;
}

TApplication* TControl::Application() const {
  return form_ ? &form_->App() : nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed(TProperty::Bounds);
}

namespace {

// Positions anywhere in the 32-bit range stay in it when moved between client and screen.
TPoint Offset(TPoint p, std::int64_t dx, std::int64_t dy) {
  auto clamp = [](std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
  };
  return TPoint{clamp(p.X + dx), clamp(p.Y + dy)};
}

}  // namespace

TPoint TControl::ClientOrigin() const {
  TPoint origin = parent_ ? parent_->ClientOrigin() : TPoint{};
  return Offset(origin, left_, top_);
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const TPoint origin = ClientOrigin();
  return Offset(p, origin.X, origin.Y);
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const TPoint origin = ClientOrigin();
  return Offset(p, -std::int64_t{origin.X}, -std::int64_t{origin.Y});
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (!visible_ && form_) form_->ForgetControl(this);
  Changed(TProperty::Visible);
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (!enabled_ && form_) form_->ForgetControl(this);
  Changed(TProperty::Enabled);
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_) {
    if (!c->visible_) return false;
  }
  return form_ != nullptr;
}

bool TControl::EffectivelyEnabled() const {
  for (const TControl* c = this; c; c = c->parent_) {
    if (!c->enabled_) return false;
  }
  return true;
}

bool TControl::CanTakeInput() const {
  return Showing() && EffectivelyEnabled() && form_->InputEnabled() && !form_->App().Terminated();
}

void TControl::SetHint(std::string hint) {
  if (hint == hint_) return;
  hint_ = std::move(hint);
  Changed(TProperty::Hint);
}

void TControl::SetShowHint(bool show) {
  if (show == show_hint_) return;
  show_hint_ = show;
  Changed(TProperty::Hint);
}

void TControl::SetFont(const TFont& font) {
  if (font == font_) return;
  font_ = font;
  Changed(TProperty::Font);
}

void TControl::SetFontColour(TColour colour) {
  TFont font = font_;
  font.Colour = colour;
  SetFont(font);
}

void TControl::SetColour(TColour colour) {
  if (colour == colour_) return;
  colour_ = colour;
  Changed(TProperty::Colour);
}

// The form itself need not be visible: a program may pick the focused control before showing.
bool TControl::CanFocus() const {
  if (!AcceptsFocus() || !form_ || form_ == this) return false;
  for (const TControl* c = this; c && c != form_; c = c->parent_) {
    if (!c->visible_ || !c->enabled_) return false;
  }
  return form_->Enabled();
}

bool TControl::Focused() const {
  return form_ && form_ != this && form_->ActiveControl() == this;
}

bool TControl::SetFocus() {
  if (!form_) return false;
  if (form_ == this) return form_->SetActiveControl(nullptr);
  return form_->SetActiveControl(this);
}

void TControl::SetPeer(std::unique_ptr<IControlPeer> peer) {
  peer_ = std::move(peer);
}

void TControl::Changed(TProperty what) {
  if (peer_) peer_->PropertyChanged(what);
}

void TControl::ClickAction() {
  if (OnClick) OnClick();
}

void TControl::Attach() {
  if (!form_ || !form_->Realized() || peer_) return;
  if (IUiBackend* backend = form_->App().Backend()) SetPeer(backend->CreatePeer(*this));
}

bool TControl::Guarded(const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const std::exception& error) {
    if (TApplication* app = Application()) {
      app->ShowException(error);
      return false;
    }
    throw;
  }
}

TShiftState TControl::HeldShift() const {
  TApplication* app = Application();
  return app ? app->KeyShiftState() : ssNone;
}

namespace {
TShiftState ButtonState(TMouseButton button) {
  switch (button) {
    case TMouseButton::mbLeft:
      return ssLeft;
    case TMouseButton::mbRight:
      return ssRight;
    case TMouseButton::mbMiddle:
      return ssMiddle;
  }
  return ssNone;
}
}  // namespace

bool TControl::Press(TMouseButton button, int x, int y, TShiftState extra) {
  if (!CanTakeInput()) return false;
  Application()->SetCursorPos(ClientToScreen(TPoint{x, y}));
  return Guarded([&] {
    if (button == TMouseButton::mbLeft && FocusOnPress()) SetFocus();
    PressAction(button, x, y);
    if (OnMouseDown) OnMouseDown(button, HeldShift() | ButtonState(button) | extra, x, y);
  });
}

bool TControl::UserMouseDown(TMouseButton button, int x, int y) {
  return Press(button, x, y, ssNone);
}

bool TControl::UserMouseMove(int x, int y) {
  if (!CanTakeInput()) return false;
  Application()->SetCursorPos(ClientToScreen(TPoint{x, y}));
  return Guarded([&] {
    if (OnMouseMove) OnMouseMove(HeldShift(), x, y);
  });
}

bool TControl::UserMouseUp(TMouseButton button, int x, int y) {
  if (!CanTakeInput()) return false;
  Application()->SetCursorPos(ClientToScreen(TPoint{x, y}));
  return Guarded([&] {
    if (OnMouseUp) OnMouseUp(button, HeldShift(), x, y);
  });
}

bool TControl::UserClick(int x, int y) {
  if (!UserMouseDown(TMouseButton::mbLeft, x, y)) return false;
  if (!CanTakeInput()) return true;  // the press handler took the control away
  Guarded([&] { ClickAction(); });
  UserMouseUp(TMouseButton::mbLeft, x, y);
  return true;
}

bool TControl::UserClick() {
  return UserClick(width_ / 2, height_ / 2);
}

bool TControl::UserDblClick(int x, int y) {
  if (!UserClick(x, y)) return false;
  if (!CanTakeInput()) return true;
  Guarded([&] {
    if (OnDblClick) OnDblClick();
  });
  Press(TMouseButton::mbLeft, x, y, ssDouble);
  UserMouseUp(TMouseButton::mbLeft, x, y);
  return true;
}

bool TControl::UserMouseWheel(int notches, int x, int y) {
  if (!CanTakeInput() || notches == 0) return false;
  Application()->SetCursorPos(ClientToScreen(TPoint{x, y}));
  const int step = notches > 0 ? 1 : -1;
  for (int i = 0; i != notches; i += step) {
    if (!CanTakeInput()) break;
    Guarded([&] {
      if (OnMouseWheel) OnMouseWheel(step, HeldShift(), x, y);
    });
  }
  return true;
}

bool TControl::UserRightClick(int x, int y) {
  if (!UserMouseDown(TMouseButton::mbRight, x, y)) return false;
  UserMouseUp(TMouseButton::mbRight, x, y);
  return true;
}

// ---- TWinControl

TWinControl::~TWinControl() {
  for (TControl* child : children_)
    child->parent_ = nullptr;
}

void TWinControl::ForEachDescendant(const std::function<void(TControl&)>& visit) const {
  for (TControl* child : children_) {
    visit(*child);
    if (auto* container = dynamic_cast<TWinControl*>(child)) container->ForEachDescendant(visit);
  }
}

}  // namespace roarmark::platform::ui
