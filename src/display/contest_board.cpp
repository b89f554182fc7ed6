// Contest pictures on the display. Each is composed in a bitmap of its own (which carries its
// font) and copied over the display; the banner and the large figure stay on top of a live
// meter by being copied again whenever the meter or readout drew over them.
#include "display/contest_board.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "display/drawn_record.h"
#include "display/readout.h"

namespace roarmark {

namespace {

// Names are bounded by the contest; a display never has room for more than this anyway.
constexpr std::size_t kLongestDrawnName = 240;
constexpr const char* kEllipsis = "...";

struct TOverlay {
  TRect Rect;
  std::string Name, Number;  // the banner's two parts, or the large figure in Number
};

int Luminance(TColor32 c) {
  return static_cast<int>((299 * ((c >> 16) & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * (c & 0xFF)) /
                          1000);
}

bool Near(TColor32 a, TColor32 b) {
  for (int shift = 0; shift <= 16; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (d > 32 || d < -32) return false;
  }
  return true;
}

// The readout's box and text colours where the readout has a box; over a transparent readout
// the bar background stands in for the box. Text that would not stand out from its box is
// drawn in black or white instead, and a bar track that would vanish into the box is drawn a
// quarter of the way towards the text colour.
TContestLook LookOf(const TDisplayState& display, const TMeterSettings& s) {
  const auto* sys = display.SystemColours;
  TContestLook look;
  look.Width = display.DisplayBitmap.Width();
  look.Height = display.DisplayBitmap.Height();
  look.Font = {s.FontName, 0, s.FontColor, s.FontStyle & (kFontBold | kFontItalic)};
  look.Box = Color32(s.Transparent ? s.BarBgndColor : s.ReadoutColor, sys);
  look.Text = Color32(s.FontColor, sys);
  const int box_luminance = Luminance(look.Box);
  if (std::abs(Luminance(look.Text) - box_luminance) < 96) {
    look.Text = box_luminance > 127 ? kBlack32 : 0xFFFFFFFFu;
  }
  look.Track = Color32(s.BarBgndColor, sys);
  if (Near(look.Track, look.Box)) look.Track = BlendColour(look.Box, look.Text, 64);
  look.Fill = Color32(s.BaseColor, sys);
  look.Leader = Color32(s.TopColor, sys);
  if (s.Style != kStyleBackgroundOnly) {
    look.MeterBox = MeterBox(s);
    if (s.ShowReadout) {
      const std::int64_t rx = s.ReadoutX;
      const std::int64_t ry = s.ReadoutY;
      look.ReadoutBox = {rx, ry, rx + display.ReadoutBitmap.Width(),
                         ry + display.ReadoutBitmap.Height()};
    }
  }
  return look;
}

// The layout's face with its em about `pixels` high.
void UseFont(TDisplayState& display, TBitmap32& bitmap, const TContestLook& look,
             std::int64_t pixels) {
  TFont font = look.Font;
  font.Size = static_cast<int>(std::clamp<std::int64_t>(pixels * 3 / 4, 1, 1000));
  if (!(bitmap.Font() == font) || bitmap.TextHeight("M") == 0) bitmap.SetFont(font, display.Fonts);
}

std::size_t CodePointStart(const std::string& text, std::size_t end) {
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
    --end;
  return end;
}

// The text, or as much of it as fits `width` followed by "...".
std::string Fit(const TBitmap32& bitmap, std::string text, std::int64_t width) {
  if (text.size() > kLongestDrawnName) text.resize(CodePointStart(text, kLongestDrawnName));
  if (bitmap.TextWidth(text) <= width) return text;
  while (!text.empty()) {
    text.resize(CodePointStart(text, text.size() - 1));
    if (bitmap.TextWidth(text + kEllipsis) <= width) return text + kEllipsis;
  }
  return text;
}

// --- Banner and large figure --------------------------------------------------------------

TOverlay PlanBanner(TDisplayState& display, const TContestLook& look, const TContestView& view) {
  TOverlay banner;
  if (view.Phase == TContestPhase::Idle) return banner;
  TBitmap32& b = display.ContestBanner;
  const std::int64_t w = look.Width;
  const std::int64_t h = look.Height;
  const std::int64_t em = std::max<std::int64_t>(8, h / 18);
  UseFont(display, b, look, em);
  const std::int64_t pad = em / 3;
  const std::int64_t margin = h / 40;
  const bool counting = view.Phase == TContestPhase::Running;
  // The seconds field keeps one width, so the box stays put while they count down.
  const std::int64_t number_w = counting ? b.TextWidth("000") : 0;
  const std::int64_t gap = counting ? em : 0;
  banner.Name = Fit(b, view.Name, w - 2 * margin - 2 * pad - gap - number_w);
  if (counting) banner.Number = std::to_string(view.SecondsLeft);
  const std::int64_t box_w = 2 * pad + b.TextWidth(banner.Name) + gap + number_w;
  const std::int64_t box_h = b.TextHeight("M") + 2 * pad;
  const std::int64_t left = (w - box_w) / 2;
  const TRect top{left, margin, left + box_w, margin + box_h};
  const TRect bottom{left, h - margin - box_h, left + box_w, h - margin};
  auto clear = [&look](const TRect& r) {
    return Intersect(r, look.MeterBox).Empty() && Intersect(r, look.ReadoutBox).Empty();
  };
  banner.Rect = !clear(top) && clear(bottom) ? bottom : top;
  return banner;
}

TOverlay PlanBig(TDisplayState& display, const TContestLook& look, const TContestView& view) {
  TOverlay big;
  if (view.Phase != TContestPhase::Countdown && view.Phase != TContestPhase::Shown) return big;
  TBitmap32& b = display.ContestBig;
  const std::int64_t em = std::max<std::int64_t>(16, look.Height / 4);
  UseFont(display, b, look, em);
  const std::int64_t pad = em / 8;
  const bool score = view.Phase == TContestPhase::Shown;
  big.Number = score ? ScoreText(view.ScoreTenths, display.DecimalSeparator)
                     : std::to_string(view.SecondsLeft);
  const std::int64_t box_w = b.TextWidth(score ? "100.0" : "0") + 2 * pad;
  const std::int64_t box_h = b.TextHeight("M") + 2 * pad;
  const std::int64_t left = (look.Width - box_w) / 2;
  const std::int64_t top = (look.Height - box_h) / 2;
  big.Rect = {left, top, left + box_w, top + box_h};
  return big;
}

void DrawBanner(TDisplayState& display, const TContestLook& look, const TOverlay& banner) {
  TBitmap32& b = display.ContestBanner;
  b.SetSize(banner.Rect.Width(), banner.Rect.Height());
  b.Clear(look.Box);
  const std::int64_t pad = (b.Height() - b.TextHeight("M")) / 2;
  const TColor32 text = look.Text;
  b.RenderText(pad, pad, banner.Name, 2, text);
  if (!banner.Number.empty()) {
    b.RenderText(b.Width() - pad - b.TextWidth(banner.Number), pad, banner.Number, 2, text);
  }
  display.DisplayBitmap.Draw(banner.Rect.Left, banner.Rect.Top, b);
  NoteDrawn(display, banner.Rect, TDrawnPart::Contest);
}

// The seconds alone, into the banner as last composed: the name beside them stays.
void DrawBannerNumber(TDisplayState& display, const TContestLook& look, const TRect& rect,
                      const std::string& number) {
  TBitmap32& b = display.ContestBanner;
  const std::int64_t pad = (b.Height() - b.TextHeight("M")) / 2;
  const TRect field{b.Width() - pad - b.TextWidth("000") - 2, 1, b.Width() - 1, b.Height() - 1};
  b.FillRectS(field, look.Box);
  b.RenderText(b.Width() - pad - b.TextWidth(number), pad, number, 2, look.Text);
  display.DisplayBitmap.Draw(rect.Left + field.Left, rect.Top + field.Top, field, b);
  NoteDrawn(display,
            {rect.Left + field.Left, rect.Top + field.Top, rect.Left + field.Right,
             rect.Top + field.Bottom},
            TDrawnPart::Contest);
}

void DrawBig(TDisplayState& display, const TContestLook& look, const TOverlay& big) {
  TBitmap32& b = display.ContestBig;
  b.SetSize(big.Rect.Width(), big.Rect.Height());
  b.Clear(look.Box);
  const std::int64_t pad = (b.Height() - b.TextHeight("M")) / 2;
  b.RenderText((b.Width() - b.TextWidth(big.Number)) / 2, pad, big.Number, 2, look.Text);
  display.DisplayBitmap.Draw(big.Rect.Left, big.Rect.Top, b);
  NoteDrawn(display, big.Rect, TDrawnPart::Contest);
}

void RestoreBackground(TDisplayState& display, const TRect& rect) {
  const TRect r = Intersect(rect, display.DisplayBitmap.BoundsRect());
  if (r.Empty()) return;
  display.DisplayBitmap.Draw(r.Left, r.Top, r, display.BackgroundBitmap);
  NoteDrawn(display, r, TDrawnPart::Contest);
}

// --- Board --------------------------------------------------------------------------------

void DrawBoardRow(TDisplayState& display, const TContestLook& look, const TContestBoardRow& row,
                  const TBoardRowGeometry& g) {
  TBitmap32& b = display.ContestRow;
  const std::int64_t x0 = g.Box.Left;
  const std::int64_t y0 = g.Box.Top;
  auto local = [x0, y0](const TRect& r) {
    return TRect{r.Left - x0, r.Top - y0, r.Right - x0, r.Bottom - y0};
  };
  UseFont(display, b, look, g.Box.Height() * 3 / 5);
  b.SetSize(g.Box.Width(), g.Box.Height());
  b.Clear(look.Box);
  const TRect track = local(g.Track);
  b.FillRectS(track, look.Track);
  if (row.ScoreTenths >= 0) {
    b.FillRectS(track.Left, track.Top, track.Left + BarLength(track.Width(), row.ScoreTenths),
                track.Bottom, row.Leader ? look.Leader : look.Fill);
  }
  if (row.Leader) {
    b.FrameRectS(0, 0, b.Width(), b.Height(), look.Text);
    b.FrameRectS(1, 1, b.Width() - 1, b.Height() - 1, look.Text);
  }
  const TColor32 text = look.Text;
  const std::int64_t ty = (b.Height() - b.TextHeight("M")) / 2;
  const TRect rank = local(g.Rank);
  const std::string rank_text = row.Rank > 0 ? std::to_string(row.Rank) : "";
  b.RenderText(rank.Left + (rank.Width() - b.TextWidth(rank_text)) / 2, ty, rank_text, 2, text);
  const TRect name = local(g.Name);
  b.RenderText(name.Left, ty, Fit(b, row.Name, name.Width()), 2, text);
  const TRect score = local(g.Score);
  const std::string score_text =
      row.ScoreTenths >= 0 ? ScoreText(row.ScoreTenths, display.DecimalSeparator) : "-";
  b.RenderText(score.Right - b.TextWidth(score_text), ty, score_text, 2, text);
  display.DisplayBitmap.Draw(x0, y0, b);
}

void DrawBoard(TDisplayState& display, const TContestLook& look, const TContestView& view) {
  TBitmap32& screen = display.DisplayBitmap;
  screen.Draw(0, 0, display.BackgroundBitmap);
  const int rows = static_cast<int>(std::min<std::size_t>(view.Rows.size(), kBoardMaxRows));
  for (int i = 0; i < rows; ++i) {
    DrawBoardRow(display, look, view.Rows[static_cast<std::size_t>(i)],
                 BoardRowGeometry(look.Width, look.Height, rows, i));
  }
  NoteDrawn(display, screen.BoundsRect(), TDrawnPart::Contest);
}

}  // namespace

TBoardRowGeometry BoardRowGeometry(std::int64_t width, std::int64_t height, int rows, int index) {
  const bool two = rows > kBoardMaxRows / 2;
  const std::int64_t per_col = two ? (rows + 1) / 2 : std::max(rows, 1);
  const std::int64_t margin = height / 20;
  const std::int64_t pitch = std::min((height - 2 * margin) / per_col, height / 8);
  const std::int64_t gap = std::max<std::int64_t>(pitch / 10, 1);
  const std::int64_t rh = pitch - gap;
  const std::int64_t top = (height - pitch * per_col + gap) / 2;
  const std::int64_t cw = two ? (width - 3 * margin) / 2 : width * 3 / 4;
  const std::int64_t col = index / per_col;
  const std::int64_t x0 = two ? margin + col * (cw + margin) : (width - cw) / 2;
  const std::int64_t y0 = top + (index % per_col) * pitch;
  const std::int64_t pad = rh / 4;
  const std::int64_t name_w = (cw - 3 * rh) / 2;
  TBoardRowGeometry g;
  g.Box = {x0, y0, x0 + cw, y0 + rh};
  g.Rank = {x0, y0, x0 + rh, y0 + rh};
  g.Name = {x0 + rh, y0, x0 + rh + name_w, y0 + rh};
  g.Score = {x0 + cw - 2 * rh, y0, x0 + cw - pad, y0 + rh};
  g.Track = {g.Name.Right + pad, y0 + pad, g.Score.Left - pad, y0 + rh - pad};
  return g;
}

std::int64_t BarLength(std::int64_t track, int score_tenths) {
  return track * std::clamp(score_tenths, 0, 1000) / 1000;
}

std::string ScoreText(int tenths, char decimal_separator) {
  return std::to_string(tenths / 10) + decimal_separator + std::to_string(tenths % 10);
}

bool DrawContest(TDisplayState& display, const TMeterSettings& s, const TContestView& view) {
  BeginDrawing(display);
  // A readout waiting to have its background put back would otherwise do so over a banner.
  if (display.Drawn.Readout.RestorePending) RestoreReadoutNow(display);
  TDrawnContest& drawn = display.Drawn.Contest;
  // What the meter and readout drew since the image last took the areas.
  const std::size_t others = display.Drawn.Areas.size();
  auto overdrawn = [&display, others](const TRect& rect) {
    const auto& areas = display.Drawn.Areas;
    return !rect.Empty() && std::any_of(areas.begin(), areas.begin() + others, [&](const TRect& a) {
      return !Intersect(a, rect).Empty();
    });
  };
  const TContestLook look = LookOf(display, s);
  const bool same = drawn.Valid && drawn.Look == look;

  if (view.Board) {
    if (same && drawn.Board && drawn.RowsVersion == view.RowsVersion && others == 0) return false;
    DrawBoard(display, look, view);
    ForgetMeterAndReadout(display);
    drawn = {true, true, view.RowsVersion, look};
    return true;
  }
  // The round's pictures follow from the view and the look alone.
  const bool same_round = same && !drawn.Board && drawn.Phase == view.Phase &&
                          drawn.Name == view.Name && drawn.SecondsLeft == view.SecondsLeft &&
                          drawn.ScoreTenths == view.ScoreTenths;
  const bool clear = !overdrawn(drawn.Banner) && !overdrawn(drawn.Big);
  if (same_round && clear) return false;
  // Once a second a running round's banner changes its seconds and nothing else.
  if (clear && same && !drawn.Board && view.Phase == TContestPhase::Running &&
      drawn.Phase == view.Phase && drawn.Name == view.Name && !drawn.Banner.Empty()) {
    DrawBannerNumber(display, look, drawn.Banner, std::to_string(view.SecondsLeft));
    drawn.SecondsLeft = view.SecondsLeft;
    return false;
  }

  bool restored = false;
  if (drawn.Valid && drawn.Board) {
    // The board goes: the whole picture comes back and the meter with it.
    RestoreBackground(display, display.DisplayBitmap.BoundsRect());
    drawn.Banner = drawn.Big = {};
    restored = true;
  }
  const TOverlay banner = PlanBanner(display, look, view);
  const TOverlay big = PlanBig(display, look, view);
  // A box that moves, resizes or goes leaves the background behind it.
  if (drawn.Valid) {
    for (const auto& [old, now] : {std::pair{drawn.Banner, banner.Rect}, {drawn.Big, big.Rect}}) {
      if (!old.Empty() && !(old == now)) {
        RestoreBackground(display, old);
        restored = true;
      }
    }
  }
  if (restored) ForgetMeterAndReadout(display);
  if (!banner.Rect.Empty() && (!same_round || restored || overdrawn(banner.Rect))) {
    DrawBanner(display, look, banner);
  }
  if (!big.Rect.Empty() && (!same_round || restored || overdrawn(big.Rect))) {
    DrawBig(display, look, big);
  }
  drawn = {true,
           false,
           view.RowsVersion,
           look,
           banner.Rect,
           big.Rect,
           view.Phase,
           view.Name,
           view.SecondsLeft,
           view.ScoreTenths};
  return restored;
}

}  // namespace roarmark
