// Wave input on the desktop: PulseAudio's sources, listed and recorded with libpulse, so that a
// source that goes away is noticed; Qt Multimedia (the audio inputs QMediaDevices lists,
// recorded with QAudioSource) when no PulseAudio server answers.
#pragma once

#include <QAudioDevice>
#include <QAudioFormat>
#include <QObject>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/message_loop.h"
#include "platform/qt/device_names.h"
#include "platform/qt/pulse_wave_input.h"
#include "platform/qt/wave_queue.h"
#include "platform/wave_input.h"

class QAudioSource;
class QMediaDevices;

namespace roarmark::platform::qt {

// The Qt form of a wave format; false for a format that is not plain PCM Qt can express.
bool ToAudioFormat(const WaveFormat& format, QAudioFormat& out);

class TQtWaveInput final : public QObject, public IWaveInput {
  Q_OBJECT

 public:
  explicit TQtWaveInput(IMessageLoop& loop);
  ~TQtWaveInput() override;

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
  struct TInput;
  class TSink;
  TInput* Find(WaveHandle handle) const;
  // Recorded bytes of `input`: into its buffers, full ones posted to the target.
  void Recorded(TInput& input, const char* bytes, qint64 size);
  // Stops recording and posts every queued buffer back.
  void ReturnAll(TInput& input);
  // The device went away: recording stops, the queued buffers come back, and the next prepare
  // fails so that the program's recovery takes over.
  void Lost(TInput& input);
  void DevicesChanged();
  void PostDone(TInput& input, WaveHeader* header);

  IMessageLoop& loop_;
  // Set when a PulseAudio server answered at start; everything then goes there.
  std::unique_ptr<TPulseWaveInput> pulse_;
  std::unique_ptr<QMediaDevices> devices_;
  std::map<WaveHandle, std::unique_ptr<TInput>> inputs_;
};

}  // namespace roarmark::platform::qt
