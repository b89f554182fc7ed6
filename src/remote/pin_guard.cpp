// PIN checks and the lock-out of guessing addresses.
#include "remote/pin_guard.h"

namespace roarmark {
namespace {

// Addresses remembered at most; a flood of senders (OSC comes over UDP) cannot grow it further.
constexpr std::size_t kMaxRemembered = 1024;

}  // namespace

TPinGuard::TPinGuard(std::string pin, bool required) : pin_(std::move(pin)), required_(required) {}

bool TPinGuard::Matches(const std::string& given) const {
  // Compared in full whatever the first difference, so the time taken tells nothing.
  unsigned diff = given.size() == pin_.size() ? 0u : 1u;
  for (std::size_t i = 0; i < given.size(); ++i) {
    diff |= static_cast<unsigned char>(given[i]) ^
            static_cast<unsigned char>(pin_.empty() ? 0 : pin_[i % pin_.size()]);
  }
  return diff == 0 && !pin_.empty();
}

void TPinGuard::Forget(std::uint64_t now_ms) {
  for (auto it = tries_.begin(); it != tries_.end();) {
    const bool locked = it->second.LockedUntil > now_ms;
    it = !locked && now_ms - it->second.Last >= kLockOutMs ? tries_.erase(it) : std::next(it);
  }
}

int TPinGuard::LockStatus(const std::string& address, std::uint64_t now_ms) {
  if (!required_) return 0;
  std::lock_guard lock(mutex_);
  auto it = tries_.find(address);
  if (it == tries_.end()) return 0;
  if (it->second.LockedUntil > now_ms) return 429;
  if (it->second.LockedUntil != 0) tries_.erase(it);  // the minute is over: a fresh start
  return 0;
}

int TPinGuard::Check(const std::string& address, const std::optional<std::string>& pin,
                     std::uint64_t now_ms) {
  if (!required_) return 0;
  if (const int locked = LockStatus(address, now_ms)) return locked;
  if (!pin) return 401;
  std::lock_guard lock(mutex_);
  if (Matches(*pin)) {
    tries_.erase(address);
    return 0;
  }
  if (tries_.size() >= kMaxRemembered && tries_.find(address) == tries_.end()) Forget(now_ms);
  if (tries_.size() >= kMaxRemembered && tries_.find(address) == tries_.end()) return 401;
  TTries& t = tries_[address];
  t.Last = now_ms;
  if (++t.Wrong >= kWrongPinsBeforeLockOut) t.LockedUntil = now_ms + kLockOutMs;
  return 401;
}

}  // namespace roarmark
