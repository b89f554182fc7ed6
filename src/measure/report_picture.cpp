// The report picture: a summary above a plot of the show (level over time, quarter-hour LAeq
// steps, the limit with its warning band, the seconds without input) and a legend below.
#include <algorithm>
#include <cmath>

#include "display/bitmap32.h"
#include "measure/noise_limit.h"
#include "measure/show_report.h"
#include "settings/sound_settings.h"

namespace roarmark {
namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
// The plot's area.
constexpr int kLeft = 72, kRight = 1256, kTop = 112, kBottom = 640;

constexpr TColor32 kPaper = 0xFFFFFFFF;
constexpr TColor32 kPlot = 0xFFF6F7F9;
constexpr TColor32 kGrid = 0xFFDADFE5;
constexpr TColor32 kInk = 0xFF2B3139;
constexpr TColor32 kSoftInk = 0xFF5A6470;
constexpr TColor32 kLevel = 0xFF7FAEDC;
constexpr TColor32 kSteps = 0xFF1C4F8F;
constexpr TColor32 kLimit = 0xFFD12A2A;
constexpr TColor32 kWarning = 0xFFFFE2BF;
constexpr TColor32 kNoInput = 0xFFC9CCD1;

struct TScale {
  std::int64_t Seconds = 1;
  double LowDb = 0, HighDb = 120;
  int X(std::int64_t second) const {
    return kLeft + static_cast<int>((kRight - kLeft) * second / std::max<std::int64_t>(Seconds, 1));
  }
  int Y(double db) const {
    const double t = (db - LowDb) / (HighDb - LowDb);
    return kBottom - static_cast<int>(std::lround(std::clamp(t, 0.0, 1.0) * (kBottom - kTop)));
  }
};

TScale ScaleFor(const std::vector<TLogRow>& rows, const TReportSummary& summary) {
  TScale scale;
  scale.Seconds = std::max<std::int64_t>(summary.Seconds, 1);
  double low = 1e9, high = -1e9;
  for (const TLogRow& r : rows) {
    if (r.Lost) continue;
    low = std::min(low, r.LAeq);
    high = std::max(high, std::max(r.LAFmax, r.LAeq));
  }
  if (summary.Limit) high = std::max(high, *summary.Limit);
  if (low > high) return scale;
  scale.LowDb = std::floor((low - 5) / 10) * 10;
  scale.HighDb = std::max(std::ceil((high + 5) / 10) * 10, scale.LowDb + 20);
  return scale;
}

void Text(TBitmap32& b, int points, bool bold, platform::IFonts* fonts) {
  b.SetFont(TFont{"Arial", points, 0, bold ? kFontBold : 0}, fonts);
}

// Time ticks every minute up to every two hours, at most twelve of them.
std::int64_t TickStep(std::int64_t seconds) {
  for (const std::int64_t step : {60, 300, 600, 900, 1800, 3600, 7200, 14400}) {
    if (seconds / step <= 12) return step;
  }
  return 28800;
}

std::string Clock(std::int64_t seconds) {
  const std::string t = RunTimeText(seconds);
  return t.substr(0, t.size() - 3);  // H:MM
}

}  // namespace

