// The program as its remote sees it: the key commands, the feed snapshot, the preset list and
// the meter's colours, all read and run on the GUI thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "remote/remote_target.h"

namespace roarmark {

class TForm1;

class TRemoteLink final : public IRemoteTarget {
 public:
  explicit TRemoteLink(TForm1& form) : form_(form) {}

  void RunCommand(const TRemoteCommand& command) override;
  TFeedSnapshot Snapshot() override;
  TRemoteState State() override;
  std::string ThumbnailPath(int slot) override;

  // Told after every command, so the feed shows its effect even while no buffer comes.
  std::function<void()> Changed;

 private:
  // The slot whose file is the layout shown, -1 for none; worked out again only when the
  // layout file or the list changed.
  int ShownPreset();

  TForm1& form_;
  std::string preset_for_file_;
  std::vector<std::string> preset_for_list_;
  int preset_ = -1;
};

}  // namespace roarmark
