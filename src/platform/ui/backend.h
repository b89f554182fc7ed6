// What a user-interface backend (Qt, sim) offers the control model. The model works without
// one: every hook has a headless default.
#pragma once

#include <memory>

#include "platform/ui/control.h"
#include "platform/ui/form.h"

namespace roarmark::platform::ui {

// Windows-like frames, used headless and by the sim backend.
inline constexpr TFrameExtents kSizeableFrame{8, 31, 8, 8};
inline constexpr TFrameExtents kDialogFrame{3, 26, 3, 3};
inline constexpr TFrameExtents kNoFrame{0, 0, 0, 0};
TFrameExtents DefaultFrameExtents(TBorderStyle style);

class IUiBackend {
 public:
  virtual ~IUiBackend() = default;
  // The frame around a form's client area for a border style.
  virtual TFrameExtents FrameExtents(TBorderStyle style) const {
    return DefaultFrameExtents(style);
  }
  // The application came to life or goes away; a backend keeps it to reach the forms.
  virtual void ApplicationCreated(TApplication&) {}
  virtual void ApplicationDestroyed(TApplication&) {}
  // A peer for `control`, called for every control of a form when the form is realized (first
  // shown) and for controls created later. Null: the control has no native counterpart.
  virtual std::unique_ptr<IControlPeer> CreatePeer(TControl&) { return nullptr; }
  // The application-wide pointer shape changed.
  virtual void CursorChanged(TCursor) {}
  // The stacking of forms changed (show, hide, activation, stay-on-top).
  virtual void ZOrderChanged() {}
  // The application was told to end (its main form closed, or Terminate).
  virtual void ApplicationTerminated() {}
};

}  // namespace roarmark::platform::ui
