// Raster surface: colour conversion, fills, frames, copies, XOR outline and polygons.
#include "display/bitmap32.h"

#include <gtest/gtest.h>

#include <memory_resource>
#include <utility>
#include <vector>

#include "display_test_support.h"

namespace roarmark {
namespace {

using testing::ExpectPixels;
using testing::Inside;
using testing::kSentinel;
using testing::SentinelBitmap;

constexpr TColor32 kInk = 0xFF102030;

// --- Color32 ----------------------------------------------------------------------------------

struct ColourCase {
  const char* name;
  TColor colour;
  bool with_table;
  TColor32 expected;
};

class Color32Test : public ::testing::TestWithParam<ColourCase> {};

TEST_P(Color32Test, SwapsRedAndBlueAndMakesOpaque) {
  const ColourCase& c = GetParam();
  testing::TTestSystemColours table;
  EXPECT_EQ(Color32(c.colour, c.with_table ? &table : nullptr), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, Color32Test,
    ::testing::Values(ColourCase{"DefaultBasePureBlue", 0xFF0000, false, 0xFF0000FF},
                      ColourCase{"DefaultBarBackground", 0x262600, false, 0xFF002626},
                      ColourCase{"Red", 0x0000FF, false, 0xFFFF0000},
                      ColourCase{"Black", 0x000000, false, 0xFF000000},
                      ColourCase{"Mixed", 0x123456, false, 0xFF563412},
                      ColourCase{"SystemWindowColour", 0x80000005, true, 0xFFC0D0E0},
                      ColourCase{"SystemIndexIsLowByte", 0x80000105, true, 0xFFC0D0E0},
                      ColourCase{"SystemColourWithoutTableIsBlack", 0x80000005, false, 0xFF000000},
                      ColourCase{"UnknownSystemIndexIsBlack", 0x800000FF, true, 0xFF000000}),
    [](const auto& info) { return info.param.name; });

// --- Sizes ------------------------------------------------------------------------------------

struct SizeCase {
  const char* name;
  std::int64_t width, height;
  bool accepted;
  int expected_width, expected_height;
};

class SetSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SetSizeTest, NonPositiveOrAbsurdSizesGiveAnEmptyBitmap) {
  const SizeCase& c = GetParam();
  TBitmap32 b;
  b.SetSize(4, 4);
  EXPECT_EQ(b.SetSize(c.width, c.height), c.accepted);
  EXPECT_EQ(b.Width(), c.expected_width);
  EXPECT_EQ(b.Height(), c.expected_height);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SetSizeTest,
                         ::testing::Values(SizeCase{"Normal", 3, 2, true, 3, 2},
                                           SizeCase{"ZeroWidth", 0, 5, true, 0, 0},
                                           SizeCase{"NegativeWidth", -3, 4, true, 0, 0},
                                           SizeCase{"NegativeHeight", 3, -4, true, 0, 0},
                                           SizeCase{"TooManyPixels", 1 << 20, 1 << 20, false, 0, 0},
                                           SizeCase{"BeyondInt", 1LL << 40, 1, false, 0, 0}),
                         [](const auto& info) { return info.param.name; });

TEST(BitmapOperations, EverythingOnAnEmptyBitmapIsHarmless) {
  TBitmap32 b;
  b.FillRectS(0, 0, 10, 10, kInk);
  b.FrameRectS(0, 0, 10, 10, kInk);
  b.XorOutline(0, 0, 10, 10);
  TBitmap32 src = SentinelBitmap(3, 3);
  b.Draw(0, 0, src);
  b.Draw(TRect{0, 0, 6, 6}, src.BoundsRect(), src);
  TPolygon32 p;
  p.Add(0, 0);
  p.Add(5, 0);
  p.Add(0, 5);
  p.DrawFill(b, kInk);
  p.DrawEdge(b, kInk);
  EXPECT_TRUE(b.Empty());
}

// --- Fill and frame ---------------------------------------------------------------------------

struct RectCase {
  const char* name;
  TRect rect;
  std::vector<TRect> painted;  // worked out by hand from the half-open rules
};

class FillRectTest : public ::testing::TestWithParam<RectCase> {};

TEST_P(FillRectTest, PaintsOnlyTheClippedHalfOpenRectangle) {
  const RectCase& c = GetParam();
  TBitmap32 b = SentinelBitmap(10, 8);
  b.FillRectS(c.rect, kInk);
  ExpectPixels(b, [&](int x, int y) {
    for (const TRect& r : c.painted) {
      if (Inside(x, y, r.Left, r.Top, r.Right, r.Bottom)) return kInk;
    }
    return kSentinel;
  });
}

INSTANTIATE_TEST_SUITE_P(
    Rects, FillRectTest,
    ::testing::Values(
        RectCase{"Inside", {2, 3, 5, 6}, {{2, 3, 5, 6}}},
        RectCase{"OverTopLeft", {-3, -2, 2, 1}, {{0, 0, 2, 1}}},
        RectCase{"OverBottomRight", {8, 6, 20, 20}, {{8, 6, 10, 8}}},
        RectCase{"WhollyRight", {10, 0, 12, 5}, {}}, RectCase{"WhollyAbove", {0, -5, 10, 0}, {}},
        RectCase{"ZeroWidth", {3, 3, 3, 6}, {}}, RectCase{"Reversed", {5, 3, 2, 6}, {}},
        RectCase{"Huge", {-(1LL << 40), -(1LL << 40), 1LL << 40, 1LL << 40}, {{0, 0, 10, 8}}}),
    [](const auto& info) { return info.param.name; });

class FrameRectTest : public ::testing::TestWithParam<RectCase> {};

TEST_P(FrameRectTest, DrawsTheOnePixelOutlineClipped) {
  const RectCase& c = GetParam();
  TBitmap32 b = SentinelBitmap(10, 8);
  b.FrameRectS(c.rect, kInk);
  ExpectPixels(b, [&](int x, int y) {
    for (const TRect& r : c.painted) {
      if (Inside(x, y, r.Left, r.Top, r.Right, r.Bottom)) return kInk;
    }
    return kSentinel;
  });
}

INSTANTIATE_TEST_SUITE_P(
    Rects, FrameRectTest,
    ::testing::Values(
        RectCase{"Box", {1, 1, 5, 4}, {{1, 1, 5, 2}, {1, 3, 5, 4}, {1, 2, 2, 3}, {4, 2, 5, 3}}},
        RectCase{"HeightOneIsOneRow", {2, 2, 6, 3}, {{2, 2, 6, 3}}},
        RectCase{"HeightTwoIsTwoRows", {2, 2, 6, 4}, {{2, 2, 6, 3}, {2, 3, 6, 4}}},
        RectCase{"WidthOneIsOneColumn", {3, 1, 4, 6}, {{3, 1, 4, 6}}},
        RectCase{"PartlyOutside", {-2, -2, 3, 3}, {{0, 2, 3, 3}, {2, 0, 3, 2}}},
        RectCase{"Empty", {3, 3, 3, 5}, {}}, RectCase{"WhollyOutside", {11, 1, 15, 5}, {}}),
    [](const auto& info) { return info.param.name; });

TEST(BitmapOperations, ClearSetsEveryPixel) {
  TBitmap32 b = SentinelBitmap(4, 3);
  b.Clear(kInk);
  ExpectPixels(b, [](int, int) { return kInk; });
}

// --- Copies -----------------------------------------------------------------------------------

// A 3 x 2 source whose pixels tell where they came from: 0xFF0000yx.
TBitmap32 NumberedSource(int w = 3, int h = 2) {
  TBitmap32 s;
  s.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      s.SetPixel(x, y, 0xFF000000u | static_cast<TColor32>(y << 4 | x));
  }
  return s;
}

TColor32 Numbered(int x, int y) {
  return 0xFF000000u | static_cast<TColor32>(y << 4 | x);
}

// --- Where the pixels live ---------------------------------------------------------------------

// Memory that knows which blocks it gave.
class TRecordingMemory final : public std::pmr::memory_resource {
 public:
  bool Holds(const void* p) const {
    for (const auto& [block, bytes] : blocks_) {
      const auto* b = static_cast<const char*>(block);
      if (p >= block && static_cast<const char*>(p) < b + bytes) return true;
    }
    return false;
  }

