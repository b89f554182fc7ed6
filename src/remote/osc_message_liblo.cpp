// From liblo's typed arguments to the command checks shared with the JSON commands.
#include "remote/osc_message_liblo.h"

#include <lo/lo.h>

#include <cstring>
#include <vector>

#include "remote/osc_message.h"

namespace roarmark {

TParsedOsc ParseOscMessage(std::string_view path, const char* types, lo_arg** argv, int argc) {
  constexpr int kMaxArguments = 4;  // a command has at most a number and a PIN
  if (argc < 0 || argc > kMaxArguments || types == nullptr ||
      std::strlen(types) != static_cast<std::size_t>(argc)) {
    TParsedOsc refused;
    refused.Status = kRemoteMalformed;
    return refused;
  }
  // liblo's arguments point into the packet, four-byte aligned only: read them as bytes, not
  // through its eight-byte union.
  TOscArgument args[kMaxArguments];
  for (int i = 0; i < argc; ++i) {
    TOscArgument& a = args[i];
    a.Type = types[i];
    const char* bytes = reinterpret_cast<const char*>(argv[i]);
    switch (a.Type) {
      case 'i': {
        std::int32_t v = 0;
        std::memcpy(&v, bytes, sizeof v);
        a.Integer = v;
        break;
      }
      case 'h': {
        std::int64_t v = 0;
        std::memcpy(&v, bytes, sizeof v);
        a.Integer = v;
        break;
      }
      case 'T':
        a.Integer = 1;
        break;
      case 'F':
        a.Integer = 0;
        break;
      case 'f': {
        float v = 0;
        std::memcpy(&v, bytes, sizeof v);
        a.Real = v;
        break;
      }
      case 'd': {
        double v = 0;
        std::memcpy(&v, bytes, sizeof v);
        a.Real = v;
        break;
      }
      case 's':
      case 'S':
        a.Text = bytes;
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
