// The HTTP and WebSocket server (civetweb): the command and state API, the thumbnails, the two
// pages and the feed. Its threads touch no program state: everything the program knows comes
// through TGuiCall, the feed from the feed thread through TFeedClients.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "remote/feed_clients.h"
#include "remote/gui_call.h"
#include "remote/pin_guard.h"
#include "remote/remote_settings.h"
#include "remote/remote_target.h"

struct mg_context;
struct mg_connection;

namespace roarmark {

// Feed clients at most; the server keeps threads beyond them for requests.
inline constexpr int kMaxFeedClients = 64;

class TRemoteServer {
 public:
  TRemoteServer(IRemoteTarget& target, TGuiCall& gui, TPinGuard& guard,
                std::function<std::uint64_t()> clock_ms);
  ~TRemoteServer();

  // Listens on `endpoint`; false with `error` when it cannot (the port is taken).
  bool Start(const TEndpoint& endpoint, std::string& error);
  void Stop();
  TFeedClients& Feed() { return feed_; }

 private:
  static int HandleRequest(mg_connection* connection, void* self);
  static int FeedConnect(const mg_connection* connection, void* self);
  static void FeedReady(mg_connection* connection, void* self);
  static int FeedData(mg_connection* connection, int flags, char* data, std::size_t size,
                      void* self);
  static void FeedClose(const mg_connection* connection, void* self);

  int Serve(mg_connection* connection);
  int Command(mg_connection* connection);
  int State(mg_connection* connection);
  int Thumbnail(mg_connection* connection, const std::string& slot_text);
  // 0 when the request may see the program, else the status it was refused with.
  int ReadAccess(const mg_connection* connection);

  IRemoteTarget& target_;
  TGuiCall& gui_;
  TPinGuard& guard_;
  std::function<std::uint64_t()> clock_ms_;
  TFeedClients feed_{kMaxFeedClients};
  mg_context* context_ = nullptr;
};

}  // namespace roarmark
