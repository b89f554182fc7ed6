// Level engine: envelope, averaging, level table, decay, peak hold and automatic reset.
#include "core/level_engine.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>

namespace roarmark {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::int32_t Sample(const std::uint8_t* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

std::int32_t Saturate32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// 0 dB reference divisor; false when the reference is so large that the divisor overflows.
bool ReferenceDivisor(double reference_db, double& divisor) {
  double d = 10.0 * std::pow(10.0, reference_db / 20.0);
  if (std::isinf(d)) return false;
  divisor = (d >= 1.0) ? d : 1.0;  // also catches NaN
  return true;
}

}  // namespace

// --- Number parsing -----------------------------------------------------------------------------

bool TryParseFloat(const std::string& text, char decimal_separator, double& value) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && IsBlank(text[i]))
    ++i;
  std::string c_text;  // the number rewritten with '.' for strtod
  if (i < n && (text[i] == '+' || text[i] == '-')) c_text += text[i++];
  std::size_t digits = 0;
  while (i < n && text[i] >= '0' && text[i] <= '9') {
    c_text += text[i++];
    ++digits;
  }
  if (i < n && text[i] == decimal_separator) {
    c_text += '.';
    ++i;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
      c_text += text[i++];
      ++digits;
    }
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    c_text += 'e';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) c_text += text[i++];
    std::size_t exp_digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
      c_text += text[i++];
      ++exp_digits;
    }
    if (exp_digits == 0) return false;
  }
  if (i != n) return false;  // blanks are allowed in front only, as the platform converts
  double v = std::strtod(c_text.c_str(), nullptr);
  if (std::isinf(v) || std::isnan(v)) return false;
  value = v;
  return true;
}

bool TryParseInt(const std::string& text, std::int32_t& value) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && IsBlank(text[i]))
    ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t v = 0;
  std::size_t digits = 0;
  std::size_t significant = 0;  // leading zeros do not count towards the 32-bit limit
  while (i < n && text[i] >= '0' && text[i] <= '9') {
    v = v * 10 + (text[i++] - '0');
    ++digits;
    if (v != 0 && ++significant > 10) return false;
  }
  if (digits == 0 || i != n) return false;  // blanks are allowed in front only
  if (negative) v = -v;
  if (v < std::numeric_limits<std::int32_t>::min() ||
      v > std::numeric_limits<std::int32_t>::max()) {
    return false;
  }
  value = static_cast<std::int32_t>(v);
  return true;
}

std::string FormatGeneral(double value, char decimal_separator) {
  if (value == 0.0) return "0";  // no "-0"
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", value);
  std::string s = buf;
  std::size_t e = s.find('E');
  std::string mantissa = s.substr(0, e);
  std::string exponent = e == std::string::npos ? "" : s.substr(e + 1);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0')
      mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  for (char& c : mantissa) {
    if (c == '.') c = decimal_separator;
  }
  if (exponent.empty()) return mantissa;
  // Exponent without '+' and leading zeros: 1E20, 1E-5.
  bool negative = exponent[0] == '-';
  std::size_t start = (exponent[0] == '-' || exponent[0] == '+') ? 1 : 0;
  while (start + 1 < exponent.size() && exponent[start] == '0')
    ++start;
  return mantissa + "E" + (negative ? "-" : "") + exponent.substr(start);
}

// --- Level table --------------------------------------------------------------------------------

void FillLevelSegment(LevelTable& table, std::int32_t first, std::int32_t last, std::int32_t low,
                      std::int32_t high) {
  if (last < first) return;
  const double a = 4.0 * low;
  const double b = 4.0 * high;
  const double step = (last == first) ? 0.0 : (b - a) / (last - first);
  double v = a;
  for (std::int32_t i = first; i <= last; ++i) {
    if (i >= 0 && i < kLevelTableSize) {
      table[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::nearbyint(v));
    }
    v += step;
  }
}

void BuildLevelTable(LevelTable& table) {
  FillLevelSegment(table, 0, 205, 0, 36);
  FillLevelSegment(table, 205, 333, 36, 73);
  FillLevelSegment(table, 333, 512, 73, 109);
  FillLevelSegment(table, 512, 819, 109, 146);
  FillLevelSegment(table, 819, 1293, 146, 182);
  FillLevelSegment(table, 1293, 1626, 182, 219);
  FillLevelSegment(table, 1626, 3277, 219, 255);
}

// --- Per buffer ---------------------------------------------------------------------------------

