// libcurl's easy interface under the downloader's rules, and libcurl's
// result codes turned into the downloader's texts.
#include "update/curl_transfer.h"

#include <exception>
#include <memory>

#include "update/curl_api.h"
#include "update/update_manifest.h"  // Required for: ConnectionAllowed()

namespace {

struct TransferState {
  TransferState(const CurlApi& a, const TransferRequest& r, const TransferHandlers& h)
      : api(a), request(r), handlers(h) {}

  const CurlApi& api;
  const TransferRequest& request;
  const TransferHandlers& handlers;
  CURL* curl = nullptr;
  HttpReply reply;
  bool header_seen = false;      // some status line came
  bool header_accepted = false;  // the final reply's header passed its handler
  bool stopped = false;
  std::string failure;
  std::exception_ptr exception;

  bool StopRequested() const { return request.stop_flag && request.stop_flag->load(); }

  // A handler's verdict; false ends the transfer.
  template <typename Call>
  bool Ask(Call&& call) {
    try {
      failure = call();
    } catch (...) {
      exception = std::current_exception();
      return false;
    }
    return failure.empty();
  }
};

// Every connection a request goes over, the first and each redirect's:
// plain http must have reached a loopback address. libcurl calls this once
// connected, before the request is sent (7.80 on); older ones are checked
// at the reply's first header line instead.
constexpr const char* kNotLoopback = "Plain http to another computer refused";

bool ConnectionAllowed(TransferState& state, const char* connected_ip) {
  if (!state.request.limits.loopback_http_only) return true;
  char* url = nullptr;
  if (state.api.easy_getinfo(state.curl, CURLINFO_EFFECTIVE_URL, &url) != CURLE_OK) url = nullptr;
  if (update::ConnectionAllowed(url ? url : "", connected_ip ? connected_ip : "")) return true;
  state.failure = kNotLoopback;
  return false;
}

#if LIBCURL_VERSION_NUM >= 0x075000
int OnPrereq(void* user, char* connected_ip, char*, int, int) {
  auto& state = *static_cast<TransferState*>(user);
  return ConnectionAllowed(state, connected_ip) ? CURL_PREREQFUNC_OK : CURL_PREREQFUNC_ABORT;
}
#endif

// The redirects libcurl follows when it finds a Location.
bool IsFollowedRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto& state = *static_cast<TransferState*>(user);
  const size_t n = size * count;
  state.header_seen = true;
#if LIBCURL_VERSION_NUM < 0x075000
  if (state.request.limits.loopback_http_only) {
    char* ip = nullptr;
    if (state.api.easy_getinfo(state.curl, CURLINFO_PRIMARY_IP, &ip) != CURLE_OK || !ConnectionAllowed(state, ip)) {
      if (state.failure.empty()) state.failure = kNotLoopback;
      return 0;
    }
  }
#endif
  if (!ReadHeaderLine(state.reply, {data, n})) return n;
  const int status = state.reply.status;
  if ((status >= 100 && status < 200) || (IsFollowedRedirect(status) && state.reply.has_location)) return n;
  if (!state.Ask([&] { return state.handlers.header(state.reply); })) return 0;
  state.header_accepted = true;
  return n;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto& state = *static_cast<TransferState*>(user);
  const size_t n = size * count;
  if (!state.header_accepted) {
    state.failure = "Can't open url";
    return 0;
  }
  if (!state.Ask([&] { return state.handlers.body(data, n); })) return 0;
  // After the chunk is written, so a stopped download keeps it.
  if (state.StopRequested()) {
    state.stopped = true;
    return 0;
  }
  return n;
}

// Called about once a second even while nothing arrives: a stop reaches a
// stalled server too.
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto& state = *static_cast<TransferState*>(user);
  if (!state.StopRequested()) return 0;
  state.stopped = true;
  return 1;
}