 private:
  void* do_allocate(std::size_t bytes, std::size_t alignment) override {
    void* p = std::pmr::new_delete_resource()->allocate(bytes, alignment);
    blocks_.emplace_back(p, bytes);
    return p;
  }
  void do_deallocate(void* p, std::size_t bytes, std::size_t alignment) override {
    std::erase_if(blocks_, [p](const auto& b) { return b.first == p; });
    std::pmr::new_delete_resource()->deallocate(p, bytes, alignment);
  }
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }
  std::vector<std::pair<void*, std::size_t>> blocks_;
};

struct MemoryCase {
  const char* name;
  // Gives the bitmap looked at, made with `memory` somewhere on the way.
  TBitmap32 (*make)(TRecordingMemory& memory);
  bool in_memory;
};

class MemoryTest : public ::testing::TestWithParam<MemoryCase> {};

TEST_P(MemoryTest, PixelsLiveWhereTheBitmapWasToldAndKeepTheirValues) {
  TRecordingMemory memory;
  const TBitmap32 b = GetParam().make(memory);
  ASSERT_EQ(b.Width(), 3);
  EXPECT_EQ(memory.Holds(b.Bits()), GetParam().in_memory);
  ExpectPixels(b, Numbered);
}

INSTANTIATE_TEST_SUITE_P(Memories, MemoryTest,
                         ::testing::Values(MemoryCase{"PixelsMovedInWithTheirValues",
                                                      [](TRecordingMemory& m) {
                                                        TBitmap32 b = NumberedSource();
                                                        b.SetMemory(&m);
                                                        return b;
                                                      },
                                                      true},
                                           MemoryCase{"SizedAndDrawnAfterwards",
                                                      [](TRecordingMemory& m) {
                                                        TBitmap32 b;
                                                        b.SetMemory(&m);
                                                        b.SetSize(3, 2);
                                                        b.Draw(0, 0, NumberedSource());
                                                        return b;
                                                      },
                                                      true},
                                           MemoryCase{"ACopyIsOnTheHeap",
                                                      [](TRecordingMemory& m) {
                                                        TBitmap32 b = NumberedSource();
                                                        b.SetMemory(&m);
                                                        TBitmap32 copy(b);
                                                        return copy;
                                                      },
                                                      false},
                                           MemoryCase{"NoneIsTheHeapAgain",
                                                      [](TRecordingMemory& m) {
                                                        TBitmap32 b = NumberedSource();
                                                        b.SetMemory(&m);
                                                        b.SetMemory(nullptr);
                                                        return b;
                                                      },
                                                      false}),
                         [](const auto& info) { return info.param.name; });

