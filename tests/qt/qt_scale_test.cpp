// Mouse presses on the display image at a desktop scale factor (QT_SCALE_FACTOR, set by CTest per
// run): the model must see the picture pixel under the pointer. Qt reports logical positions,
// fractional where a device pixel is not a whole logical pixel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <cmath>
#include <vector>

#include "platform/qt/qt_message_loop.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/qt_ui_backend.h"
#include "platform/qt/qt_ui_peers.h"
#include "platform/ui/application.h"
#include "platform/ui/image_view.h"

namespace roarmark::platform::qt {
namespace {

using namespace ui;

struct PressCase {
  const char* name;
  double scale;  // QT_SCALE_FACTOR of the run the row belongs to
  TScaleMode mode;
  int control_width;  // logical pixels
  int control_height;
  int picture_width;
  int picture_height;
  QPointF press;  // logical
  int picture_x;  // the picture pixel the press addresses
  int picture_y;
};

// Worked by hand: the device pixel d under a logical point p is p x scale. Shown 1:1 that is the
// picture pixel. Stretched, device pixel d shows picture pixel d x picture width / device width
// (rounded down), and the model maps the control pixel X it gets to round-half-even(X x picture
// width / control width).
const PressCase kCases[] = {
    {"OneToOneAtScale1", 1.0, TScaleMode::smNormal, 40, 30, 40, 30, {7, 5}, 7, 5},
    {"StretchedTwiceAtScale1", 1.0, TScaleMode::smStretch, 40, 30, 20, 15, {9, 6}, 4, 3},
    // 32 x 24 logical is 40 x 30 device pixels. Device (2, 1) is logical (1.6, 0.8), device
    // (3, 5) is (2.4, 4).
    {"OneToOneAtScale125", 1.25, TScaleMode::smNormal, 32, 24, 40, 30, {1.6, 0.8}, 2, 1},
    {"OneToOneAtScale125Again", 1.25, TScaleMode::smNormal, 32, 24, 40, 30, {2.4, 4}, 3, 5},
    // Device (5, 3) shows picture pixel (5 x 20 / 40, 3 x 15 / 30) = (2, 1).
    {"StretchedAtScale125", 1.25, TScaleMode::smStretch, 32, 24, 20, 15, {4, 2.4}, 2, 1},
    // A picture of the logical size: device (1, 2) is logical (0.8, 1.6) and shows picture pixel
    // (1 x 32 / 40, 2 x 24 / 30) = (0, 1).
    {"StretchedLogicalSizeAtScale125",
     1.25,
     TScaleMode::smStretch,
     32,
     24,
     32,
     24,
     {0.8, 1.6},
     0,
     1},
    // 20 x 15 logical is 40 x 30 device pixels; logical (3.5, 7) is device (7, 14).
    {"OneToOneAtScale2", 2.0, TScaleMode::smNormal, 20, 15, 40, 30, {3.5, 7}, 7, 14},
    // Full screen with a picture of the screen's device size: control (5, 3) -> (10, 6).
    {"StretchedFullScreenAtScale2", 2.0, TScaleMode::smStretch, 20, 15, 40, 30, {5, 3}, 10, 6},
    // A picture of the screen's logical size, each picture pixel 2 x 2 device pixels: logical
    // (3.5, 7.5) is device (7, 15), which shows picture pixel (3, 7).
    {"StretchedLogicalSizeAtScale2", 2.0, TScaleMode::smStretch, 20, 15, 20, 15, {3.5, 7.5}, 3, 7},
};

struct TImageForm : TForm {
  explicit TImageForm(TApplication& app) : TForm(app, "TImageForm") {
    SetBorderStyle(TBorderStyle::bsNone);
  }
  TImageView Image1{this, "Image1"};
};

class QtScale : public testing::TestWithParam<PressCase> {
 protected:
  TPlatform MakePlatform() {
    TPlatform platform;
    platform.MessageLoop = &loop_;
    platform.Monitors = &monitors_;
    platform.SystemColours = &colours_;
    platform.Ui = &backend_;
    return platform;
  }

  TQtMessageLoop loop_;
  TQtMonitors monitors_;
  TQtSystemColours colours_;
  TQtUiBackend backend_{loop_, colours_};
  TApplication app_{MakePlatform()};
};

TEST_P(QtScale, APressReachesTheModelAtThePicturePixelUnderThePointer) {
  const PressCase& c = GetParam();
  const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
  if (c.scale != scale) GTEST_SKIP() << "belongs to the run at scale " << c.scale;

  TImageForm form(app_);
  form.SetBounds(0, 0, c.control_width, c.control_height);
  form.Image1.SetBounds(0, 0, c.control_width, c.control_height);
  std::vector<std::uint32_t> pixels(
      static_cast<std::size_t>(c.picture_width) * static_cast<std::size_t>(c.picture_height),
      0xFF000000u);
  form.Image1.SetScaleMode(c.mode);
  form.Image1.SetImage(TPixelsView{pixels.data(), c.picture_width, c.picture_height});
  form.Show();
  QApplication::processEvents();
  auto* peer = dynamic_cast<TWidgetPeer*>(form.Image1.Peer());
  ASSERT_NE(peer, nullptr);
  QWidget* widget = peer->Widget();
  ASSERT_EQ(widget->devicePixelRatioF(), scale);

  int got_x = -1;
  int got_y = -1;
  form.Image1.OnMouseDown = [&](TMouseButton, TShiftState, int x, int y) {
    got_x = x;
    got_y = y;
  };
  QMouseEvent press(QEvent::MouseButtonPress, c.press, widget->mapToGlobal(c.press), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);

  int x = got_x;
  int y = got_y;
  if (c.mode == TScaleMode::smStretch) {
    x = static_cast<int>(
        std::nearbyint(static_cast<double>(got_x) * c.picture_width / form.Image1.Width()));
    y = static_cast<int>(
        std::nearbyint(static_cast<double>(got_y) * c.picture_height / form.Image1.Height()));
  }
  EXPECT_EQ(x, c.picture_x);
  EXPECT_EQ(y, c.picture_y);
}

INSTANTIATE_TEST_SUITE_P(Table, QtScale, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<PressCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace roarmark::platform::qt

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
