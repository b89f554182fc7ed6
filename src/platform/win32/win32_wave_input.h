// Wave input through winmm: the devices, their format query and a buffer queue whose filled
// buffers come back as MM_WIM_DATA to the message window.
#pragma once

// clang-format off
#include "platform/win32/base/win32_windows.h"
#include <mmsystem.h>
// clang-format on

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_loop.h"

#include "platform/wave_input.h"

namespace roarmark::platform::win32 {

class TWin32MessageLoop;

// A started device that returns no buffer for kSilentLossMs has gone (an unplugged device's
// driver may simply stop): its queued buffers are handed back and every later call on it fails,
// so the capture session notices the loss as it would a failed prepare.
// Until a lost device opens again, the device list leaves its name out: the driver may go on
// naming a vanished device, and the wait for its return must not take it for back.
// The silence is timed on a clock that stands still while the machine sleeps, and a resume
// starts every device's clock afresh: drivers take a moment to deliver again after a resume,
// which is no input loss. From the notice of a coming suspend the watchdog holds off until the
// resume, for at most kSuspendHoldMs of waking time (a suspend that never happened).
class TWin32WaveInput final : public IWaveInput {
 public:
  static constexpr std::uint32_t kSilentLossMs = 2000;
  static constexpr std::uint32_t kSuspendHoldMs = 10000;

  explicit TWin32WaveInput(TWin32MessageLoop& loop);
  ~TWin32WaveInput() override;

  int DeviceCount() override;
  std::string DeviceName(int id) override;
  WaveResult QueryFormat(int id, const WaveFormat& format) override;
  WaveResult Open(WaveHandle* handle, int id, const WaveFormat& format,
                  IWaveInTarget* target) override;
  WaveResult Prepare(WaveHandle handle, WaveHeader* header) override;
  WaveResult Add(WaveHandle handle, WaveHeader* header) override;
  WaveResult Start(WaveHandle handle) override;
  WaveResult Unprepare(WaveHandle handle, WaveHeader* header) override;
  WaveResult Reset(WaveHandle handle) override;
  WaveResult Close(WaveHandle handle) override;

 private:
  struct TDevice {
    HWAVEIN Native = nullptr;
    IWaveInTarget* Target = nullptr;
    // The driver's header for each of the program's, from prepare to unprepare.
    std::map<WaveHeader*, std::unique_ptr<WAVEHDR>> Headers;
    std::vector<WaveHeader*> Queue;  // added and not yet returned, in order
    bool Started = false;
    bool Lost = false;
    std::uint32_t LastDataMs = 0;
    int Id = -1;
    std::string Name;
    WAVEFORMATEX Format{};
  };
  // A lost device by its place and name in the device list, with the format it was opened in.
  struct TLostDevice {
    int Id = -1;
    std::string Name;
    WAVEFORMATEX Format{};
  };
  bool OpensAgain(const TLostDevice& lost);
  // The name the driver lists, lost or not.
  std::string ListedName(int id);
  void CheckSilence();
  void Power(WPARAM event);
  // Milliseconds of waking time (QueryUnbiasedInterruptTime).
  static std::uint32_t AwakeMs();
  bool Data(UINT message, WPARAM w, LPARAM l);
  TDevice* Find(WaveHandle handle);

  TWin32MessageLoop& loop_;
  std::map<WaveHandle, std::unique_ptr<TDevice>> devices_;
  TimerId silence_timer_ = 0;
  // Driver records of a lost device that its driver never gave back.
  std::vector<std::unique_ptr<WAVEHDR>> retired_;
  std::vector<TLostDevice> lost_;
  bool suspending_ = false;
  std::uint32_t suspending_since_ms_ = 0;
};

}  // namespace roarmark::platform::win32
