// How a scenario command that cannot be carried out ends the run.
#pragma once

#include <string>

#include "scenario/script.h"

namespace roarmark::scenario {

// A command that cannot be carried out: exit status 1. Deliberately not a std::exception, so
// the program's own error box never swallows it while it unwinds through a handler.
struct TCommandError {
  int line;
  std::string reason;
};

[[noreturn]] inline void Fail(const TCommand& c, const std::string& reason) {
  throw TCommandError{c.Line, reason};
}

}  // namespace roarmark::scenario
