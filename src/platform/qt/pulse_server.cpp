// The PulseAudio sound server through libpulse: sources and the connection's health on a
// thread of its own, recording streams on a second connection run by the GUI thread.
#include "platform/qt/pulse_server.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <utility>

#include "platform/qt/pulse_gui_loop.h"

namespace roarmark::platform::qt {

namespace {

constexpr pa_usec_t kConnectTimeoutUs = 3 * PA_USEC_PER_SEC;
// Opening a stream waits this long on the GUI thread at most; a stream that is not ready by
// then goes on opening, and a failure arrives later as the stream's loss.
constexpr pa_usec_t kStreamSettleUs = 100 * PA_USEC_PER_MSEC;

TPulseSource SourceOf(const pa_source_info& info, const std::string& default_source) {
  TPulseSource source;
  source.Index = info.index;
  source.Name = info.name ? info.name : "";
  source.Description = info.description ? info.description : "";
  source.Monitor = info.monitor_of_sink != PA_INVALID_INDEX;
  source.Default = !source.Name.empty() && source.Name == default_source;
  source.Suspended = info.state == PA_SOURCE_SUSPENDED;
  return source;
}

// The operator (or whoever reads the log) learns why sound stopped.
void LogError(const char* what, int error) {
  std::fprintf(stderr, "roarmark: sound server: %s: %s\n", what, pa_strerror(error));
}

pa_sample_format_t SampleFormatOf(TPulseSample sample) {
  switch (sample) {
    case TPulseSample::U8:
      return PA_SAMPLE_U8;
    case TPulseSample::S16LE:
      return PA_SAMPLE_S16LE;
    case TPulseSample::S32LE:
      return PA_SAMPLE_S32LE;
    case TPulseSample::None:
      break;
  }
  return PA_SAMPLE_INVALID;
}

// Events travel to the GUI thread through the relay; a message still on its way when the
// server object is gone finds the relay expired and is dropped.
struct TRelay {
  IPulseServerEvents* Events = nullptr;
};

class TPulseServer final : public IPulseServer {
 public:
  explicit TPulseServer(IMessageLoop& loop) : loop_(loop) {}
  ~TPulseServer() override;

  bool Connect(std::vector<TPulseSource>& sources);

  void SetEvents(IPulseServerEvents* events) override { relay_->Events = events; }
  bool OpenStream(TStreamId stream, const std::string& source_name, const TPulseSpec& spec,
                  std::uint32_t fragment_bytes) override;
  bool StartStream(TStreamId stream) override;
  void StopStream(TStreamId stream) override;
  void CloseStream(TStreamId stream) override;

 private:
  struct TStream {
    TPulseServer* Owner = nullptr;
    TStreamId Id = 0;
    pa_stream* Stream = nullptr;
    bool Ready = false;    // failures are reported only for streams handed out
    bool Running = false;  // started: uncorked as soon as the server has set it up
    // Sound gathered until a fragment's worth can go on: the server hands a fragment over in
    // several pieces.
    std::vector<std::uint8_t> Pending;
    std::size_t FragmentBytes = 1;
  };
  struct TListing {
    TPulseServer* Owner = nullptr;
    std::vector<TPulseSource> Sources;
    bool Done = false;
    bool Failed = false;
  };
  struct TTimeout {
    pa_threaded_mainloop* Mainloop = nullptr;
    bool Passed = false;
  };

  // Posts `action` to the GUI thread, to be run with the events if anyone listens then.
  void Tell(std::function<void(IPulseServerEvents&)> action);
  // With the lock held: waits until `done` holds or `timeout` passes.
  bool Wait(const std::function<bool()>& done, pa_usec_t timeout);
  bool ContextSettled() const;
  static void Release(TStream& stream);
  // The connection the streams record on, made on the GUI thread when first needed.
  bool RecordingConnected();

  static void OnContextState(pa_context* context, void* userdata);
  static void OnSubscribe(pa_context* context, pa_subscription_event_type_t type,
                          std::uint32_t index, void* userdata);
  static void OnSourceInfo(pa_context* context, const pa_source_info* info, int eol,
                           void* userdata);
  static void OnSourceListed(pa_context* context, const pa_source_info* info, int eol,
                             void* userdata);
  static void OnServerInfo(pa_context* context, const pa_server_info* info, void* userdata);
  static void OnStreamState(pa_stream* stream, void* userdata);
  static void OnRecordingState(pa_context* context, void* userdata);
  static void OnStreamRead(pa_stream* stream, std::size_t bytes, void* userdata);
  static void OnStreamMoved(pa_stream* stream, void* userdata);
  static void OnTimeout(pa_mainloop_api* api, pa_time_event* event, const struct timeval* tv,
                        void* userdata);

