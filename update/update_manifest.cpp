#include "update/update_manifest.h"

#include <charconv>
#include <sstream>

#include "platform/text_case.h"

namespace update {

namespace {

bool IsHexDigest(const std::string& text) {
  if (text.size() != 64) return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

std::string Lower(std::string text) {
  for (char& c : text) c = platform::AsciiLower(c);
  return text;
}

}  // namespace

std::string ParseManifest(const std::string& text, Manifest& out) {
  Manifest m;
  bool have_script = false;
  bool have_archive = false;
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string name, size_text, digest, extra;
    if (!(words >> name >> size_text >> digest) || (words >> extra))
      return "line " + std::to_string(number) + " is not \"name size sha256\"";
    ManifestFile file{name, 0, Lower(digest)};
    const auto [end, ec] = std::from_chars(size_text.data(), size_text.data() + size_text.size(), file.size);
    if (ec != std::errc() || end != size_text.data() + size_text.size() || file.size == 0)
      return "line " + std::to_string(number) + " has no size";
    if (!IsHexDigest(file.sha256)) return "line " + std::to_string(number) + " has no SHA-256";
    if (name == kScriptName && !have_script) {
      if (file.size > kMaxScriptBytes) return "the script is too large";
      m.script = file;
      have_script = true;
    } else if (name == kArchiveName && !have_archive) {
      if (file.size > kMaxArchiveBytes) return "the archive is too large";
      m.archive = file;
      have_archive = true;
    } else {
      return "line " + std::to_string(number) + " names an unexpected file";
    }
  }
  if (!have_script || !have_archive) return "a file is missing";
  out = m;
  return "";
}

bool SecureOrLoopback(const std::string& url) {
  const std::string lower = Lower(url);
  if (lower.rfind("https://", 0) == 0) return lower.size() > 8;
  if (lower.rfind("http://", 0) != 0) return false;
  // The host ends at the port, the path, the query or the fragment; user
  // information ("http://127.0.0.1@evil/") is refused outright.
  const std::string rest = lower.substr(7);
  const size_t end = rest.find_first_of("/?#");
  const std::string authority = rest.substr(0, end);
  if (authority.find('@') != std::string::npos) return false;
  std::string host = authority;
  if (!host.empty() && host[0] == '[') {
    const size_t close = host.find(']');
    if (close == std::string::npos) return false;
    host = host.substr(1, close - 1);
    return host == "::1";
  }
  host = host.substr(0, host.find(':'));
  if (host == "localhost") return true;
  // 127.0.0.0/8 written as four decimal numbers.
  int parts = 0;
  const char* at = host.data();
  const char* last = host.data() + host.size();
  int first_value = -1;
  while (at < last) {
    int value = -1;
    const auto [next, ec] = std::from_chars(at, last, value);
    if (ec != std::errc() || value < 0 || value > 255 || next == at) return false;
    if (*at == '0' && next - at > 1) return false;  // a leading zero reads as octal
    if (parts == 0) first_value = value;
    ++parts;
    at = next;
    if (at < last) {
      if (*at != '.') return false;
      ++at;
      if (at == last) return false;
    }
  }
  return parts == 4 && first_value == 127;
}

bool ConnectionAllowed(std::string_view url, std::string_view connected_ip) {
  if (url.size() >= 8 && Lower(std::string(url.substr(0, 8))) == "https://") return true;
  if (connected_ip == "::1") return true;
  // An IPv4 address, or one mapped into IPv6.
  if (connected_ip.rfind("::ffff:", 0) == 0) connected_ip.remove_prefix(7);
  if (connected_ip.rfind("127.", 0) != 0) return false;
  // Four numbers: "127" and three more, each one to three digits.
  int parts = 1, digits = 0;
  for (char c : connected_ip.substr(4)) {
    if (c == '.') {
      if (digits == 0) return false;
      ++parts;
      digits = 0;
    } else if (c >= '0' && c <= '9' && digits < 3) {
      ++digits;
    } else {
      return false;
    }
  }
  return parts == 3 && digits > 0;
}

}  // namespace update
