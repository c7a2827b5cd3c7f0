// The update's manifest: the one text fetched over a checked connection,
// which says how long each update file is and what its SHA-256 is. Nothing
// downloaded is used unless it matches. One file per line:
//
//   QorVantor_Updater.sh 1234 <64 hex digits>
//   QorVantor_update.zip 5678901 <64 hex digits>
//
// Blank lines and lines starting with "#" are skipped. Both files must be
// listed, once each, and nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace update {

// The update files by their local names, with the server path of each.
inline constexpr const char* kScriptName = "QorVantor_Updater.sh";
inline constexpr const char* kArchiveName = "QorVantor_update.zip";
inline constexpr const char* kManifestPath = "/util/QorVantor_update.manifest";
inline constexpr const char* kScriptPath = "/util/QorVantor_Updater.sh";
inline constexpr const char* kArchivePath = "/downloads.php?id=10&update=true";

// What a manifest may announce: a script is small, and the archive holds
// a program, not a game.
inline constexpr uint64_t kMaxScriptBytes = uint64_t(1) << 20;
inline constexpr uint64_t kMaxArchiveBytes = uint64_t(512) << 20;

struct ManifestFile {
  std::string name;
  uint64_t size = 0;
  std::string sha256;  // lowercase hex
};

struct Manifest {
  ManifestFile script;
  ManifestFile archive;
};

// "" and `out` filled, or what is wrong with the text.
std::string ParseManifest(const std::string& text, Manifest& out);

// Whether the manifest may be fetched from `url`: https, or plain http to
// this computer's own loopback addresses (a test server).
// Octets are plain decimal ("0127.0.0.1" is octal to the resolver, and
// refused).
bool SecureOrLoopback(const std::string& url);

// Whether a connection libcurl made may carry a request for `url`: https
// anywhere, plain http only when the address connected to (numeric, as
// libcurl reports it) is this computer's loopback (127.0.0.0/8, ::1). The
// URL's spelling of the host never decides.
bool ConnectionAllowed(std::string_view url, std::string_view connected_ip);

}  // namespace update
