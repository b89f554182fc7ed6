// Feed messages and the newest-snapshot handoff.
#include "remote/feed.h"

#include <nlohmann/json.hpp>

namespace roarmark {

double FeedPercent(int position) {
  // Tenths rounded half up, in integers so the text is the same on every platform.
  const std::int64_t tenths = (std::int64_t{position} * 1000 + 512) / 1024;
  return static_cast<double>(tenths) / 10.0;
}

std::string FeedMessage(const TFeedSnapshot& s) {
  nlohmann::ordered_json json;
  json["level"] = FeedPercent(s.Position);
  json["peak"] = FeedPercent(s.PeakMarker);
  json["readout"] = s.Readout;
  json["hold"] = s.Hold;
  json["blanked"] = s.Blanked;
  if (s.Preset >= 0) {
    json["preset"] = s.Preset;
  } else {
    json["preset"] = nullptr;
  }
  json["style"] = s.Style;
  // A readout text that is not UTF-8 (a font's own bytes) is replaced, never refused.
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void TFeedSlot::Publish(const TFeedSnapshot& snapshot) {
  {
    std::lock_guard lock(mutex_);
    snapshot_ = snapshot;
    ++sequence_;
  }
  changed_.notify_all();
}

std::optional<TFeedSnapshot> TFeedSlot::Latest() const {
  std::lock_guard lock(mutex_);
  if (sequence_ == 0) return std::nullopt;
  return snapshot_;
}

bool TFeedSlot::WaitNewer(std::uint64_t* sequence, TFeedSnapshot& out,
                          std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_for(lock, timeout, [&] { return stopped_ || sequence_ != *sequence; })) {
    return false;
  }
  if (stopped_) return false;
  out = snapshot_;
  *sequence = sequence_;
  return true;
}

bool TFeedSlot::Stopped() const {
  std::lock_guard lock(mutex_);
  return stopped_;
}

void TFeedSlot::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
  }
  changed_.notify_all();
}

}  // namespace roarmark
