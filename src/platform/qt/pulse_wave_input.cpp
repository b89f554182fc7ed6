// Wave input on the PulseAudio sound server.
#include "platform/qt/pulse_wave_input.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace roarmark::platform::qt {

TPulseWaveInput::TPulseWaveInput(IMessageLoop& loop, std::unique_ptr<IPulseServer> server,
                                 const std::vector<TPulseSource>& sources, TReconnect reconnect)
    : loop_(loop), reconnect_(std::move(reconnect)), created_ms_(loop.TickCount()) {
  ever_connected_ = server != nullptr;
  list_.Replace(sources);
  Attach(std::move(server));
  silence_timer_ = loop_.SetTimer(500, [this] { CheckSilence(); });
}

TPulseWaveInput::~TPulseWaveInput() {
  *self_ = nullptr;  // an attempt to connect that ends later finds no one
  if (silence_timer_ != 0) loop_.KillTimer(silence_timer_);
  if (server_) server_->SetEvents(nullptr);
}

void TPulseWaveInput::Attach(std::unique_ptr<IPulseServer> server) {
  server_ = std::move(server);
  if (server_) server_->SetEvents(this);
}

// --- The device list -----------------------------------------------------------------------

int TPulseWaveInput::DeviceCount() {
  if (!server_ && reconnect_ && !trying_) {
    const std::uint32_t now = loop_.TickCount();
    if (!tried_ || now - last_try_ms_ >= kReconnectIntervalMs) {
      tried_ = true;
      trying_ = true;
      last_try_ms_ = now;
      std::weak_ptr<TPulseWaveInput*> self = self_;
      reconnect_([self](std::unique_ptr<IPulseServer> server, std::vector<TPulseSource> sources) {
        const std::shared_ptr<TPulseWaveInput*> alive = self.lock();
        if (alive && *alive) (*alive)->Connected(std::move(server), std::move(sources));
      });
    }
  }
  // Stalled sources come back after their time aside, suspended or not: the server suspends
  // an input nobody records from, so its word would keep it out for good; one that is really
  // dead is caught again by the silence check.
  const std::uint32_t now = loop_.TickCount();
  for (auto it = stalled_.begin(); it != stalled_.end();) {
    if (list_.Find(it->first) && now - it->second < kStalledAsideMs) {
      ++it;
      continue;
    }
    list_.SetAside(it->first, false);
    it = stalled_.erase(it);
  }
  const int count = list_.Count();
  if (count == 0 && connected_ms_ != 0 && now - connected_ms_ < kRestartGraceMs) return away_count_;
  // The only input set aside is still a device, just not one to open yet.
  if (count == 0 && server_) return static_cast<int>(stalled_.size());
  return count;
}

bool TPulseWaveInput::StillListing() {
  const std::uint32_t now = loop_.TickCount();
  if (!server_) return reconnect_ && !ever_connected_ && now - created_ms_ < kRestartGraceMs;
  return connected_ms_ != 0 && now - connected_ms_ < kRestartGraceMs;
}

std::string TPulseWaveInput::DeviceName(int id) {
  // While the server is away its inputs are not there to be found by name.
  return server_ ? list_.DeviceName(id) : std::string();
}

void TPulseWaveInput::Connected(std::unique_ptr<IPulseServer> server,
                                std::vector<TPulseSource> sources) {
  trying_ = false;
  if (!server || server_) return;
  ever_connected_ = true;
  away_count_ = list_.Count();
  connected_ms_ = loop_.TickCount();
  if (connected_ms_ == 0) connected_ms_ = 1;
  list_.Replace(sources);
  stalled_.clear();
  Attach(std::move(server));
  for (auto& [handle, input] : inputs_) {
    if (input->Waiting) OpenWaiting(*input);
  }
}

WaveResult TPulseWaveInput::QueryFormat(int id, const WaveFormat& format) {
  if (!list_.At(id)) return kWaveBadDeviceId;
  TPulseSpec spec;
  if (!ToPulseSpec(format, spec)) return kWaveBadFormat;
  return kWaveOk;
}

void TPulseWaveInput::SourceChanged(const TPulseSource& source) {
  list_.Update(source);
}

