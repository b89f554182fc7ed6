// Forms: modal showing and how it ends, disabled owners, activation order, closing the main
// form, placement and stacking.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"

namespace roarmark::platform::ui {
namespace {

class FormTest : public ::testing::Test {
 public:
  FormTest() {
    for (TForm* f : {&main, &dialog}) {
      f->OnShow = [this, f] { log.push_back(f->Name() + " show"); };
      f->OnActivate = [this, f] { log.push_back(f->Name() + " activate"); };
      f->OnDeactivate = [this, f] { log.push_back(f->Name() + " deactivate"); };
      f->OnHide = [this, f] { log.push_back(f->Name() + " hide"); };
    }
    ok.SetModalResult(mrOk);
  }

  sim::SimPlatform sim;
  TApplication app{sim.Platform()};
  TForm main{app, "TForm1"};
  TForm dialog{app, "TForm2"};
  TButton ok{&dialog, "Button1"};
  TEdit field{&dialog, "Edit1"};
  std::vector<std::string> log;
};

TEST_F(FormTest, FormsStartHiddenAndShowingRunsOnShowBeforeOnActivate) {
  EXPECT_FALSE(main.Visible());
  EXPECT_EQ(app.MainForm(), &main);
  main.Show();
  EXPECT_TRUE(main.Active());
  EXPECT_EQ(log, (std::vector<std::string>{"TForm1 show", "TForm1 activate"}));
}

struct ModalEnd {
  const char* name;
  std::function<void(FormTest&)> act;
  TModalResult expected;
};

TEST_F(FormTest, ShowModalReturnsHowTheFormWasClosed) {
  const ModalEnd ends[] = {
      {"OK button", [](FormTest& t) { t.ok.UserClick(); }, mrOk},
      {"Close", [](FormTest& t) { t.dialog.Close(); }, mrCancel},
      {"close box", [](FormTest& t) { t.dialog.UserCloseBox(); }, mrCancel},
      {"modal result set", [](FormTest& t) { t.dialog.SetModalResult(mrAbort); }, mrAbort},
      {"hidden by the program", [](FormTest& t) { t.dialog.Hide(); }, mrCancel},
      {"application ends", [](FormTest& t) { t.app.Terminate(); }, mrCancel},
  };
  main.Show();
  for (const ModalEnd& end : ends) {
    SCOPED_TRACE(end.name);
    sim.loop.QueueAction([&] { end.act(*this); });
    EXPECT_EQ(dialog.ShowModal(), end.expected);
    EXPECT_FALSE(dialog.Visible());
    EXPECT_FALSE(dialog.Modal());
  }
}

TEST_F(FormTest, TheOwnerTakesNoInputWhileTheModalFormIsOpen) {
  main.Show();
  TEdit main_field{&main, "Readout"};
  bool main_disabled = false;
  bool dialog_usable = false;
  sim.loop.QueueAction([&] {
    main_disabled = !main.InputEnabled() && !main_field.UserType("x") && !main.UserKey(VK_SPACE);
    dialog_usable = field.UserType("5");
    EXPECT_EQ(app.ModalForm(), &dialog);
    ok.UserClick();
  });
  dialog.ShowModal();
  EXPECT_TRUE(main_disabled);
  EXPECT_TRUE(dialog_usable);
  EXPECT_TRUE(main.InputEnabled());
  EXPECT_EQ(app.ModalForm(), nullptr);
  EXPECT_TRUE(main_field.UserType("y"));
}

TEST_F(FormTest, ClosingAModalFormAsksCloseQueryAndRunsOnClose) {
  main.Show();
  int queries = 0;
  dialog.OnCloseQuery = [&](bool& can_close) { can_close = ++queries > 1; };
  dialog.OnClose = [&](TCloseAction&) { log.push_back("close"); };
  sim.loop.QueueAction([&] { dialog.UserCloseBox(); });
  sim.loop.QueueAction([&] {
    EXPECT_TRUE(dialog.Visible()) << "the first close was refused";
    EXPECT_EQ(dialog.ModalResult(), mrNone);
    ok.UserClick();
  });
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(log.back(), "TForm1 activate");
}

TEST_F(FormTest, ActivationMovesToTheModalFormAndBack) {
  main.Show();
  log.clear();
  sim.loop.QueueAction([&] { ok.UserClick(); });
  dialog.ShowModal();
  EXPECT_EQ(log, (std::vector<std::string>{"TForm2 show", "TForm1 deactivate", "TForm2 activate",
                                           "TForm2 hide", "TForm2 deactivate", "TForm1 activate"}));
}

TEST_F(FormTest, ShowModalOfAVisibleFormIsRefused) {
  dialog.Show();
  EXPECT_THROW(dialog.ShowModal(), std::logic_error);
}

TEST_F(FormTest, AModalLoopWithNothingToDoStallsInsteadOfHanging) {
  main.Show();
  EXPECT_THROW(dialog.ShowModal(), sim::SimStalled);
  EXPECT_FALSE(dialog.Modal());
  EXPECT_TRUE(main.InputEnabled()) << "undone while unwinding";
}

TEST_F(FormTest, ClosingTheMainFormEndsTheApplicationNormally) {
  bool closed = false;
  main.OnClose = [&](TCloseAction&) { closed = true; };
  sim.loop.QueueAction([&] { main.UserCloseBox(); });
  app.Run();
  EXPECT_TRUE(closed);
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(sim.loop.EndCode(), 0);
  EXPECT_FALSE(sim.loop.EndedByProcessEnd());
}

TEST_F(FormTest, EndingTheProcessInsideAModalLoopRunsNoCloseHandler) {
  main.Show();
  bool closed = false;
  main.OnClose = [&](TCloseAction&) { closed = true; };
  dialog.OnClose = [&](TCloseAction&) { closed = true; };
  ok.OnClick = [&] { sim.loop.EndProcess(1); };
  sim.loop.QueueAction([&] { ok.UserClick(); });
  try {
    dialog.ShowModal();
    FAIL() << "the process went on";
  } catch (const sim::ProcessEnded& ended) {
    EXPECT_EQ(ended.code, 1);
  }
  EXPECT_FALSE(closed);
  EXPECT_EQ(sim.loop.EndCode(), 1);
}

TEST_F(FormTest, AFormWithoutCloseBoxCannotBeClosedFromItsTitleBar) {
  dialog.SetCloseBox(false);
  dialog.Show();
  EXPECT_FALSE(dialog.UserCloseBox());
  EXPECT_TRUE(dialog.Visible());
  dialog.Close();
  EXPECT_FALSE(dialog.Visible()) << "the program can still close it";
}

TEST_F(FormTest, CentredFormsAreCentredOnTheFirstMonitor) {
  dialog.SetBounds(0, 0, 845, 650);
  dialog.SetPosition(TFormPosition::poScreenCenter);
  dialog.Show();
  // (1920 - 845) / 2 = 537, (1080 - 650) / 2 = 215.
  EXPECT_EQ(dialog.Left(), 537);
  EXPECT_EQ(dialog.Top(), 215);
}

TEST_F(FormTest, StayOnTopFormsStackAboveTheOthers) {
  main.SetStayOnTop(true);
  main.Show();
  dialog.Show();
  EXPECT_EQ(app.ZOrder(), (std::vector<TForm*>{&dialog, &main}));
  main.SetStayOnTop(false);
  EXPECT_EQ(app.ZOrder(), (std::vector<TForm*>{&main, &dialog}));
  EXPECT_EQ(app.FindFormByCaption(""), &main);
  main.SetCaption("Roarmark");
  EXPECT_EQ(app.FindFormByCaption("Roarmark"), &main);
}

TEST_F(FormTest, HidingTheActiveFormActivatesTheOneBelow) {
  main.Show();
  dialog.Show();
  log.clear();
  dialog.Hide();
  EXPECT_TRUE(main.Active());
  EXPECT_EQ(log, (std::vector<std::string>{"TForm2 hide", "TForm2 deactivate", "TForm1 activate"}));
}

}  // namespace
}  // namespace roarmark::platform::ui