  IMessageLoop& loop_;
  std::shared_ptr<TRelay> relay_ = std::make_shared<TRelay>();
  pa_threaded_mainloop* mainloop_ = nullptr;
  pa_context* context_ = nullptr;
  bool connected_ = false;
  // Either connection may be the first to see the server go; the loss is told once.
  std::atomic<bool> lost_told_ = false;
  std::string default_source_;  // touched on the server's thread only, or with the lock held
  bool server_info_done_ = false;
  std::map<TStreamId, std::unique_ptr<TStream>> streams_;
  std::unique_ptr<TPulseGuiLoop> gui_loop_;
  pa_context* recording_ = nullptr;
  bool recording_ready_ = false;
};

TPulseServer::~TPulseServer() {
  // Once the thread has stopped no callback runs, so the rest needs no lock.
  if (mainloop_) pa_threaded_mainloop_stop(mainloop_);
  for (auto& [id, stream] : streams_)
    Release(*stream);
  streams_.clear();
  if (recording_) {
    pa_context_set_state_callback(recording_, nullptr, nullptr);
    pa_context_disconnect(recording_);
    pa_context_unref(recording_);
  }
  gui_loop_.reset();
  if (context_) {
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_set_subscribe_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
  }
  if (mainloop_) pa_threaded_mainloop_free(mainloop_);
}

void TPulseServer::Tell(std::function<void(IPulseServerEvents&)> action) {
  std::weak_ptr<TRelay> relay = relay_;
  loop_.Post([relay, action = std::move(action)] {
    const std::shared_ptr<TRelay> alive = relay.lock();
    if (alive && alive->Events) action(*alive->Events);
  });
}

void TPulseServer::OnTimeout(pa_mainloop_api*, pa_time_event*, const struct timeval*,
                             void* userdata) {
  auto* timeout = static_cast<TTimeout*>(userdata);
  timeout->Passed = true;
  pa_threaded_mainloop_signal(timeout->Mainloop, 0);
}

bool TPulseServer::Wait(const std::function<bool()>& done, pa_usec_t timeout_us) {
  TTimeout timeout{mainloop_, false};
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(mainloop_);
  struct timeval when {};
  pa_gettimeofday(&when);
  pa_timeval_add(&when, timeout_us);
  pa_time_event* event = api->time_new(api, &when, OnTimeout, &timeout);
  while (!done() && !timeout.Passed)
    pa_threaded_mainloop_wait(mainloop_);
  if (event) api->time_free(event);
  return done();
}

bool TPulseServer::ContextSettled() const {
  const pa_context_state_t state = pa_context_get_state(context_);
  return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
}

bool TPulseServer::Connect(std::vector<TPulseSource>& sources) {
  mainloop_ = pa_threaded_mainloop_new();
  if (!mainloop_) return false;
  context_ = pa_context_new(pa_threaded_mainloop_get_api(mainloop_), "Roarmark");
  if (!context_) return false;
  pa_context_set_state_callback(context_, OnContextState, this);
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0) return false;
  if (pa_threaded_mainloop_start(mainloop_) < 0) return false;

  pa_threaded_mainloop_lock(mainloop_);
  bool ok = Wait([this] { return ContextSettled(); }, kConnectTimeoutUs) &&
            pa_context_get_state(context_) == PA_CONTEXT_READY;
  TListing listing{this, {}, false, false};
  if (ok) {
    if (pa_operation* info = pa_context_get_server_info(context_, OnServerInfo, this)) {
      Wait([this] { return server_info_done_; }, kConnectTimeoutUs);
      pa_operation_unref(info);
    }
    // Subscribed before listing, so nothing that changes in between is missed; what is told
    // twice is harmless, as the list takes the latest word on each source.
    pa_context_set_subscribe_callback(context_, OnSubscribe, this);
    if (pa_operation* op =
            pa_context_subscribe(context_,
                                 static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SOURCE |
                                                                     PA_SUBSCRIPTION_MASK_SERVER),
                                 nullptr, nullptr))
      pa_operation_unref(op);
    pa_operation* op = pa_context_get_source_info_list(context_, OnSourceListed, &listing);
    ok = op != nullptr &&
         Wait([&] { return listing.Done || !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)); },
              kConnectTimeoutUs) &&
         !listing.Failed;
    if (op) {
      if (!listing.Done) pa_operation_cancel(op);
      pa_operation_unref(op);
    }
  }
  connected_ = ok;
  if (!ok) LogError("cannot connect", pa_context_errno(context_));
  pa_threaded_mainloop_unlock(mainloop_);
  if (ok) sources = std::move(listing.Sources);
  return ok;
}

