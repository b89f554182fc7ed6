// Simulated wave-input devices.
#include "platform/sim/sim_wave_input.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace roarmark::platform::sim {

namespace {

constexpr int kMaxNameChars = 31;
constexpr std::uint64_t kSquarePeriodFrames = 44100 / 100;

// At most 31 characters (not bytes) of a UTF-8 name.
std::string CutName(const std::string& name) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80) {
      if (chars == kMaxNameChars) return name.substr(0, i);
      ++chars;
    }
  }
  return name.substr(0, name.find('\0'));
}

double Amplitude(double dbfs) {
  return 32767.0 * std::pow(10.0, dbfs / 20.0);
}

std::int16_t Saturate(double value) {
  return static_cast<std::int16_t>(std::clamp(std::lround(value), -32768L, 32767L));
}

}  // namespace

// ---- Signals

WaveSignal WaveSignal::Sine(double hz, double dbfs) {
  WaveSignal s;
  s.kind = Kind::Sine;
  s.hz = hz;
  s.dbfs = dbfs;
  return s;
}

WaveSignal WaveSignal::Square(double dbfs) {
  WaveSignal s;
  s.kind = Kind::Square;
  s.hz = 100;
  s.dbfs = dbfs;
  return s;
}

WaveSignal WaveSignal::Constant(std::int16_t left, std::int16_t right) {
  WaveSignal s;
  s.kind = Kind::Constant;
  s.left = left;
  s.right = right;
  return s;
}

WaveSignal WaveSignal::Samples(std::vector<std::int16_t> interleaved) {
  WaveSignal s;
  s.kind = Kind::Samples;
  s.samples = std::move(interleaved);
  return s;
}

WaveSignal WaveSignal::Recording(std::vector<std::int16_t> interleaved) {
  WaveSignal s = Samples(std::move(interleaved));
  s.kind = Kind::Recording;
  return s;
}

std::int16_t SignalSample(const WaveSignal& signal, std::uint64_t frame, int channel) {
  switch (signal.kind) {
    case WaveSignal::Kind::Silence:
      return 0;
    case WaveSignal::Kind::Sine: {
      // The phase is reduced per period so it stays exact over long runs.
      const double period = 44100.0 / signal.hz;
      const double within = std::fmod(static_cast<double>(frame), period);
      return Saturate(Amplitude(signal.dbfs) * std::sin(2.0 * std::numbers::pi * within / period));
    }
    case WaveSignal::Kind::Square: {
      const std::int16_t a = Saturate(Amplitude(signal.dbfs));
      const bool high = (frame % kSquarePeriodFrames) * 2 < kSquarePeriodFrames;
      return high ? a : static_cast<std::int16_t>(-a);
    }
    case WaveSignal::Kind::Constant:
      return channel == 0 ? signal.left : signal.right;
    case WaveSignal::Kind::Samples: {
      const std::size_t frames = signal.samples.size() / 2;
      if (frames == 0) return 0;
      return signal.samples[(frame % frames) * 2 + static_cast<std::size_t>(channel)];
    }
    case WaveSignal::Kind::Recording: {
      if (frame >= signal.samples.size() / 2) return 0;
      return signal.samples[frame * 2 + static_cast<std::size_t>(channel)];
    }
  }
  return 0;
}

// ---- Devices

SimWaveInput::SimWaveInput(IMessageLoop& loop) : loop_(loop) {}

SimWaveInput::~SimWaveInput() = default;

int SimWaveInput::AddDevice(std::string name, std::set<WaveFault> faults) {
  Device device;
  device.name = std::move(name);
  device.faults = std::move(faults);
  devices_.push_back(std::move(device));
  return static_cast<int>(devices_.size()) - 1;
}

void SimWaveInput::SetFault(int key, WaveFault fault, bool on) {
  if (key < 0 || key >= DeviceKeyCount()) return;
  if (on)
    devices_[static_cast<std::size_t>(key)].faults.insert(fault);
  else
    devices_[static_cast<std::size_t>(key)].faults.erase(fault);
}

