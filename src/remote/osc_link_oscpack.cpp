// The OSC listener thread and the level sender on oscpack's UDP sockets (the Windows program).
#include <ip/PacketListener.h>
#include <ip/UdpSocket.h>
#include <osc/OscOutboundPacketStream.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>
#include <thread>

#include "remote/osc_link.h"
#include "remote/osc_message.h"
#include "remote/remote_settings.h"

namespace roarmark {

struct TOscLink::TSockets : PacketListener {
  TOscLink* Link = nullptr;
  std::unique_ptr<UdpListeningReceiveSocket> Listener;
  std::thread Thread;
  std::atomic<bool> Ended{false};
  std::unique_ptr<UdpTransmitSocket> Target;

  void ProcessPacket(const char* data, int size, const IpEndpointName& from) override {
    char host[IpEndpointName::ADDRESS_STRING_LENGTH] = "";
    from.AddressAsString(host);
    Link->Received(
        ParseOscPacket(reinterpret_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)),
        host);
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
  loopback_only_ = loopback_only;
  // Bound to loopback when nothing from elsewhere is taken; Received checks the sender as well.
  const unsigned long address = loopback_only ? 0x7F000001ul : IpEndpointName::ANY_ADDRESS;
  try {
    sockets_->Listener =
        std::make_unique<UdpListeningReceiveSocket>(IpEndpointName(address, port), sockets_.get());
  } catch (const std::exception& e) {
    std::string reason = e.what();
    while (!reason.empty() && reason.back() == '\n')
      reason.pop_back();
    error = "cannot listen for OSC on port " + std::to_string(port) + ": " + reason;
    return false;
  }
  sockets_->Ended = false;
  sockets_->Thread = std::thread([s = sockets_.get()] {
    s->Listener->Run();
    s->Ended = true;
  });
  return true;
}

bool TOscLink::SetTarget(const std::string& host_port) {
  const std::optional<TEndpoint> endpoint = ParseEndpoint(host_port, "");
  if (!endpoint) return false;
  // oscpack's sockets speak IPv4 only; a name is looked up once, here.
  const IpEndpointName name(endpoint->Address.c_str(), endpoint->Port);
  if (name.address == 0 || name.address == IpEndpointName::ANY_ADDRESS) return false;
  try {
    sockets_->Target = std::make_unique<UdpTransmitSocket>(name);
  } catch (const std::exception&) {
    sockets_->Target.reset();
    return false;
  }
  return true;
}

void TOscLink::SendLevel(double level) {
  if (!sockets_->Target) return;
  // A level that cannot go out is lost, never the feed thread with it.
  try {
    char buffer[64];
    osc::OutboundPacketStream packet(buffer, sizeof buffer);
    packet << osc::BeginMessage("/roarmark/level") << static_cast<float>(level) << osc::EndMessage;
    sockets_->Target->Send(packet.Data(), packet.Size());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "roarmark: OSC level not sent: %s\n", e.what());
  }
}

void TOscLink::Stop() {
  if (sockets_->Listener) {
    // A break that comes before the loop has begun is forgotten by it: repeat until it ends.
    while (!sockets_->Ended) {
      sockets_->Listener->AsynchronousBreak();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    sockets_->Thread.join();
    sockets_->Listener.reset();
  }
  sockets_->Target.reset();
}

}  // namespace roarmark
