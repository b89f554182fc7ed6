// The event log's sources: logged dialogs, the logged end of the process, the input-loss wait.
#include "app/show_events.h"

#include <cstdio>
#include <cstdlib>

namespace roarmark {

class TShowEvents::TLoggedDialogs final : public platform::IDialogs {
 public:
  TLoggedDialogs(TShowEvents& events, platform::IDialogs& inner) : events_(events), inner_(inner) {}
  platform::MessageAnswer MessageBox(const std::string& caption, const std::string& text,
                                     platform::MessageButtons buttons) override {
    // Questions are the operator's business; a box with only OK tells of something that happened.
    // The line is written before the box, which a fatal end never returns from.
    if (buttons == platform::MessageButtons::Ok) {
      std::string what = caption;
      while (!what.empty() && what.front() == ' ')
        what.erase(what.begin());
      events_.last_message_ = text;
      events_.Write(what + ": " + text);
    }
    return inner_.MessageBox(caption, text, buttons);
  }
  std::optional<std::uint32_t> ColourDialog(std::uint32_t initial) override {
    return inner_.ColourDialog(initial);
  }
  std::optional<platform::TFontChoice> FontDialog(const platform::TFontChoice& initial) override {
    return inner_.FontDialog(initial);
  }
  std::optional<std::string> OpenFileDialog(const platform::TFileDialogRequest& r) override {
    return inner_.OpenFileDialog(r);
  }
  std::optional<std::string> SaveFileDialog(const platform::TFileDialogRequest& r) override {
    return inner_.SaveFileDialog(r);
  }
  std::string InputBox(const std::string& title, const std::string& prompt,
                       const std::string& initial) override {
    return inner_.InputBox(title, prompt, initial);
  }

 private:
  TShowEvents& events_;
  platform::IDialogs& inner_;
};

class TShowEvents::TLoggedLoop final : public platform::IMessageLoop {
 public:
  TLoggedLoop(TShowEvents& events, platform::IMessageLoop& inner)
      : events_(events), inner_(inner) {}
  void Post(std::function<void()> message) override { inner_.Post(std::move(message)); }
  void DispatchPending() override { inner_.DispatchPending(); }
  void RunUntil(std::function<bool()> done) override { inner_.RunUntil(std::move(done)); }
  platform::TimerId SetTimer(std::uint32_t interval_ms, std::function<void()> callback) override {
    return inner_.SetTimer(interval_ms, std::move(callback));
  }
  void KillTimer(platform::TimerId id) override { inner_.KillTimer(id); }
  std::uint32_t TickCount() const override { return inner_.TickCount(); }
  void Sleep(std::uint32_t ms) override { inner_.Sleep(ms); }
  [[noreturn]] void EndProcess(int exit_code) override {
    std::string line = "ended at once, exit code " + std::to_string(exit_code);
    if (exit_code != 0 && !events_.last_message_.empty()) line += ": " + events_.last_message_;
    if (exit_code == 0) line += " (CLOSE NOW)";
    events_.Write(line);
    inner_.EndProcess(exit_code);
    std::abort();  // a platform's end of the process never returns
  }

 private:
  TShowEvents& events_;
  platform::IMessageLoop& inner_;
};

TShowEvents::TShowEvents(platform::TPlatform& platform)
    : clock_(*platform.Clock),
      dialogs_(std::make_unique<TLoggedDialogs>(*this, *platform.Dialogs)),
      logged_loop_(std::make_unique<TLoggedLoop>(*this, *platform.MessageLoop)) {
  platform.Dialogs = dialogs_.get();
  platform.MessageLoop = logged_loop_.get();
}

TShowEvents::~TShowEvents() = default;

void TShowEvents::Open(const std::string& data_folder) {
  log_ = std::make_unique<TEventLog>(data_folder + "Roarmark.log", clock_);
}

void TShowEvents::Write(const std::string& text) {
  if (log_) log_->Write(text);
}

void TShowEvents::InputLost() {
  Write("input lost, waiting for it to come back");
}

void TShowEvents::InputBack(const std::string& device_name, std::uint32_t wait_ms) {
  Write("input back after " + WaitText(wait_ms) + ": " + device_name);
}

std::string WaitText(std::uint32_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u s", ms / 1000, (ms % 1000) / 100);
  return text;
}

}  // namespace roarmark
