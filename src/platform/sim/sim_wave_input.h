// Simulated wave-input devices: names, scripted signals, fault injection, unplugging, and
// buffers that are filled and returned only when the test says so.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/message_loop.h"
#include "platform/wave_input.h"

namespace roarmark::platform::sim {

enum class WaveFault {
  BadFormat,      // the format query (and the open) answer 32
  QueryFail,      // the format query answers 1
  OpenFail,       // the open answers 4 (in use)
  PrepareFail,    // preparing a buffer answers 7
  AddFail,        // adding a buffer answers 1
  StartFail,      // starting answers 1
  UnprepareFail,  // unpreparing a buffer answers 1
};

// What a device records. Levels in dBFS: 0 dBFS is amplitude 32767.
struct WaveSignal {
  enum class Kind { Silence, Sine, Square, Constant, Samples, Recording };
  Kind kind = Kind::Silence;
  double hz = 0;
  double dbfs = 0;
  std::int16_t left = 0;
  std::int16_t right = 0;
  std::vector<std::int16_t> samples;  // interleaved left, right

  static WaveSignal Silence() { return {}; }
  // The same sine on both channels, starting at phase 0.
  static WaveSignal Sine(double hz, double dbfs);
  // A 100 Hz square wave on both channels, amplitude 32767 * 10^(dbfs/20), positive first.
  static WaveSignal Square(double dbfs);
  static WaveSignal Constant(std::int16_t left, std::int16_t right);
  // Interleaved left, right samples, repeated for ever.
  static WaveSignal Samples(std::vector<std::int16_t> interleaved);
  // Interleaved left, right samples played once, then silence.
  static WaveSignal Recording(std::vector<std::int16_t> interleaved);
};

// One call the program made, for tests to check.
struct WaveCall {
  std::string op;   // "DeviceCount", "QueryFormat", "Open", "Prepare", "Add", "Start", ...
  int device = -1;  // the device number passed, where the call takes one
  WaveHandle handle = nullptr;
  const WaveHeader* header = nullptr;
  WaveResult result = kWaveOk;
};

class SimWaveInput : public IWaveInput {
 public:
  // Buffers are handed back through `loop`.
  explicit SimWaveInput(IMessageLoop& loop);
  ~SimWaveInput() override;

  // ---- Devices (a key is the device's position in creation order, plugged or not)
  int AddDevice(std::string name, std::set<WaveFault> faults = {});
  int DeviceKeyCount() const { return static_cast<int>(devices_.size()); }
  void SetFault(int key, WaveFault fault, bool on);
  // The device leaves the list (numbers of later devices shift down); preparing or adding a
  // buffer for a handle of it fails from now on, and it records nothing.
  void Unplug(int key);
  void Plug(int key);
  bool Plugged(int key) const;
  // From now on the device records `signal`, from its start.
  void SetSignal(int key, WaveSignal signal);
  // The same for every device called `name`; the number of devices it applied to.
  int SetFault(const std::string& name, WaveFault fault, bool on);
  int Unplug(const std::string& name);
  int Plug(const std::string& name);
  int SetSignal(const std::string& name, const WaveSignal& signal);
  // Frames the first buffer handed back by a reset holds (default 0: nothing recorded).
  void SetResetFill(int frames) { reset_fill_frames_ = frames; }

  // ---- Buffers
  // The device of `handle` fills its first queued buffer (up to 1100 frames), marks it done
  // and posts it to the target; up to `count` times. Only a started handle delivers. Returns how
  // many buffers went back.
  int DeliverBuffers(WaveHandle handle, int count);
  // The same for the handle opened last that is still open.
  int DeliverBuffers(int count);
  WaveHandle CurrentHandle() const;
  int QueuedCount(WaveHandle handle) const;
  int PreparedCount(WaveHandle handle) const;
  bool IsOpen(WaveHandle handle) const;
  bool IsStarted(WaveHandle handle) const;
  // The device key of a handle, or -1.
  int HandleDevice(WaveHandle handle) const;
  int OpenHandleCount() const;

  // ---- Record of calls
  const std::vector<WaveCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // How many calls of `op` answered `result`.
  int CountCalls(const std::string& op) const;

  // ---- IWaveInput
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
  struct Device {
    std::string name;
    std::set<WaveFault> faults;
    bool plugged = true;
    WaveSignal signal;
    std::uint64_t frame = 0;  // frames recorded since the signal was set
    bool Has(WaveFault f) const { return faults.count(f) != 0; }
  };
  struct Handle {
    int device = -1;
    IWaveInTarget* target = nullptr;
    bool open = true;
    bool started = false;
    // A short FIFO (three buffers); a vector, so a closed handle kept for its identity holds
    // no memory of its own.
    std::vector<WaveHeader*> queue;
    std::set<WaveHeader*> prepared;
  };

  Device* PresentDevice(int id);
  Handle* Find(WaveHandle handle) const;
  WaveResult Record(std::string op, int device, WaveHandle handle, const WaveHeader* header,
                    WaveResult result);
  void Fill(Device& device, WaveHeader& header, int frames);
  // Runs `act` with the key of every device called `name`; how many there were.
  int ForEachNamed(const std::string& name, const std::function<void(int)>& act);
  void Return(Handle& handle, WaveHeader* header);

  IMessageLoop& loop_;
  std::vector<Device> devices_;
  std::vector<std::unique_ptr<Handle>> handles_;
  std::vector<WaveCall> calls_;
  int reset_fill_frames_ = 0;
};

// The sample of `signal` at frame `frame` (0 left, 1 right).
std::int16_t SignalSample(const WaveSignal& signal, std::uint64_t frame, int channel);

}  // namespace roarmark::platform::sim