void SimWaveInput::Unplug(int key) {
  if (key >= 0 && key < DeviceKeyCount()) devices_[static_cast<std::size_t>(key)].plugged = false;
}

void SimWaveInput::Plug(int key) {
  if (key >= 0 && key < DeviceKeyCount()) devices_[static_cast<std::size_t>(key)].plugged = true;
}

bool SimWaveInput::Plugged(int key) const {
  return key >= 0 && key < DeviceKeyCount() && devices_[static_cast<std::size_t>(key)].plugged;
}

void SimWaveInput::SetSignal(int key, WaveSignal signal) {
  if (key < 0 || key >= DeviceKeyCount()) return;
  Device& device = devices_[static_cast<std::size_t>(key)];
  device.signal = std::move(signal);
  device.frame = 0;
}

int SimWaveInput::ForEachNamed(const std::string& name, const std::function<void(int)>& act) {
  int applied = 0;
  for (int key = 0; key < DeviceKeyCount(); ++key) {
    if (devices_[static_cast<std::size_t>(key)].name == name) {
      act(key);
      ++applied;
    }
  }
  return applied;
}

int SimWaveInput::SetFault(const std::string& name, WaveFault fault, bool on) {
  return ForEachNamed(name, [&](int key) { SetFault(key, fault, on); });
}

int SimWaveInput::Unplug(const std::string& name) {
  return ForEachNamed(name, [this](int key) { Unplug(key); });
}

int SimWaveInput::Plug(const std::string& name) {
  return ForEachNamed(name, [this](int key) { Plug(key); });
}

int SimWaveInput::SetSignal(const std::string& name, const WaveSignal& signal) {
  return ForEachNamed(name, [&](int key) { SetSignal(key, signal); });
}

SimWaveInput::Device* SimWaveInput::PresentDevice(int id) {
  if (id < 0) return nullptr;
  for (Device& device : devices_) {
    if (device.plugged && id-- == 0) return &device;
  }
  return nullptr;
}

SimWaveInput::Handle* SimWaveInput::Find(WaveHandle handle) const {
  for (const auto& h : handles_) {
    if (reinterpret_cast<WaveHandle>(h.get()) == handle && h->open) return h.get();
  }
  return nullptr;
}

WaveResult SimWaveInput::Record(std::string op, int device, WaveHandle handle,
                                const WaveHeader* header, WaveResult result) {
  calls_.push_back(WaveCall{std::move(op), device, handle, header, result});
  return result;
}

int SimWaveInput::CountCalls(const std::string& op) const {
  return static_cast<int>(
      std::count_if(calls_.begin(), calls_.end(), [&](const WaveCall& c) { return c.op == op; }));
}

// ---- Buffers

void SimWaveInput::Fill(Device& device, WaveHeader& header, int frames) {
  frames = std::clamp(frames, 0, static_cast<int>(header.buffer_length / 4));
  for (int i = 0; i < frames; ++i) {
    for (int channel = 0; channel < 2; ++channel) {
      const auto sample =
          static_cast<std::uint16_t>(SignalSample(device.signal, device.frame, channel));
      std::uint8_t* at = header.data + (i * 4 + channel * 2);
      at[0] = static_cast<std::uint8_t>(sample & 0xFF);
      at[1] = static_cast<std::uint8_t>(sample >> 8);
    }
    ++device.frame;
  }
  header.bytes_recorded = static_cast<std::uint32_t>(frames * 4);
}

void SimWaveInput::Return(Handle& handle, WaveHeader* header) {
  header->flags = (header->flags & ~kWaveHeaderInQueue) | kWaveHeaderDone;
  IWaveInTarget* target = handle.target;
  const WaveHandle id = reinterpret_cast<WaveHandle>(&handle);
  loop_.Post([target, id, header] { target->OnWaveInData(id, header); });
}

