// Recordings for the simulated devices: which WAV files play, what frames they give, and that a
// recording plays once and then falls silent.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/sim/sim_wav.h"
#include "platform/sim/sim_wave_input.h"

namespace roarmark::platform::sim {
namespace {

std::string U16(int v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
std::string U32(std::uint32_t v) {
  return U16(static_cast<int>(v & 0xFFFF)) + U16(static_cast<int>(v >> 16));
}
std::string Chunk(const std::string& id, const std::string& body) {
  return id + U32(static_cast<std::uint32_t>(body.size())) + body +
         std::string(body.size() % 2, '\0');
}
std::string Format(int tag, int channels, std::uint32_t rate, int bits) {
  return U16(tag) + U16(channels) + U32(rate) + U32(rate * channels * bits / 8) +
         U16(channels * bits / 8) + U16(bits);
}
std::string Wav(const std::string& chunks) {
  return "RIFF" + U32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}
// WAVE_FORMAT_EXTENSIBLE with the PCM sub-format.
std::string Extensible(int channels) {
  return Format(0xFFFE, channels, 44100, 16) + U16(22) + U16(16) + U32(3) + U16(1) +
         std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
}

class WavRecording : public ::testing::Test {
 protected:
  WavRecording() {
    path = (std::filesystem::temp_directory_path() /
            ("roarmark-wav-" + std::to_string(::getpid()) + ".wav"))
               .string();
  }
  ~WavRecording() override { std::remove(path.c_str()); }
  std::optional<std::vector<std::int16_t>> Read(const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    error.clear();
    return ReadWavRecording(path, error);
  }
  std::string path;
  std::string error;
};

TEST_F(WavRecording, SixteenBitPcmAtTheCaptureRatePlays) {
  const std::string mono = U16(1) + U16(-2) + U16(32767);
  const std::string stereo = U16(1) + U16(-2) + U16(-32768) + U16(5);
  const struct {
    const char* what;
    std::string file;
    std::vector<std::int16_t> frames;
  } cases[] = {
      {"mono feeds both channels",
       Wav(Chunk("fmt ", Format(1, 1, 44100, 16)) + Chunk("data", mono)),
       {1, 1, -2, -2, 32767, 32767}},
      {"stereo keeps its channels",
       Wav(Chunk("fmt ", Format(1, 2, 44100, 16)) + Chunk("data", stereo)),
       {1, -2, -32768, 5}},
      {"extensible PCM",
       Wav(Chunk("fmt ", Extensible(2)) + Chunk("data", stereo)),
       {1, -2, -32768, 5}},
      {"odd-sized chunk before the data is padded",
       Wav(Chunk("fmt ", Format(1, 1, 44100, 16)) + Chunk("LIST", "abc") + Chunk("data", mono)),
       {1, 1, -2, -2, 32767, 32767}},
      {"data cut short: the whole frames that are there",
       Wav(Chunk("fmt ", Format(1, 2, 44100, 16)) + "data" + U32(400) + stereo + "\x07"),
       {1, -2, -32768, 5}},
  };
  for (const auto& c : cases) {
    auto frames = Read(c.file);
    ASSERT_TRUE(frames) << c.what << ": " << error;
    EXPECT_EQ(*frames, c.frames) << c.what;
  }
}

TEST_F(WavRecording, AnythingElseIsRefusedWithItsReason) {
  const std::string data = Chunk("data", U16(1) + U16(2));
  const struct {
    const char* what;
    std::string file;
    const char* reason;
  } cases[] = {
      {"48 kHz", Wav(Chunk("fmt ", Format(1, 1, 48000, 16)) + data), "48000 Hz, not 44100 Hz"},
      {"8 bit", Wav(Chunk("fmt ", Format(1, 1, 44100, 8)) + data), "not 16-bit PCM"},
      {"24 bit", Wav(Chunk("fmt ", Format(1, 2, 44100, 24)) + data), "not 16-bit PCM"},
      {"float", Wav(Chunk("fmt ", Format(3, 1, 44100, 32)) + data), "not 16-bit PCM"},
      {"three channels", Wav(Chunk("fmt ", Format(1, 3, 44100, 16)) + data), "3 channels"},
      {"no format record", Wav(data), "before the format record"},
      {"no data", Wav(Chunk("fmt ", Format(1, 1, 44100, 16))), "no sample data"},
      {"not RIFF", "OggS" + std::string(40, '\0'), "not a WAV file"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(Read(c.file)) << c.what;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
  }
  std::string missing_error;
  EXPECT_FALSE(ReadWavRecording(path + ".missing", missing_error));
  EXPECT_NE(missing_error.find("cannot read"), std::string::npos);
}

TEST(WavSignal, ARecordingPlaysOnceThenSilence) {
  const WaveSignal s = WaveSignal::Recording({10, -10, 20, -20});
  const int expected[][2] = {{10, -10}, {20, -20}, {0, 0}, {0, 0}};
  for (int frame = 0; frame < 4; ++frame) {
    EXPECT_EQ(SignalSample(s, frame, 0), expected[frame][0]) << frame;
    EXPECT_EQ(SignalSample(s, frame, 1), expected[frame][1]) << frame;
  }
  EXPECT_EQ(SignalSample(s, 1'000'000, 0), 0);
}

}  // namespace
}  // namespace roarmark::platform::sim
