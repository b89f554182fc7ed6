// Wave input on the PulseAudio sound server: its sources as the device list, kept current from
// the server's own notices, recorded into the program's queued buffers.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/message_loop.h"
#include "platform/qt/pulse_server.h"
#include "platform/qt/pulse_source_list.h"
#include "platform/qt/wave_queue.h"
#include "platform/wave_input.h"

namespace roarmark::platform::qt {

// A server that goes away (restarted, crashed) is the loss of the inputs open on it, not of every
// device: while it is away the device list keeps its length but no name (so the configured
// input is missing and the program waits for it), connecting again runs in the background, and
// an input opened meanwhile records once the server is back.
class TPulseWaveInput final : public IWaveInput, private IPulseServerEvents {
 public:
  // The result of one attempt to connect: the server, or null, and what it listed.
  using TConnected = std::function<void(std::unique_ptr<IPulseServer>, std::vector<TPulseSource>)>;
  // Starts one attempt to connect again, off the GUI thread; `done` runs on the GUI thread.
  using TReconnect = std::function<void(TConnected done)>;

  // `server` is connected and `sources` is what it listed.
  TPulseWaveInput(IMessageLoop& loop, std::unique_ptr<IPulseServer> server,
                  const std::vector<TPulseSource>& sources, TReconnect reconnect = {});
  ~TPulseWaveInput() override;

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

  // While the server is gone, the device count starts an attempt to connect again at most this
  // often.
  static constexpr std::uint32_t kReconnectIntervalMs = 1000;
  // A running input that delivers nothing for this long (its source suspended, its driver
  // stalled) counts as lost; its source stays out of the list for kStalledAsideMs, so that an
  // input chosen by number moves to another one, and comes back whatever its suspend state.
  static constexpr std::uint32_t kSilentLossMs = 2000;
  static constexpr std::uint32_t kStalledAsideMs = 1000;
  // A server that has just started (again) lists its inputs one by one: for this long an empty
  // list is not yet the loss of every device. The first connection gets as long to be made.
  static constexpr std::uint32_t kRestartGraceMs = 5000;
  bool StillListing() override;
  // Looks for inputs that went silent; runs from a timer every half second.
  void CheckSilence();

 private:
  struct TInput {
    WaveHandle Handle = nullptr;
    std::uint32_t SourceIndex = 0;
    IWaveInTarget* Target = nullptr;
    TWaveQueue Queue;
    std::set<WaveHeader*> Prepared;
    std::string SourceName;  // empty: the server's default source
    WaveFormat Format{};
    std::uint32_t LastSoundMs = 0;
    bool Started = false;
    bool Lost = false;
    bool Waiting = false;  // opened while the server was away: no stream yet
  };

  void SourceChanged(const TPulseSource& source) override;
  void SourceRemoved(std::uint32_t index) override;
  void StreamData(TStreamId stream, std::vector<std::uint8_t> bytes) override;
  void StreamFailed(TStreamId stream) override;
  void ServerLost() override;

  TInput* Find(WaveHandle handle);
  static TStreamId StreamOf(WaveHandle handle);
  // The device is gone for this handle: recording stops, the queued buffers come back, and
  // every later prepare fails so that the program's recovery takes over.
  void Lose(TInput& input);
  // Stops recording and posts every queued buffer back.
  void ReturnAll(TInput& input);
  void PostDone(TInput& input, WaveHeader* header);
  void Attach(std::unique_ptr<IPulseServer> server);
  void Connected(std::unique_ptr<IPulseServer> server, std::vector<TPulseSource> sources);
  // Gives an input opened while the server was away its stream.
  void OpenWaiting(TInput& input);
  static std::uint32_t Fragment(const WaveFormat& format);

  IMessageLoop& loop_;
  std::unique_ptr<IPulseServer> server_;
  TReconnect reconnect_;
  std::uint32_t last_try_ms_ = 0;
  bool tried_ = false;
  bool trying_ = false;
  int away_count_ = 0;  // the list's length while the server was away
  std::uint32_t connected_ms_ = 0;
  std::uint32_t created_ms_ = 0;
  bool ever_connected_ = false;
  std::shared_ptr<TPulseWaveInput*> self_ = std::make_shared<TPulseWaveInput*>(this);
  TimerId silence_timer_ = 0;
  std::map<std::uint32_t, std::uint32_t> stalled_;  // source index -> when it went silent
  TPulseSourceList list_;
  std::map<WaveHandle, std::unique_ptr<TInput>> inputs_;
  std::uintptr_t next_handle_ = 1;  // never reused, so a late message cannot hit a new handle
};

// The desktop's wave input: connects to the sound server in the background, at start and again
// whenever it went away.
std::unique_ptr<TPulseWaveInput> CreatePulseWaveInput(IMessageLoop& loop);

}  // namespace roarmark::platform::qt
