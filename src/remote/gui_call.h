// Runs work on the GUI thread from a network thread: posted to the program's message loop and
// waited for, with a time limit, so no network thread ever touches program state itself.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace roarmark {

using TPostToGui = std::function<void(std::function<void()>)>;

class TGuiCall {
 public:
  explicit TGuiCall(TPostToGui post);
  ~TGuiCall();

  // Posts `work` and waits until it has run. False when it did not run within `timeout` or the
  // calls were stopped; work that runs later than that is skipped.
  bool Run(std::function<void()> work, std::chrono::milliseconds timeout);
  // GUI thread, at the end: waiting callers return at once and nothing posted runs any more.
  void Stop();

 private:
  struct TShared {
    std::mutex Mutex;
    std::condition_variable Done;
    bool Stopped = false;
  };
  TPostToGui post_;
  std::shared_ptr<TShared> shared_;
};

}  // namespace roarmark
