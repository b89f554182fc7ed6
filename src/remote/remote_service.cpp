// Putting the remote together: who needs the PIN, the feed thread, and the runner's way in.
#include "remote/remote_service.h"

#include "remote/command_gate.h"
#if ROARMARK_REMOTE_OSC
#include "remote/osc_link.h"
#endif
#include "remote/remote_server.h"

namespace roarmark {

TRemoteService::TRemoteService(IRemoteTarget& target, TPostToGui post,
                               std::function<std::uint64_t()> clock_ms, TRemoteSettings settings)
    : target_(target),
      post_(post),
      clock_ms_(std::move(clock_ms)),
      settings_(std::move(settings)),
      guard_(settings_.Pin, !IsLoopbackAddress(settings_.Address)),
      gui_(std::move(post)),
      alive_(std::make_shared<std::atomic<bool>>(true)) {}

TRemoteService::~TRemoteService() {
  Stop();
}

bool TRemoteService::StartNetwork(std::string& error) {
  if (guard_.Required() && settings_.Pin.empty()) {
    error = "the remote server listens beyond this machine only with a PIN ([Remote] PIN)";
    return false;
  }
  server_ = std::make_unique<TRemoteServer>(target_, gui_, guard_, clock_ms_);
  if (!server_->Start({settings_.Address, settings_.Port}, error)) {
    server_.reset();
    return false;
  }
#if ROARMARK_REMOTE_OSC
  if (settings_.OscPort > 0 || !settings_.OscTarget.empty()) {
    osc_ = std::make_unique<TOscLink>(target_, gui_, guard_, clock_ms_);
    if (settings_.OscPort > 0 && !osc_->Listen(settings_.OscPort, !guard_.Required(), error)) {
      Stop();
      return false;
    }
    if (!settings_.OscTarget.empty()) osc_->SetTarget(settings_.OscTarget);
  }
#endif
  // A build without an OSC library leaves "OSC Port" and "OSC Target" unused.
  feed_thread_ = std::thread([this] { FeedLoop(); });
  return true;
}

void TRemoteService::Stop() {
  alive_->store(false);
  gui_.Stop();
  slot_.Stop();
  if (feed_thread_.joinable()) feed_thread_.join();
#if ROARMARK_REMOTE_OSC
  if (osc_) osc_->Stop();
  osc_.reset();
#endif
  if (server_) server_->Stop();
  server_.reset();
}

void TRemoteService::FeedLoop() {
  std::uint64_t sequence = 0;
  TFeedSnapshot snapshot;
  // A quiet spell (no buffer while the input is lost or starting) is waited out, not an end.
  while (!slot_.Stopped()) {
    if (!slot_.WaitNewer(&sequence, snapshot, std::chrono::milliseconds(1000))) continue;
    // Built once per buffer here, off the GUI thread, and shared by every client's writer.
    server_->Feed().Broadcast(TextFrame(FeedMessage(snapshot)));
#if ROARMARK_REMOTE_OSC
    if (osc_) osc_->SendLevel(FeedPercent(snapshot.Position));
#endif
  }
}

void TRemoteService::Publish() {
  slot_.Publish(target_.Snapshot());
}

int TRemoteService::Deliver(std::string_view body, const std::string& address) {
  const TAdmission admission = AdmitJsonCommand(guard_, body, address, clock_ms_());
  if (admission.Status != kRemoteDone) return admission.Status;
  const TRemoteCommand command = admission.Command;
  post_([this, alive = alive_, command] {
    if (alive->load()) target_.RunCommand(command);
  });
  return kRemoteDone;
}

std::optional<std::string> TRemoteService::LatestFeedMessage() const {
  const std::optional<TFeedSnapshot> latest = slot_.Latest();
  if (!latest) return std::nullopt;
  return FeedMessage(*latest);
}

int TRemoteService::FeedClients() const {
  return server_ ? server_->Feed().Count() : 0;
}

std::uint64_t TUnwrappedClock::operator()() {
  // Each reading moves on by the tick count's unsigned difference from the one before, so the
  // wrap at 2^32 never makes time run backwards.
  std::lock_guard lock(mutex_);
  const std::uint32_t now = tick_();
  if (!started_) {
    started_ = true;
    elapsed_ = now;
  } else {
    elapsed_ += static_cast<std::uint32_t>(now - last_tick_);
  }
  last_tick_ = now;
  return elapsed_;
}

}  // namespace roarmark
