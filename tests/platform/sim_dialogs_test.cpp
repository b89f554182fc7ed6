// Scripted answers to message boxes and dialogs: defaults, queue order, fit, and the record.
#include "platform/sim/sim_dialogs.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/sim/sim_errors.h"

namespace roarmark::platform::sim {
namespace {

// Opens one dialog and describes its answer the way the record does.
using Open = std::function<std::string(SimDialogs&)>;

const Open kOkBox = [](SimDialogs& d) {
  return d.MessageBox("Cap", "Text", MessageButtons::Ok) == MessageAnswer::Ok ? "ok" : "cancel";
};
const Open kOkCancelBox = [](SimDialogs& d) {
  return d.MessageBox("Cap", "Text", MessageButtons::OkCancel) == MessageAnswer::Ok ? "ok"
                                                                                    : "cancel";
};
const Open kColour = [](SimDialogs& d) {
  auto c = d.ColourDialog(0x123456);
  return c ? std::to_string(*c) : "cancel";
};
const Open kFont = [](SimDialogs& d) {
  auto f = d.FontDialog(TFontChoice{"Arial", 10, 0, 0});
  return f ? f->Name + " " + std::to_string(f->Size) : "cancel";
};
const Open kOpenFile = [](SimDialogs& d) {
  auto p = d.OpenFileDialog(TFileDialogRequest{"Settings (*.cfg)|*.cfg", "/data", "cfg", "", ""});
  return p ? *p : "cancel";
};
const Open kSaveFile = [](SimDialogs& d) {
  auto p = d.SaveFileDialog(TFileDialogRequest{});
  return p ? *p : "cancel";
};
const Open kInput = [](SimDialogs& d) { return d.InputBox("Title", "Prompt", "initial"); };

struct AnswerCase {
  const char* name;
  std::optional<DialogAnswer> queued;
  Open open;
  std::string expected;
};

TEST(SimDialogsTest, EachDialogTakesTheNextFittingAnswerOrItsDefault) {
  const AnswerCase cases[] = {
      {"box default", std::nullopt, kOkCancelBox, "ok"},
      {"box cancel", DialogAnswer::Cancel(), kOkCancelBox, "cancel"},
      {"OK-only box cancelled closes with OK", DialogAnswer::Cancel(), kOkBox, "ok"},
      {"colour default", std::nullopt, kColour, "cancel"},
      {"colour", DialogAnswer::Colour(0xFF), kColour, "255"},
      {"font", DialogAnswer::Font(TFontChoice{"Tahoma", 24, 1, 0}), kFont, "Tahoma 24"},
      {"font default", std::nullopt, kFont, "cancel"},
      {"open", DialogAnswer::File("/data/Files/a.cfg"), kOpenFile, "/data/Files/a.cfg"},
      {"open cancelled", DialogAnswer::Cancel(), kOpenFile, "cancel"},
      {"save default", std::nullopt, kSaveFile, "cancel"},
      {"input text", DialogAnswer::Text("secret "), kInput, "secret "},
      {"input cancel gives the initial text", DialogAnswer::Cancel(), kInput, "initial"},
      {"input default", std::nullopt, kInput, "initial"},
  };
  for (const AnswerCase& c : cases) {
    SCOPED_TRACE(c.name);
    SimDialogs dialogs;
    if (c.queued) dialogs.QueueAnswer(*c.queued);
    EXPECT_EQ(c.open(dialogs), c.expected);
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
    EXPECT_EQ(dialogs.Records().size(), 1u);
  }
}

TEST(SimDialogsTest, AnAnswerOfTheWrongKindStopsTheRun) {
  const std::pair<DialogAnswer, Open> cases[] = {
      {DialogAnswer::File("x.cfg"), kOkBox}, {DialogAnswer::Ok(), kInput},
      {DialogAnswer::Text("t"), kOpenFile},  {DialogAnswer::Colour(1), kFont},
      {DialogAnswer::Font({}), kColour},     {DialogAnswer::Ok(), kSaveFile},
  };
  for (const auto& [answer, open] : cases) {
    SimDialogs dialogs;
    dialogs.QueueAnswer(answer);
    EXPECT_THROW(open(dialogs), SimAnswerMismatch);
  }
}

TEST(SimDialogsTest, AnswersAreUsedInOrderAndEveryDialogIsRecorded) {
  SimDialogs dialogs;
  dialogs.QueueAnswer(DialogAnswer::Cancel());
  dialogs.QueueAnswer(DialogAnswer::Text("pw"));
  EXPECT_EQ(dialogs.MessageBox(" Roarmark ", "Exit?", MessageButtons::OkCancel),
            MessageAnswer::Cancel);
  EXPECT_EQ(dialogs.InputBox("LOCK Settings", "Enter password", ""), "pw");
  EXPECT_EQ(dialogs.MessageBox("Roarmark Error", "No device", MessageButtons::Ok),
            MessageAnswer::Ok);

  ASSERT_EQ(dialogs.Records().size(), 3u);
  const DialogRecord& input = dialogs.Records()[1];
  EXPECT_EQ(input.kind, DialogKind::InputBox);
  EXPECT_EQ(input.caption, "LOCK Settings");
  EXPECT_EQ(input.text, "Enter password");
  EXPECT_EQ(input.answer, "pw");

  std::vector<DialogRecord> messages = dialogs.TakeMessages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].caption, " Roarmark ");
  EXPECT_EQ(messages[0].answer, "cancel");
  EXPECT_EQ(messages[1].buttons, MessageButtons::Ok);
  EXPECT_EQ(messages[1].answer, "ok");
  EXPECT_TRUE(dialogs.TakeMessages().empty()) << "only boxes since the last call";
}

TEST(SimDialogsTest, FileDialogRequestIsKept) {
  SimDialogs dialogs;
  kOpenFile(dialogs);
  const DialogRecord& r = dialogs.Records().back();
  EXPECT_EQ(r.kind, DialogKind::OpenFile);
  EXPECT_EQ(r.file.Filter, "Settings (*.cfg)|*.cfg");
  EXPECT_EQ(r.file.InitialDir, "/data");
  EXPECT_EQ(r.file.DefaultExt, "cfg");
  EXPECT_TRUE(r.cancelled);
}

}  // namespace
}  // namespace roarmark::platform::sim
