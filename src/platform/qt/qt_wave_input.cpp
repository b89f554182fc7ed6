// Wave input on the desktop: libpulse when a PulseAudio server answers, else Qt Multimedia.
#include "platform/qt/qt_wave_input.h"

#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>
#include <vector>

namespace roarmark::platform::qt {

bool ToAudioFormat(const WaveFormat& format, QAudioFormat& out) {
  if (format.format_tag != 1 || format.channels == 0 || format.samples_per_sec == 0) return false;
  if (format.block_align != format.channels * (format.bits_per_sample / 8)) return false;
  QAudioFormat::SampleFormat sample = QAudioFormat::Unknown;
  switch (format.bits_per_sample) {
    case 8:
      sample = QAudioFormat::UInt8;
      break;
    case 16:
      sample = QAudioFormat::Int16;
      break;
    case 32:
      sample = QAudioFormat::Int32;
      break;
    default:
      return false;
  }
  out = QAudioFormat();
  out.setSampleRate(static_cast<int>(format.samples_per_sec));
  out.setChannelCount(format.channels);
  out.setSampleFormat(sample);
  return true;
}

// Takes what the audio source writes (pull mode) and hands it to the wave input.
class TQtWaveInput::TSink final : public QIODevice {
 public:
  TSink(TQtWaveInput& owner, TInput& input) : owner_(owner), input_(input) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    owner_.Recorded(input_, data, size);
    return size;
  }

 private:
  TQtWaveInput& owner_;
  TInput& input_;
};

struct TQtWaveInput::TInput {
  WaveHandle handle = nullptr;
  QAudioDevice device;
  IWaveInTarget* target = nullptr;
  std::unique_ptr<QAudioSource> source;
  std::unique_ptr<TSink> sink;
  TWaveQueue queue;
  std::set<WaveHeader*> prepared;
  bool started = false;
  bool lost = false;
};

TQtWaveInput::TQtWaveInput(IMessageLoop& loop) : loop_(loop) {
  // Qt's own device list is not kept current on every system, and the server quietly moves a
  // recording to another source when its own goes; libpulse is told about both.
  std::vector<TPulseSource> sources;
  if (std::unique_ptr<IPulseServer> server = ConnectPulseServer(loop, sources)) {
    pulse_ = std::make_unique<TPulseWaveInput>(
        loop, std::move(server), sources,
        [&loop](std::vector<TPulseSource>& listed) { return ConnectPulseServer(loop, listed); });
    return;
  }
  devices_ = std::make_unique<QMediaDevices>();
  connect(devices_.get(), &QMediaDevices::audioInputsChanged, this, &TQtWaveInput::DevicesChanged);
}

TQtWaveInput::~TQtWaveInput() {
  for (auto& [handle, input] : inputs_) {
    if (input->source) input->source->stop();
  }
}

int TQtWaveInput::DeviceCount() {
  if (pulse_) return pulse_->DeviceCount();
  return static_cast<int>(QMediaDevices::audioInputs().size());
}

std::string TQtWaveInput::DeviceName(int id) {
  if (pulse_) return pulse_->DeviceName(id);
  const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
  if (id < 0 || id >= inputs.size()) return std::string();
  return ShortDeviceName(inputs[id].description());
}

WaveResult TQtWaveInput::QueryFormat(int id, const WaveFormat& format) {
  if (pulse_) return pulse_->QueryFormat(id, format);
  const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
  if (id < 0 || id >= inputs.size()) return kWaveBadDeviceId;
  QAudioFormat qformat;
  if (!ToAudioFormat(format, qformat) || !inputs[id].isFormatSupported(qformat))
    return kWaveBadFormat;
  return kWaveOk;
}

WaveResult TQtWaveInput::Open(WaveHandle* handle, int id, const WaveFormat& format,
                              IWaveInTarget* target) {
  if (pulse_) return pulse_->Open(handle, id, format, target);
  if (!handle || !target) return kWaveInvalidParam;
  const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
  if (id < 0 || id >= inputs.size()) return kWaveBadDeviceId;
  QAudioFormat qformat;
  if (!ToAudioFormat(format, qformat) || !inputs[id].isFormatSupported(qformat))
    return kWaveBadFormat;

  auto input = std::make_unique<TInput>();
  input->device = inputs[id];
  input->target = target;
  input->source = std::make_unique<QAudioSource>(input->device, qformat);
  // One period per capture buffer keeps the buffers coming evenly instead of in pairs.
  input->source->setBufferSize(4400);
  input->sink = std::make_unique<TSink>(*this, *input);
  input->handle = reinterpret_cast<WaveHandle>(input.get());
  TInput* raw = input.get();
  connect(input->source.get(), &QAudioSource::stateChanged, this, [this, raw](QAudio::State) {
    const QAudio::Error error = raw->source->error();
    if (raw->started &&
        (error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError))
      Lost(*raw);
  });
  *handle = input->handle;
  inputs_[input->handle] = std::move(input);
  return kWaveOk;
}

