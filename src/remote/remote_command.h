// Remote commands: the JSON body of POST /api/command and the OSC messages, checked and turned
// into the key commands they stand for.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace roarmark {

// HTTP statuses the server answers a command with; the scenario runner prints the same.
inline constexpr int kRemoteDone = 200;
inline constexpr int kRemoteMalformed = 400;
inline constexpr int kRemotePinRefused = 401;
inline constexpr int kRemoteUnknown = 404;
inline constexpr int kRemoteTooLarge = 413;
inline constexpr int kRemoteLockedOut = 429;
inline constexpr int kRemoteNotRun = 503;  // the program did not take it in time

// Larger bodies are refused unread: a command is a few dozen bytes.
inline constexpr std::size_t kMaxCommandBytes = 4096;

enum class TRemoteCommandKind { Blank, Reset, Hold, Preset, Current };

struct TRemoteCommand {
  TRemoteCommandKind Kind = TRemoteCommandKind::Reset;
  bool On = false;  // Hold
  int Slot = 0;     // Preset, 0..9
};

struct TParsedCommand {
  // 0 when the body is a JSON object within the size limit, else 400 or 413.
  int BodyStatus = 0;
  // The "pin" member when it is a string.
  std::optional<std::string> Pin;
  // 200 for a command that can run, 400 for wrong member types or ranges, 404 for an unknown
  // "cmd" text.
  int CommandStatus = kRemoteMalformed;
  TRemoteCommand Command;
};

// {"cmd":"blank"}, {"cmd":"reset"}, {"cmd":"hold","on":true}, {"cmd":"preset","n":3},
// {"cmd":"current"}, each with "pin" where the server asks for one.
TParsedCommand ParseRemoteCommand(std::string_view body);

// One OSC argument as the OSC library hands it over: its type tag and value.
struct TOscArgument {
  char Type = 0;
  std::int64_t Integer = 0;  // 'i', 'h', 'T' (1), 'F' (0)
  double Real = 0;           // 'f', 'd'
  std::string Text;          // 's', 'S'
};

struct TParsedOsc {
  int Status = kRemoteUnknown;  // 200, 400 (wrong arguments) or 404 (not ours)
  std::optional<std::string> Pin;
  TRemoteCommand Command;
};

// /roarmark/preset N, /roarmark/reset, /roarmark/hold 0|1, /roarmark/blank, /roarmark/current;
// numbers may come as integers or whole floats, as show controllers send either. A string after
// them is the PIN.
TParsedOsc ParseOscCommand(std::string_view path, const TOscArgument* args, std::size_t count);

}  // namespace roarmark
