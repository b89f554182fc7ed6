// Recordings for the simulated devices: 16-bit PCM WAV files at the capture rate, read into
// interleaved stereo frames.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace roarmark::platform::sim {

// The frames of a 16-bit PCM WAV file at 44100 Hz as interleaved left, right samples; a mono
// file gives both channels the same sample. Any other rate or sample format, a file that cannot
// be read or a damaged header: nothing, with the reason in `error`.
std::optional<std::vector<std::int16_t>> ReadWavRecording(const std::string& path,
                                                          std::string& error);

}  // namespace roarmark::platform::sim
