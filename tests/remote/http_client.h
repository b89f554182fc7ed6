// A test's HTTP and WebSocket client on civetweb's client side, and a free loopback port.
#pragma once

#include <arpa/inet.h>
#include <civetweb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace roarmark::test {

// A port nobody listens on now (the kernel's choice for a socket bound to port 0).
inline int FreeLoopbackPort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t n = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
  close(s);
  return ntohs(a.sin_port);
}

struct THttpAnswer {
  int Status = 0;  // 0 when no answer came
  std::string ContentType;
  std::string Body;
};

// True when this machine has the IPv6 loopback address ::1.
inline bool HasIpv6Loopback() {
  const int s = socket(AF_INET6, SOCK_STREAM, 0);
  if (s < 0) return false;
  sockaddr_in6 a{};
  a.sin6_family = AF_INET6;
  a.sin6_addr = in6addr_loopback;
  const bool bound = bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(s);
  return bound;
}

// One request to `host` (an IPv4 or IPv6 literal); `head` holds extra header lines, each ending
// in CR LF.
inline THttpAnswer Request(int port, const std::string& method, const std::string& path,
                           const std::string& body = "", const std::string& head = "",
                           const std::string& host = "127.0.0.1") {
  THttpAnswer answer;
  char error[256] = "";
  mg_connection* c = mg_connect_client(host.c_str(), port, 0, error, sizeof error);
  if (c == nullptr) return answer;
  const std::string host_header = host.find(':') == std::string::npos ? host : "[" + host + "]";
  mg_printf(c, "%s %s HTTP/1.1\r\nHost: %s:%d\r\n%sContent-Length: %zu\r\n\r\n", method.c_str(),
            path.c_str(), host_header.c_str(), port, head.c_str(), body.size());
  mg_write(c, body.data(), body.size());
  if (mg_get_response(c, error, sizeof error, 20000) >= 0) {
    const mg_response_info* info = mg_get_response_info(c);
    answer.Status = info->status_code;
    const char* type = mg_get_header(c, "Content-Type");
    answer.ContentType = type ? type : "";
    char buffer[4096];
    int n = 0;
    while ((n = mg_read(c, buffer, sizeof buffer)) > 0)
      answer.Body.append(buffer, static_cast<std::size_t>(n));
  }
  mg_close_connection(c);
  return answer;
}

// A feed client: every text message it received, in order.
class TFeedListener {
 public:
  bool Connect(int port, const std::string& path) {
    char error[256] = "";
    connection_ =
        mg_connect_websocket_client("127.0.0.1", port, 0, error, sizeof error, path.c_str(),
                                    nullptr, &TFeedListener::Data, &TFeedListener::Closed, this);
    return connection_ != nullptr;
  }
  ~TFeedListener() {
    if (connection_) mg_close_connection(connection_);
  }
  // Waits until at least `count` messages came; false after `timeout_ms`.
  bool WaitFor(std::size_t count, int timeout_ms) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                             [&] { return messages_.size() >= count; });
  }
  std::vector<std::string> Messages() {
    std::lock_guard lock(mutex_);
    return messages_;
  }

 private:
  static int Data(mg_connection* connection, int flags, char* data, std::size_t size, void* self) {
    auto* listener = static_cast<TFeedListener*>(self);
    // Answered as every WebSocket client must (browsers do it on their own).
    if ((flags & 0xf) == MG_WEBSOCKET_OPCODE_PING) {
      mg_websocket_client_write(connection, MG_WEBSOCKET_OPCODE_PONG, data, size);
    }
    if ((flags & 0xf) == MG_WEBSOCKET_OPCODE_TEXT) {
      std::lock_guard lock(listener->mutex_);
      listener->messages_.emplace_back(data, size);
    }
    listener->arrived_.notify_all();
    return 1;
  }
  static void Closed(const mg_connection*, void*) {}

  mg_connection* connection_ = nullptr;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::string> messages_;
};

}  // namespace roarmark::test
