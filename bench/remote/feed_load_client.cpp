// Load on the feed: N WebSocket clients on loopback that count what they receive, plus one that
// completes the handshake and then never reads a byte. Prints each second's slowest client and,
// at the end, every client's rate; exits 1 when a reading client got fewer than MIN messages a
// second. Usage: roarmark_feed_load PORT [CLIENTS] [SECONDS] [MIN]
#include <arpa/inet.h>
#include <civetweb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

struct TClient {
  mg_connection* Connection = nullptr;
  std::atomic<long> Messages{0};
  std::atomic<bool> Closed{false};
};

int Data(mg_connection* connection, int flags, char* data, std::size_t size, void* self) {
  // Pings are answered, as browsers do on their own.
  if ((flags & 0xf) == MG_WEBSOCKET_OPCODE_PING) {
    mg_websocket_client_write(connection, MG_WEBSOCKET_OPCODE_PONG, data, size);
  }
  if ((flags & 0xf) == MG_WEBSOCKET_OPCODE_TEXT) ++static_cast<TClient*>(self)->Messages;
  return 1;
}

void Closed(const mg_connection*, void* self) {
  static_cast<TClient*>(self)->Closed = true;
}

// A client that asks for the feed and then reads nothing: its socket's buffers fill and stay
// full. Its receive buffer is made small so that happens within seconds.
int StalledClient(int port) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  const int small = 4096;
  setsockopt(s, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return -1;
  const std::string request =
      "GET /feed HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
      "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
      "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n";
  if (send(s, request.data(), request.size(), 0) < 0) return -1;
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: roarmark_feed_load PORT [CLIENTS] [SECONDS] [MIN]\n");
    return 2;
  }
  const int port = std::atoi(argv[1]);
  const int count = argc > 2 ? std::atoi(argv[2]) : 50;
  const int seconds = argc > 3 ? std::atoi(argv[3]) : 60;
  const double minimum = argc > 4 ? std::atof(argv[4]) : 39.0;
  mg_init_library(0);

  std::vector<std::unique_ptr<TClient>> clients;
  for (int i = 0; i < count; ++i) {
    auto client = std::make_unique<TClient>();
    char error[256] = "";
    client->Connection = mg_connect_websocket_client(
        "127.0.0.1", port, 0, error, sizeof error, "/feed", nullptr, &Data, &Closed, client.get());
    if (client->Connection == nullptr) {
      std::fprintf(stderr, "client %d cannot connect: %s\n", i, error);
      return 1;
    }
    clients.push_back(std::move(client));
  }
  const int stalled = StalledClient(port);
  if (stalled < 0) {
    std::fprintf(stderr, "the stalled client cannot connect\n");
    return 1;
  }

  // A second to settle, then the counted run.
  std::this_thread::sleep_for(std::chrono::seconds(1));
  std::vector<long> start;
  for (auto& c : clients)
    start.push_back(c->Messages.load());
  std::vector<long> last = start;
  const auto t0 = std::chrono::steady_clock::now();
  for (int s = 1; s <= seconds; ++s) {
    std::this_thread::sleep_until(t0 + std::chrono::seconds(s));
    long slowest = -1;
    for (std::size_t i = 0; i < clients.size(); ++i) {
      const long now = clients[i]->Messages.load();
      slowest = slowest < 0 ? now - last[i] : std::min(slowest, now - last[i]);
      last[i] = now;
    }
    std::printf("second %3d: slowest client got %ld messages\n", s, slowest);
    std::fflush(stdout);
  }
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  double lowest = 1e9, highest = 0;
  int closed = 0;
  for (std::size_t i = 0; i < clients.size(); ++i) {
    const double rate = static_cast<double>(clients[i]->Messages.load() - start[i]) / elapsed;
    lowest = std::min(lowest, rate);
    highest = std::max(highest, rate);
    if (clients[i]->Closed) ++closed;
  }
  std::printf(
      "%zu clients over %.1f s: %.2f to %.2f messages a second each (at least %.0f "
      "wanted), %d closed; one more client never read\n",
      clients.size(), elapsed, lowest, highest, minimum, closed);
  for (auto& c : clients)
    mg_close_connection(c->Connection);
  close(stalled);
  mg_exit_library();
  return lowest >= minimum && closed == 0 ? 0 : 1;
}
