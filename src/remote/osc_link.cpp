// The OSC listener thread (liblo's own) and the level sender.
#include "remote/osc_link.h"

#include <lo/lo.h>

#include "remote/command_gate.h"
#include "remote/osc_message.h"

namespace roarmark {
namespace {

constexpr std::chrono::milliseconds kGuiWait{5000};

// liblo reports its errors through a plain function; the last one is kept for Listen's answer.
thread_local std::string last_error;

void KeepError(int number, const char* message, const char* where) {
  last_error = std::string(message ? message : "error") + " (" + std::to_string(number) +
               (where ? std::string(", ") + where : std::string()) + ")";
}

}  // namespace

TOscLink::TOscLink(IRemoteTarget& target, TGuiCall& gui, TPinGuard& guard,
                   std::function<std::uint64_t()> clock_ms)
    : target_(target), gui_(gui), guard_(guard), clock_ms_(std::move(clock_ms)) {}

TOscLink::~TOscLink() {
  Stop();
}

bool TOscLink::Listen(int port, bool loopback_only, std::string& error) {
  loopback_only_ = loopback_only;
  last_error.clear();
  const std::string port_text = std::to_string(port);
  server_ = lo_server_thread_new_with_proto(port_text.c_str(), LO_UDP, &KeepError);
  if (server_ == nullptr) {
    error = "cannot listen for OSC on port " + port_text +
            (last_error.empty() ? std::string() : ": " + last_error);
    return false;
  }
  lo_server_thread_add_method(server_, nullptr, nullptr,
                              reinterpret_cast<lo_method_handler>(&TOscLink::Method), this);
  lo_server_thread_start(server_);
  return true;
}

bool TOscLink::SetTarget(const std::string& host_port) {
  const std::optional<TEndpoint> endpoint = ParseEndpoint(host_port, "");
  if (!endpoint) return false;
  std::string host = endpoint->Address;
  if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
  if (target_address_ != nullptr) lo_address_free(target_address_);
  target_address_ = lo_address_new(host.c_str(), std::to_string(endpoint->Port).c_str());
  return target_address_ != nullptr;
}

void TOscLink::SendLevel(double level) {
  if (target_address_ == nullptr) return;
  lo_send(target_address_, "/roarmark/level", "f", static_cast<float>(level));
}

int TOscLink::Method(const char* path, const char* types, lo_arg** argv, int argc, void* message,
                     void* self) {
  auto* link = static_cast<TOscLink*>(self);
  lo_address source = lo_message_get_source(message);
  const char* host = source ? lo_address_get_hostname(source) : nullptr;
  const std::string address = host ? host : "";
  if (link->loopback_only_ && !IsLoopbackAddress(address)) return 0;
  const TParsedOsc parsed = ParseOscMessage(path ? path : "", types, argv, argc);
  const TAdmission admission = AdmitOscCommand(link->guard_, parsed, address, link->clock_ms_());
  if (admission.Status != kRemoteDone) return 0;
  const TRemoteCommand command = admission.Command;
  link->gui_.Run([link, command] { link->target_.RunCommand(command); }, kGuiWait);
  return 0;
}

void TOscLink::Stop() {
  if (server_ != nullptr) {
    lo_server_thread_stop(server_);
    lo_server_thread_free(server_);
    server_ = nullptr;
  }
  if (target_address_ != nullptr) {
    lo_address_free(target_address_);
    target_address_ = nullptr;
  }
}

}  // namespace roarmark