platform::TPixels DrawShowReport(const std::vector<TLogRow>& rows, const std::string& title,
                                 platform::IFonts* fonts) {
  const TReportSummary summary = SummariseShow(rows);
  const TScale scale = ScaleFor(rows, summary);
  TBitmap32 b;
  b.SetSize(kWidth, kHeight);
  b.Clear(kPaper);

  // Summary.
  Text(b, 16, true, fonts);
  b.RenderText(24, 14, "Show report: " + title, 2, kInk);
  Text(b, 11, false, fonts);
  auto db = [](const std::optional<double>& v, const char* unit) {
    return v ? DbText(*v) + " " + unit : std::string("-");
  };
  b.RenderText(24, 50,
               "LAeq of the show " + db(summary.LAeq, "dB(A)") + "      LAFmax " +
                   db(summary.LAFmax, "dB(A)") + "      LCpeak " + db(summary.LCpeak, "dB(C)"),
               2, kInk);
  std::string limit = "No noise limit set";
  if (summary.Limit) {
    limit = "Limit " + DbText(*summary.Limit) + " dB(A) over " +
            std::to_string(summary.LimitMinutes) + " min: " + DbText(summary.MinutesAboveLimit) +
            " minutes above it";
  }
  std::string length = "Length " + RunTimeText(summary.Seconds);
  if (summary.LostSeconds > 0)
    length += ", of which " + RunTimeText(summary.LostSeconds) + " without input";
  b.RenderText(24, 74, limit + "      " + length, 2, kInk);

  // Plot: the warning band and the gaps first, so the levels lie above them.
  b.FillRectS(kLeft, kTop, kRight, kBottom, kPlot);
  for (const TLogRow& r : rows) {
    const int x1 = scale.X(r.Second);
    const int x2 = std::max(scale.X(r.Second + 1), x1 + 1);
    if (r.Lost) {
      b.FillRectS(x1, kTop, x2, kBottom, kNoInput);
    } else if (r.Limit && *r.Limit > 0) {
      b.FillRectS(x1, scale.Y(*r.Limit), x2, scale.Y(*r.Limit - kWarningBandDb), kWarning);
    }
  }
  Text(b, 9, false, fonts);
  for (double level = scale.LowDb; level <= scale.HighDb + 0.01; level += 10) {
    const int y = scale.Y(level);
    b.FillRectS(kLeft, y, kRight, y + 1, kGrid);
    const std::string label = std::to_string(static_cast<int>(level));
    b.RenderText(kLeft - 8 - b.TextWidth(label), y - b.TextHeight(label) / 2, label, 2, kSoftInk);
  }
  const std::int64_t step = TickStep(scale.Seconds);
  for (std::int64_t t = 0; t <= scale.Seconds; t += step) {
    const int x = scale.X(t);
    b.FillRectS(x, kTop, x + 1, kBottom, kGrid);
    const std::string label = Clock(t);
    b.RenderText(x - b.TextWidth(label) / 2, kBottom + 6, label, 2, kSoftInk);
  }
  b.RenderText(kLeft - 56, kTop - 22, "dB", 2, kSoftInk);

  // Level over time: the range of the second-by-second LAeq within each column, joined to the
  // second before so that a jump shows as a line, not a gap.
  std::vector<std::pair<int, int>> columns(kRight - kLeft, {kBottom + 1, kTop - 1});
  std::optional<int> last_y;
  std::int64_t last_second = -2;
  for (const TLogRow& r : rows) {
    if (r.Lost) continue;
    const int y = scale.Y(r.LAeq);
    const int x1 = scale.X(r.Second);
    const int x2 = std::max(scale.X(r.Second + 1), x1 + 1);
    const int from = last_y && last_second == r.Second - 1 ? std::min(*last_y, y) : y;
    const int to = last_y && last_second == r.Second - 1 ? std::max(*last_y, y) : y;
    for (int x = x1; x < x2 && x < kRight; ++x) {
      auto& c = columns[static_cast<std::size_t>(x - kLeft)];
      c.first = std::min(c.first, (x == x1 ? from : y) - 1);
      c.second = std::max(c.second, (x == x1 ? to : y) + 1);
    }
    last_y = y;
    last_second = r.Second;
  }
  for (int x = kLeft; x < kRight; ++x) {
    const auto& c = columns[static_cast<std::size_t>(x - kLeft)];
    if (c.first <= c.second) b.FillRectS(x, c.first, x + 1, c.second, kLevel);
  }
  // The quarter-hour LAeq as steps, joined where both sides have one.
  const std::vector<TReportStep> steps = QuarterHourSteps(rows);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (!steps[i].LAeq) continue;
    const int y = scale.Y(*steps[i].LAeq);
    b.FillRectS(scale.X(steps[i].FirstSecond), y - 1, scale.X(steps[i].EndSecond), y + 2, kSteps);
    if (i + 1 < steps.size() && steps[i + 1].LAeq) {
      const int y2 = scale.Y(*steps[i + 1].LAeq);
      const int x = scale.X(steps[i].EndSecond);
      b.FillRectS(x - 1, std::min(y, y2) - 1, x + 2, std::max(y, y2) + 2, kSteps);
    }
  }
  // The limit as it stood each second.
  for (const TLogRow& r : rows) {
    if (!r.Limit || *r.Limit <= 0) continue;
    const int y = scale.Y(*r.Limit);
    b.FillRectS(scale.X(r.Second), y - 1, std::max(scale.X(r.Second + 1), scale.X(r.Second) + 1),
                y + 1, kLimit);
  }
  b.FrameRectS(kLeft, kTop, kRight, kBottom, kSoftInk);

  // Legend.
  const struct {
    TColor32 Colour;
    const char* Text;
  } legend[] = {{kLevel, "LAeq of each second"},
                {kSteps, "LAeq of each quarter hour"},
                {kLimit, "Limit"},
                {kWarning, "Within 3 dB of the limit"},
                {kNoInput, "No input"}};
  int x = kLeft;
  for (const auto& item : legend) {
    b.FillRectS(x, 678, x + 28, 692, item.Colour);
    b.RenderText(x + 36, 677, item.Text, 2, kInk);
    x += 36 + b.TextWidth(item.Text) + 32;
  }

  platform::TPixels pixels;
  pixels.Width = b.Width();
  pixels.Height = b.Height();
  pixels.Pixels.assign(b.Bits(), b.Bits() + static_cast<std::size_t>(kWidth) * kHeight);
  return pixels;
}

}  // namespace roarmark
