// Message boxes and the standard dialogs on Qt Widgets.
#pragma once

#include <QString>
#include <string>

#include "platform/dialogs.h"

namespace roarmark::platform::qt {

// The program writes line breaks as LF CR (and sometimes CR LF); Qt wants plain LF.
QString MessageText(const std::string& text);
// "Description|*.ext|..." to Qt's "Description (*.ext);;...".
QString QtFileFilter(const std::string& filter);

class TQtDialogs final : public IDialogs {
 public:
  MessageAnswer MessageBox(const std::string& caption, const std::string& text,
                           MessageButtons buttons) override;
  std::optional<std::uint32_t> ColourDialog(std::uint32_t initial) override;
  std::optional<TFontChoice> FontDialog(const TFontChoice& initial) override;
  std::optional<std::string> OpenFileDialog(const TFileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const TFileDialogRequest& request) override;
  std::string InputBox(const std::string& title, const std::string& prompt,
                       const std::string& initial) override;

 private:
  std::optional<std::string> FileDialog(const TFileDialogRequest& request, bool save);
};

}  // namespace roarmark::platform::qt
