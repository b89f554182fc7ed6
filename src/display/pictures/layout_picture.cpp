// The picture each starter layout is shown on: the stage, fitted to that layout's meter.
#include "display/pictures/layout_picture.h"

#include <utility>

namespace roarmark {

std::vector<platform::TPixels> MakeLayoutPictures(const std::vector<TLayoutLook>& looks,
                                                  const TDialLabelText& label_text) {
  // A bar meter's panel is part of the stage; a dial is drawn over the bare stage.
  std::vector<std::vector<TMeterPanel>> panels;
  for (const TLayoutLook& look : looks) {
    panels.emplace_back();
    if (look.Meter == TLayoutMeter::Bars) {
      panels.back().push_back({look.Box.X, look.Box.Bottom, look.Box.Width, look.Box.Height});
    }
  }
  std::vector<platform::TPixels> pictures = MakeStagePictures(panels);
  for (std::size_t i = 0; i < looks.size(); ++i) {
    if (looks[i].Meter == TLayoutMeter::Needle) {
      pictures[i] = MakeDialPicture(std::move(pictures[i]), looks[i].Box, label_text);
    }
  }
  return pictures;
}

}  // namespace roarmark
