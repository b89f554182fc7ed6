// Wave input on the PulseAudio sound server.
#include "platform/qt/pulse_wave_input.h"

#include <algorithm>
#include <utility>

namespace roarmark::platform::qt {

TPulseWaveInput::TPulseWaveInput(IMessageLoop& loop, std::unique_ptr<IPulseServer> server,
                                 const std::vector<TPulseSource>& sources, TReconnect reconnect)
    : loop_(loop), reconnect_(std::move(reconnect)) {
  list_.Replace(sources);
  Attach(std::move(server));
}

TPulseWaveInput::~TPulseWaveInput() {
  if (server_) server_->SetEvents(nullptr);
}

void TPulseWaveInput::Attach(std::unique_ptr<IPulseServer> server) {
  server_ = std::move(server);
  if (server_) server_->SetEvents(this);
}

// --- The device list -----------------------------------------------------------------------

int TPulseWaveInput::DeviceCount() {
  if (!server_ && reconnect_) {
    const std::uint32_t now = loop_.TickCount();
    if (!tried_ || now - last_try_ms_ >= kReconnectIntervalMs) {
      tried_ = true;
      last_try_ms_ = now;
      std::vector<TPulseSource> sources;
      if (std::unique_ptr<IPulseServer> server = reconnect_(sources)) {
        list_.Replace(sources);
        Attach(std::move(server));
      }
    }
  }
  return list_.Count();
}

std::string TPulseWaveInput::DeviceName(int id) {
  return list_.DeviceName(id);
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
  list_.Clear();
  for (auto& [handle, input] : inputs_)
    Lose(*input);
  // Its streams are gone with it; a new connection starts with a new list.
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
  if (!server_) return kWaveNoDriver;

  const auto new_handle = reinterpret_cast<WaveHandle>(next_handle_++);
  // One fragment per capture buffer (a 40th of a second) keeps the buffers coming evenly.
  const std::uint32_t fragment =
      std::max<std::uint32_t>(format.samples_per_sec / 40, 1) * format.block_align;
  if (!server_->OpenStream(StreamOf(new_handle), source->Name, spec, fragment))
    return kWaveAllocated;

  auto input = std::make_unique<TInput>();
  input->Handle = new_handle;
  input->SourceIndex = source->Index;
  input->Target = target;
  *handle = new_handle;
  inputs_[new_handle] = std::move(input);
  return kWaveOk;
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
  if (input->Lost || !server_) return kWaveNoDriver;
  if (input->Started) return kWaveOk;
  if (!server_->StartStream(StreamOf(handle))) return kWaveNoDriver;
  input->Started = true;
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
  if (server_ && !input->Lost) server_->CloseStream(StreamOf(handle));
  inputs_.erase(handle);
  return kWaveOk;
}

void TPulseWaveInput::StreamData(TStreamId stream, std::vector<std::uint8_t> bytes) {
  TInput* input = Find(reinterpret_cast<WaveHandle>(static_cast<std::uintptr_t>(stream)));
  // Sound still on its way after a reset or a loss is not recorded.
  if (!input || !input->Started || input->Lost) return;
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
    if (server_ && !input.Lost) server_->StopStream(StreamOf(input.Handle));
  }
  for (WaveHeader* header : input.Queue.TakeAll())
    PostDone(input, header);
}

void TPulseWaveInput::Lose(TInput& input) {
  if (input.Lost) return;
  input.Lost = true;
  ReturnAll(input);
  if (server_) server_->CloseStream(StreamOf(input.Handle));
}

}  // namespace roarmark::platform::qt
