// The parts of an HTTP/1.x reply's header the downloader judges a reply by:
// status line, Content-Length, Content-Range, Transfer-Encoding and
// Location. Fed line by line as libcurl hands the header over; a status
// line starts a new reply, so after redirects only the last one is left.
#pragma once

#include <cstdint>
#include <string_view>

// A header value that may be missing, or present but unusable (not a
// number, two different lengths): the two fail with different texts.
enum class HeaderState { kAbsent, kValid, kInvalid };

struct HttpReply {
  int version_major = 0;
  int version_minor = 0;
  int status = 0;

  HeaderState length_state = HeaderState::kAbsent;
  uint64_t content_length = 0;

  // "bytes first-last/total" of a 206, or "bytes */total" of a 416
  // (range_unsatisfied); a total of "*" counts as invalid.
  HeaderState range_state = HeaderState::kAbsent;
  bool range_unsatisfied = false;
  uint64_t range_first = 0;
  uint64_t range_last = 0;
  uint64_t range_total = 0;

  bool chunked = false;
  bool has_location = false;
};

// One header line, CR LF included or not. True on the blank line that ends
// a reply's header.
bool ReadHeaderLine(HttpReply& reply, std::string_view line);
