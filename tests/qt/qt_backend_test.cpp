// The Qt backend's translations: keys, file filters, message texts, device names, formats,
// colours, and the small seams.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QTemporaryDir>

#include "platform/qt/device_names.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_keys.h"
#include "platform/qt/qt_services.h"

namespace roarmark::platform::qt {
namespace {

struct KeyCase {
  int qt_key;
  bool keypad;
  int vk;
};

class VirtualKeys : public testing::TestWithParam<KeyCase> {};

TEST_P(VirtualKeys, QtKeyBecomesTheWindowsVirtualKey) {
  EXPECT_EQ(VirtualKey(GetParam().qt_key, GetParam().keypad), GetParam().vk);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VirtualKeys,
    testing::Values(KeyCase{Qt::Key_0, false, 0x30}, KeyCase{Qt::Key_9, false, 0x39},
                    KeyCase{Qt::Key_0, true, 0x60}, KeyCase{Qt::Key_5, true, 0x65},
                    KeyCase{Qt::Key_9, true, 0x69}, KeyCase{Qt::Key_Period, true, 0x6E},
                    KeyCase{Qt::Key_Comma, true, 0x6E}, KeyCase{Qt::Key_Period, false, 0xBE},
                    KeyCase{Qt::Key_Delete, false, 0x2E}, KeyCase{Qt::Key_Delete, true, 0x2E},
                    KeyCase{Qt::Key_F1, false, 0x70}, KeyCase{Qt::Key_F12, false, 0x7B},
                    KeyCase{Qt::Key_A, false, 0x41}, KeyCase{Qt::Key_X, false, 0x58},
                    KeyCase{Qt::Key_Z, false, 0x5A}, KeyCase{Qt::Key_Escape, false, 0x1B},
                    KeyCase{Qt::Key_Return, false, 0x0D}, KeyCase{Qt::Key_Enter, true, 0x0D},
                    KeyCase{Qt::Key_Space, false, 0x20}, KeyCase{Qt::Key_Shift, false, 0x10},
                    KeyCase{Qt::Key_Control, false, 0x11}, KeyCase{Qt::Key_Alt, false, 0x12},
                    KeyCase{Qt::Key_Left, false, 0x25}, KeyCase{Qt::Key_Up, false, 0x26},
                    KeyCase{Qt::Key_Right, false, 0x27}, KeyCase{Qt::Key_Down, false, 0x28},
                    KeyCase{Qt::Key_Plus, true, 0x6B}, KeyCase{Qt::Key_Minus, true, 0x6D},
                    KeyCase{Qt::Key_AltGr, false, 0}, KeyCase{Qt::Key_MediaPlay, false, 0}));

TEST(VirtualKeys, ModifiersBecomeTheShiftState) {
  EXPECT_EQ(ShiftOf(Qt::NoModifier), ui::ssNone);
  EXPECT_EQ(ShiftOf(Qt::ControlModifier), ui::ssCtrl);
  EXPECT_EQ(ShiftOf(Qt::ShiftModifier | Qt::AltModifier), ui::ssShift | ui::ssAlt);
  EXPECT_EQ(ShiftOf(Qt::KeypadModifier), ui::ssNone);
}

struct TextCase {
  const char* in;
  const char* out;
};

class FileFilters : public testing::TestWithParam<TextCase> {};

TEST_P(FileFilters, PipeSeparatedPairsBecomeQtFilters) {
  EXPECT_EQ(QtFileFilter(GetParam().in).toStdString(), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Table, FileFilters,
                         testing::Values(TextCase{"", ""},
                                         TextCase{"Settings|*.cfg", "Settings (*.cfg)"},
                                         TextCase{"Pictures|*.bmp;*.jpg|All files|*.*",
                                                  "Pictures (*.bmp *.jpg);;All files (*.*)"},
                                         TextCase{"Bitmaps|*.bmp|dangling", "Bitmaps (*.bmp)"}));

class MessageTexts : public testing::TestWithParam<TextCase> {};

TEST_P(MessageTexts, LineBreaksBecomePlainLineFeeds) {
  EXPECT_EQ(MessageText(GetParam().in).toStdString(), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MessageTexts,
    testing::Values(TextCase{"one line", "one line"},
                    TextCase{
                        "Background image file not found -  \n\r/x/y.bmp\n\rThe default image "
                        "will be used.",
                        "Background image file not found -  \n/x/y.bmp\nThe default image will "
                        "be used."},
                    TextCase{"a\r\nb", "a\nb"},
                    TextCase{"Error.\n\r\n\rThe default", "Error.\n\nThe default"}));

struct NameCase {
  QString description;
  std::string expected;
};

class DeviceNames : public testing::TestWithParam<NameCase> {};

TEST_P(DeviceNames, AreCutToThirtyOneWholeCharacters) {
  EXPECT_EQ(ShortDeviceName(GetParam().description), GetParam().expected);
}

TEST_P(DeviceNames, Utf8DescriptionsAreCutTheSameWay) {
  const QByteArray utf8 = GetParam().description.toUtf8();
  EXPECT_EQ(ShortDeviceName(std::string_view(utf8.constData(), utf8.size())), GetParam().expected);
}

TEST(DeviceNames, InvalidUtf8BytesBecomeReplacementCharacters) {
  EXPECT_EQ(ShortDeviceName(std::string_view("Mic\xFF")), "Mic\xEF\xBF\xBD");
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i)
    out += s;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DeviceNames,
    testing::Values(NameCase{QStringLiteral("RoarMic"), "RoarMic"},
                    NameCase{QStringLiteral(" Line In (USB Audio CODEC) Analog Stereo"),
                             " Line In (USB Audio CODEC) Anal"},
                    NameCase{QString::fromUtf8(Repeat("\xC3\xA9", 32)), Repeat("\xC3\xA9", 31)},
                    NameCase{QString::fromUtf8(Repeat("\xF0\x9F\x8E\xA4", 40)),
                             Repeat("\xF0\x9F\x8E\xA4", 31)},
                    NameCase{QString::fromUtf8("Mic\0tail", 8), "Mic"}));

TEST(SettingsColours, RedSitsInTheLowByte) {
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(ToQColor(0x262600), QColor(0, 38, 38));
  EXPECT_EQ(ToSettingsColour(QColor(0, 38, 38)), 0x262600u);
  EXPECT_EQ(ToSettingsColour(QColor(18, 52, 86)), 0x563412u);
}

TEST(SystemColours, WindowAndButtonFaceComeFromThePaletteAndBeyondTheTableIsBlack) {
  TQtSystemColours colours;
  const QPalette palette = QGuiApplication::palette();
  EXPECT_EQ(colours.SystemColour(kSystemColourWindow),
            ToSettingsColour(palette.color(QPalette::Base)));
  EXPECT_EQ(colours.SystemColour(15), ToSettingsColour(palette.color(QPalette::Button)));
  EXPECT_EQ(colours.SystemColour(8), ToSettingsColour(palette.color(QPalette::Text)));
  for (int index : {31, 40, 255, -1})
    EXPECT_EQ(colours.SystemColour(index), 0u) << index;
}

TEST(Monitors, ThePrimaryComesFirstWithItsWorkAreaInsideIt) {
  TQtMonitors monitors;
  const std::vector<TMonitor> list = monitors.Monitors();
  ASSERT_FALSE(list.empty());
  EXPECT_TRUE(list.front().Primary);
  const QRect primary = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(list.front().Bounds,
            RectOfSize(primary.x(), primary.y(), primary.width(), primary.height()));
  const TRect& work = list.front().WorkArea;
  EXPECT_GE(work.Left, list.front().Bounds.Left);
  EXPECT_LE(work.Right, list.front().Bounds.Right);
}

TEST(Shell, TheDataFolderIsXdgDataHomeWithoutATrailingSlash) {
  QTemporaryDir dir;
  const QByteArray before = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", (dir.path() + "/share/").toUtf8());
  TQtShell shell;
  EXPECT_EQ(shell.CommonAppDataFolder(), (dir.path() + "/share").toStdString());
  qputenv("XDG_DATA_HOME", before);
}

TEST(Shell, OpeningAMissingDocumentFailsTheWayTheWindowsShellDoes) {
  TQtShell shell;
  EXPECT_LE(shell.OpenDocument("/nonexistent/Roarmark Help English.pdf"), 32);
}

}  // namespace
}  // namespace roarmark::platform::qt