struct CopyCase {
  const char* name;
  std::int64_t x, y;
  TRect source_rect;
  // Destination pixel (dx, dy) shows source (dx - shift_x, dy - shift_y) inside `copied`.
  TRect copied;
  int shift_x, shift_y;
};

class PartCopyTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(PartCopyTest, CopiesTheOverlapAtItsPlaceAndKeepsTheRest) {
  const CopyCase& c = GetParam();
  const TBitmap32 src = NumberedSource();
  TBitmap32 dst = SentinelBitmap(6, 5);
  dst.Draw(c.x, c.y, c.source_rect, src);
  ExpectPixels(dst, [&](int x, int y) {
    if (Inside(x, y, c.copied.Left, c.copied.Top, c.copied.Right, c.copied.Bottom)) {
      return Numbered(x - c.shift_x, y - c.shift_y);
    }
    return kSentinel;
  });
}

INSTANTIATE_TEST_SUITE_P(
    Copies, PartCopyTest,
    ::testing::Values(CopyCase{"WholeInside", 1, 2, {0, 0, 3, 2}, {1, 2, 4, 4}, 1, 2},
                      CopyCase{"ClippedBottomRight", 4, 4, {0, 0, 3, 2}, {4, 4, 6, 5}, 4, 4},
                      CopyCase{"ClippedTopLeft", -1, -1, {0, 0, 3, 2}, {0, 0, 2, 1}, -1, -1},
                      CopyCase{"PartOfSource", 0, 0, {1, 1, 3, 2}, {0, 0, 2, 1}, -1, -1},
                      // The rectangle starts one column left of the source: the overlap
                      // lands one column right of the given point.
                      CopyCase{"SourceRectBeyondSource", 2, 1, {-1, 0, 2, 3}, {3, 1, 5, 3}, 3, 1},
                      CopyCase{"SourceRectOutsideSource", 0, 0, {5, 5, 8, 8}, {0, 0, 0, 0}, 0, 0}),
    [](const auto& info) { return info.param.name; });

