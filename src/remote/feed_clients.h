// The feed's WebSocket clients, written to by the feed thread alone: one write per client per
// buffer, no thread of their own. A client that stops reading would make a write wait, so each
// client is pinged every second, and one whose answer is more than two seconds late is passed
// over until it answers again: what it has not read stays far below what its socket holds, no
// write ever waits for it, and when it catches up it gets the newest message only.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

struct mg_connection;

namespace roarmark {

// A WebSocket text frame of the server (unmasked) carrying `payload`.
std::string TextFrame(std::string_view payload);

class TFeedClients {
 public:
  using TClock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kPingEvery{1000};
  static constexpr std::chrono::milliseconds kPassOverAfter{2000};

  explicit TFeedClients(int max_clients);

  // A connection asks to join: false when the feed is full.
  bool Reserve();
  // The handshake is done: the client gets the newest message at once and every one after.
  void Add(mg_connection* connection);
  // The client answered a ping.
  void Pong(mg_connection* connection);
  // The connection is closing; no write to it is under way once this returns.
  void Remove(mg_connection* connection);
  // Feed thread: `frame` (TextFrame) to every client that keeps up, and the pings.
  void Broadcast(const std::string& frame);
  // No more clients are taken and nothing more is written.
  void StopAll();
  int Count() const;

 private:
  struct TClient {
    TClock::time_point Added;
    TClock::time_point LastPing;
    TClock::time_point LastPong;
    bool Broken = false;  // a write failed: the connection is on its way out
  };
  // Whole-frame writes under the library's connection lock; false when the write failed.
  static bool Write(mg_connection* connection, const std::string& frame);

  const int max_clients_;
  mutable std::mutex mutex_;  // held through each round of writes
  std::map<mg_connection*, TClient> clients_;
  int reserved_ = 0;
  bool stopped_ = false;
  std::string newest_;
};

}  // namespace roarmark
