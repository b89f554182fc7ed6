// Checking remote command bodies and OSC messages.
#include "remote/remote_command.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace roarmark {
namespace {

using TJson = nlohmann::json;

std::optional<TRemoteCommandKind> KindOfName(std::string_view name) {
  if (name == "blank") return TRemoteCommandKind::Blank;
  if (name == "reset") return TRemoteCommandKind::Reset;
  if (name == "hold") return TRemoteCommandKind::Hold;
  if (name == "preset") return TRemoteCommandKind::Preset;
  if (name == "current") return TRemoteCommandKind::Current;
  return std::nullopt;
}

// A number that is a whole value 0..9, in whichever JSON or OSC type it came.
std::optional<int> SlotOf(double value) {
  if (!std::isfinite(value) || value < 0 || value > 9 || std::floor(value) != value) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

}  // namespace

TParsedCommand ParseRemoteCommand(std::string_view body) {
  TParsedCommand parsed;
  if (body.size() > kMaxCommandBytes) {
    parsed.BodyStatus = kRemoteTooLarge;
    return parsed;
  }
  const TJson json = TJson::parse(body, nullptr, /*allow_exceptions=*/false);
  if (json.is_discarded() || !json.is_object()) {
    parsed.BodyStatus = kRemoteMalformed;
    return parsed;
  }
  if (const auto pin = json.find("pin"); pin != json.end()) {
    if (!pin->is_string()) {
      parsed.BodyStatus = kRemoteMalformed;
      return parsed;
    }
    parsed.Pin = pin->get<std::string>();
  }
  const auto cmd = json.find("cmd");
  if (cmd == json.end() || !cmd->is_string()) return parsed;
  const std::optional<TRemoteCommandKind> kind = KindOfName(cmd->get_ref<const std::string&>());
  if (!kind) {
    parsed.CommandStatus = kRemoteUnknown;
    return parsed;
  }
  parsed.Command.Kind = *kind;
  if (*kind == TRemoteCommandKind::Hold) {
    const auto on = json.find("on");
    if (on == json.end() || !on->is_boolean()) return parsed;
    parsed.Command.On = on->get<bool>();
  } else if (*kind == TRemoteCommandKind::Preset) {
    const auto n = json.find("n");
    if (n == json.end() || !n->is_number()) return parsed;
    const std::optional<int> slot = SlotOf(n->get<double>());
    if (!slot) return parsed;
    parsed.Command.Slot = *slot;
  }
  parsed.CommandStatus = kRemoteDone;
  return parsed;
}

TParsedOsc ParseOscCommand(std::string_view path, const TOscArgument* args, std::size_t count) {
  TParsedOsc parsed;
  constexpr std::string_view prefix = "/roarmark/";
  if (path.substr(0, prefix.size()) != prefix) return parsed;
  const std::optional<TRemoteCommandKind> kind = KindOfName(path.substr(prefix.size()));
  if (!kind) return parsed;
  parsed.Status = kRemoteMalformed;
  parsed.Command.Kind = *kind;
  const bool needs_number =
      *kind == TRemoteCommandKind::Preset || *kind == TRemoteCommandKind::Hold;
  std::size_t used = 0;
  if (needs_number) {
    if (count < 1) return parsed;
    const TOscArgument& a = args[0];
    double value = 0;
    if (a.Type == 'i' || a.Type == 'h' || a.Type == 'T' || a.Type == 'F') {
      value = static_cast<double>(a.Integer);
    } else if (a.Type == 'f' || a.Type == 'd') {
      value = a.Real;
    } else {
      return parsed;
    }
    if (*kind == TRemoteCommandKind::Preset) {
      const std::optional<int> slot = SlotOf(value);
      if (!slot) return parsed;
      parsed.Command.Slot = *slot;
    } else {
      if (!std::isfinite(value)) return parsed;
      parsed.Command.On = value != 0;
    }
    used = 1;
  }
  if (count > used + 1) return parsed;
  if (count == used + 1) {
    const TOscArgument& pin = args[used];
    if (pin.Type != 's' && pin.Type != 'S') return parsed;
    parsed.Pin = pin.Text;
  }
  parsed.Status = kRemoteDone;
  return parsed;
}

}  // namespace roarmark