int SimWaveInput::DeliverBuffers(WaveHandle handle, int count) {
  Handle* h = Find(handle);
  int delivered = 0;
  while (h && h->started && delivered < count && !h->queue.empty()) {
    WaveHeader* header = h->queue.front();
    h->queue.erase(h->queue.begin());
    Device& device = devices_[static_cast<std::size_t>(h->device)];
    if (device.plugged && header->data)
      Fill(device, *header, 1100);
    else
      header->bytes_recorded = 0;  // a device that is gone records nothing
    Return(*h, header);
    ++delivered;
  }
  return delivered;
}

int SimWaveInput::DeliverBuffers(int count) {
  return DeliverBuffers(CurrentHandle(), count);
}

WaveHandle SimWaveInput::CurrentHandle() const {
  for (auto it = handles_.rbegin(); it != handles_.rend(); ++it) {
    if ((*it)->open) return reinterpret_cast<WaveHandle>(it->get());
  }
  return nullptr;
}

int SimWaveInput::QueuedCount(WaveHandle handle) const {
  const Handle* h = Find(handle);
  return h ? static_cast<int>(h->queue.size()) : 0;
}

int SimWaveInput::PreparedCount(WaveHandle handle) const {
  const Handle* h = Find(handle);
  return h ? static_cast<int>(h->prepared.size()) : 0;
}

bool SimWaveInput::IsOpen(WaveHandle handle) const {
  return Find(handle) != nullptr;
}

bool SimWaveInput::IsStarted(WaveHandle handle) const {
  const Handle* h = Find(handle);
  return h && h->started;
}

int SimWaveInput::HandleDevice(WaveHandle handle) const {
  for (const auto& h : handles_) {
    if (reinterpret_cast<WaveHandle>(h.get()) == handle) return h->device;
  }
  return -1;
}

int SimWaveInput::OpenHandleCount() const {
  return static_cast<int>(
      std::count_if(handles_.begin(), handles_.end(), [](const auto& h) { return h->open; }));
}

// ---- IWaveInput

int SimWaveInput::DeviceCount() {
  const int count = static_cast<int>(
      std::count_if(devices_.begin(), devices_.end(), [](const Device& d) { return d.plugged; }));
  Record("DeviceCount", -1, nullptr, nullptr, static_cast<WaveResult>(count));
  return count;
}

std::string SimWaveInput::DeviceName(int id) {
  Device* device = PresentDevice(id);
  Record("DeviceName", id, nullptr, nullptr, device ? kWaveOk : kWaveBadDeviceId);
  return device ? CutName(device->name) : std::string();
}

WaveResult SimWaveInput::QueryFormat(int id, const WaveFormat& format) {
  Device* device = PresentDevice(id);
  WaveResult result = kWaveOk;
  if (!device)
    result = kWaveBadDeviceId;
  else if (device->Has(WaveFault::QueryFail))
    result = kWaveError;
  else if (device->Has(WaveFault::BadFormat) || !(format == kCaptureFormat))
    result = kWaveBadFormat;
  return Record("QueryFormat", id, nullptr, nullptr, result);
}

WaveResult SimWaveInput::Open(WaveHandle* handle, int id, const WaveFormat& format,
                              IWaveInTarget* target) {
  Device* device = PresentDevice(id);
  WaveResult result = kWaveOk;
  if (!handle || !target)
    result = kWaveInvalidParam;
  else if (!device)
    result = kWaveBadDeviceId;
  else if (device->Has(WaveFault::BadFormat) || !(format == kCaptureFormat))
    result = kWaveBadFormat;
  else if (device->Has(WaveFault::OpenFail))
    result = kWaveAllocated;
  WaveHandle opened = nullptr;
  if (result == kWaveOk) {
    auto h = std::make_unique<Handle>();
    h->device = static_cast<int>(device - devices_.data());
    h->target = target;
    opened = reinterpret_cast<WaveHandle>(h.get());
    handles_.push_back(std::move(h));
    *handle = opened;
  }
  return Record("Open", id, opened, nullptr, result);
}

