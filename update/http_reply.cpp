// Header lines of an HTTP/1.x reply into an HttpReply.
#include "update/http_reply.h"

#include <charconv>  // Required for: from_chars()

#include "platform/text_case.h"

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

// The whole text as a decimal number; no sign, no spaces, no overflow.
bool ParseNumber(std::string_view s, uint64_t& out) {
  if (s.empty()) return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

template <typename T>
bool ParseSmall(std::string_view s, T& out) {
  uint64_t n = 0;
  if (!ParseNumber(s, n) || n > 999) return false;
  out = T(n);
  return true;
}

// "HTTP/1.1 200 OK"; a line that does not parse leaves version and status 0,
// which every check refuses.
void ReadStatusLine(HttpReply& reply, std::string_view line) {
  reply = HttpReply{};
  line.remove_prefix(5);  // "HTTP/"
  const size_t space = line.find(' ');
  const std::string_view version = line.substr(0, space);
  const size_t dot = version.find('.');
  if (dot == std::string_view::npos || !ParseSmall(version.substr(0, dot), reply.version_major) ||
      !ParseSmall(version.substr(dot + 1), reply.version_minor))
    reply.version_major = reply.version_minor = 0;
  if (space == std::string_view::npos) return;
  const std::string_view rest = line.substr(space + 1);
  if (!ParseSmall(rest.substr(0, rest.find(' ')), reply.status)) reply.status = 0;
}

void ReadContentLength(HttpReply& reply, std::string_view value) {
  uint64_t n = 0;
  if (!ParseNumber(value, n)) {
    reply.length_state = HeaderState::kInvalid;
  } else if (reply.length_state == HeaderState::kAbsent) {
    reply.length_state = HeaderState::kValid;
    reply.content_length = n;
  } else if (reply.length_state == HeaderState::kValid && n != reply.content_length) {
    reply.length_state = HeaderState::kInvalid;
  }
}

void ReadContentRange(HttpReply& reply, std::string_view value) {
  reply.range_state = HeaderState::kInvalid;
  if (value.size() < 6 || !platform::EqualsNoCase(value.substr(0, 6), "bytes ")) return;
  value = Trim(value.substr(6));
  const size_t slash = value.find('/');
  if (slash == std::string_view::npos || !ParseNumber(value.substr(slash + 1), reply.range_total)) return;
  const std::string_view span = value.substr(0, slash);
  if (span == "*") {
    reply.range_unsatisfied = true;
    reply.range_state = HeaderState::kValid;
    return;
  }
  const size_t dash = span.find('-');
  if (dash == std::string_view::npos || !ParseNumber(span.substr(0, dash), reply.range_first) ||
      !ParseNumber(span.substr(dash + 1), reply.range_last))
    return;
  if (reply.range_first > reply.range_last || reply.range_last >= reply.range_total) return;
  reply.range_state = HeaderState::kValid;
}

// "chunked" is always the last coding when present.
bool EndsInChunked(std::string_view value) {
  const size_t comma = value.rfind(',');
  const std::string_view last = Trim(comma == std::string_view::npos ? value : value.substr(comma + 1));
  return platform::EqualsNoCase(last, "chunked");
}

}  // namespace

bool ReadHeaderLine(HttpReply& reply, std::string_view line) {
  if (Trim(line).empty()) return true;
  if (line.size() >= 5 && line.substr(0, 5) == "HTTP/") {
    ReadStatusLine(reply, Trim(line));
    return false;
  }
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  const std::string_view name = Trim(line.substr(0, colon));
  const std::string_view value = Trim(line.substr(colon + 1));
  if (platform::EqualsNoCase(name, "Content-Length")) {
    ReadContentLength(reply, value);
  } else if (platform::EqualsNoCase(name, "Content-Range")) {
    ReadContentRange(reply, value);
  } else if (platform::EqualsNoCase(name, "Transfer-Encoding")) {
    reply.chunked = EndsInChunked(value);
  } else if (platform::EqualsNoCase(name, "Location")) {
    reply.has_location = true;
  }
  return false;
}