bool SetOptions(CURL* curl, TransferState& state, const std::string& range) {
  const TransferRequest& request = state.request;
  bool ok = true;
  auto set = [&](CURLoption option, auto value) { ok = ok && state.api.easy_setopt(curl, option, value) == CURLE_OK; };
  set(CURLOPT_URL, request.url.c_str());
  set(CURLOPT_USERAGENT, "downloader");
  set(CURLOPT_PROXY, "");  // direct, whatever the environment says
  set(CURLOPT_NOSIGNAL, 1L);
  // Any other version is refused by the reply check anyway.
  set(CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
  set(CURLOPT_FOLLOWLOCATION, 1L);
  set(CURLOPT_MAXREDIRS, kMaxDownloadRedirects);
#if LIBCURL_VERSION_NUM >= 0x075500
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_REDIR_PROTOCOLS_STR, request.limits.https_redirects_only ? "https" : "http,https");
#else
  set(CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
  set(CURLOPT_REDIR_PROTOCOLS,
      request.limits.https_redirects_only ? long(CURLPROTO_HTTPS) : long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
  set(CURLOPT_CONNECTTIMEOUT, request.limits.connect_timeout_s);
  set(CURLOPT_LOW_SPEED_LIMIT, request.limits.low_speed_bytes);
  set(CURLOPT_LOW_SPEED_TIME, request.limits.low_speed_time_s);
  if (!range.empty()) set(CURLOPT_RANGE, range.c_str());
  set(CURLOPT_HEADERFUNCTION, &OnHeader);
  set(CURLOPT_HEADERDATA, static_cast<void*>(&state));
  set(CURLOPT_WRITEFUNCTION, &OnBody);
  set(CURLOPT_WRITEDATA, static_cast<void*>(&state));
  set(CURLOPT_XFERINFOFUNCTION, &OnProgress);
  set(CURLOPT_XFERINFODATA, static_cast<void*>(&state));
  set(CURLOPT_NOPROGRESS, 0L);
#if LIBCURL_VERSION_NUM >= 0x075000
  if (request.limits.loopback_http_only) {
    set(CURLOPT_PREREQFUNCTION, &OnPrereq);
    set(CURLOPT_PREREQDATA, static_cast<void*>(&state));
  }
#endif
  return ok;
}

}  // namespace

TransferEnd RunTransfer(const TransferRequest& request, const TransferHandlers& handlers) {
  const CurlApi& api = Curl();
  std::unique_ptr<CURL, decltype(api.easy_cleanup)> curl(api.easy_init(), api.easy_cleanup);
  TransferState state{api, request, handlers};
  state.curl = curl.get();
  const std::string range = request.range_from ? std::to_string(request.range_from) + "-" : std::string();
  if (!curl || !SetOptions(curl.get(), state, range)) throw QorDownloadError("Can't open connection");
  if (state.StopRequested()) return TransferEnd::kStopped;

  const CURLcode code = api.easy_perform(curl.get());
  if (state.exception) std::rethrow_exception(state.exception);
  if (state.stopped) return TransferEnd::kStopped;
  if (!state.failure.empty()) throw QorDownloadError(state.failure);
  switch (code) {
    case CURLE_OK:
      if (!state.header_accepted) throw QorDownloadError("Can't open url");
      return TransferEnd::kComplete;
    case CURLE_PARTIAL_FILE:
      if (state.header_accepted) return TransferEnd::kEndedEarly;
      break;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
      throw QorDownloadError("Can't connect");
    case CURLE_OPERATION_TIMEDOUT:
      throw QorDownloadError(state.header_seen ? "Download stalled" : "Connection timed out");
    case CURLE_PEER_FAILED_VERIFICATION:
      throw QorDownloadError("Server certificate not trusted");
    case CURLE_SSL_CONNECT_ERROR:
      throw QorDownloadError("Secure connection failed");
    case CURLE_TOO_MANY_REDIRECTS:
      throw QorDownloadError("Too many redirects");
    case CURLE_UNSUPPORTED_PROTOCOL:
      // The first URL's scheme was checked before: this is a redirect's.
      throw QorDownloadError(request.limits.https_redirects_only ? "Redirect to a scheme other than https"
                                                                 : "Redirect to a scheme other than http or https");
    default:
      break;
  }
  throw QorDownloadError(state.header_accepted ? "Error occurred during download" : "Can't open url");
}
