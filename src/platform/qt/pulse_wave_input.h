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

class TPulseWaveInput final : public IWaveInput, private IPulseServerEvents {
 public:
  // Connects again after the server went away; null while there is none.
  using TReconnect = std::function<std::unique_ptr<IPulseServer>(std::vector<TPulseSource>&)>;

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

  // While the server is gone, the device count tries to connect again at most this often.
  static constexpr std::uint32_t kReconnectIntervalMs = 1000;

 private:
  struct TInput {
    WaveHandle Handle = nullptr;
    std::uint32_t SourceIndex = 0;
    IWaveInTarget* Target = nullptr;
    TWaveQueue Queue;
    std::set<WaveHeader*> Prepared;
    bool Started = false;
    bool Lost = false;
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

  IMessageLoop& loop_;
  std::unique_ptr<IPulseServer> server_;
  TReconnect reconnect_;
  std::uint32_t last_try_ms_ = 0;
  bool tried_ = false;
  TPulseSourceList list_;
  std::map<WaveHandle, std::unique_ptr<TInput>> inputs_;
  std::uintptr_t next_handle_ = 1;  // never reused, so a late message cannot hit a new handle
};

}  // namespace roarmark::platform::qt
