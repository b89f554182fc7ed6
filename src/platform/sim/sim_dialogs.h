// Message boxes and standard dialogs answered from a queue the test fills, every one recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace roarmark::platform::sim {

enum class DialogKind { MessageBox, Colour, Font, OpenFile, SaveFile, InputBox };

// The answer to the next dialog. Cancel fits every dialog; the others fit one kind each.
struct DialogAnswer {
  enum class Kind { Ok, Cancel, Text, File, Colour, Font };
  Kind kind = Kind::Ok;
  std::string text;  // Text and File
  std::uint32_t colour = 0;
  TFontChoice font;

  static DialogAnswer Ok() { return {}; }
  static DialogAnswer Cancel() { return {Kind::Cancel, {}, 0, {}}; }
  static DialogAnswer Text(std::string text) { return {Kind::Text, std::move(text), 0, {}}; }
  static DialogAnswer File(std::string path) { return {Kind::File, std::move(path), 0, {}}; }
  static DialogAnswer Colour(std::uint32_t c) { return {Kind::Colour, {}, c, {}}; }
  static DialogAnswer Font(TFontChoice f) { return {Kind::Font, {}, 0, std::move(f)}; }
};

// One dialog the program opened and how it was answered.
struct DialogRecord {
  DialogKind kind = DialogKind::MessageBox;
  std::string caption;  // message box caption, input box or file dialog title
  std::string text;     // message box text, input box prompt
  MessageButtons buttons = MessageButtons::Ok;
  std::string initial;  // input box initial text
  TFileDialogRequest file;
  std::uint32_t initial_colour = 0;
  TFontChoice initial_font;
  bool cancelled = false;
  std::string answer;  // "ok"/"cancel" for boxes; the text, path, colour or font name given
};

class SimDialogs : public IDialogs {
 public:
  void QueueAnswer(DialogAnswer answer) { answers_.push_back(std::move(answer)); }
  std::size_t PendingAnswers() const { return answers_.size(); }
  const std::vector<DialogRecord>& Records() const { return records_; }
  // The message boxes shown since the last call.
  std::vector<DialogRecord> TakeMessages();
  // Runs for every dialog, after it is recorded and before its answer is returned.
  std::function<void(const DialogRecord&)> OnDialog;

  // With nothing queued a message box gets OK and every other dialog is cancelled; a queued
  // answer of the wrong kind throws SimAnswerMismatch.
  MessageAnswer MessageBox(const std::string& caption, const std::string& text,
                           MessageButtons buttons) override;
  std::optional<std::uint32_t> ColourDialog(std::uint32_t initial) override;
  std::optional<TFontChoice> FontDialog(const TFontChoice& initial) override;
  std::optional<std::string> OpenFileDialog(const TFileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const TFileDialogRequest& request) override;
  std::string InputBox(const std::string& title, const std::string& prompt,
                       const std::string& initial) override;

 private:
  // The next answer for a dialog of `kind`, or nullopt for the default.
  std::optional<DialogAnswer> Next(DialogKind kind, DialogAnswer::Kind fits);
  void Done(DialogRecord record);
  // Open and save dialogs alike: a File answer gives the path.
  std::optional<std::string> FileDialog(DialogKind kind, const TFileDialogRequest& request);

  std::deque<DialogAnswer> answers_;
  std::vector<DialogRecord> records_;
  std::size_t messages_taken_ = 0;
};

const char* DialogKindName(DialogKind kind);

}  // namespace roarmark::platform::sim
