// Message boxes and the common dialogs (colour, font, open, save), and a small text input box.
#pragma once

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <functional>

#include "platform/dialogs.h"

namespace roarmark::platform::win32 {

class TWin32Dialogs final : public IDialogs {
 public:
  MessageAnswer MessageBox(const std::string& caption, const std::string& text,
                           MessageButtons buttons) override;
  std::optional<std::uint32_t> ColourDialog(std::uint32_t initial) override;
  std::optional<TFontChoice> FontDialog(const TFontChoice& initial) override;
  std::optional<std::string> OpenFileDialog(const TFileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const TFileDialogRequest& request) override;
  std::string InputBox(const std::string& title, const std::string& prompt,
                       const std::string& initial) override;

  // The window the dialogs belong to (the active form), or null.
  std::function<HWND()> Owner;

 private:
  HWND OwnerWindow() const { return Owner ? Owner() : nullptr; }
  std::optional<std::string> FileDialog(const TFileDialogRequest& request, bool save);
  COLORREF custom_[16] = {};
};

}  // namespace roarmark::platform::win32
