// The PIN of a server bound beyond this machine: checked per request, with a lock-out for an
// address that keeps guessing. Safe to call from any thread.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace roarmark {

inline constexpr int kWrongPinsBeforeLockOut = 5;
inline constexpr std::uint64_t kLockOutMs = 60'000;

class TPinGuard {
 public:
  // An empty `pin` with `required` set lets nobody in.
  TPinGuard(std::string pin, bool required);

  bool Required() const { return required_; }
  // 0 when `address` may go on, else 401 (missing or wrong PIN) or 429 (locked out). The fifth
  // wrong PIN in a row from one address locks it out for a minute, the right PIN included.
  int Check(const std::string& address, const std::optional<std::string>& pin,
            std::uint64_t now_ms);
  // 429 while `address` is locked out, else 0.
  int LockStatus(const std::string& address, std::uint64_t now_ms);

 private:
  struct TTries {
    int Wrong = 0;
    std::uint64_t LockedUntil = 0;
    std::uint64_t Last = 0;
  };
  bool Matches(const std::string& given) const;
  void Forget(std::uint64_t now_ms);

  const std::string pin_;
  const bool required_;
  std::mutex mutex_;
  std::map<std::string, TTries> tries_;
};

}  // namespace roarmark
