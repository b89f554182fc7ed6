// The OSC listener thread (liblo's own) and the level sender.
#include <lo/lo.h>

#include "remote/osc_link.h"
#include "remote/osc_message_liblo.h"
#include "remote/remote_settings.h"

namespace roarmark {
namespace {

// liblo reports its errors through a plain function; the last one is kept for Listen's answer.
thread_local std::string last_error;

void KeepError(int number, const char* message, const char* where) {
  last_error = std::string(message ? message : "error") + " (" + std::to_string(number) +
               (where ? std::string(", ") + where : std::string()) + ")";
}

}  // namespace

struct TOscLink::TSockets {
  lo_server_thread Server = nullptr;
  lo_address Target = nullptr;
  TOscLink* Link = nullptr;

  static int Method(const char* path, const char* types, lo_arg** argv, int argc, void* message,
                    void* self) {
    lo_address source = lo_message_get_source(message);
    const char* host = source ? lo_address_get_hostname(source) : nullptr;
    static_cast<TSockets*>(self)->Link->Received(
        ParseOscMessage(path ? path : "", types, argv, argc), host ? host : "");
    return 0;
  }
};

TOscLink::TOscLink(IRemoteTarget& target, TGuiCall& gui, TPinGuard& guard,
                   std::function<std::uint64_t()> clock_ms)
    : target_(target),
      gui_(gui),
      guard_(guard),
      clock_ms_(std::move(clock_ms)),
      sockets_(std::make_unique<TSockets>()) {
  sockets_->Link = this;
}

TOscLink::~TOscLink() {
  Stop();
}

bool TOscLink::Listen(int port, bool loopback_only, std::string& error) {
  // liblo listens on every interface; what comes from elsewhere is dropped in Received.
  loopback_only_ = loopback_only;
  last_error.clear();
  const std::string port_text = std::to_string(port);
  lo_server_thread server = lo_server_thread_new_with_proto(port_text.c_str(), LO_UDP, &KeepError);
  if (server == nullptr) {
    error = "cannot listen for OSC on port " + port_text +
            (last_error.empty() ? std::string() : ": " + last_error);
    return false;
  }
  sockets_->Server = server;
  lo_server_thread_add_method(server, nullptr, nullptr,
                              reinterpret_cast<lo_method_handler>(&TSockets::Method),
                              sockets_.get());
  lo_server_thread_start(server);
  return true;
}

bool TOscLink::SetTarget(const std::string& host_port) {
  const std::optional<TEndpoint> endpoint = ParseEndpoint(host_port, "");
  if (!endpoint) return false;
  std::string host = endpoint->Address;
  if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
  if (sockets_->Target != nullptr) lo_address_free(sockets_->Target);
  sockets_->Target = lo_address_new(host.c_str(), std::to_string(endpoint->Port).c_str());
  return sockets_->Target != nullptr;
}

void TOscLink::SendLevel(double level) {
  if (sockets_->Target == nullptr) return;
  lo_send(sockets_->Target, "/roarmark/level", "f", static_cast<float>(level));
}

void TOscLink::Stop() {
  if (sockets_->Server != nullptr) {
    lo_server_thread_stop(sockets_->Server);
    lo_server_thread_free(sockets_->Server);
    sockets_->Server = nullptr;
  }
  if (sockets_->Target != nullptr) {
    lo_address_free(sockets_->Target);
    sockets_->Target = nullptr;
  }
}

}  // namespace roarmark
