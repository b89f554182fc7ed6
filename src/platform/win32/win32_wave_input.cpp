// winmm wave input. The program's header records stand apart from the driver's WAVEHDR, which
// must stay put while the driver holds it; the recorded length and flags are copied back when
// MM_WIM_DATA brings a buffer home.
#include "platform/win32/win32_wave_input.h"

#include <algorithm>
#include <utility>

#include "platform/win32/base/win32_text.h"
#include "platform/win32/win32_message_loop.h"

namespace roarmark::platform::win32 {

namespace {

WAVEFORMATEX Native(const WaveFormat& f) {
  WAVEFORMATEX w{};
  w.wFormatTag = f.format_tag;
  w.nChannels = f.channels;
  w.nSamplesPerSec = f.samples_per_sec;
  w.nAvgBytesPerSec = f.avg_bytes_per_sec;
  w.nBlockAlign = f.block_align;
  w.wBitsPerSample = f.bits_per_sample;
  w.cbSize = f.cb_size;
  return w;
}

void CopyBack(const WAVEHDR& from, WaveHeader* to) {
  to->bytes_recorded = from.dwBytesRecorded;
  to->flags = from.dwFlags;
}

}  // namespace

TWin32WaveInput::TWin32WaveInput(TWin32MessageLoop& loop) : loop_(loop) {
  loop_.OnWindowMessage = [this](UINT message, WPARAM w, LPARAM l) { return Data(message, w, l); };
  silence_timer_ = loop_.SetTimer(500, [this] { CheckSilence(); });
}

TWin32WaveInput::~TWin32WaveInput() {
  loop_.KillTimer(silence_timer_);
  loop_.OnWindowMessage = nullptr;
}

int TWin32WaveInput::DeviceCount() {
  return static_cast<int>(waveInGetNumDevs());
}

std::string TWin32WaveInput::ListedName(int id) {
  WAVEINCAPSW caps{};
  if (id < 0 || waveInGetDevCapsW(static_cast<UINT>(id), &caps, sizeof caps) != MMSYSERR_NOERROR)
    return {};
  wchar_t name[MAXPNAMELEN + 1] = {};
  for (int i = 0; i < MAXPNAMELEN && caps.szPname[i]; ++i)
    name[i] = caps.szPname[i];
  return Narrow(name);
}

std::string TWin32WaveInput::DeviceName(int id) {
  const std::string narrow = ListedName(id);
  for (auto it = lost_.begin(); it != lost_.end(); ++it) {
    if (it->Id != id || it->Name != narrow) continue;
    if (!OpensAgain(*it)) return {};
    lost_.erase(it);
    break;
  }
  return narrow;
}

// A trial open in the lost device's own format, closed at once.
bool TWin32WaveInput::OpensAgain(const TLostDevice& lost) {
  WAVEFORMATEX f = lost.Format;
  HWAVEIN trial = nullptr;
  if (waveInOpen(&trial, static_cast<UINT>(lost.Id), &f, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
    return false;
  waveInClose(trial);
  return true;
}

WaveResult TWin32WaveInput::QueryFormat(int id, const WaveFormat& format) {
  WAVEFORMATEX f = Native(format);
  return waveInOpen(nullptr, static_cast<UINT>(id), &f, 0, 0, WAVE_FORMAT_QUERY);
}

WaveResult TWin32WaveInput::Open(WaveHandle* handle, int id, const WaveFormat& format,
                                 IWaveInTarget* target) {
  WAVEFORMATEX f = Native(format);
  HWAVEIN native = nullptr;
  const MMRESULT r = waveInOpen(&native, static_cast<UINT>(id), &f,
                                reinterpret_cast<DWORD_PTR>(loop_.Window()), 0, CALLBACK_WINDOW);
  if (r != MMSYSERR_NOERROR) return r;
  auto device = std::make_unique<TDevice>();
  device->Native = native;
  device->Target = target;
  device->Id = id;
  device->Name = ListedName(id);
  device->Format = f;
  *handle = reinterpret_cast<WaveHandle>(native);
  devices_[*handle] = std::move(device);
  return kWaveOk;
}

TWin32WaveInput::TDevice* TWin32WaveInput::Find(WaveHandle handle) {
  auto it = devices_.find(handle);
  return it == devices_.end() ? nullptr : it->second.get();
}

WaveResult TWin32WaveInput::Prepare(WaveHandle handle, WaveHeader* header) {
  TDevice* device = Find(handle);
  if (!device) return kWaveInvalidHandle;
  if (device->Lost) return kWaveNoDriver;
  auto native = std::make_unique<WAVEHDR>();
  native->lpData = reinterpret_cast<LPSTR>(header->data);
  native->dwBufferLength = header->buffer_length;
  native->dwUser = header->user;
  native->dwLoops = header->loops;
  const MMRESULT r = waveInPrepareHeader(device->Native, native.get(), sizeof(WAVEHDR));
  if (r != MMSYSERR_NOERROR) return r;
  CopyBack(*native, header);
  device->Headers[header] = std::move(native);
  return kWaveOk;
}

WaveResult TWin32WaveInput::Add(WaveHandle handle, WaveHeader* header) {
  TDevice* device = Find(handle);
  if (!device) return kWaveInvalidHandle;
  if (device->Lost) return kWaveNoDriver;
  auto it = device->Headers.find(header);
  if (it == device->Headers.end()) return kWaveUnprepared;
  const MMRESULT r = waveInAddBuffer(device->Native, it->second.get(), sizeof(WAVEHDR));
  CopyBack(*it->second, header);
  if (r == MMSYSERR_NOERROR) device->Queue.push_back(header);
  return r;
}

WaveResult TWin32WaveInput::Start(WaveHandle handle) {
  TDevice* device = Find(handle);
  if (!device) return kWaveInvalidHandle;
  if (device->Lost) return kWaveNoDriver;
  const MMRESULT r = waveInStart(device->Native);
  if (r == MMSYSERR_NOERROR && !device->Started) {
    device->Started = true;
    device->LastDataMs = AwakeMs();
  }
  return r;
}

WaveResult TWin32WaveInput::Unprepare(WaveHandle handle, WaveHeader* header) {
  TDevice* device = Find(handle);
  if (!device) return kWaveInvalidHandle;
  auto it = device->Headers.find(header);
  if (it == device->Headers.end()) return kWaveOk;  // never prepared: nothing to undo
  const MMRESULT r = waveInUnprepareHeader(device->Native, it->second.get(), sizeof(WAVEHDR));
  CopyBack(*it->second, header);
  if (r == MMSYSERR_NOERROR) {
    device->Headers.erase(it);
  } else if (device->Lost) {
    // The driver of a vanished device may still count the block as its own: the record stays
    // alive, the program's buffer is free.
    retired_.push_back(std::move(it->second));
    device->Headers.erase(it);
    header->flags &= ~kWaveHeaderPrepared;
    return kWaveOk;
  }
  return r;
}

WaveResult TWin32WaveInput::Reset(WaveHandle handle) {
  TDevice* device = Find(handle);
  if (!device) return kWaveInvalidHandle;
  device->Started = false;
  return waveInReset(device->Native);
}

WaveResult TWin32WaveInput::Close(WaveHandle handle) {
  TDevice* device = Find(handle);
  if (!device) return kWaveInvalidHandle;
  const MMRESULT r = waveInClose(device->Native);
  if (r == MMSYSERR_NOERROR || (device->Lost && device->Queue.empty())) {
    for (auto& [header, native] : device->Headers)
      retired_.push_back(std::move(native));
    devices_.erase(handle);
    return kWaveOk;
  }
  return r;
}

std::uint32_t TWin32WaveInput::AwakeMs() {
  ULONGLONG units = 0;  // of 100 ns
  QueryUnbiasedInterruptTime(&units);
  return static_cast<std::uint32_t>(units / 10000);
}

void TWin32WaveInput::Power(WPARAM event) {
  if (event == PBT_APMSUSPEND) {
    suspending_ = true;
    suspending_since_ms_ = AwakeMs();
  } else if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) {
    suspending_ = false;
    const std::uint32_t now = AwakeMs();
    for (auto& [handle, device] : devices_)
      device->LastDataMs = now;
  }
}

// MM_WIM_DATA: wParam the device, lParam its WAVEHDR. WM_POWERBROADCAST is only looked at.
bool TWin32WaveInput::Data(UINT message, WPARAM w, LPARAM l) {
  if (message == WM_POWERBROADCAST) {
    Power(w);
    return false;
  }
  if (message != MM_WIM_DATA) return false;
  const auto handle = reinterpret_cast<WaveHandle>(w);
  TDevice* device = Find(handle);
  if (!device) return true;  // a buffer of a device already closed
  device->LastDataMs = AwakeMs();
  const auto* native = reinterpret_cast<const WAVEHDR*>(l);
  for (auto& [header, mine] : device->Headers) {
    if (mine.get() != native) continue;
    auto queued = std::find(device->Queue.begin(), device->Queue.end(), header);
    if (queued == device->Queue.end()) break;  // handed back already, when the device was lost
    device->Queue.erase(queued);
    CopyBack(*mine, header);
    if (device->Target) device->Target->OnWaveInData(handle, header);
    break;
  }
  return true;
}

void TWin32WaveInput::CheckSilence() {
  const std::uint32_t now = AwakeMs();
  if (suspending_ && now - suspending_since_ms_ < kSuspendHoldMs) return;
  suspending_ = false;
  for (auto& [handle, device] : devices_) {
    if (!device->Started || device->Lost || now - device->LastDataMs < kSilentLossMs) continue;
    device->Lost = true;
    device->Started = false;
    waveInReset(device->Native);
    const bool known = std::any_of(lost_.begin(), lost_.end(), [&](const TLostDevice& l) {
      return l.Id == device->Id && l.Name == device->Name;
    });
    if (!known) lost_.push_back({device->Id, device->Name, device->Format});
    // A vanished device's driver may keep its buffers: they come home here, in queue order,
    // as done and empty.
    for (WaveHeader* header : std::exchange(device->Queue, {})) {
      header->flags |= kWaveHeaderDone;
      header->flags &= ~kWaveHeaderInQueue;
      header->bytes_recorded = 0;
      loop_.Post([this, handle = handle, header] {
        TDevice* owner = Find(handle);
        if (owner && owner->Target) owner->Target->OnWaveInData(handle, header);
      });
    }
  }
}

}  // namespace roarmark::platform::win32