TEST(BitmapCopies, WholeSourceToAPoint) {
  const TBitmap32 src = NumberedSource();
  TBitmap32 dst = SentinelBitmap(6, 5);
  dst.Draw(4, 4, src);
  ExpectPixels(dst, [](int x, int y) {
    return Inside(x, y, 4, 4, 6, 5) ? Numbered(x - 4, y - 4) : kSentinel;
  });
}

struct ScaleCase {
  const char* name;
  int src_w, src_h;
  TRect dest, source;
  std::vector<int> columns;  // expected source column per dest column, -1 kept
  std::vector<int> rows;     // expected source row per dest row, -1 kept
};

class ScaledCopyTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaledCopyTest, TakesTheSourcePixelUnderEachDestinationCentre) {
  const ScaleCase& c = GetParam();
  const TBitmap32 src = NumberedSource(c.src_w, c.src_h);
  TBitmap32 dst =
      SentinelBitmap(static_cast<int>(c.columns.size()), static_cast<int>(c.rows.size()));
  dst.Draw(c.dest, c.source, src);
  ExpectPixels(dst, [&](int x, int y) {
    const int sx = c.columns[static_cast<std::size_t>(x)];
    const int sy = c.rows[static_cast<std::size_t>(y)];
    return sx < 0 || sy < 0 ? kSentinel : Numbered(sx, sy);
  });
}

INSTANTIATE_TEST_SUITE_P(
    Scales, ScaledCopyTest,
    ::testing::Values(
        // 2 x 2 doubled: every source pixel becomes a 2 x 2 block.
        ScaleCase{"Double", 2, 2, {0, 0, 4, 4}, {0, 0, 2, 2}, {0, 0, 1, 1}, {0, 0, 1, 1}},
        // 4 x 1 halved: centres 0.5 and 1.5 map to source 1.0 and 3.0.
        ScaleCase{"Halve", 4, 1, {0, 0, 2, 1}, {0, 0, 4, 1}, {1, 3}, {0}},
        ScaleCase{"SameSizeIsACopy", 3, 2, {1, 0, 4, 2}, {0, 0, 3, 2}, {-1, 0, 1, 2, -1}, {0, 1}},
        // Tripled into a rectangle hanging off the left edge: dest columns 0..2 are
        // rectangle columns 3..5, source column 1.
        ScaleCase{"ClippedDest", 2, 1, {-3, 0, 3, 3}, {0, 0, 2, 1}, {1, 1, 1, -1}, {0, 0, 0}},
        // A source rectangle reaching past the source keeps destination pixels there.
        // (Doubled: source columns 2 and 3 do not exist.)
        ScaleCase{"SourceBeyondEdge",
                  2,
                  1,
                  {0, 0, 8, 1},
                  {0, 0, 4, 1},
                  {0, 0, 1, 1, -1, -1, -1, -1},
                  {0}}),
    [](const auto& info) { return info.param.name; });

// --- XOR outline ------------------------------------------------------------------------------

TBitmap32 Patterned(int w, int h) {
  TBitmap32 b;
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y, 0xFF000000u | static_cast<TColor32>(x * 0x1311 + y * 0x070503));
  }
  return b;
}