void TPulseWaveInput::SourceRemoved(std::uint32_t index) {
  list_.Remove(index);
  for (auto& [handle, input] : inputs_) {
    if (input->SourceIndex == index) Lose(*input);
  }
}

void TPulseWaveInput::ServerLost() {
  for (auto& [handle, input] : inputs_)
    Lose(*input);
  // Its streams are gone with it; the list keeps its length (see DeviceName) until a new
  // connection lists afresh.
  Attach(nullptr);
  tried_ = false;
}

// --- Recording -----------------------------------------------------------------------------

TStreamId TPulseWaveInput::StreamOf(WaveHandle handle) {
  return static_cast<TStreamId>(reinterpret_cast<std::uintptr_t>(handle));
}

TPulseWaveInput::TInput* TPulseWaveInput::Find(WaveHandle handle) {
  auto it = inputs_.find(handle);
  return it == inputs_.end() ? nullptr : it->second.get();
}

WaveResult TPulseWaveInput::Open(WaveHandle* handle, int id, const WaveFormat& format,
                                 IWaveInTarget* target) {
  if (!handle || !target) return kWaveInvalidParam;
  const TPulseSource* source = list_.At(id);
  if (!source) return kWaveBadDeviceId;
  TPulseSpec spec;
  if (!ToPulseSpec(format, spec)) return kWaveBadFormat;

  const auto new_handle = reinterpret_cast<WaveHandle>(next_handle_++);
  auto input = std::make_unique<TInput>();
  input->Handle = new_handle;
  input->SourceIndex = source->Index;
  input->SourceName = source->Default ? std::string() : source->Name;
  input->Target = target;
  input->Format = format;
  if (server_) {
    if (!server_->OpenStream(StreamOf(new_handle), input->SourceName, spec, Fragment(format)))
      return kWaveAllocated;
  } else {
    // Only the default input can be opened while the server is away (device 0 without a name):
    // it records once the server is back.
    input->Waiting = true;
  }
  *handle = new_handle;
  inputs_[new_handle] = std::move(input);
  return kWaveOk;
}

std::uint32_t TPulseWaveInput::Fragment(const WaveFormat& format) {
  // One fragment per capture buffer (a 40th of a second) keeps the buffers coming evenly.
  return std::max<std::uint32_t>(format.samples_per_sec / 40, 1) * format.block_align;
}

void TPulseWaveInput::OpenWaiting(TInput& input) {
  input.Waiting = false;
  TPulseSpec spec;
  ToPulseSpec(input.Format, spec);
  if (!server_->OpenStream(StreamOf(input.Handle), input.SourceName, spec,
                           Fragment(input.Format))) {
    input.Lost = true;
    ReturnAll(input);
    return;
  }
  input.LastSoundMs = loop_.TickCount();
  if (input.Started && !server_->StartStream(StreamOf(input.Handle))) Lose(input);
}

void TPulseWaveInput::CheckSilence() {
  const std::uint32_t now = loop_.TickCount();
  for (auto& [handle, input] : inputs_) {
    if (!input->Started || input->Lost || input->Waiting || !server_) continue;
    if (now - input->LastSoundMs < kSilentLossMs) continue;
    stalled_[input->SourceIndex] = now;
    list_.SetAside(input->SourceIndex, true);
    Lose(*input);
  }
}

WaveResult TPulseWaveInput::Prepare(WaveHandle handle, WaveHeader* header) {
  TInput* input = Find(handle);
  if (!input) return kWaveInvalidHandle;
  if (input->Lost) return kWaveNoDriver;
  if (!header || !header->data || header->buffer_length == 0) return kWaveInvalidParam;
  header->flags = (header->flags & ~kWaveHeaderDone) | kWaveHeaderPrepared;
  input->Prepared.insert(header);
  return kWaveOk;
}

WaveResult TPulseWaveInput::Add(WaveHandle handle, WaveHeader* header) {
  TInput* input = Find(handle);
  if (!input) return kWaveInvalidHandle;
  if (input->Lost) return kWaveNoDriver;
  if (!header) return kWaveInvalidParam;
  if (!input->Prepared.count(header)) return kWaveUnprepared;
  if (input->Queue.Contains(header)) return kWaveStillPlaying;
  input->Queue.Add(header);
  return kWaveOk;
}