// The recording connection sees the server go as soon as the other one, often sooner: the loss
// is told before the failed streams lead anyone to open a stream again.
void TPulseServer::OnRecordingState(pa_context* context, void* userdata) {
  auto* self = static_cast<TPulseServer*>(userdata);
  const pa_context_state_t state = pa_context_get_state(context);
  if (state == PA_CONTEXT_READY) self->recording_ready_ = true;
  if (PA_CONTEXT_IS_GOOD(state) || !self->recording_ready_ || self->lost_told_.exchange(true))
    return;
  LogError("connection lost", pa_context_errno(context));
  self->Tell([](IPulseServerEvents& events) { events.ServerLost(); });
}

void TPulseServer::OnContextState(pa_context* context, void* userdata) {
  auto* self = static_cast<TPulseServer*>(userdata);
  if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context)) && self->connected_ &&
      !self->lost_told_.exchange(true)) {
    LogError("connection lost", pa_context_errno(context));
    self->Tell([](IPulseServerEvents& events) { events.ServerLost(); });
  }
  pa_threaded_mainloop_signal(self->mainloop_, 0);
}

void TPulseServer::OnSubscribe(pa_context* context, pa_subscription_event_type_t type,
                               std::uint32_t index, void* userdata) {
  auto* self = static_cast<TPulseServer*>(userdata);
  if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SERVER) {
    // The desktop chose another default microphone, perhaps.
    if (pa_operation* op = pa_context_get_server_info(context, OnServerInfo, self))
      pa_operation_unref(op);
    return;
  }
  if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) != PA_SUBSCRIPTION_EVENT_SOURCE) return;
  if ((type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_REMOVE) {
    self->Tell([index](IPulseServerEvents& events) { events.SourceRemoved(index); });
    return;
  }
  // New or changed: its description may be new too.
  if (pa_operation* op = pa_context_get_source_info_by_index(context, index, OnSourceInfo, self))
    pa_operation_unref(op);
}

void TPulseServer::OnSourceInfo(pa_context*, const pa_source_info* info, int eol, void* userdata) {
  // eol < 0: the source went away before it could be asked about; its removal follows.
  if (eol != 0 || !info) return;
  auto* self = static_cast<TPulseServer*>(userdata);
  self->Tell([source = SourceOf(*info, self->default_source_)](IPulseServerEvents& events) {
    events.SourceChanged(source);
  });
}

void TPulseServer::OnServerInfo(pa_context* context, const pa_server_info* info, void* userdata) {
  auto* self = static_cast<TPulseServer*>(userdata);
  const std::string name = info && info->default_source_name ? info->default_source_name : "";
  const bool changed = name != self->default_source_;
  self->default_source_ = name;
  // Once connected, the new default is told as a change of that source.
  if (changed && self->connected_ && !name.empty()) {
    if (pa_operation* op =
            pa_context_get_source_info_by_name(context, name.c_str(), OnSourceInfo, self))
      pa_operation_unref(op);
  }
  self->server_info_done_ = true;
  pa_threaded_mainloop_signal(self->mainloop_, 0);
}

void TPulseServer::OnSourceListed(pa_context*, const pa_source_info* info, int eol,
                                  void* userdata) {
  auto* listing = static_cast<TListing*>(userdata);
  if (eol == 0 && info) {
    listing->Sources.push_back(SourceOf(*info, listing->Owner->default_source_));
    return;
  }
  listing->Failed = eol < 0;
  listing->Done = true;
  pa_threaded_mainloop_signal(listing->Owner->mainloop_, 0);
}