TQtWaveInput::TInput* TQtWaveInput::Find(WaveHandle handle) const {
  auto it = inputs_.find(handle);
  return it == inputs_.end() ? nullptr : it->second.get();
}

WaveResult TQtWaveInput::Prepare(WaveHandle handle, WaveHeader* header) {
  if (pulse_) return pulse_->Prepare(handle, header);
  TInput* input = Find(handle);
  if (!input) return kWaveInvalidHandle;
  if (input->lost) return kWaveNoDriver;
  if (!header || !header->data || header->buffer_length == 0) return kWaveInvalidParam;
  header->flags = (header->flags & ~kWaveHeaderDone) | kWaveHeaderPrepared;
  input->prepared.insert(header);
  return kWaveOk;
}

WaveResult TQtWaveInput::Add(WaveHandle handle, WaveHeader* header) {
  if (pulse_) return pulse_->Add(handle, header);
  TInput* input = Find(handle);
  if (!input) return kWaveInvalidHandle;
  if (!header) return kWaveInvalidParam;
  if (!input->prepared.count(header)) return kWaveUnprepared;
  if (input->queue.Contains(header)) return kWaveStillPlaying;
  input->queue.Add(header);
  return kWaveOk;
}

WaveResult TQtWaveInput::Start(WaveHandle handle) {
  if (pulse_) return pulse_->Start(handle);
  TInput* input = Find(handle);
  if (!input) return kWaveInvalidHandle;
  if (input->lost) return kWaveNoDriver;
  if (input->started) return kWaveOk;
  input->started = true;
  input->source->start(input->sink.get());
  const QAudio::Error error = input->source->error();
  if (error == QAudio::OpenError || error == QAudio::FatalError) {
    input->started = false;
    return kWaveNoDriver;
  }
  return kWaveOk;
}

WaveResult TQtWaveInput::Unprepare(WaveHandle handle, WaveHeader* header) {
  if (pulse_) return pulse_->Unprepare(handle, header);
  TInput* input = Find(handle);
  if (!input) return kWaveInvalidHandle;
  if (!header) return kWaveInvalidParam;
  if (input->queue.Contains(header)) return kWaveStillPlaying;
  input->prepared.erase(header);
  header->flags &= ~kWaveHeaderPrepared;
  return kWaveOk;
}

WaveResult TQtWaveInput::Reset(WaveHandle handle) {
  if (pulse_) return pulse_->Reset(handle);
  TInput* input = Find(handle);
  if (!input) return kWaveInvalidHandle;
  ReturnAll(*input);
  return kWaveOk;
}

WaveResult TQtWaveInput::Close(WaveHandle handle) {
  if (pulse_) return pulse_->Close(handle);
  TInput* input = Find(handle);
  if (!input) return kWaveInvalidHandle;
  if (!input->queue.Empty()) return kWaveStillPlaying;
  input->started = false;
  input->source->stop();
  inputs_.erase(handle);
  return kWaveOk;
}

void TQtWaveInput::PostDone(TInput& input, WaveHeader* header) {
  IWaveInTarget* target = input.target;
  WaveHandle handle = input.handle;
  loop_.Post([target, handle, header] { target->OnWaveInData(handle, header); });
}

void TQtWaveInput::Recorded(TInput& input, const char* bytes, qint64 size) {
  if (size <= 0 || input.lost) return;
  std::vector<WaveHeader*> done;
  input.queue.Feed(reinterpret_cast<const std::uint8_t*>(bytes), static_cast<std::size_t>(size),
                   done);
  for (WaveHeader* header : done)
    PostDone(input, header);
}

void TQtWaveInput::ReturnAll(TInput& input) {
  if (input.started) {
    input.started = false;
    input.source->stop();
  }
  for (WaveHeader* header : input.queue.TakeAll())
    PostDone(input, header);
}

void TQtWaveInput::Lost(TInput& input) {
  if (input.lost) return;
  input.lost = true;
  ReturnAll(input);
}

void TQtWaveInput::DevicesChanged() {
  const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
  for (auto& [handle, input] : inputs_) {
    if (!inputs.contains(input->device)) Lost(*input);
  }
}

}  // namespace roarmark::platform::qt