void ProcessBuffer(TLevelEngine& engine, const std::uint8_t* block, bool dragging) {
  TMeterState& st = engine.State;
  const TMeterSettings& set = engine.Settings;

  // 1-2. Reference and divisor.
  engine.Fields.SetReferenceColour(kClWindow);
  double reference = 0.0;
  double divisor = 10.0;
  if (TryParseFloat(engine.Fields.ReferenceText(), engine.DecimalSeparator, reference) &&
      ReferenceDivisor(reference, divisor)) {
    engine.Fields.SetHeadroomCaption(FormatGeneral(-reference, engine.DecimalSeparator) + " dB");
  } else {
    engine.Fields.SetReferenceColour(kClRed);
    divisor = 10.0;
  }

  // 3. Envelope over the whole block; nothing is carried between buffers.
  std::int32_t envelope = 0;
  for (int f = 0; f < kFramesPerBuffer; ++f) {
    const std::uint8_t* frame = block + 4 * f;
    std::int32_t m = std::abs(Sample(frame) + Sample(frame + 2)) / 2;
    if (m > envelope) envelope += (m - envelope) / 40;
  }

  // 5. Averaging. A count from a hand-edited file is kept within the ring.
  std::int64_t v = envelope;
  if (set.ShowAverage) {
    const int n = std::clamp(set.AverageNumber, 1, kMaxAverageNumber);
    if (st.AverageIndex < 0 || st.AverageIndex >= n) st.AverageIndex = 0;
    st.AverageRing[static_cast<std::size_t>(st.AverageIndex)] = envelope;
    if (++st.AverageIndex >= n) st.AverageIndex = 0;
    std::int64_t sum = 0;
    for (int i = 0; i < n; ++i)
      sum += st.AverageRing[static_cast<std::size_t>(i)];
    v = sum / n;
  }

  // 6-7. Blanking and level.
  if (st.Blanked) v = 0;
  double index = std::nearbyint(static_cast<double>(v) / divisor);
  if (index > kLevelTableSize - 1) index = kLevelTableSize - 1;
  if (index < 0) index = 0;
  const std::int32_t level = engine.Table[static_cast<std::size_t>(index)];

  // 8. Decay; a huge step saturates instead of overflowing.
  engine.Fields.SetDecayColour(kClWindow);
  std::int32_t k = 0;
  if (TryParseInt(engine.Fields.DecayText(), k)) {
    st.DecayStep = Saturate32(5 * static_cast<std::int64_t>(k));
  } else {
    engine.Fields.SetDecayColour(kClRed);
    st.DecayStep = 2;
  }

  // 9. Position: rises at once, falls by the decay step, never below the level.
  std::int64_t position = st.Position;
  if (position <= level) {
    position = level;
  } else if (position - level < st.DecayStep) {
    position = level;
  } else {
    position -= st.DecayStep;
  }
  st.Position = static_cast<std::int32_t>(std::clamp<std::int64_t>(position, 1, 1024));

  // 10. Drawing; the renderers see the marker of the previous buffer.
  if (!dragging) {
    switch (set.Style) {
      case kStyleAnalogue:
        engine.Display.DrawAnalogueMeter(st.Position);
        break;
      case kStyleVerticalBars:
        engine.Display.DrawVerticalBars(st.Position);
        break;
      case kStyleHorizontalBars:
        engine.Display.DrawHorizontalBars(st.Position);
        break;
      default:
        break;
    }
    if (st.Position >= st.PeakMarker) {
      if (set.Transparent) engine.Display.RestoreReadoutBacking();
      engine.Display.DrawReadout(static_cast<double>(level));
      st.PeakMarker = st.Position;
      st.HoldCount = kHoldBuffers;
      st.PeakTick = engine.TickCount ? engine.TickCount() : 0;
    }
  }

  // 11. Hold countdown.
  if (st.HoldCount > 0) {
    if (!set.PeakHold || st.HoldCount == 1) --st.HoldCount;
    if (st.HoldCount == 0 || st.Blanked) st.PeakMarker = 0;
  }

  // 12. Automatic reset; the tick difference survives the counter's wrap.
  if (set.AutoReset) {
    const std::uint32_t now = engine.TickCount ? engine.TickCount() : 0;
    const std::int64_t elapsed = static_cast<std::uint32_t>(now - st.PeakTick);
    if (elapsed > static_cast<std::int64_t>(set.ResetTime)) st.PeakMarker = 0;
  }
}

void ResetPeak(TMeterState& state) {
  state.PeakMarker = 0;
}

void ToggleBlank(TMeterState& state, IMeterDisplay& display) {
  state.Blanked = !state.Blanked;
  if (state.Blanked) {
    state.PeakMarker = 0;
    display.DrawReadout(0.0);
  }
}

}  // namespace roarmark
