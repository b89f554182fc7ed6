// From liblo's typed arguments to the command checks shared with the JSON commands.
#include "remote/osc_message.h"

#include <lo/lo.h>

#include <cstring>
#include <vector>

namespace roarmark {

TParsedOsc ParseOscMessage(std::string_view path, const char* types, lo_arg** argv, int argc) {
  constexpr int kMaxArguments = 4;  // a command has at most a number and a PIN
  if (argc < 0 || argc > kMaxArguments || types == nullptr ||
      std::strlen(types) != static_cast<std::size_t>(argc)) {
    TParsedOsc refused;
    refused.Status = kRemoteMalformed;
    return refused;
  }
  TOscArgument args[kMaxArguments];
  for (int i = 0; i < argc; ++i) {
    TOscArgument& a = args[i];
    a.Type = types[i];
    switch (a.Type) {
      case 'i':
        a.Integer = argv[i]->i;
        break;
      case 'h':
        a.Integer = argv[i]->h;
        break;
      case 'T':
        a.Integer = 1;
        break;
      case 'F':
        a.Integer = 0;
        break;
      case 'f':
        a.Real = argv[i]->f;
        break;
      case 'd':
        a.Real = argv[i]->d;
        break;
      case 's':
      case 'S':
        a.Text = &argv[i]->s;
        break;
      default:
        break;  // other types are refused by the command check
    }
  }
  return ParseOscCommand(path, args, static_cast<std::size_t>(argc));
}

TParsedOsc ParseOscPacket(const std::uint8_t* data, std::size_t size) {
  TParsedOsc refused;
  refused.Status = kRemoteMalformed;
  if (data == nullptr || size == 0 || size > kMaxOscBytes) return refused;
  std::vector<std::uint8_t> copy(data, data + size);
  int result = 0;
  lo_message message = lo_message_deserialise(copy.data(), copy.size(), &result);
  if (message == nullptr) return refused;
  const char* path = lo_get_path(copy.data(), static_cast<ssize_t>(copy.size()));
  TParsedOsc parsed =
      path == nullptr ? refused
                      : ParseOscMessage(path, lo_message_get_types(message),
                                        lo_message_get_argv(message), lo_message_get_argc(message));
  lo_message_free(message);
  return parsed;
}

}  // namespace roarmark
