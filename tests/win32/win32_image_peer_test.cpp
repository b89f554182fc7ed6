// The display image hands on only the areas the program drew, each on its own, as the Qt
// backend does: the pixels handed to GDI per change are the areas' pixels, not their bounding
// box (a bar at the bottom and the readout at the top of a full-screen picture would be most of
// the screen, 40 times a second).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/ui/image_view.h"
#include "platform/win32/win32_peer_kinds.h"
#include "win32_ui_fixture.h"

namespace roarmark::platform::win32 {
namespace {

using namespace ui;

struct TImageForm : TForm {
  explicit TImageForm(TApplication& app) : TForm(app, "TImageForm") {
    SetBorderStyle(TBorderStyle::bsNone);
  }
  TImageView Image1{this, "Image1"};
};

struct AreaCase {
  const char* name;
  std::vector<TRect> areas;  // drawn in one go, in the 400 x 300 picture shown 1:1
  std::uint64_t pixels;      // handed on: the sum of the areas' pixels inside the picture
};

const AreaCase kCases[] = {
    // 100 x 40 + 80 x 40; their bounding box would be 370 x 280 = 103600.
    {"BarBelowReadoutAbove", {{10, 250, 110, 290}, {300, 10, 380, 50}}, 7200},
    {"OneArea", {{50, 60, 70, 90}}, 600},
    // Overlapping areas are one, their bounding box (30 x 30), so no pixel goes twice.
    {"OverlappingAreasAsOne", {{0, 0, 20, 20}, {10, 10, 30, 30}}, 900},
    // Only the 10 x 10 inside the picture.
    {"PartlyBeyondThePicture", {{390, 290, 420, 320}}, 100},
};

class ImagePeerAreas : public testing::TestWithParam<AreaCase> {};

TEST_P(ImagePeerAreas, EachChangedAreaIsHandedOnAlone) {
  const AreaCase& c = GetParam();
  TWin32Ui ui;
  TImageForm form(ui.App());
  form.SetBounds(0, 0, 400, 300);
  form.Image1.SetBounds(0, 0, 400, 300);
  std::vector<std::uint32_t> pixels(400 * 300, 0xFF204060u);
  form.Image1.SetImage(TPixelsView{pixels.data(), 400, 300});
  form.Show();
  ui.Settle();
  const std::uint64_t before = PresentedPixels(form.Image1);
  ASSERT_GT(before, 0u) << "the picture was never painted";

  form.Image1.Changed(c.areas);
  UpdateWindow(TWin32Ui::Window(form.Image1));
  EXPECT_EQ(PresentedPixels(form.Image1) - before, c.pixels);
}

INSTANTIATE_TEST_SUITE_P(Table, ImagePeerAreas, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<AreaCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace roarmark::platform::win32
