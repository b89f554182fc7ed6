// Serving the API, the pages and the feed with civetweb. No document root is configured, so the
// library itself serves no file; every answer comes from the handlers below.
#include "remote/remote_server.h"

#include <civetweb.h>

#include <charconv>
#include <cstdio>
#include <vector>

#include "display/pictures/bmp_reader.h"
#include "display/pictures/png_writer.h"
#include "remote/command_gate.h"
#include "remote/pages.h"
#include "remote/request_checks.h"

namespace roarmark {
namespace {

// How long a request waits for the GUI thread, which may be busy with a file or a dialog.
constexpr std::chrono::milliseconds kGuiWait{5000};
// A thumbnail is at most 240 x 200; anything much larger in its place is not served.
constexpr std::int64_t kMaxThumbnailPixels = 1'000'000;

const char* ReasonOf(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 413:
      return "Payload Too Large";
    case 429:
      return "Too Many Requests";
    default:
      return "Service Unavailable";
  }
}

int Reply(mg_connection* connection, int status, const char* type, const void* body,
          std::size_t size) {
  // The length as text: the library's printf is the platform's, which may not know %zu.
  const std::string length = std::to_string(size);
  mg_printf(connection,
            "HTTP/1.1 %d %s\r\nContent-Type: %s\r\nContent-Length: %s\r\n"
            "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
            "Referrer-Policy: no-referrer\r\nConnection: close\r\n\r\n",
            status, ReasonOf(status), type, length.c_str());
  if (size > 0) mg_write(connection, body, size);
  return status;
}

int ReplyJson(mg_connection* connection, int status, const std::string& json) {
  return Reply(connection, status, "application/json", json.data(), json.size());
}

int ReplyStatus(mg_connection* connection, int status) {
  char json[48];
  const int n = std::snprintf(json, sizeof json, "{\"status\":%d}", status);
  return Reply(connection, status, "application/json", json, static_cast<std::size_t>(n));
}

std::optional<std::string_view> Header(const mg_connection* connection, const char* name) {
  const char* value = mg_get_header(connection, name);
  if (value == nullptr) return std::nullopt;
  return std::string_view(value);
}

std::string RemoteAddress(const mg_connection* connection) {
  return mg_get_request_info(connection)->remote_addr;
}

std::optional<std::string> QueryPin(const mg_connection* connection) {
  const char* query = mg_get_request_info(connection)->query_string;
  if (query == nullptr) return std::nullopt;
  return QueryValue(query, "pin");
}

// civetweb's spelling; every IPv6 address, "[::]", is "+PORT": IPv4 and IPv6 on one socket, as
// anyone asking for "::" expects.
std::string ListenOption(const TEndpoint& endpoint) {
  std::string option = endpoint.Address == "[::]" ? "+" : endpoint.Address + ":";
  option += std::to_string(endpoint.Port);
  return option;
}

// mg_check_feature's bit for a library built with IPv6.
constexpr unsigned kLibraryHasIpv6 = 8;

}  // namespace

TRemoteServer::TRemoteServer(IRemoteTarget& target, TGuiCall& gui, TPinGuard& guard,
                             std::function<std::uint64_t()> clock_ms)
    : target_(target), gui_(gui), guard_(guard), clock_ms_(std::move(clock_ms)) {}

TRemoteServer::~TRemoteServer() {
  Stop();
}

