// The control model shown with Qt widgets: the display image pixel for pixel, keys as virtual
// keys, the close box, and user actions on native widgets reaching the model once.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <QWheelEvent>
#include <QWindow>

#include "platform/qt/qt_message_loop.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/qt_ui_backend.h"
#include "platform/qt/qt_ui_peers.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/image_view.h"

namespace roarmark::platform::qt {
namespace {

using namespace ui;

class QtControls : public testing::Test {
 protected:
  TPlatform MakePlatform() {
    TPlatform platform;
    platform.MessageLoop = &loop_;
    platform.Monitors = &monitors_;
    platform.SystemColours = &colours_;
    platform.Ui = &backend_;
    return platform;
  }

  static QWidget* WidgetOf(TControl& control) {
    auto* peer = dynamic_cast<TWidgetPeer*>(control.Peer());
    return peer ? peer->Widget() : nullptr;
  }
  void Settle() {
    for (int i = 0; i < 5; ++i)
      QApplication::processEvents();
  }
  // Where Qt sends a key: the focused widget, or the window.
  void SendKey(TForm& form, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
               bool repeat = false, quint32 scan_code = 0) {
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != WidgetOf(form)) target = WidgetOf(form);
    QKeyEvent event(type, key, modifiers, scan_code, 0, 0, QString(), repeat);
    QApplication::sendEvent(target, &event);
  }

  TQtMessageLoop loop_;
  TQtMonitors monitors_;
  TQtSystemColours colours_;
  TQtUiBackend backend_{loop_, colours_};
  TApplication app_{MakePlatform()};
};

struct TImageForm : TForm {
  explicit TImageForm(TApplication& app) : TForm(app, "TImageForm") {
    SetBorderStyle(TBorderStyle::bsNone);
    SetBounds(0, 0, 40, 30);
  }
  TImageView Image1{this, "Image1"};
};

// Counts the events of one type a widget receives.
class TEventCounter : public QObject {
 public:
  TEventCounter(QWidget* widget, QEvent::Type type, int& count) : type_(type), count_(count) {
    widget->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == type_) ++count_;
    return false;
  }

 private:
  QEvent::Type type_;
  int& count_;
};

// Opaque test pixels, distinct per position.
std::uint32_t Px(int x, int y) {
  return 0xFF000000u | static_cast<std::uint32_t>(0x10000 * (x + 1) + 0x100 * (y + 1) + 0x40);
}

