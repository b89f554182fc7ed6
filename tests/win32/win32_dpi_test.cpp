// A form that comes onto a monitor of another DPI (WM_DPICHANGED): the picture stays in device
// pixels, so the client area keeps its size and only the frame follows; a form the user dragged
// goes where the system puts it; the controls' text is made anew for the new DPI.
#include <gtest/gtest.h>

#include "platform/ui/controls.h"
#include "win32_ui_fixture.h"

namespace roarmark::platform::win32 {
namespace {

using namespace ui;

struct TDpiForm : TForm {
  explicit TDpiForm(TApplication& app) : TForm(app, "TDpiForm") {}
  TLabel Label1{this, "Label1"};
};

struct DpiCase {
  const char* name;
  TBorderStyle border;
  int dpi;
  int font_pixels;  // the label's 10 points at that DPI: 10 x dpi / 72
};

const DpiCase kCases[] = {
    {"SizeableTo150Percent", TBorderStyle::bsSizeable, 144, 20},
    {"BorderlessTo200Percent", TBorderStyle::bsNone, 192, 27},
    {"SizeableTo100Percent", TBorderStyle::bsSizeable, 96, 13},
};

class DpiChange : public testing::TestWithParam<DpiCase> {};

TEST_P(DpiChange, TheClientAreaKeepsItsDevicePixelsAndTheTextFollowsTheDpi) {
  const DpiCase& c = GetParam();
  TWin32Ui ui;
  TDpiForm form(ui.App());
  form.SetBorderStyle(c.border);
  form.SetBounds(100, 100, 300, 200);
  form.SetClientSize(640, 480);
  TFont font;
  font.Size = 10;
  form.Label1.SetFont(font);
  form.Label1.SetCaption("Level");
  form.Label1.SetBounds(8, 8, 200, 40);
  form.Show();
  ui.Settle();
  const HWND window = TWin32Ui::Window(form);
  ASSERT_NE(window, nullptr);

  // The system's suggestion: the old outer size scaled, somewhere on the other monitor.
  RECT suggested{150, 120, 150 + form.Width() * c.dpi / 96, 120 + form.Height() * c.dpi / 96};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi),
               reinterpret_cast<LPARAM>(&suggested));
  ui.Settle();

  EXPECT_EQ(form.ClientWidth(), 640);
  EXPECT_EQ(form.ClientHeight(), 480);
  EXPECT_EQ(form.Left(), 150);
  EXPECT_EQ(form.Top(), 120);
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right - outer.left, form.Width());
  EXPECT_EQ(outer.bottom - outer.top, form.Height());
  LOGFONTW shown{};
  const auto label_font =
      reinterpret_cast<HFONT>(SendMessageW(TWin32Ui::Window(form.Label1), WM_GETFONT, 0, 0));
  ASSERT_NE(label_font, nullptr);
  GetObjectW(label_font, sizeof shown, &shown);
  EXPECT_EQ(-shown.lfHeight, c.font_pixels);
}

INSTANTIATE_TEST_SUITE_P(Table, DpiChange, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<DpiCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace roarmark::platform::win32
