// Bookkeeping of what the renderers drew, for drawing only what a buffer changes and for
// telling the display image exactly which rectangles to repaint.
#pragma once

#include <vector>

#include "display/display_state.h"
#include "platform/geometry.h"

namespace roarmark {

// The contest's pictures lie over the meter and readout on purpose: drawing them forgets nothing.
enum class TDrawnPart { Meter, Readout, Contest };

// The next drawing of every part starts from scratch.
void ForgetDrawn(TDisplayState& display);

// Before a renderer draws: if anything else drew into the display since the renderers last did
// (a re-layout, design-mode bands), nothing recorded can be trusted.
void BeginDrawing(TDisplayState& display);

// After a renderer drew `area` of the display: notes it for the image, and forgets the other
// part where the two overlap, since its pixels are no longer what it recorded.
void NoteDrawn(TDisplayState& display, const TRect& area, TDrawnPart part);

// The meter and the readout are to be drawn whole next time (the background was put back over
// them); the contest's own record stays.
void ForgetMeterAndReadout(TDisplayState& display);

// Puts the readout backing back under the readout box now.
void RestoreReadoutNow(TDisplayState& display);

// The display rectangles drawn since the last call, each clipped to the display; clears them.
std::vector<platform::TRect> TakeDrawnAreas(TDisplayState& display);

}  // namespace roarmark
