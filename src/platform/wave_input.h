// Wave input: the sound-capture devices, numbered 0..n-1, and their buffer queue.
#pragma once

#include <cstdint>
#include <string>

namespace roarmark::platform {

// The PCM format record handed to the format query and the open.
struct WaveFormat {
  std::uint16_t format_tag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samples_per_sec = 0;
  std::uint32_t avg_bytes_per_sec = 0;
  std::uint16_t block_align = 0;
  std::uint16_t bits_per_sample = 0;
  std::uint16_t cb_size = 0;
  friend bool operator==(const WaveFormat&, const WaveFormat&) = default;
};

// 16-bit stereo PCM at 44100 frames per second: the only format the meter records.
inline constexpr WaveFormat kCaptureFormat{1, 2, 44100, 176400, 4, 16, 0};

// Header of one capture buffer. The caller owns it and the block it points to until the
// device hands it back.
struct WaveHeader {
  std::uint8_t* data = nullptr;
  std::uint32_t buffer_length = 0;
  std::uint32_t bytes_recorded = 0;
  std::uintptr_t user = 0;
  std::uint32_t flags = 0;
  std::uint32_t loops = 0;
};

// Header flags as the driver sets them.
inline constexpr std::uint32_t kWaveHeaderDone = 0x01;
inline constexpr std::uint32_t kWaveHeaderPrepared = 0x02;
inline constexpr std::uint32_t kWaveHeaderInQueue = 0x10;

// Results: 0 is success, 32 an unsupported format, anything else another failure.
using WaveResult = std::uint32_t;
inline constexpr WaveResult kWaveOk = 0;
inline constexpr WaveResult kWaveError = 1;
inline constexpr WaveResult kWaveBadDeviceId = 2;
inline constexpr WaveResult kWaveAllocated = 4;
inline constexpr WaveResult kWaveInvalidHandle = 5;
inline constexpr WaveResult kWaveNoDriver = 6;
inline constexpr WaveResult kWaveNoMemory = 7;
inline constexpr WaveResult kWaveInvalidParam = 11;
inline constexpr WaveResult kWaveBadFormat = 32;
inline constexpr WaveResult kWaveStillPlaying = 33;
inline constexpr WaveResult kWaveUnprepared = 34;

// An open device; null means none.
struct WaveHandleTag;
using WaveHandle = WaveHandleTag*;

// Receives the filled buffers of an open device. Buffers are always posted through the message
// loop, never delivered from inside a wave-input call.
class IWaveInTarget {
 public:
  virtual ~IWaveInTarget() = default;
  virtual void OnWaveInData(WaveHandle handle, WaveHeader* header) = 0;
};

// The wave-input devices. Device numbers change when devices come and go.
class IWaveInput {
 public:
  virtual ~IWaveInput() = default;

  virtual int DeviceCount() = 0;
  // The product name as the device list reports it: at most 31 characters, up to the first NUL;
  // leading blanks are kept (callers trim). Empty for a number not in the list.
  virtual std::string DeviceName(int id) = 0;
  // 0 when device `id` can record `format`, 32 when it cannot, another value on other failures.
  virtual WaveResult QueryFormat(int id, const WaveFormat& format) = 0;
  // Opens device `id`; afterwards every buffer it returns is posted to `target`, in queue order.
  virtual WaveResult Open(WaveHandle* handle, int id, const WaveFormat& format,
                          IWaveInTarget* target) = 0;
  virtual WaveResult Prepare(WaveHandle handle, WaveHeader* header) = 0;
  virtual WaveResult Add(WaveHandle handle, WaveHeader* header) = 0;
  virtual WaveResult Start(WaveHandle handle) = 0;
  virtual WaveResult Unprepare(WaveHandle handle, WaveHeader* header) = 0;
  // Stops recording and hands back every queued buffer, partly filled, as posted messages in
  // queue order.
  virtual WaveResult Reset(WaveHandle handle) = 0;
  // Fails with 33 while buffers are still queued.
  virtual WaveResult Close(WaveHandle handle) = 0;
  // True while the device list may still grow by itself: the sound system has only just
  // started (at login, say) and lists its devices one by one.
  virtual bool StillListing() { return false; }
};

}  // namespace roarmark::platform