TEST(XorOutline, InvertsTheRedChannelOfTheOutlineOnly) {
  const TBitmap32 before = Patterned(10, 8);
  TBitmap32 b = before;
  b.XorOutline(6, 5, 1, 1);  // corners given bottom-right first
  ExpectPixels(b, [&](int x, int y) {
    const bool outline = Inside(x, y, 1, 1, 6, 5) && !Inside(x, y, 2, 2, 5, 4);
    return before.Pixel(x, y) ^ (outline ? 0x00FF0000u : 0u);
  });
}

TEST(XorOutline, TwiceRestoresTheBitmapEvenWhenClipped) {
  for (const TRect r : {TRect{1, 1, 6, 5}, TRect{-3, -2, 4, 20}, TRect{2, 3, 3, 4}}) {
    const TBitmap32 before = Patterned(10, 8);
    TBitmap32 b = before;
    b.XorOutline(r.Left, r.Top, r.Right, r.Bottom);
    b.XorOutline(r.Left, r.Top, r.Right, r.Bottom);
    ExpectPixels(b, [&](int x, int y) { return before.Pixel(x, y); });
  }
}

TEST(XorOutline, DesignFrameReachesUpFromTheBottomEdgeOrDownForNegativeHeight) {
  const TBitmap32 before = Patterned(10, 12);
  TBitmap32 up = before;
  DrawDesignFrame(up, 2, 6, 4, 3);  // box (2, 3) .. (6, 6)
  TBitmap32 down = before;
  DrawDesignFrame(down, 2, 6, 4, -3);  // box (2, 6) .. (6, 9)
  const auto outline = [](int x, int y, int top) {
    return Inside(x, y, 2, top, 6, top + 3) && !Inside(x, y, 3, top + 1, 5, top + 2);
  };
  ExpectPixels(
      up, [&](int x, int y) { return before.Pixel(x, y) ^ (outline(x, y, 3) ? 0x00FF0000u : 0u); });
  ExpectPixels(down, [&](int x, int y) {
    return before.Pixel(x, y) ^ (outline(x, y, 6) ? 0x00FF0000u : 0u);
  });
}

// --- Polygons ---------------------------------------------------------------------------------

constexpr TColor32 kWhite = 0xFFFFFFFF;

TPolygon32 Polygon(std::initializer_list<TPoint64> points, bool closed = true) {
  TPolygon32 p;
  for (const TPoint64& q : points)
    p.Add(q.X, q.Y);
  p.Closed = closed;
  return p;
}

TEST(PolygonFill, AxisAlignedRectangleCoversWholePixelsExactly) {
  TBitmap32 b = SentinelBitmap(8, 6);
  Polygon({{2, 1}, {6, 1}, {6, 4}, {2, 4}}).DrawFill(b, kInk);
  ExpectPixels(b, [](int x, int y) { return Inside(x, y, 2, 1, 6, 4) ? kInk : kSentinel; });
}

TEST(PolygonFill, ClipsToTheBitmapWhateverTheCoordinates) {
  TBitmap32 b = SentinelBitmap(8, 6);
  Polygon({{-5, -5}, {3, -5}, {3, 2}, {-5, 2}}).DrawFill(b, kInk);
  ExpectPixels(b, [](int x, int y) { return Inside(x, y, 0, 0, 3, 2) ? kInk : kSentinel; });

  TBitmap32 whole = SentinelBitmap(8, 6);
  const std::int64_t far = 1LL << 40;
  Polygon({{-far, -far}, {far, -far}, {far, far}, {-far, far}}).DrawFill(whole, kInk);
  ExpectPixels(whole, [](int, int) { return kInk; });
}

TEST(PolygonFill, EvenOddLeavesTheInnerRingEmpty) {
  TBitmap32 b = SentinelBitmap(8, 8);
  // Outer square, a bridge in, and the inner square: the bridge is crossed twice.
  Polygon({{0, 0}, {8, 0}, {8, 8}, {0, 8}, {0, 0}, {2, 2}, {2, 6}, {6, 6}, {6, 2}, {2, 2}})
      .DrawFill(b, kInk);
  ExpectPixels(b, [](int x, int y) { return Inside(x, y, 2, 2, 6, 6) ? kSentinel : kInk; });
}