WaveResult TPulseWaveInput::Start(WaveHandle handle) {
  TInput* input = Find(handle);
  if (!input) return kWaveInvalidHandle;
  if (input->Lost) return kWaveNoDriver;
  if (input->Started) return kWaveOk;
  if (!input->Waiting && (!server_ || !server_->StartStream(StreamOf(handle))))
    return kWaveNoDriver;
  input->Started = true;
  input->LastSoundMs = loop_.TickCount();
  return kWaveOk;
}

WaveResult TPulseWaveInput::Unprepare(WaveHandle handle, WaveHeader* header) {
  TInput* input = Find(handle);
  if (!input) return kWaveInvalidHandle;
  if (!header) return kWaveInvalidParam;
  if (input->Queue.Contains(header)) return kWaveStillPlaying;
  input->Prepared.erase(header);
  header->flags &= ~kWaveHeaderPrepared;
  return kWaveOk;
}

WaveResult TPulseWaveInput::Reset(WaveHandle handle) {
  TInput* input = Find(handle);
  if (!input) return kWaveInvalidHandle;
  ReturnAll(*input);
  return kWaveOk;
}

WaveResult TPulseWaveInput::Close(WaveHandle handle) {
  TInput* input = Find(handle);
  if (!input) return kWaveInvalidHandle;
  if (!input->Queue.Empty()) return kWaveStillPlaying;
  if (server_ && !input->Lost && !input->Waiting) server_->CloseStream(StreamOf(handle));
  inputs_.erase(handle);
  return kWaveOk;
}

void TPulseWaveInput::StreamData(TStreamId stream, std::vector<std::uint8_t> bytes) {
  TInput* input = Find(reinterpret_cast<WaveHandle>(static_cast<std::uintptr_t>(stream)));
  // Sound still on its way after a reset or a loss is not recorded.
  if (!input || !input->Started || input->Lost) return;
  input->LastSoundMs = loop_.TickCount();
  std::vector<WaveHeader*> done;
  input->Queue.Feed(bytes.data(), bytes.size(), done);
  for (WaveHeader* header : done)
    PostDone(*input, header);
}

void TPulseWaveInput::StreamFailed(TStreamId stream) {
  if (TInput* input = Find(reinterpret_cast<WaveHandle>(static_cast<std::uintptr_t>(stream))))
    Lose(*input);
}

void TPulseWaveInput::PostDone(TInput& input, WaveHeader* header) {
  IWaveInTarget* target = input.Target;
  WaveHandle handle = input.Handle;
  loop_.Post([target, handle, header] { target->OnWaveInData(handle, header); });
}

void TPulseWaveInput::ReturnAll(TInput& input) {
  if (input.Started) {
    input.Started = false;
    if (server_ && !input.Lost && !input.Waiting) server_->StopStream(StreamOf(input.Handle));
  }
  for (WaveHeader* header : input.Queue.TakeAll())
    PostDone(input, header);
}

void TPulseWaveInput::Lose(TInput& input) {
  if (input.Lost) return;
  input.Lost = true;
  ReturnAll(input);
  if (server_ && !input.Waiting) server_->CloseStream(StreamOf(input.Handle));
}

std::unique_ptr<TPulseWaveInput> CreatePulseWaveInput(IMessageLoop& loop) {
  auto reconnect = [&loop](TPulseWaveInput::TConnected done) {
    // Connecting can take seconds: a thread of its own, the answer posted to the GUI thread.
    std::thread([&loop, done = std::move(done)] {
      std::vector<TPulseSource> listed;
      // Held raw on its way, as posted messages must be copyable; `done` owns it again.
      IPulseServer* server = ConnectPulseServer(loop, listed).release();
      loop.Post([done, server, listed] { done(std::unique_ptr<IPulseServer>(server), listed); });
    }).detach();
  };
  // Connected in the background like a reconnect, so a start at login, when the server may
  // still be starting or listing its devices, gets the same grace and the window no wait.
  auto wave = std::make_unique<TPulseWaveInput>(loop, nullptr, std::vector<TPulseSource>{},
                                                std::move(reconnect));
  wave->DeviceCount();
  return wave;
}

}  // namespace roarmark::platform::qt
