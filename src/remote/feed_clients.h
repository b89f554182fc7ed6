// The feed's WebSocket clients. Each has a writer of its own that sends only the newest message:
// a client that stops reading holds up nobody but itself, and nothing queues up for it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct mg_connection;

namespace roarmark {

class TFeedClients {
 public:
  explicit TFeedClients(int max_clients);
  ~TFeedClients();

  // A connection asks to join: false when the feed is full.
  bool Reserve();
  // Gives back a reservation that never became a client (the handshake failed).
  void Unreserve();
  // The handshake is done: the client gets every newest message from now on.
  void Add(mg_connection* connection);
  // The connection is closing: its writer is stopped and joined before the connection goes.
  void Remove(mg_connection* connection);
  // Feed thread: the newest message for everyone.
  void Broadcast(std::shared_ptr<const std::string> message);
  // Stops every writer; no more clients are taken.
  void StopAll();
  int Count() const;

 private:
  struct TClient {
    mg_connection* Connection = nullptr;
    std::thread Writer;
    bool Stop = false;  // under the mutex
  };
  void Write(TClient& client);

  const int max_clients_;
  mutable std::mutex mutex_;
  std::map<mg_connection*, std::unique_ptr<TClient>> clients_;
  int reserved_ = 0;
  bool stopped_ = false;
  std::shared_ptr<const std::string> newest_;
  std::uint64_t newest_number_ = 0;  // 0 before the first message
  std::condition_variable changed_;  // a new message, or a writer to stop
};

}  // namespace roarmark