bool TPulseServer::OpenStream(TStreamId id, const std::string& source_name, const TPulseSpec& spec,
                              std::uint32_t fragment_bytes) {
  const pa_sample_spec sample_spec{SampleFormatOf(spec.Sample), spec.Rate, spec.Channels};
  if (!pa_sample_spec_valid(&sample_spec)) return false;

  if (streams_.count(id) || !RecordingConnected()) return false;
  auto stream = std::make_unique<TStream>();
  stream->Owner = this;
  stream->Id = id;
  stream->FragmentBytes = std::max<std::size_t>(fragment_bytes, 1);
  stream->Pending.reserve(2 * stream->FragmentBytes);
  stream->Stream = pa_stream_new(recording_, "Meter input", &sample_spec, nullptr);
  bool ok = stream->Stream != nullptr;
  if (ok) {
    pa_stream_set_state_callback(stream->Stream, OnStreamState, stream.get());
    pa_stream_set_read_callback(stream->Stream, OnStreamRead, stream.get());
    pa_stream_set_moved_callback(stream->Stream, OnStreamMoved, stream.get());
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(-1);
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    attr.fragsize = fragment_bytes;
    // Never moved: when its source goes, the stream must fail rather than quietly record
    // another input.
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_DONT_MOVE | PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_CORKED);
    pa_stream* s = stream->Stream;
    // An empty name records from the server's default source.
    ok = pa_stream_connect_record(s, source_name.empty() ? nullptr : source_name.c_str(), &attr,
                                  flags) == 0;
    if (ok) {
      gui_loop_->Wait(
          [s] {
            const pa_stream_state_t state = pa_stream_get_state(s);
            return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
          },
          kStreamSettleUs);
      ok = PA_STREAM_IS_GOOD(pa_stream_get_state(s));
    }
    if (!ok) LogError("cannot record", pa_context_errno(recording_));
  }
  if (ok) {
    stream->Ready = true;
    streams_[id] = std::move(stream);
  } else if (stream->Stream) {
    Release(*stream);
  }
  gui_loop_->Sync();
  return ok;
}

bool TPulseServer::RecordingConnected() {
  if (recording_ && PA_CONTEXT_IS_GOOD(pa_context_get_state(recording_)))
    return pa_context_get_state(recording_) == PA_CONTEXT_READY;
  // Gone since (its streams have failed and were told so): a new one.
  if (recording_) {
    for (auto& [id, stream] : streams_)
      Release(*stream);
    streams_.clear();
    pa_context_set_state_callback(recording_, nullptr, nullptr);
    pa_context_unref(recording_);
    recording_ = nullptr;
  }
  if (!gui_loop_) gui_loop_ = std::make_unique<TPulseGuiLoop>();
  if (!gui_loop_->Api()) return false;
  // The server this object is connected to, not whatever libpulse would find now.
  std::string server;
  pa_threaded_mainloop_lock(mainloop_);
  if (const char* name = pa_context_get_server(context_)) server = name;
  pa_threaded_mainloop_unlock(mainloop_);
  recording_ = pa_context_new(gui_loop_->Api(), "Roarmark");
  if (!recording_) return false;
  recording_ready_ = false;
  pa_context_set_state_callback(recording_, OnRecordingState, this);
  if (pa_context_connect(recording_, server.empty() ? nullptr : server.c_str(),
                         PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    LogError("cannot connect for recording", pa_context_errno(recording_));
    gui_loop_->Sync();
    return false;
  }
  gui_loop_->Wait(
      [this] {
        const pa_context_state_t state = pa_context_get_state(recording_);
        return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
      },
      kConnectTimeoutUs);
  const bool ready = pa_context_get_state(recording_) == PA_CONTEXT_READY;
  if (!ready) LogError("cannot connect for recording", pa_context_errno(recording_));
  return ready;
}

bool TPulseServer::StartStream(TStreamId id) {
  bool ok = false;
  if (auto it = streams_.find(id); it != streams_.end()) {
    TStream& stream = *it->second;
    stream.Running = true;
    ok = stream.Ready;
    if (ok && pa_stream_get_state(stream.Stream) == PA_STREAM_READY) {
      if (pa_operation* op = pa_stream_cork(stream.Stream, 0, nullptr, nullptr))
        pa_operation_unref(op);
    }
  }
  if (gui_loop_) gui_loop_->Sync();
  return ok;
}

// Sound the stream holds and nobody took yet is let go.
void DropQueued(pa_stream* s) {
  const void* data = nullptr;
  std::size_t size = 0;
  while (pa_stream_get_state(s) == PA_STREAM_READY && pa_stream_peek(s, &data, &size) == 0 &&
         size > 0)
    pa_stream_drop(s);
}

void TPulseServer::StopStream(TStreamId id) {
  if (auto it = streams_.find(id); it != streams_.end()) {
    it->second->Running = false;
    it->second->Pending.clear();  // sound from before the stop is not recorded
    DropQueued(it->second->Stream);
    if (pa_stream_get_state(it->second->Stream) == PA_STREAM_READY) {
      if (pa_operation* op = pa_stream_cork(it->second->Stream, 1, nullptr, nullptr))
        pa_operation_unref(op);
    }
  }
  if (gui_loop_) gui_loop_->Sync();
}

void TPulseServer::CloseStream(TStreamId id) {
  if (auto it = streams_.find(id); it != streams_.end()) {
    Release(*it->second);
    streams_.erase(it);
  }
  if (gui_loop_) gui_loop_->Sync();
}

void TPulseServer::Release(TStream& stream) {
  pa_stream_set_state_callback(stream.Stream, nullptr, nullptr);
  pa_stream_set_read_callback(stream.Stream, nullptr, nullptr);
  pa_stream_set_moved_callback(stream.Stream, nullptr, nullptr);
  if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream.Stream))) pa_stream_disconnect(stream.Stream);
  pa_stream_unref(stream.Stream);
  stream.Stream = nullptr;
}

