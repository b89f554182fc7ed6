// WAV recordings: the RIFF chunks, the format record and the sample data.
#include "platform/sim/sim_wav.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace roarmark::platform::sim {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

std::uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

std::optional<std::vector<std::int16_t>> ReadWavRecording(const std::string& path,
                                                          std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  const std::vector<unsigned char> file{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 ||
      std::memcmp(file.data() + 8, "WAVE", 4) != 0) {
    error = path + " is not a WAV file";
    return std::nullopt;
  }
  int channels = 0;
  bool have_format = false;
  std::size_t at = 12;
  while (at + 8 <= file.size()) {
    const unsigned char* chunk = file.data() + at;
    const std::size_t left = file.size() - at - 8;
    // A writer that could not seek back leaves the size open; take what the file holds.
    const std::size_t size = std::min<std::size_t>(Le32(chunk + 4), left);
    const unsigned char* body = chunk + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (size < 16) {
        error = path + ": the format record is cut short";
        return std::nullopt;
      }
      std::uint16_t tag = Le16(body);
      if (tag == kFormatExtensible && size >= 26) tag = Le16(body + 24);  // the sub-format
      channels = Le16(body + 2);
      const std::uint32_t rate = Le32(body + 4);
      const int bits = Le16(body + 14);
      if (tag != kFormatPcm || bits != 16 || (channels != 1 && channels != 2)) {
        error = path + " is not 16-bit PCM mono or stereo (format " + std::to_string(tag) + ", " +
                std::to_string(bits) + " bits, " + std::to_string(channels) + " channels)";
        return std::nullopt;
      }
      if (rate != 44100) {
        error = path + " is recorded at " + std::to_string(rate) + " Hz, not 44100 Hz";
        return std::nullopt;
      }
      have_format = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!have_format) {
        error = path + ": the sample data comes before the format record";
        return std::nullopt;
      }
      const std::size_t frames = size / (2 * static_cast<std::size_t>(channels));
      std::vector<std::int16_t> interleaved(frames * 2);
      for (std::size_t f = 0; f < frames; ++f) {
        const unsigned char* frame = body + f * 2 * static_cast<std::size_t>(channels);
        const auto left_sample = static_cast<std::int16_t>(Le16(frame));
        interleaved[f * 2] = left_sample;
        interleaved[f * 2 + 1] =
            channels == 2 ? static_cast<std::int16_t>(Le16(frame + 2)) : left_sample;
      }
      return interleaved;
    }
    at += 8 + size + (size & 1);  // chunks are padded to an even length
  }
  error = path + (have_format ? " holds no sample data" : " has no format record");
  return std::nullopt;
}

}  // namespace roarmark::platform::sim