TEST(PolygonFill, EdgePixelsAreBlendedByTheirCoveredSamples) {
  TBitmap32 b;
  b.SetSize(6, 6);
  b.Clear(0xFF000000);
  // Triangle x + y < 4: pixel (1, 2) holds the samples with i + j < 7 of its 8 x 8 grid,
  // 28 of 64, so white is blended in at 28/64 of 255 = 112.
  Polygon({{0, 0}, {4, 0}, {0, 4}}).DrawFill(b, kWhite);
  EXPECT_EQ(b.Pixel(0, 0), kWhite);
  EXPECT_EQ(b.Pixel(1, 2), 0xFF707070u);
  EXPECT_EQ(b.Pixel(2, 1), 0xFF707070u);
  EXPECT_EQ(b.Pixel(2, 2), 0xFF000000u);  // x + y >= 4 everywhere in it
}

TEST(PolygonEdge, HorizontalLineCoversItsPixelsOnly) {
  TBitmap32 b = SentinelBitmap(8, 5);
  Polygon({{1, 2}, {5, 2}}, false).DrawEdge(b, kInk);
  ExpectPixels(b, [](int x, int y) { return y == 2 && x >= 1 && x <= 5 ? kInk : kSentinel; });
}

TEST(PolygonEdge, ShallowLineSharesHalfwayStepsBetweenTwoPixels) {
  TBitmap32 b;
  b.SetSize(6, 4);
  b.Clear(0xFF000000);
  // From (0, 0) to (4, 2): at x = 1 and x = 3 the line is half-way between two rows.
  Polygon({{0, 0}, {4, 2}}, false).DrawEdge(b, kWhite);
  const TColor32 half = 0xFF808080;
  const TColor32 black = 0xFF000000;
  const TColor32 expected[4][6] = {{kWhite, half, black, black, black, black},
                                   {black, half, kWhite, half, black, black},
                                   {black, black, black, half, kWhite, black},
                                   {black, black, black, black, black, black}};
  ExpectPixels(b, [&](int x, int y) { return expected[y][x]; });
}

TEST(PolygonEdge, ClosedJoinsLastToFirstOpenDoesNot) {
  const auto draw = [](bool closed) {
    TBitmap32 b = SentinelBitmap(6, 6);
    Polygon({{0, 0}, {4, 0}, {4, 4}}, closed).DrawEdge(b, kInk);
    return b;
  };
  const TBitmap32 open = draw(false);
  const TBitmap32 closed = draw(true);
  // The diagonal from (4, 4) back to (0, 0) passes through (2, 2) and (1, 1).
  EXPECT_EQ(open.Pixel(2, 2), kSentinel);
  EXPECT_EQ(open.Pixel(1, 1), kSentinel);
  EXPECT_EQ(closed.Pixel(2, 2), kInk);
  EXPECT_EQ(closed.Pixel(1, 1), kInk);
  for (const TBitmap32* b : {&open, &closed}) {
    EXPECT_EQ(b->Pixel(0, 0), kInk);
    EXPECT_EQ(b->Pixel(4, 0), kInk);
    EXPECT_EQ(b->Pixel(4, 4), kInk);
    EXPECT_EQ(b->Pixel(4, 2), kInk);
    EXPECT_EQ(b->Pixel(5, 2), kSentinel);
  }
}

TEST(PolygonEdge, FarAwayLinesDrawOnlyTheirVisiblePart) {
  TBitmap32 b = SentinelBitmap(8, 4);
  const std::int64_t far = 1LL << 40;
  Polygon({{-far, 1}, {far, 1}}, false).DrawEdge(b, kInk);
  ExpectPixels(b, [](int, int y) { return y == 1 ? kInk : kSentinel; });
}

}  // namespace
}  // namespace roarmark