void TPulseServer::OnStreamState(pa_stream* s, void* userdata) {
  auto* stream = static_cast<TStream*>(userdata);
  const pa_stream_state_t state = pa_stream_get_state(s);
  if (state == PA_STREAM_READY && stream->Running) {
    if (pa_operation* op = pa_stream_cork(s, 0, nullptr, nullptr)) pa_operation_unref(op);
  }
  if (stream->Ready && !PA_STREAM_IS_GOOD(state)) {
    stream->Ready = false;
    LogError("recording stopped", pa_context_errno(pa_stream_get_context(s)));
    const TStreamId id = stream->Id;
    stream->Owner->Tell([id](IPulseServerEvents& events) { events.StreamFailed(id); });
  }
}

void TPulseServer::OnStreamMoved(pa_stream*, void* userdata) {
  // Moved to another source: what it records is no longer the chosen input.
  auto* stream = static_cast<TStream*>(userdata);
  if (!stream->Ready) return;
  stream->Ready = false;
  const TStreamId id = stream->Id;
  stream->Owner->Tell([id](IPulseServerEvents& events) { events.StreamFailed(id); });
}

void TPulseServer::OnStreamRead(pa_stream* s, std::size_t readable, void* userdata) {
  auto* stream = static_cast<TStream*>(userdata);
  // The server hands a fragment over in several pieces: they wait in the stream until a whole
  // fragment is there and are then taken in one go, without asking for more than is readable
  // (every call into the stream is a system call or two).
  if (stream->Ready && stream->Running && stream->Pending.size() + readable < stream->FragmentBytes)
    return;
  const void* data = nullptr;
  std::size_t size = 0;
  std::size_t taken = 0;
  while (taken < readable && pa_stream_peek(s, &data, &size) == 0 && size > 0) {
    // A hole (no data) is dropped like sound that came too late.
    if (data && stream->Ready && stream->Running) {
      const auto* bytes = static_cast<const std::uint8_t*>(data);
      stream->Pending.insert(stream->Pending.end(), bytes, bytes + size);
    }
    pa_stream_drop(s);
    taken += size;
  }
  if (!stream->Ready || !stream->Running) {
    stream->Pending.clear();
    return;
  }
  if (stream->Pending.size() < stream->FragmentBytes) return;
  std::vector<std::uint8_t> chunk;
  chunk.reserve(2 * stream->FragmentBytes);
  chunk.swap(stream->Pending);
  // Already on the GUI thread: straight to the listener, which only queues buffers.
  if (IPulseServerEvents* events = stream->Owner->relay_->Events)
    events->StreamData(stream->Id, std::move(chunk));
}

}  // namespace

bool ToPulseSpec(const WaveFormat& format, TPulseSpec& out) {
  if (format.format_tag != 1 || format.channels == 0 || format.channels > PA_CHANNELS_MAX ||
      format.samples_per_sec == 0 || format.samples_per_sec > PA_RATE_MAX)
    return false;
  if (format.block_align != format.channels * (format.bits_per_sample / 8)) return false;
  TPulseSample sample = TPulseSample::None;
  switch (format.bits_per_sample) {
    case 8:
      sample = TPulseSample::U8;
      break;
    case 16:
      sample = TPulseSample::S16LE;
      break;
    case 32:
      sample = TPulseSample::S32LE;
      break;
    default:
      return false;
  }
  out = TPulseSpec{sample, format.samples_per_sec, static_cast<std::uint8_t>(format.channels)};
  return true;
}

std::unique_ptr<IPulseServer> ConnectPulseServer(IMessageLoop& loop,
                                                 std::vector<TPulseSource>& sources) {
  auto server = std::make_unique<TPulseServer>(loop);
  if (!server->Connect(sources)) return nullptr;
  return server;
}

}  // namespace roarmark::platform::qt
