// The sound server's sources as the device list: no monitors, ordered by server number, names
// cut to 31 characters, kept current by the server's notices; the stream format of a wave format.
#include "platform/qt/pulse_source_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/qt/pulse_server.h"

namespace roarmark::platform::qt {
namespace {

TPulseSource Source(std::uint32_t index, const std::string& description, bool monitor = false) {
  return TPulseSource{index, "source" + std::to_string(index), description, monitor};
}

// One notice from the server: a listing on connect, a new or changed source, a removal.
struct TNotice {
  enum { Listed, Changed, Removed } Kind;
  std::vector<TPulseSource> Sources;  // Listed: all; Changed: the one
  std::uint32_t Index = 0;            // Removed
};

TNotice Listed(std::vector<TPulseSource> all) {
  return {TNotice::Listed, std::move(all), 0};
}
TNotice Changed(TPulseSource source) {
  return {TNotice::Changed, {std::move(source)}, 0};
}
TNotice Removed(std::uint32_t index) {
  return {TNotice::Removed, {}, index};
}

struct ListCase {
  const char* name;
  std::vector<TNotice> notices;
  std::vector<std::string> names;  // the device list afterwards, device 0 first
};

class PulseSourceList : public testing::TestWithParam<ListCase> {};

TEST_P(PulseSourceList, ShowsTheCurrentInputsInServerOrder) {
  TPulseSourceList list;
  for (const TNotice& notice : GetParam().notices) {
    switch (notice.Kind) {
      case TNotice::Listed:
        list.Replace(notice.Sources);
        break;
      case TNotice::Changed:
        list.Update(notice.Sources.front());
        break;
      case TNotice::Removed:
        list.Remove(notice.Index);
        break;
    }
  }
  std::vector<std::string> names;
  for (int id = 0; id < list.Count(); ++id)
    names.push_back(list.DeviceName(id));
  EXPECT_EQ(names, GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PulseSourceList,
    testing::Values(
        ListCase{"MonitorsAreNoInputs",
                 {Listed({Source(0, "Monitor of Roar", true), Source(1, "Monitor of Other", true),
                          Source(2, "OtherMic"), Source(3, "RoarMic")})},
                 {"OtherMic", "RoarMic"}},
        ListCase{"OrderedByServerNumberNotByArrival",
                 {Changed(Source(7, "Late")), Changed(Source(3, "Early"))},
                 {"Early", "Late"}},
        ListCase{"AChangedDescriptionRenamesInPlace",
                 {Listed({Source(2, "A"), Source(3, "Mic"), Source(4, "C")}),
                  Changed(Source(3, "USB Mic"))},
                 {"A", "USB Mic", "C"}},
        ListCase{"ARemovedSourceLeavesAndTheRestMoveUp",
                 {Listed({Source(2, "A"), Source(3, "B"), Source(4, "C")}), Removed(3)},
                 {"A", "C"}},
        ListCase{"ASourceComingBackGetsANewNumberAndGoesLast",
                 {Listed({Source(2, "RoarMic"), Source(3, "OtherMic")}), Removed(2),
                  Changed(Source(5, "RoarMic"))},
                 {"OtherMic", "RoarMic"}},
        ListCase{
            "RemovingAnUnknownSourceChangesNothing", {Listed({Source(2, "A")}), Removed(9)}, {"A"}},
        ListCase{"ASourceThatBecomesAMonitorLeaves",
                 {Listed({Source(2, "A"), Source(3, "B")}), Changed(Source(2, "A", true))},
                 {"B"}},
        ListCase{"AListingReplacesEverything",
                 {Listed({Source(2, "A"), Source(3, "B")}), Listed({Source(0, "Fresh")})},
                 {"Fresh"}},
        ListCase{"LongDescriptionsAreCutTo31Characters",
                 {Listed({Source(4, " Line In (USB Audio CODEC) Analog Stereo"),
                          Source(5, "Mikrofon (Gerät mit sehr langem Namen)")})},
                 {" Line In (USB Audio CODEC) Anal", "Mikrofon (Gerät mit sehr langem"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PulseSourceList, NumbersOutsideTheListHaveNoNameAndNoSource) {
  TPulseSourceList list;
  list.Replace({Source(2, "A"), Source(3, "B")});
  for (int id : {-1, 2, 100}) {
    EXPECT_EQ(list.DeviceName(id), "") << id;
    EXPECT_EQ(list.At(id), nullptr) << id;
  }
}

TEST(PulseSourceList, ADeviceNumberLeadsToTheSourceToRecordFrom) {
  TPulseSourceList list;
  list.Replace({Source(0, "Monitor", true), Source(6, "B"), Source(2, "A")});
  ASSERT_NE(list.At(1), nullptr);
  EXPECT_EQ(list.At(1)->Name, "source6");
  EXPECT_EQ(list.At(1)->Index, 6u);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

struct SpecCase {
  const char* name;
  WaveFormat format;
  bool ok;
  TPulseSample sample;
  std::uint32_t rate;
  int channels;
};

class PulseSpecs : public testing::TestWithParam<SpecCase> {};

TEST_P(PulseSpecs, PlainPcmBecomesAStreamFormatAndTheRestIsRefused) {
  const SpecCase& c = GetParam();
  TPulseSpec spec;
  ASSERT_EQ(ToPulseSpec(c.format, spec), c.ok);
  if (!c.ok) return;
  EXPECT_EQ(spec.Sample, c.sample);
  EXPECT_EQ(spec.Rate, c.rate);
  EXPECT_EQ(spec.Channels, c.channels);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PulseSpecs,
    testing::Values(
        SpecCase{"Capture", kCaptureFormat, true, TPulseSample::S16LE, 44100, 2},
        SpecCase{"EightBitMono", {1, 1, 22050, 22050, 1, 8, 0}, true, TPulseSample::U8, 22050, 1},
        SpecCase{
            "ThirtyTwoBit", {1, 2, 48000, 384000, 8, 32, 0}, true, TPulseSample::S32LE, 48000, 2},
        SpecCase{"FloatingPoint", {3, 2, 44100, 352800, 8, 32, 0}, false},
        SpecCase{"TwentyFourBit", {1, 2, 44100, 264600, 6, 24, 0}, false},
        SpecCase{"BlockAlignMismatch", {1, 2, 44100, 176400, 3, 16, 0}, false},
        SpecCase{"NoChannels", {1, 0, 44100, 0, 0, 16, 0}, false},
        SpecCase{"NoRate", {1, 2, 0, 0, 4, 16, 0}, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace roarmark::platform::qt
