// Posting to the GUI thread and waiting for the answer.
#include "remote/gui_call.h"

namespace roarmark {

TGuiCall::TGuiCall(TPostToGui post)
    : post_(std::move(post)), shared_(std::make_shared<TShared>()) {}

TGuiCall::~TGuiCall() {
  Stop();
}

bool TGuiCall::Run(std::function<void()> work, std::chrono::milliseconds timeout) {
  struct TCall {
    bool Started = false;  // the GUI thread took it (then it is waited for to the end)
    bool Finished = false;
    bool Abandoned = false;
  };
  auto call = std::make_shared<TCall>();
  std::shared_ptr<TShared> shared = shared_;
  {
    std::lock_guard lock(shared->Mutex);
    if (shared->Stopped) return false;
  }
  post_([shared, call, work = std::move(work)] {
    {
      std::lock_guard lock(shared->Mutex);
      if (shared->Stopped || call->Abandoned) return;
      call->Started = true;
    }
    work();
    {
      std::lock_guard lock(shared->Mutex);
      call->Finished = true;
    }
    shared->Done.notify_all();
  });
  std::unique_lock lock(shared->Mutex);
  shared->Done.wait_for(lock, timeout, [&] { return call->Started || shared->Stopped; });
  if (!call->Started) {
    call->Abandoned = true;
    return false;
  }
  // Once started, the work may use what the caller holds: wait for its end.
  shared->Done.wait(lock, [&] { return call->Finished; });
  return true;
}

void TGuiCall::Stop() {
  {
    std::lock_guard lock(shared_->Mutex);
    shared_->Stopped = true;
  }
  shared_->Done.notify_all();
}

}  // namespace roarmark