bool TRemoteServer::Start(const TEndpoint& endpoint, std::string& error) {
  mg_init_library(0);
  const std::string ports = ListenOption(endpoint);
  // Without IPv6 the library would take "+PORT" as IPv4 only and refuse "[::1]" in words of its
  // own; say plainly what is missing instead.
  if (!endpoint.Address.empty() && endpoint.Address.front() == '[' &&
      mg_check_feature(kLibraryHasIpv6) == 0) {
    error = "cannot listen on " + endpoint.Address +
            ": this build's web server library has no "
            "IPv6; give an IPv4 address (0.0.0.0 for every one)";
    return false;
  }
  const std::string threads = std::to_string(kMaxFeedClients + 16);
  const char* options[] = {"listening_ports",
                           ports.c_str(),
                           "num_threads",
                           threads.c_str(),
                           "request_timeout_ms",
                           "10000",
                           "max_request_size",
                           "8192",
                           "tcp_nodelay",
                           "1",
                           "access_control_allow_origin",
                           "",
                           "access_control_allow_methods",
                           "",
                           "enable_directory_listing",
                           "no",
                           nullptr};
  mg_callbacks callbacks{};
  mg_init_data init{};
  init.callbacks = &callbacks;
  init.user_data = this;
  init.configuration_options = options;
  char text[256] = "";
  mg_error_data errors{};
  errors.text = text;
  errors.text_buffer_size = sizeof text;
  context_ = mg_start2(&init, &errors);
  if (context_ == nullptr) {
    error = "cannot listen on " + ports + (text[0] ? std::string(": ") + text : std::string());
    return false;
  }
  mg_set_request_handler(context_, "/", &TRemoteServer::HandleRequest, this);
  mg_set_websocket_handler(context_, "/feed", &TRemoteServer::FeedConnect,
                           &TRemoteServer::FeedReady, &TRemoteServer::FeedData,
                           &TRemoteServer::FeedClose, this);
  return true;
}

void TRemoteServer::Stop() {
  if (context_ == nullptr) return;
  // The library's stop ends every connection; their close handlers join the writers.
  mg_stop(context_);
  context_ = nullptr;
  feed_.StopAll();
}

int TRemoteServer::HandleRequest(mg_connection* connection, void* self) {
  return static_cast<TRemoteServer*>(self)->Serve(connection);
}

int TRemoteServer::Serve(mg_connection* connection) {
  const mg_request_info* request = mg_get_request_info(connection);
  const std::string_view path = request->local_uri ? request->local_uri : "";
  const std::string_view method = request->request_method ? request->request_method : "";
  if (path == "/") {
    mg_printf(connection,
              "HTTP/1.1 302 Found\r\nLocation: /remote\r\nContent-Length: 0\r\n"
              "Connection: close\r\n\r\n");
    return 302;
  }
  if (const TPage* page = FindPage(path)) {
    if (method != "GET" && method != "HEAD") return ReplyStatus(connection, 405);
    std::string type(page->ContentType);
    return Reply(connection, 200, type.c_str(), page->Body.data(),
                 method == "HEAD" ? 0 : page->Body.size());
  }
  if (path.substr(0, 5) != "/api/") return ReplyStatus(connection, 404);
  if (!SameOriginRequest(Header(connection, "Host"), Header(connection, "Origin"))) {
    return ReplyStatus(connection, 403);
  }
  if (path == "/api/command") {
    if (method != "POST") return ReplyStatus(connection, 405);
    return Command(connection);
  }
  if (method != "GET") return ReplyStatus(connection, 405);
  if (path == "/api/state") return State(connection);
  constexpr std::string_view thumbnail = "/api/thumbnail/";
  if (path.substr(0, thumbnail.size()) == thumbnail) {
    return Thumbnail(connection, std::string(path.substr(thumbnail.size())));
  }
  return ReplyStatus(connection, 404);
}

