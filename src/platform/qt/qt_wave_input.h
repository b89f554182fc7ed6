// Wave input on Qt Multimedia: the audio inputs QMediaDevices lists, recorded with QAudioSource
// into the program's queued buffers.
#pragma once

#include <QAudioDevice>
#include <QAudioFormat>
#include <QObject>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/message_loop.h"
#include "platform/qt/wave_queue.h"
#include "platform/wave_input.h"

class QAudioSource;
class QMediaDevices;
class QTimer;

namespace roarmark::platform::qt {

// A device name as the device list may show it: at most 31 characters (whole UTF-8 sequences),
// up to the first NUL.
std::string ShortDeviceName(const QString& description);
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
  std::unique_ptr<QMediaDevices> devices_;
  std::map<WaveHandle, std::unique_ptr<TInput>> inputs_;
  QTimer* watchdog_ = nullptr;
};

}  // namespace roarmark::platform::qt
