// The remote put in place at start: its settings from "[Remote]" or --remote, the link to the
// main window, the feed published after every buffer, and the server on a desktop.
#include <iostream>

#include "app/application.h"
#include "app/remote_link.h"
#include "core/main_window.h"
#include "remote/remote_service.h"
#include "settings/ini_store.h"

namespace roarmark {

void TRoarmarkProgram::StartRemote() {
  TForm1& main = *form1_;
  TRemoteSettings settings = ReadRemoteSettings(TIniFile::Load(main.DataFolder + kIniFileName));
  if (options_.Remote) {
    settings.Enabled = true;
    settings.Address = options_.Remote->Address;
    settings.Port = options_.Remote->Port;
  }
  platform::IMessageLoop* loop = platform_.MessageLoop;
  clock_ = std::make_unique<TUnwrappedClock>([loop] { return loop->TickCount(); });
  remote_link_ = std::make_unique<TRemoteLink>(main);
  remote_ = std::make_unique<TRemoteService>(
      *remote_link_, [loop](std::function<void()> work) { loop->Post(std::move(work)); },
      [clock = clock_.get()] { return (*clock)(); }, settings);
  TRemoteService* remote = remote_.get();
  remote_link_->Changed = [remote] { remote->Publish(); };
  main.AfterDrawing = [remote] { remote->Publish(); };
  remote->Publish();
  if (!options_.Network || !settings.Enabled) return;
  std::string error;
  if (remote->StartNetwork(error)) {
    std::cerr << "roarmark: remote control on http://" << settings.Address << ":" << settings.Port
              << "/remote\n";
  } else {
    // The meter runs on without its remote; whoever turned it on reads why here.
    std::cerr << "roarmark: remote control off: " << error << "\n";
  }
}

}  // namespace roarmark
