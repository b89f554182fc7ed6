// The state answer: the feed, the preset list and the meter's colours.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "remote/remote_target.h"

namespace roarmark {
namespace {

std::string Hex(std::uint32_t argb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(argb & 0xFFFFFF));
  return text;
}

nlohmann::ordered_json Colours(const std::vector<std::uint32_t>& colours) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (std::uint32_t c : colours)
    list.push_back(Hex(c));
  return list;
}

}  // namespace

std::string StateMessage(const TRemoteState& state) {
  nlohmann::ordered_json json;
  json["feed"] = nlohmann::ordered_json::parse(FeedMessage(state.Feed));
  nlohmann::ordered_json presets = nlohmann::ordered_json::array();
  for (const TRemotePreset& p : state.Presets) {
    presets.push_back({{"slot", p.Slot}, {"name", p.Name}, {"thumbnail", p.Thumbnail}});
  }
  json["presets"] = presets;
  const TRemoteLook& l = state.Look;
  json["look"] = {{"vertical", Colours(l.VerticalBlocks)},
                  {"horizontal", Colours(l.HorizontalBlocks)},
                  {"background", Hex(l.Background)},
                  {"peak", Hex(l.Peak)},
                  {"colourPeak", l.ColourPeak},
                  {"blocks", l.Blocks},
                  {"needle", Hex(l.Needle)},
                  {"needleEdge", Hex(l.NeedleEdge)},
                  {"readoutText", Hex(l.ReadoutText)},
                  {"readoutBox", Hex(l.ReadoutBox)},
                  {"transparentReadout", l.TransparentReadout},
                  {"showReadout", l.ShowReadout}};
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace roarmark
