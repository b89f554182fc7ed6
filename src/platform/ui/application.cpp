// The application object: forms, activation, stacking, the main loop, keys and error boxes.
#include "platform/ui/application.h"

#include <algorithm>

#include "platform/ui/backend.h"

namespace roarmark::platform::ui {

TFrameExtents DefaultFrameExtents(TBorderStyle style) {
  switch (style) {
    case TBorderStyle::bsSizeable:
      return kSizeableFrame;
    case TBorderStyle::bsDialog:
      return kDialogFrame;
    case TBorderStyle::bsNone:
      return kNoFrame;
  }
  return kNoFrame;
}

TApplication::TApplication(const TPlatform& platform) : platform_(platform) {
  if (platform_.Ui) platform_.Ui->ApplicationCreated(*this);
}

TApplication::~TApplication() {
  if (platform_.Ui) platform_.Ui->ApplicationDestroyed(*this);
}

// ---- Forms

void TApplication::AddForm(TForm* form) {
  forms_.push_back(form);
  if (!main_form_) main_form_ = form;
}

void TApplication::RemoveForm(TForm* form) {
  auto drop = [form](std::vector<TForm*>& list) {
    list.erase(std::remove(list.begin(), list.end(), form), list.end());
  };
  drop(forms_);
  drop(stacking_);
  drop(modal_stack_);
  if (main_form_ == form) main_form_ = nullptr;
  if (active_form_ == form) active_form_ = nullptr;
}

TForm* TApplication::FindForm(const std::string& name) const {
  for (TForm* form : forms_) {
    if (form->Name() == name) return form;
  }
  return nullptr;
}

TForm* TApplication::FindFormByCaption(const std::string& caption) const {
  for (TForm* form : forms_) {
    if (form->Visible() && form->Caption() == caption) return form;
  }
  return nullptr;
}

std::vector<TForm*> TApplication::ZOrder() const {
  std::vector<TForm*> order;
  for (bool top : {false, true}) {
    for (TForm* form : stacking_) {
      if (form->Visible() && form->StayOnTop() == top) order.push_back(form);
    }
  }
  return order;
}

void TApplication::SetActiveForm(TForm* form) {
  if (form == active_form_) return;
  TForm* old = active_form_;
  active_form_ = form;
  if (old) {
    old->Changed(TProperty::Active);
    if (old->OnDeactivate) old->OnDeactivate();
  }
  if (form && active_form_ == form) {
    form->Changed(TProperty::Active);
    if (form->OnActivate) form->OnActivate();
  }
}

void TApplication::Raise(TForm* form) {
  stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), form), stacking_.end());
  stacking_.push_back(form);
  if (platform_.Ui) platform_.Ui->ZOrderChanged();
}

void TApplication::Lower(TForm* form) {
  stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), form), stacking_.end());
  stacking_.insert(stacking_.begin(), form);
  if (platform_.Ui) platform_.Ui->ZOrderChanged();
}

// The form raised most recently among those still visible and usable takes over.
void TApplication::FormHidden(TForm* form) {
  if (platform_.Ui) platform_.Ui->ZOrderChanged();
  if (active_form_ != form) return;
  TForm* next = nullptr;
  for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
    if (*it != form && (*it)->Visible() && (*it)->InputEnabled()) {
      next = *it;
      break;
    }
  }
  SetActiveForm(next);
}

// ---- Running

void TApplication::Run() {
  if (main_form_ && !terminated_) main_form_->Show();
  while (!terminated_) {
    try {
      Loop().RunUntil([this] { return terminated_; });
    } catch (const std::exception& error) {
      ShowException(error);
    }
  }
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  if (platform_.Ui) platform_.Ui->ApplicationTerminated();
}

void TApplication::ProcessMessages() {
  Loop().DispatchPending();
}

// ---- Pointer and keyboard

void TApplication::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  if (platform_.Ui) platform_.Ui->CursorChanged(cursor);
}

bool TApplication::IsKeyDown(int vk) const {
  return vk >= 0 && vk < static_cast<int>(keys_down_.size()) && keys_down_[vk];
}

void TApplication::SetKeyDown(int vk, bool down) {
  if (vk >= 0 && vk < static_cast<int>(keys_down_.size())) keys_down_[vk] = down;
}

TShiftState TApplication::KeyShiftState() const {
  TShiftState shift = ssNone;
  if (IsKeyDown(VK_SHIFT)) shift |= ssShift;
  if (IsKeyDown(VK_CONTROL)) shift |= ssCtrl;
  if (IsKeyDown(VK_MENU)) shift |= ssAlt;
  return shift;
}

// ---- Errors

void TApplication::ShowException(const std::exception& error) {
  if (OnException) {
    OnException(error);
    return;
  }
  std::string text = error.what();
  if (!text.empty() && text.back() != '.') text += '.';
  if (platform_.Dialogs) platform_.Dialogs->MessageBox(title_, text, MessageButtons::Ok);
}

}  // namespace roarmark::platform::ui
