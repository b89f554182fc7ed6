// What the sim throws to unwind a run back to its harness. None derives from std::exception, so
// the program's own error handling (the standard error box) never swallows them.
#pragma once

#include <string>

namespace roarmark::platform::sim {

// The program ended the process (fatal error, "CLOSE NOW"): no close handler ran.
struct ProcessEnded {
  int code = 0;
};

// The harness cannot go on: the reason is for the person running the test or script.
struct SimAbort {
  std::string message;
};

// A nested loop or a sleep waited for input and the test had nothing more to give.
struct SimStalled : SimAbort {};

// The queued answer does not fit the dialog the program opened (a file for a message box).
struct SimAnswerMismatch : SimAbort {};

}  // namespace roarmark::platform::sim
