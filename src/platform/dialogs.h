// Message boxes and the standard dialogs (colour, font, open, save, text input).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace roarmark::platform {

enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

// A font as the font dialog shows and returns it. Style bits: 1 bold, 2 italic, 4 underline,
// 8 strike-out. Colour is a settings colour 0x00BBGGRR.
struct TFontChoice {
  std::string Name;
  int Size = 0;  // points
  int Style = 0;
  std::uint32_t Colour = 0;
  friend bool operator==(const TFontChoice&, const TFontChoice&) = default;
};

// What an open or save dialog starts with. Filter as "Description|*.ext|...".
struct TFileDialogRequest {
  std::string Filter;
  std::string InitialDir;
  std::string DefaultExt;  // without the dot
  std::string FileName;
  std::string Title;
};

// Every call is modal and returns once the user has answered.
class IDialogs {
 public:
  virtual ~IDialogs() = default;
  virtual MessageAnswer MessageBox(const std::string& caption, const std::string& text,
                                   MessageButtons buttons) = 0;
  // Empty when cancelled. Colours are settings colours 0x00BBGGRR.
  virtual std::optional<std::uint32_t> ColourDialog(std::uint32_t initial) = 0;
  virtual std::optional<TFontChoice> FontDialog(const TFontChoice& initial) = 0;
  virtual std::optional<std::string> OpenFileDialog(const TFileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveFileDialog(const TFileDialogRequest& request) = 0;
  // The typed text on OK, `initial` on Cancel.
  virtual std::string InputBox(const std::string& title, const std::string& prompt,
                               const std::string& initial) = 0;
};

}  // namespace roarmark::platform
