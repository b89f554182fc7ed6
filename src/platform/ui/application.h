// The application object of the control model: its forms, the main form, the active and modal
// forms, stacking order, the main loop, held keys, the pointer and the standard error box.
#pragma once

#include <array>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/ui/form.h"

namespace roarmark::platform::ui {

class IUiBackend;

class TApplication {
 public:
  explicit TApplication(const TPlatform& platform);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  const TPlatform& Platform() const { return platform_; }
  IMessageLoop& Loop() const { return *platform_.MessageLoop; }
  IUiBackend* Backend() const { return platform_.Ui; }

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // ---- Forms
  // The first form created is the main form.
  TForm* MainForm() const { return main_form_; }
  const std::vector<TForm*>& Forms() const { return forms_; }
  TForm* FindForm(const std::string& name) const;
  // The visible form whose caption is `caption`, the way a window is found by its title.
  TForm* FindFormByCaption(const std::string& caption) const;
  TForm* ActiveForm() const { return active_form_; }
  // The innermost form shown modally, or null.
  TForm* ModalForm() const { return modal_stack_.empty() ? nullptr : modal_stack_.back(); }
  // Visible forms from back to front: stay-on-top forms above the others, the most recently
  // raised last within each group.
  std::vector<TForm*> ZOrder() const;

  // ---- Running
  // Shows the main form and runs the message loop until the application terminates.
  void Run();
  // Ends the main loop and every modal loop; no close handler runs.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Dispatches every pending message.
  void ProcessMessages();

  // ---- Pointer and keyboard
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  TPoint CursorPos() const { return cursor_pos_; }
  void SetCursorPos(TPoint p) { cursor_pos_ = p; }
  // Whether key `vk` is held down now (the keyboard state, as key events left it).
  bool IsKeyDown(int vk) const;
  void SetKeyDown(int vk, bool down);
  // Shift, Ctrl and Alt as held now.
  TShiftState KeyShiftState() const;

  // ---- Errors
  // The framework's standard error box: the title as caption, the message ending in a full stop.
  void ShowException(const std::exception& error);
  // Replaces the standard error box.
  std::function<void(const std::exception&)> OnException;

 private:
  friend class TForm;
  void AddForm(TForm* form);
  void RemoveForm(TForm* form);
  void SetActiveForm(TForm* form);
  void Raise(TForm* form);
  void Lower(TForm* form);
  void FormHidden(TForm* form);

  TPlatform platform_;
  std::string title_;
  std::vector<TForm*> forms_;
  TForm* main_form_ = nullptr;
  TForm* active_form_ = nullptr;
  std::vector<TForm*> modal_stack_;
  std::vector<TForm*> stacking_;  // raised order, oldest first
  bool terminated_ = false;
  TCursor cursor_ = TCursor::crDefault;
  TPoint cursor_pos_;
  std::array<bool, 256> keys_down_{};
};

}  // namespace roarmark::platform::ui
