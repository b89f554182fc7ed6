// The message loop on the Windows message queue: a hidden window receives posted messages,
// timers and the wave-input driver's MM_WIM_DATA, so every loop that dispatches (ours, a message
// box's, a common dialog's) keeps them running. It is a top-level window, never shown, so that
// the system's broadcasts (power events) reach it too.
#pragma once

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <mutex>

#include "platform/message_loop.h"

namespace roarmark::platform::win32 {

class TWin32MessageLoop final : public IMessageLoop {
 public:
  TWin32MessageLoop();
  ~TWin32MessageLoop() override;
  TWin32MessageLoop(const TWin32MessageLoop&) = delete;
  TWin32MessageLoop& operator=(const TWin32MessageLoop&) = delete;

  void Post(std::function<void()> message) override;
  void DispatchPending() override;
  void RunUntil(std::function<bool()> done) override;
  TimerId SetTimer(std::uint32_t interval_ms, std::function<void()> callback) override;
  void KillTimer(TimerId id) override;
  std::uint32_t TickCount() const override;
  void Sleep(std::uint32_t ms) override;
  [[noreturn]] void EndProcess(int exit_code) override;

  // The hidden window that the wave-input driver posts its buffers to.
  HWND Window() const { return window_; }
  // Messages other than ours that reach the hidden window (MM_WIM_DATA, WM_POWERBROADCAST).
  std::function<bool(UINT message, WPARAM, LPARAM)> OnWindowMessage;
  // Sees every message our loops take from the queue before it is dispatched (keys for the
  // forms); true when it has used the message up.
  std::function<bool(const MSG&)> PreTranslate;
  // Runs `action` from a window procedure: an exception is kept and thrown again from the loop
  // call that dispatched it, since it must not unwind through the system's code.
  void Guard(const std::function<void()>& action);
  // Throws what a window procedure kept, if anything.
  void RethrowPending();
  // Wakes a waiting loop so that it checks its condition again.
  void Wake();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  void Drain();
  bool DispatchOne(bool wait);

  HWND window_ = nullptr;
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
  bool wake_posted_ = false;
  std::map<TimerId, std::function<void()>> timers_;
  TimerId next_timer_ = 1;
  std::exception_ptr pending_error_;
};

}  // namespace roarmark::platform::win32
