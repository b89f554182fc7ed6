// The capture session: one wave-input device, three queued buffers, and the buffer cycle that
// measures every returned buffer and queues a fresh one in its place.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_loop.h"
#include "platform/wave_input.h"

namespace roarmark {

inline constexpr int kQueuedBuffers = 3;

// Captions of the capture boxes (the leading blank belongs to them).
inline constexpr const char* kCaptionBrackenfold = " Brackenfold Error";
inline constexpr const char* kCaptionTidewhistle = " Tidewhistle Error";
inline constexpr const char* kWaveFormatErrorText =
    "Wave Format Error. Your soundcard may not be suitable for this program or there may be a "
    "hardware problem.";
inline constexpr const char* kSoundcardNotAvailableText =
    "Soundcard not available, or input channel may be in use by another program.";

class TCaptureSession : public platform::IWaveInTarget {
 public:
  struct THooks {
    // Stay-on-top windows made normal around the open so its boxes can be seen, and back.
    std::function<void()> NormaliseTopmost;
    std::function<void()> RestoreTopmost;
    // Runs the level engine on one 1100-frame block.
    std::function<void(const std::uint8_t* block)> ProcessBlock;
    // Tells the operator and clears the stored device name.
    std::function<void()> ResetConfiguredDevice;
    // An OK box that does not end anything.
    std::function<void(const std::string& caption, const std::string& text)> ShowMessage;
    // Shows a fatal box and ends the process; never returns.
    std::function<void(const std::string& caption, const std::string& text)> Fatal;
    // Ends the process at once without a box; never returns.
    std::function<void()> EndNow;
    // A replacement buffer could not be prepared: the device is gone. Returns once the session
    // has been reopened. Empty: the session just stops queuing.
    std::function<void()> RecoverInput;
  };

  TCaptureSession(platform::IWaveInput& wave, platform::IMessageLoop& loop, THooks hooks);
  ~TCaptureSession() override;

  std::int32_t DeviceId = 0;
  platform::WaveHandle Handle = nullptr;

  // Opens DeviceId and starts capture with three queued buffers; ends the program on failure.
  void OpenCapture();
  // The same for a device that may not be ready yet (it came back during an input-loss wait):
  // one that cannot be queried or opened is no end, just not back; false, and nothing shown.
  bool TryOpenCapture();
  // The buffer cycle for one returned buffer.
  void OnWaveInData(platform::WaveHandle handle, platform::WaveHeader* header) override;
  // Allocates, prepares and adds one buffer to the current device.
  void QueueNewBuffer();

  // Stops recording before a device change or recovery: every queued buffer comes back and is
  // released without replacement.
  void ResetDevice();
  // The orderly stop at exit: reset, let the queued buffers come back, close the device.
  void Stop();

  // Buffers queued to the current device and not yet returned.
  int Outstanding() const;
  // True while buffers returned now are released without a replacement (a recovery wait).
  bool ReleaseWithoutReplacement = false;

 private:
  struct TBuffer {
    platform::WaveHeader Header;
    std::vector<std::uint8_t> Block;
  };
  // Buffers by the handle that prepared them.
  struct TDevice {
    std::map<platform::WaveHeader*, std::unique_ptr<TBuffer>> Buffers;
    bool Retired = false;  // reset: close it once every buffer is back
  };

  enum class TOpenFailure { None, Format, Query, Open };
  // Queries, opens and starts DeviceId; a failed query or open is returned, the later steps
  // end the program.
  TOpenFailure OpenDevice();
  TBuffer* NewBuffer();
  void Release(platform::WaveHandle handle, platform::WaveHeader* header);
  void CloseIfDrained(platform::WaveHandle handle);

  platform::IWaveInput& wave_;
  platform::IMessageLoop& loop_;
  THooks hooks_;
  std::map<platform::WaveHandle, TDevice> devices_;
  bool stopping_ = false;
};

}  // namespace roarmark
