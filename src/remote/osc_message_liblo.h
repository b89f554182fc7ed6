// One OSC message as liblo's server hands it to a method.
#pragma once

#include <string_view>

#include <lo/lo_types.h>

#include "remote/remote_command.h"

namespace roarmark {

TParsedOsc ParseOscMessage(std::string_view path, const char* types, lo_arg** argv, int argc);

}  // namespace roarmark
