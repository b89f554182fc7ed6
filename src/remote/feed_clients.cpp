// Feed writes: one round per buffer on the feed thread, pings to tell who keeps up.
#include "remote/feed_clients.h"

#include <civetweb.h>

namespace roarmark {

std::string TextFrame(std::string_view payload) {
  // An unmasked final text frame (RFC 6455, 5.2): the length in 7 bits, or 16 or 64 after a
  // marker, most significant byte first.
  std::string frame(1, static_cast<char>(0x81));
  const std::uint64_t size = payload.size();
  if (size < 126) {
    frame += static_cast<char>(size);
  } else {
    const int bytes = size <= 0xFFFF ? 2 : 8;
    frame += static_cast<char>(bytes == 2 ? 126 : 127);
    for (int i = bytes - 1; i >= 0; --i)
      frame += static_cast<char>((size >> (8 * i)) & 0xFF);
  }
  frame += payload;
  return frame;
}

TFeedClients::TFeedClients(int max_clients) : max_clients_(max_clients) {}

bool TFeedClients::Write(mg_connection* connection, const std::string& frame) {
  // One write per frame, so one segment per message: the library's mg_websocket_write sends a
  // frame's header and payload apart, twice the work for every client and buffer.
  mg_lock_connection(connection);
  const int written = mg_write(connection, frame.data(), frame.size());
  mg_unlock_connection(connection);
  return written == static_cast<int>(frame.size());
}

bool TFeedClients::Reserve() {
  std::lock_guard lock(mutex_);
  if (stopped_ || reserved_ >= max_clients_) return false;
  ++reserved_;
  return true;
}

void TFeedClients::Add(mg_connection* connection) {
  std::lock_guard lock(mutex_);
  if (stopped_) return;
  const TClock::time_point now = TClock::now();
  TClient& client = clients_[connection];
  client.Added = client.LastPing = client.LastPong = now;
  if (!newest_.empty()) client.Broken = !Write(connection, newest_);
}

void TFeedClients::Pong(mg_connection* connection) {
  std::lock_guard lock(mutex_);
  if (auto it = clients_.find(connection); it != clients_.end())
    it->second.LastPong = TClock::now();
}

void TFeedClients::Remove(mg_connection* connection) {
  std::lock_guard lock(mutex_);
  if (reserved_ > 0) --reserved_;
  clients_.erase(connection);
}

void TFeedClients::Broadcast(const std::string& frame) {
  std::lock_guard lock(mutex_);
  if (stopped_) return;
  newest_ = frame;
  const TClock::time_point now = TClock::now();
  for (auto& [connection, client] : clients_) {
    if (client.Broken) continue;
    if (now - client.LastPing >= kPingEvery) {
      client.LastPing = now;
      client.Broken = mg_websocket_write(connection, MG_WEBSOCKET_OPCODE_PING, "", 0) < 0;
    }
    // Behind: what it has not read is at most a few seconds of messages; it waits for the next
    // message after its next answer.
    if (now - client.LastPong > kPassOverAfter) continue;
    if (!client.Broken) client.Broken = !Write(connection, frame);
  }
}

void TFeedClients::StopAll() {
  std::lock_guard lock(mutex_);
  stopped_ = true;
  clients_.clear();
}

int TFeedClients::Count() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(clients_.size());
}

}  // namespace roarmark