int TRemoteServer::Command(mg_connection* connection) {
  const std::string address = RemoteAddress(connection);
  const long long declared = mg_get_request_info(connection)->content_length;
  if (declared > static_cast<long long>(kMaxCommandBytes)) {
    return ReplyStatus(connection, kRemoteTooLarge);
  }
  // Read one byte beyond the limit to tell an oversize body without a length from a full one.
  std::string body(kMaxCommandBytes + 1, '\0');
  std::size_t got = 0;
  while (got < body.size()) {
    const int n = mg_read(connection, body.data() + got, body.size() - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  body.resize(got);
  const TAdmission admission = AdmitJsonCommand(guard_, body, address, clock_ms_());
  if (admission.Status != kRemoteDone) return ReplyStatus(connection, admission.Status);
  const TRemoteCommand command = admission.Command;
  const bool ran = gui_.Run([this, command] { target_.RunCommand(command); }, kGuiWait);
  return ReplyStatus(connection, ran ? kRemoteDone : kRemoteNotRun);
}

int TRemoteServer::ReadAccess(const mg_connection* connection) {
  const std::optional<std::string_view> header = Header(connection, "X-Roarmark-Pin");
  std::optional<std::string> pin = QueryPin(connection);
  if (header) pin = std::string(*header);
  return guard_.Check(RemoteAddress(connection), pin, clock_ms_());
}

int TRemoteServer::State(mg_connection* connection) {
  if (const int refused = ReadAccess(connection)) return ReplyStatus(connection, refused);
  std::string json;
  if (!gui_.Run([this, &json] { json = StateMessage(target_.State()); }, kGuiWait)) {
    return ReplyStatus(connection, kRemoteNotRun);
  }
  return ReplyJson(connection, 200, json);
}

int TRemoteServer::Thumbnail(mg_connection* connection, const std::string& slot_text) {
  if (const int refused = ReadAccess(connection)) return ReplyStatus(connection, refused);
  int slot = -1;
  const auto [end, problem] =
      std::from_chars(slot_text.data(), slot_text.data() + slot_text.size(), slot);
  if (problem != std::errc() || end != slot_text.data() + slot_text.size() || slot < 0 ||
      slot > 9) {
    return ReplyStatus(connection, 404);
  }
  std::string path;
  if (!gui_.Run([this, &path, slot] { path = target_.ThumbnailPath(slot); }, kGuiWait)) {
    return ReplyStatus(connection, kRemoteNotRun);
  }
  // Read and checked here, off the GUI thread, by the same reader as every picture; what is
  // sent is the picture encoded afresh, never the file's own bytes.
  // PNG, which every browser shows and which is a fraction of the BMP's size on a phone's link.
  platform::TPixels pixels;
  std::vector<std::uint8_t> png;
  if (path.empty() || !DecodeBmpFile(path, pixels) ||
      std::int64_t{pixels.Width} * pixels.Height > kMaxThumbnailPixels || !EncodePng(pixels, png)) {
    return ReplyStatus(connection, 404);
  }
  return Reply(connection, 200, "image/png", png.data(), png.size());
}

// --- The feed -----------------------------------------------------------------------------------

int TRemoteServer::FeedConnect(const mg_connection* connection, void* self) {
  auto* server = static_cast<TRemoteServer*>(self);
  if (!SameOriginRequest(Header(connection, "Host"), Header(connection, "Origin"))) return 1;
  if (server->ReadAccess(connection) != 0) return 1;
  return server->feed_.Reserve() ? 0 : 1;
}

void TRemoteServer::FeedReady(mg_connection* connection, void* self) {
  static_cast<TRemoteServer*>(self)->feed_.Add(connection);
}

int TRemoteServer::FeedData(mg_connection* connection, int flags, char*, std::size_t, void* self) {
  // The feed only speaks: a pong tells that the client keeps up, a close ends the connection,
  // anything else is ignored.
  const int opcode = flags & 0xf;
  if (opcode == MG_WEBSOCKET_OPCODE_PONG) static_cast<TRemoteServer*>(self)->feed_.Pong(connection);
  return opcode == MG_WEBSOCKET_OPCODE_CONNECTION_CLOSE ? 0 : 1;
}

void TRemoteServer::FeedClose(const mg_connection* connection, void* self) {
  static_cast<TRemoteServer*>(self)->feed_.Remove(const_cast<mg_connection*>(connection));
}

}  // namespace roarmark
