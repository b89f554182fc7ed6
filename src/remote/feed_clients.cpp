// Feed writers: one per client, woken together by the feed thread.
#include "remote/feed_clients.h"

#include <civetweb.h>

namespace roarmark {

TFeedClients::TFeedClients(int max_clients) : max_clients_(max_clients) {}

TFeedClients::~TFeedClients() {
  StopAll();
}

bool TFeedClients::Reserve() {
  std::lock_guard lock(mutex_);
  if (stopped_ || reserved_ >= max_clients_) return false;
  ++reserved_;
  return true;
}

void TFeedClients::Unreserve() {
  std::lock_guard lock(mutex_);
  if (reserved_ > 0) --reserved_;
}

void TFeedClients::Add(mg_connection* connection) {
  std::lock_guard lock(mutex_);
  if (stopped_) return;
  auto client = std::make_unique<TClient>();
  client->Connection = connection;
  TClient* raw = client.get();
  clients_[connection] = std::move(client);
  raw->Writer = std::thread([this, raw] { Write(*raw); });
}

void TFeedClients::Remove(mg_connection* connection) {
  std::unique_ptr<TClient> client;
  {
    std::lock_guard lock(mutex_);
    if (reserved_ > 0) --reserved_;
    auto it = clients_.find(connection);
    if (it == clients_.end()) return;
    client = std::move(it->second);
    clients_.erase(it);
  }
  {
    std::lock_guard lock(mutex_);
    client->Stop = true;
  }
  changed_.notify_all();
  if (client->Writer.joinable()) client->Writer.join();
}

void TFeedClients::Broadcast(std::shared_ptr<const std::string> message) {
  {
    std::lock_guard lock(mutex_);
    newest_ = std::move(message);
    ++newest_number_;
  }
  changed_.notify_all();
}

void TFeedClients::Write(TClient& client) {
  std::uint64_t sent = 0;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return client.Stop || (newest_ && newest_number_ != sent); });
    if (client.Stop) return;
    // The newest message, once; a writer that was held up skips whatever came meanwhile.
    const std::shared_ptr<const std::string> message = newest_;
    sent = newest_number_;
    lock.unlock();
    const int written = mg_websocket_write(client.Connection, MG_WEBSOCKET_OPCODE_TEXT,
                                           message->data(), message->size());
    lock.lock();
    if (written <= 0) return;  // the client is gone; its connection closes and removes it
  }
}

void TFeedClients::StopAll() {
  std::map<mg_connection*, std::unique_ptr<TClient>> clients;
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    clients.swap(clients_);
    for (auto& [connection, client] : clients)
      client->Stop = true;
  }
  changed_.notify_all();
  for (auto& [connection, client] : clients) {
    if (client->Writer.joinable()) client->Writer.join();
  }
}

int TFeedClients::Count() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(clients_.size());
}

}  // namespace roarmark
