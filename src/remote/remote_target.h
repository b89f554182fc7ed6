// What the program offers its remote. Implemented where the program is put together; every call
// is made on the GUI thread, through its message loop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "remote/feed.h"
#include "remote/remote_command.h"

namespace roarmark {

struct TRemotePreset {
  int Slot = 0;
  std::string Name;  // the settings file's name without its folder, empty for an empty slot
  bool Thumbnail = false;
};

// The meter's colours as the display draws them (system colours resolved), as 0xAARRGGBB.
struct TRemoteLook {
  std::vector<std::uint32_t> VerticalBlocks;    // bottom to top, lit colour of each block
  std::vector<std::uint32_t> HorizontalBlocks;  // left to right
  std::uint32_t Background = 0;                 // unlit blocks
  std::uint32_t Peak = 0;
  bool ColourPeak = false;  // the peak block in the peak colour, else in its own colour
  bool Blocks = true;       // gaps between blocks
  std::uint32_t Needle = 0;
  std::uint32_t NeedleEdge = 0;
  std::uint32_t ReadoutText = 0;
  std::uint32_t ReadoutBox = 0;
  bool TransparentReadout = false;
  bool ShowReadout = true;
};

struct TRemoteState {
  TFeedSnapshot Feed;
  std::vector<TRemotePreset> Presets;  // the ten slots
  TRemoteLook Look;
};

class IRemoteTarget {
 public:
  virtual ~IRemoteTarget() = default;
  // Runs the command exactly as its key does.
  virtual void RunCommand(const TRemoteCommand& command) = 0;
  virtual TFeedSnapshot Snapshot() = 0;
  virtual TRemoteState State() = 0;
  // The thumbnail file of preset `slot`, empty when the slot has none.
  virtual std::string ThumbnailPath(int slot) = 0;
};

// The answer of GET /api/state: {"feed":{...},"presets":[{"slot":0,"name":"...","thumbnail":
// true},...],"look":{...}} with colours as "#rrggbb".
std::string StateMessage(const TRemoteState& state);

}  // namespace roarmark
