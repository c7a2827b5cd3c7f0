// One GET over libcurl under the downloader's rules: HTTP/1.1 only, at
// most kMaxDownloadRedirects redirects and those over http or https, no
// proxy, a connect timeout and a low-speed limit, and the stop flag polled
// while data flows and while it does not. It judges the connection; what
// a reply must say and where its body goes are the caller's handlers'.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "update/http_reply.h"
#include "update/qor_downloader.h"

struct TransferRequest {
  std::string url;
  uint64_t range_from = 0;  // "Range: bytes=N-" when not 0
  const std::atomic<bool>* stop_flag = nullptr;
  QorDownloadLimits limits;
};

// Each returns "" to go on, or the error text that ends the transfer.
struct TransferHandlers {
  // The header of the reply that carries the body (redirects that are
  // followed and interim replies never come here); once, before any body.
  std::function<std::string(const HttpReply&)> header;
  std::function<std::string(const char* data, size_t size)> body;
};

enum class TransferEnd {
  kComplete,    // the body ended where its framing said
  kStopped,     // the stop flag was seen
  kEndedEarly,  // the connection closed inside the body
};

// A handler's text, or the connection's failure, as QorDownloadError; an
// exception a handler throws passes through once libcurl is out of the way.
TransferEnd RunTransfer(const TransferRequest& request, const TransferHandlers& handlers);