TEST_F(QtControls, ImageShownOneToOneAtTheTopLeftOverGrey) {
  TImageForm form(app_);
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      pixels.push_back(Px(x, y));
  form.Image1.SetBounds(0, 0, 6, 5);
  form.Image1.SetImage(TPixelsView{pixels.data(), 4, 3});
  form.Show();
  Settle();
  const QImage shown =
      WidgetOf(form.Image1)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(6, 5));
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      const std::uint32_t expected = (x < 4 && y < 3) ? Px(x, y) : 0xFF808080u;
      EXPECT_EQ(shown.pixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(QtControls, StretchedImageSamplesTheNearestPixelFromTheLeftEdge) {
  TImageForm form(app_);
  // 2 x 2 stretched over 5 x 3: column x shows x * 2 / 5 (0 0 0 1 1), row y shows y * 2 / 3
  // (0 0 1).
  std::vector<std::uint32_t> pixels{Px(0, 0), Px(1, 0), Px(0, 1), Px(1, 1)};
  form.Image1.SetBounds(0, 0, 5, 3);
  form.Image1.SetScaleMode(TScaleMode::smStretch);
  form.Image1.SetImage(TPixelsView{pixels.data(), 2, 2});
  form.Show();
  Settle();
  const QImage shown =
      WidgetOf(form.Image1)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int columns[5] = {0, 0, 0, 1, 1};
  const int rows[3] = {0, 0, 1};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(shown.pixel(x, y), Px(columns[x], rows[y])) << x << "," << y;
}

TEST_F(QtControls, ImageRepaintsAfterTheOwnerDrewIntoIt) {
  TImageForm form(app_);
  std::vector<std::uint32_t> pixels(4, 0xFF000000u);
  form.Image1.SetBounds(0, 0, 2, 2);
  form.Image1.SetImage(TPixelsView{pixels.data(), 2, 2});
  form.Show();
  Settle();
  pixels[3] = 0xFF00FF00u;
  form.Image1.Changed();
  Settle();
  EXPECT_EQ(WidgetOf(form.Image1)->grab().toImage().pixel(1, 1), 0xFF00FF00u);
}

TEST_F(QtControls, StretchedImageRepaintsTheDeviceAreaOfAChangedPixel) {
  TImageForm form(app_);
  std::vector<std::uint32_t> pixels{Px(0, 0), Px(1, 0), Px(0, 1), Px(1, 1)};
  form.Image1.SetBounds(0, 0, 5, 3);
  form.Image1.SetScaleMode(TScaleMode::smStretch);
  form.Image1.SetImage(TPixelsView{pixels.data(), 2, 2});
  form.Show();
  Settle();
  pixels[3] = 0xFF00FF00u;  // picture pixel (1, 1): device columns 3..4 of row 2
  form.Image1.Changed();
  Settle();
  const QImage shown =
      WidgetOf(form.Image1)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int columns[5] = {0, 0, 0, 1, 1};
  const int rows[3] = {0, 0, 1};
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      const std::uint32_t expected = (x >= 3 && y == 2) ? 0xFF00FF00u : Px(columns[x], rows[y]);
      EXPECT_EQ(shown.pixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(QtControls, StretchedImageTakesOnlyTheAreaTheOwnerReports) {
  TImageForm form(app_);
  std::vector<std::uint32_t> pixels{Px(0, 0), Px(1, 0), Px(0, 1), Px(1, 1)};
  form.Image1.SetBounds(0, 0, 5, 3);
  form.Image1.SetScaleMode(TScaleMode::smStretch);
  form.Image1.SetImage(TPixelsView{pixels.data(), 2, 2});
  form.Show();
  Settle();
  WidgetOf(form.Image1)->grab();  // painted once: the stretched picture exists
  pixels[3] = 0xFF00FF00u;        // reported: picture pixel (1, 1), device columns 3..4 of row 2
  pixels[0] = 0xFFFF0000u;        // not reported: the owner said it drew only at (1, 1)
  form.Image1.Changed(TRect{1, 1, 2, 2});
  Settle();
  const QImage shown =
      WidgetOf(form.Image1)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown.pixel(3, 2), 0xFF00FF00u);
  EXPECT_EQ(shown.pixel(4, 2), 0xFF00FF00u);
  EXPECT_EQ(shown.pixel(0, 0), Px(0, 0));
  form.Image1.Changed();  // the whole picture: now the other change shows too
  Settle();
  EXPECT_EQ(
      WidgetOf(form.Image1)->grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(0, 0),
      0xFFFF0000u);
}

TEST_F(QtControls, WheelNotchesArriveOneAtATimeUpPositive) {
  TImageForm form(app_);
  form.Show();
  Settle();
  std::vector<int> steps;
  form.Image1.OnMouseWheel = [&](int step, TShiftState, int, int) { steps.push_back(step); };
  for (int delta : {240, -120}) {
    QWheelEvent wheel(QPointF(3, 3), QPointF(3, 3), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(WidgetOf(form.Image1), &wheel);
  }
  EXPECT_EQ(steps, (std::vector<int>{1, 1, -1}));
}

struct KeyEventCase {
  const char* name;
  int qt_key;
  Qt::KeyboardModifiers modifiers;
  int vk;
  TShiftState shift;
  quint32 scan_code = 0;  // the key's position; 0 where the test has none
};

class QtKeys : public QtControls, public testing::WithParamInterface<KeyEventCase> {};

TEST_P(QtKeys, KeyReleaseReachesTheFormAsVirtualKeyWithModifiers) {
  TImageForm form(app_);
  form.SetKeyPreview(true);
  form.Show();
  Settle();
  std::vector<std::pair<int, TShiftState>> ups;
  form.OnKeyUp = [&](int& key, TShiftState shift) { ups.emplace_back(key, shift); };
  const KeyEventCase& c = GetParam();
  SendKey(form, QEvent::KeyPress, c.qt_key, c.modifiers, false, c.scan_code);
  SendKey(form, QEvent::KeyRelease, c.qt_key, c.modifiers, false, c.scan_code);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(ups[0].first, c.vk);
  EXPECT_EQ(ups[0].second, c.shift);
}

INSTANTIATE_TEST_SUITE_P(
    Table, QtKeys,
    testing::Values(
        KeyEventCase{"KeypadFive", Qt::Key_5, Qt::KeypadModifier, 0x65, ssNone},
        KeyEventCase{"MainFive", Qt::Key_5, Qt::NoModifier, 0x35, ssNone},
        KeyEventCase{"CtrlX", Qt::Key_X, Qt::ControlModifier, 0x58, ssCtrl},
        KeyEventCase{"CtrlThree", Qt::Key_3, Qt::ControlModifier, 0x33, ssCtrl},
        KeyEventCase{"ShiftAltF2", Qt::Key_F2, Qt::ShiftModifier | Qt::AltModifier, 0x71,
                     ssShift | ssAlt},
        KeyEventCase{"KeypadDecimal", Qt::Key_Period, Qt::KeypadModifier, 0x6E, ssNone},
        KeyEventCase{"Delete", Qt::Key_Delete, Qt::NoModifier, 0x2E, ssNone},
        // The digit row by position: AZERTY's unshifted "&" and "à" are 1 and 0,
        // Shift's symbols keep their digit.
        KeyEventCase{"AzertyCtrlOne", Qt::Key_Ampersand, Qt::ControlModifier, 0x31, ssCtrl, 10},
        KeyEventCase{"AzertyCtrlZero", Qt::Key_Agrave, Qt::ControlModifier, 0x30, ssCtrl, 19},
        KeyEventCase{"QwertzCtrlShiftTwo", Qt::Key_QuoteDbl,
                     Qt::ControlModifier | Qt::ShiftModifier, 0x32, ssCtrl | ssShift, 11},
        KeyEventCase{"ShiftNine", Qt::Key_ParenLeft, Qt::ShiftModifier, 0x39, ssShift, 18},
        KeyEventCase{"KeypadSevenByPosition", Qt::Key_7, Qt::KeypadModifier, 0x67, ssNone, 79},
        // AltGr is its own shift level, not Ctrl and Alt held.
        KeyEventCase{"AltGrR", Qt::Key_R, Qt::GroupSwitchModifier, 0x52, ssNone, 27}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QtControls, AutoRepeatedReleasesAreIgnoredButRepeatedPressesCount) {
  TImageForm form(app_);
  form.SetKeyPreview(true);
  form.Show();
  Settle();
  int downs = 0;
  int ups = 0;
  form.OnKeyDown = [&](int&, TShiftState) { ++downs; };
  form.OnKeyUp = [&](int&, TShiftState) { ++ups; };
  SendKey(form, QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
  SendKey(form, QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, true);
  SendKey(form, QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, true);
  SendKey(form, QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
  EXPECT_EQ(downs, 2);
  EXPECT_EQ(ups, 1);
}

struct TTwoForms {
  TImageForm Main;
  TForm Other;
  explicit TTwoForms(TApplication& app) : Main(app), Other(app, "Other") {
    Other.SetBounds(50, 50, 100, 80);
  }
};

TEST_F(QtControls, CloseBoxAsksTheModelAndQtNeverClosesByItself) {
  TTwoForms forms(app_);
  forms.Main.Show();
  forms.Other.Show();
  Settle();
  int queries = 0;
  bool allow = false;
  forms.Other.OnCloseQuery = [&](bool& can_close) {
    ++queries;
    can_close = allow;
  };
  WidgetOf(forms.Other)->close();
  Settle();
  EXPECT_EQ(queries, 1);
  EXPECT_TRUE(forms.Other.Visible());
  EXPECT_TRUE(WidgetOf(forms.Other)->isVisible());

  allow = true;
  WidgetOf(forms.Other)->close();
  Settle();
  EXPECT_EQ(queries, 2);
  EXPECT_FALSE(forms.Other.Visible());
  EXPECT_FALSE(WidgetOf(forms.Other)->isVisible());
}

TEST_F(QtControls, BorderlessAndStayOnTopBecomeWindowFlags) {
  TTwoForms forms(app_);
  forms.Other.Show();
  Settle();
  QWidget* window = WidgetOf(forms.Other);
  EXPECT_FALSE(window->windowFlags() & Qt::FramelessWindowHint);
  forms.Other.SetBorderStyle(TBorderStyle::bsNone);
  forms.Other.SetStayOnTop(true);
  Settle();
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(backend_.FrameExtents(TBorderStyle::bsNone), kNoFrame);
  // Without a frame the client area is the outer rectangle.
  EXPECT_EQ(window->geometry(), QRect(50, 50, 100, 80));
}

TEST_F(QtControls, StayOnTopSwitchesOnTheWindowOnScreenWithoutHidingIt) {
  TTwoForms forms(app_);
  forms.Main.Show();
  Settle();
  QWidget* window = WidgetOf(forms.Main);
  const WId native = window->winId();
  int hides = 0;
  TEventCounter counter(window, QEvent::Hide, hides);
  for (bool on : {true, false, true}) {
    forms.Main.SetStayOnTop(on);
    Settle();
    EXPECT_EQ(bool(window->windowFlags() & Qt::WindowStaysOnTopHint), on);
    EXPECT_EQ(bool(window->windowHandle()->flags() & Qt::WindowStaysOnTopHint), on);
  }
  EXPECT_EQ(hides, 0);
  EXPECT_EQ(window->winId(), native);
  EXPECT_TRUE(window->isVisible());
}

TEST_F(QtControls, ADialogWithoutCloseBoxHasNoCloseButtonAndStaysWhenAskedToClose) {
  TForm dialog(app_, "Dialog");
  dialog.SetBorderStyle(TBorderStyle::bsDialog);
  dialog.SetCloseBox(false);
  dialog.SetBounds(10, 10, 200, 100);
  dialog.Show();
  Settle();
  QWidget* window = WidgetOf(dialog);
  EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(window->windowFlags() & Qt::WindowSystemMenuHint);
  window->close();  // what the window manager's close (Alt+F4) does
  Settle();
  EXPECT_TRUE(dialog.Visible());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(QtControls, AnActivationTheWindowManagerRefusedDoesNotSwallowTheUsersNext) {
  TTwoForms forms(app_);
  forms.Main.Show();
  forms.Other.Show();
  Settle();
  QWidget* main = WidgetOf(forms.Main);
  QWidget* other = WidgetOf(forms.Other);
  // Granted: the activations until the window asked for is active are only echoes.
  backend_.RequestActivation(other);
  EXPECT_FALSE(backend_.UserActivated(main));
  EXPECT_FALSE(backend_.UserActivated(other));
  EXPECT_TRUE(backend_.UserActivated(main));
  // Refused: once the request has had its time, the user's activations count again.
  backend_.RequestActivation(main);
  QThread::msleep(TQtUiBackend::kActivationEchoMs + 50);
  EXPECT_TRUE(backend_.UserActivated(other));
  EXPECT_TRUE(backend_.UserActivated(main));
}

struct TFieldsForm : TForm {
  explicit TFieldsForm(TApplication& app) : TForm(app, "TFieldsForm") {
    SetBounds(0, 0, 300, 200);
    Edit1.SetBounds(10, 10, 80, 21);
    Check1.SetBounds(10, 40, 80, 21);
    Combo1.SetBounds(10, 70, 80, 21);
    Label1.SetBounds(10, 100, 80, 21);
  }
  TEdit Edit1{this, "Edit1"};
  TCheckBox Check1{this, "Check1"};
  TComboBox Combo1{this, "Combo1"};
  TLabel Label1{this, "Label1"};
};

TEST_F(QtControls, TypingIntoAFieldChangesTheModelOnceAndRefusedCharactersVanish) {
  TFieldsForm form(app_);
  form.Edit1.SetNumbersOnly(true);
  form.Show();
  Settle();
  std::vector<std::string> changes;
  form.Edit1.OnChange = [&] { changes.push_back(form.Edit1.Text()); };
  auto* line = static_cast<QLineEdit*>(WidgetOf(form.Edit1));
  line->setFocus();
  for (const char* ch : {"1", "a", "2"}) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromLatin1(ch));
    QApplication::sendEvent(line, &press);
  }
  EXPECT_EQ(form.Edit1.Text(), "12");
  EXPECT_EQ(line->text(), QStringLiteral("12"));
  EXPECT_EQ(changes, (std::vector<std::string>{"1", "12"}));

  form.Edit1.SetText("77");
  EXPECT_EQ(line->text(), QStringLiteral("77"));
  EXPECT_EQ(changes.size(), 3u);  // the model's own change handler, once
}

struct TPanelForm : TForm {
  explicit TPanelForm(TApplication& app) : TForm(app, "TPanelForm") {
    SetBounds(0, 0, 200, 100);
    Panel1.SetBounds(0, 0, 200, 100);
    Edit1.SetBounds(10, 10, 80, 21);
  }
  TPanel Panel1{this, "Panel1"};
  TEdit Edit1{&Panel1, "Edit1"};
};

TEST_F(QtControls, AFieldInADisabledPanelLosesItsRedAndItsTextTurnsGrey) {
  TPanelForm form(app_);
  form.Edit1.SetColour(clRed);
  form.Edit1.SetText("12");
  form.Show();
  Settle();
  QWidget* line = WidgetOf(form.Edit1);
  const QPoint inside(line->width() - 6, line->height() / 2);  // right of the text
  EXPECT_EQ(line->grab().toImage().pixelColor(inside), QColor(Qt::red));

  form.Panel1.SetEnabled(false);
  Settle();
  ASSERT_FALSE(line->isEnabled());
  EXPECT_NE(line->grab().toImage().pixelColor(inside), QColor(Qt::red));
  EXPECT_NE(line->palette().color(QPalette::Disabled, QPalette::Text),
            line->palette().color(QPalette::Active, QPalette::Text));

  form.Panel1.SetEnabled(true);
  Settle();
  EXPECT_EQ(line->grab().toImage().pixelColor(inside), QColor(Qt::red));
}

TEST_F(QtControls, ClickingACheckBoxTogglesTheModelWhichTheWidgetFollows) {
  TFieldsForm form(app_);
  form.Show();
  Settle();
  int clicks = 0;
  form.Check1.OnClick = [&] { ++clicks; };
  auto* check = static_cast<QCheckBox*>(WidgetOf(form.Check1));
  check->click();
  EXPECT_TRUE(form.Check1.Checked());
  EXPECT_TRUE(check->isChecked());
  EXPECT_EQ(clicks, 1);
  form.Check1.SetChecked(false);
  EXPECT_FALSE(check->isChecked());
  EXPECT_EQ(clicks, 2);
}

TEST_F(QtControls, ChoosingAnEntryRunsTheHandlersSettingItRunsNone) {
  TFieldsForm form(app_);
  form.Combo1.SetItems({"English", "Dutch", "French"});
  form.Show();
  Settle();
  int changes = 0;
  form.Combo1.OnChange = [&] { ++changes; };
  auto* box = static_cast<QComboBox*>(WidgetOf(form.Combo1));
  ASSERT_EQ(box->count(), 3);
  emit box->activated(1);
  EXPECT_EQ(form.Combo1.ItemIndex(), 1);
  EXPECT_EQ(changes, 1);
  form.Combo1.SetItemIndex(2);
  EXPECT_EQ(box->currentIndex(), 2);
  EXPECT_EQ(changes, 1);
}

TEST_F(QtControls, AClickOnALabelRunsPressClickReleaseInThatOrder) {
  TFieldsForm form(app_);
  form.Show();
  Settle();
  std::string trace;
  form.Label1.OnMouseDown = [&](TMouseButton, TShiftState, int, int) { trace += "down "; };
  form.Label1.OnClick = [&] { trace += "click "; };
  form.Label1.OnMouseUp = [&](TMouseButton, TShiftState, int, int) { trace += "up"; };
  QWidget* label = WidgetOf(form.Label1);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), label->mapToGlobal(QPointF(5, 5)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), label->mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(label, &press);
  QApplication::sendEvent(label, &release);
  EXPECT_EQ(trace, "down click up");
}

TEST_F(QtControls, HiddenControlsHideTheirWidgets) {
  TFieldsForm form(app_);
  form.Show();
  Settle();
  form.Edit1.SetVisible(false);
  EXPECT_FALSE(WidgetOf(form.Edit1)->isVisible());
  form.Edit1.SetEnabled(false);
  form.Edit1.SetVisible(true);
  EXPECT_TRUE(WidgetOf(form.Edit1)->isVisible());
  EXPECT_FALSE(WidgetOf(form.Edit1)->isEnabled());
}

}  // namespace
}  // namespace roarmark::platform::qt
