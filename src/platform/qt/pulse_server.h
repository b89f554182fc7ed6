// The PulseAudio sound server (also PipeWire's PulseAudio service): its sources and recording
// streams. The sources are watched with libpulse on a thread of its own, whose news reaches the
// GUI thread as posted messages; streams record on the GUI thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_loop.h"
#include "platform/qt/pulse_source_list.h"
#include "platform/wave_input.h"

namespace roarmark::platform::qt {

// Sample layouts a recording stream can deliver as wave-input PCM.
enum class TPulseSample { None, U8, S16LE, S32LE };

struct TPulseSpec {
  TPulseSample Sample = TPulseSample::None;
  std::uint32_t Rate = 0;
  std::uint8_t Channels = 0;
};

// The stream format for a wave format; false when it is not plain PCM the server can record.
bool ToPulseSpec(const WaveFormat& format, TPulseSpec& out);

using TStreamId = std::uint64_t;

// What the server tells, on the GUI thread: recorded sound as it comes, everything else as
// posted messages in the order it happened.
class IPulseServerEvents {
 public:
  virtual ~IPulseServerEvents() = default;
  // A source appeared or changed.
  virtual void SourceChanged(const TPulseSource& source) = 0;
  virtual void SourceRemoved(std::uint32_t index) = 0;
  // Recorded bytes of a stream.
  virtual void StreamData(TStreamId stream, std::vector<std::uint8_t> bytes) = 0;
  // The stream ended without being asked to: its source went away or it was moved elsewhere.
  virtual void StreamFailed(TStreamId stream) = 0;
  // The connection is gone; so are its streams.
  virtual void ServerLost() = 0;
};

// A connection to the server.
class IPulseServer {
 public:
  virtual ~IPulseServer() = default;
  // Where events go from now on (null: nowhere).
  virtual void SetEvents(IPulseServerEvents* events) = 0;
  // Opens a stopped stream from the source called `source_name` (empty: the server's default
  // source); it delivers about `fragment_bytes` at a time once started. Waits about 100 ms at
  // most: false when the source cannot be recorded by then, and a stream still being set up
  // that fails later is told as StreamFailed.
  virtual bool OpenStream(TStreamId stream, const std::string& source_name, const TPulseSpec& spec,
                          std::uint32_t fragment_bytes) = 0;
  virtual bool StartStream(TStreamId stream) = 0;
  virtual void StopStream(TStreamId stream) = 0;
  // Ends the stream; nothing more arrives from it.
  virtual void CloseStream(TStreamId stream) = 0;
};

// Connects to the server libpulse finds (PULSE_SERVER, the user's session) and lists its
// sources into `sources`; null when no server answers within a few seconds.
std::unique_ptr<IPulseServer> ConnectPulseServer(IMessageLoop& loop,
                                                 std::vector<TPulseSource>& sources);

}  // namespace roarmark::platform::qt
