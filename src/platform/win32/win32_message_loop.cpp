// Posted messages, nested loops and timers on the Windows message queue.
#include "platform/win32/win32_message_loop.h"

#include <utility>

namespace roarmark::platform::win32 {

namespace {
constexpr UINT kDrainMessage = WM_APP + 1;
constexpr wchar_t kClassName[] = L"RoarmarkMessageWindow";
}  // namespace

TWin32MessageLoop::TWin32MessageLoop() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &TWin32MessageLoop::WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TWin32MessageLoop::~TWin32MessageLoop() {
  for (auto& [id, callback] : timers_)
    ::KillTimer(window_, id);
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK TWin32MessageLoop::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<TWin32MessageLoop*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, w, l);
  if (message == kDrainMessage) {
    self->Drain();
    return 0;
  }
  if (message == WM_TIMER) {
    auto it = self->timers_.find(static_cast<TimerId>(w));
    if (it != self->timers_.end()) {
      auto callback = it->second;  // the callback may kill its own timer
      self->Guard(callback);
    }
    return 0;
  }
  if (self->OnWindowMessage) {
    bool handled = false;
    self->Guard([&] { handled = self->OnWindowMessage(message, w, l); });
    if (handled) return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

void TWin32MessageLoop::Guard(const std::function<void()>& action) {
  try {
    action();
  } catch (...) {
    if (!pending_error_) pending_error_ = std::current_exception();
  }
}

void TWin32MessageLoop::RethrowPending() {
  if (pending_error_) std::rethrow_exception(std::exchange(pending_error_, nullptr));
}

void TWin32MessageLoop::Post(std::function<void()> message) {
  std::lock_guard lock(mutex_);
  queue_.push_back(std::move(message));
  if (!wake_posted_) {
    wake_posted_ = true;
    PostMessageW(window_, kDrainMessage, 0, 0);
  }
}

void TWin32MessageLoop::Wake() {
  PostMessageW(window_, WM_NULL, 0, 0);
}

// One message at a time, re-posting the wake-up when more remain, so that a nested loop inside
// a message still sees the rest in order.
void TWin32MessageLoop::Drain() {
  std::function<void()> message;
  {
    std::lock_guard lock(mutex_);
    wake_posted_ = false;
    if (queue_.empty()) return;
    message = std::move(queue_.front());
    queue_.pop_front();
    if (!queue_.empty()) {
      wake_posted_ = true;
      PostMessageW(window_, kDrainMessage, 0, 0);
    }
  }
  Guard(message);
}

bool TWin32MessageLoop::DispatchOne(bool wait) {
  MSG msg;
  if (wait) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) return false;
  } else if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    return false;
  }
  bool consumed = false;
  if (PreTranslate) Guard([&] { consumed = PreTranslate(msg); });
  if (!consumed) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  RethrowPending();
  return true;
}

void TWin32MessageLoop::DispatchPending() {
  for (;;) {
    bool any = DispatchOne(false);
    {
      std::lock_guard lock(mutex_);
      any = any || !queue_.empty();
    }
    if (!any) break;
  }
}

void TWin32MessageLoop::RunUntil(std::function<bool()> done) {
  while (!done()) {
    if (!DispatchOne(true)) {
      // WM_QUIT: hand it on to the outer loop and stop here.
      PostQuitMessage(0);
      return;
    }
  }
}

TimerId TWin32MessageLoop::SetTimer(std::uint32_t interval_ms, std::function<void()> callback) {
  const TimerId id = next_timer_++;
  timers_[id] = std::move(callback);
  ::SetTimer(window_, id, interval_ms, nullptr);
  return id;
}

void TWin32MessageLoop::KillTimer(TimerId id) {
  if (timers_.erase(id)) ::KillTimer(window_, id);
}

std::uint32_t TWin32MessageLoop::TickCount() const {
  return GetTickCount();
}

void TWin32MessageLoop::Sleep(std::uint32_t ms) {
  ::Sleep(ms);
}

void TWin32MessageLoop::EndProcess(int exit_code) {
  ExitProcess(static_cast<UINT>(exit_code));
}

}  // namespace roarmark::platform::win32