WaveResult SimWaveInput::Prepare(WaveHandle handle, WaveHeader* header) {
  Handle* h = Find(handle);
  WaveResult result = kWaveOk;
  if (!h)
    result = kWaveInvalidHandle;
  else if (!header)
    result = kWaveInvalidParam;
  else if (!devices_[static_cast<std::size_t>(h->device)].plugged)
    result = kWaveNoDriver;
  else if (devices_[static_cast<std::size_t>(h->device)].Has(WaveFault::PrepareFail))
    result = kWaveNoMemory;
  if (result == kWaveOk) {
    header->flags |= kWaveHeaderPrepared;
    h->prepared.insert(header);
  }
  return Record("Prepare", -1, handle, header, result);
}

WaveResult SimWaveInput::Add(WaveHandle handle, WaveHeader* header) {
  Handle* h = Find(handle);
  WaveResult result = kWaveOk;
  if (!h)
    result = kWaveInvalidHandle;
  else if (!header)
    result = kWaveInvalidParam;
  else if (!devices_[static_cast<std::size_t>(h->device)].plugged)
    result = kWaveNoDriver;
  else if (devices_[static_cast<std::size_t>(h->device)].Has(WaveFault::AddFail))
    result = kWaveError;
  else if (!h->prepared.count(header))
    result = kWaveUnprepared;
  else if (header->flags & kWaveHeaderInQueue)
    result = kWaveStillPlaying;
  if (result == kWaveOk) {
    header->flags = (header->flags & ~kWaveHeaderDone) | kWaveHeaderInQueue;
    header->bytes_recorded = 0;
    h->queue.push_back(header);
  }
  return Record("Add", -1, handle, header, result);
}

WaveResult SimWaveInput::Start(WaveHandle handle) {
  Handle* h = Find(handle);
  WaveResult result = kWaveOk;
  if (!h)
    result = kWaveInvalidHandle;
  else if (devices_[static_cast<std::size_t>(h->device)].Has(WaveFault::StartFail))
    result = kWaveError;
  if (result == kWaveOk) h->started = true;
  return Record("Start", -1, handle, nullptr, result);
}

WaveResult SimWaveInput::Unprepare(WaveHandle handle, WaveHeader* header) {
  Handle* h = Find(handle);
  WaveResult result = kWaveOk;
  if (!h)
    result = kWaveInvalidHandle;
  else if (!header)
    result = kWaveInvalidParam;
  else if (devices_[static_cast<std::size_t>(h->device)].Has(WaveFault::UnprepareFail))
    result = kWaveError;
  else if (header->flags & kWaveHeaderInQueue)
    result = kWaveStillPlaying;
  if (result == kWaveOk) {
    header->flags &= ~kWaveHeaderPrepared;
    h->prepared.erase(header);
  }
  return Record("Unprepare", -1, handle, header, result);
}

WaveResult SimWaveInput::Reset(WaveHandle handle) {
  Handle* h = Find(handle);
  if (!h) return Record("Reset", -1, handle, nullptr, kWaveInvalidHandle);
  h->started = false;
  Device& device = devices_[static_cast<std::size_t>(h->device)];
  bool first = true;
  while (!h->queue.empty()) {
    WaveHeader* header = h->queue.front();
    h->queue.erase(h->queue.begin());
    const int frames = first && device.plugged ? std::min(reset_fill_frames_, 1099) : 0;
    if (header->data)
      Fill(device, *header, frames);
    else
      header->bytes_recorded = 0;
    first = false;
    Return(*h, header);
  }
  return Record("Reset", -1, handle, nullptr, kWaveOk);
}

WaveResult SimWaveInput::Close(WaveHandle handle) {
  Handle* h = Find(handle);
  WaveResult result = kWaveOk;
  if (!h)
    result = kWaveInvalidHandle;
  else if (!h->queue.empty())
    result = kWaveStillPlaying;
  if (result == kWaveOk) {
    h->open = false;
    h->started = false;
    h->queue.shrink_to_fit();
  }
  return Record("Close", -1, handle, nullptr, result);
}

}  // namespace roarmark::platform::sim
