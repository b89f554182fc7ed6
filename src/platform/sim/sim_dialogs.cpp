// Scripted answers to message boxes and the standard dialogs.
#include "platform/sim/sim_dialogs.h"

#include "platform/sim/sim_errors.h"

namespace roarmark::platform::sim {

const char* DialogKindName(DialogKind kind) {
  switch (kind) {
    case DialogKind::MessageBox:
      return "message box";
    case DialogKind::Colour:
      return "colour dialog";
    case DialogKind::Font:
      return "font dialog";
    case DialogKind::OpenFile:
      return "open dialog";
    case DialogKind::SaveFile:
      return "save dialog";
    case DialogKind::InputBox:
      return "input box";
  }
  return "dialog";
}

namespace {
const char* AnswerName(DialogAnswer::Kind kind) {
  switch (kind) {
    case DialogAnswer::Kind::Ok:
      return "ok";
    case DialogAnswer::Kind::Cancel:
      return "cancel";
    case DialogAnswer::Kind::Text:
      return "text";
    case DialogAnswer::Kind::File:
      return "file";
    case DialogAnswer::Kind::Colour:
      return "colour";
    case DialogAnswer::Kind::Font:
      return "font";
  }
  return "answer";
}
}  // namespace

std::optional<DialogAnswer> SimDialogs::Next(DialogKind kind, DialogAnswer::Kind fits) {
  if (answers_.empty()) return std::nullopt;
  DialogAnswer answer = std::move(answers_.front());
  answers_.pop_front();
  if (answer.kind != fits && answer.kind != DialogAnswer::Kind::Cancel) {
    throw SimAnswerMismatch{{std::string("a ") + AnswerName(answer.kind) +
                             " answer does not fit the " + DialogKindName(kind) +
                             " the program opened"}};
  }
  return answer;
}

void SimDialogs::Done(DialogRecord record) {
  records_.push_back(std::move(record));
  if (OnDialog) OnDialog(records_.back());
}

std::vector<DialogRecord> SimDialogs::TakeMessages() {
  std::vector<DialogRecord> messages;
  for (; messages_taken_ < records_.size(); ++messages_taken_) {
    if (records_[messages_taken_].kind == DialogKind::MessageBox)
      messages.push_back(records_[messages_taken_]);
  }
  return messages;
}

// A Cancel answer to a box with only OK closes it with OK, as Escape does.
MessageAnswer SimDialogs::MessageBox(const std::string& caption, const std::string& text,
                                     MessageButtons buttons) {
  DialogRecord record;
  record.kind = DialogKind::MessageBox;
  record.caption = caption;
  record.text = text;
  record.buttons = buttons;
  std::optional<DialogAnswer> answer = Next(record.kind, DialogAnswer::Kind::Ok);
  const bool cancel =
      answer && answer->kind == DialogAnswer::Kind::Cancel && buttons == MessageButtons::OkCancel;
  record.cancelled = cancel;
  record.answer = cancel ? "cancel" : "ok";
  Done(std::move(record));
  return cancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

std::optional<std::uint32_t> SimDialogs::ColourDialog(std::uint32_t initial) {
  DialogRecord record;
  record.kind = DialogKind::Colour;
  record.initial_colour = initial;
  std::optional<DialogAnswer> answer = Next(record.kind, DialogAnswer::Kind::Colour);
  std::optional<std::uint32_t> result;
  if (answer && answer->kind == DialogAnswer::Kind::Colour) result = answer->colour & 0xFFFFFF;
  record.cancelled = !result;
  record.answer = result ? std::to_string(*result) : "cancel";
  Done(std::move(record));
  return result;
}

std::optional<TFontChoice> SimDialogs::FontDialog(const TFontChoice& initial) {
  DialogRecord record;
  record.kind = DialogKind::Font;
  record.initial_font = initial;
  std::optional<DialogAnswer> answer = Next(record.kind, DialogAnswer::Kind::Font);
  std::optional<TFontChoice> result;
  if (answer && answer->kind == DialogAnswer::Kind::Font) result = answer->font;
  record.cancelled = !result;
  record.answer = result ? result->Name : "cancel";
  Done(std::move(record));
  return result;
}

std::optional<std::string> SimDialogs::FileDialog(DialogKind kind,
                                                  const TFileDialogRequest& request) {
  DialogRecord record;
  record.kind = kind;
  record.caption = request.Title;
  record.file = request;
  std::optional<DialogAnswer> answer = Next(record.kind, DialogAnswer::Kind::File);
  std::optional<std::string> result;
  if (answer && answer->kind == DialogAnswer::Kind::File) result = answer->text;
  record.cancelled = !result;
  record.answer = result ? *result : "cancel";
  Done(std::move(record));
  return result;
}

std::optional<std::string> SimDialogs::OpenFileDialog(const TFileDialogRequest& request) {
  return FileDialog(DialogKind::OpenFile, request);
}

std::optional<std::string> SimDialogs::SaveFileDialog(const TFileDialogRequest& request) {
  return FileDialog(DialogKind::SaveFile, request);
}

std::string SimDialogs::InputBox(const std::string& title, const std::string& prompt,
                                 const std::string& initial) {
  DialogRecord record;
  record.kind = DialogKind::InputBox;
  record.caption = title;
  record.text = prompt;
  record.initial = initial;
  std::optional<DialogAnswer> answer = Next(record.kind, DialogAnswer::Kind::Text);
  const bool typed = answer && answer->kind == DialogAnswer::Kind::Text;
  std::string result = typed ? answer->text : initial;
  record.cancelled = !typed;
  record.answer = typed ? result : "cancel";
  Done(std::move(record));
  return result;
}

}  // namespace roarmark::platform::sim
