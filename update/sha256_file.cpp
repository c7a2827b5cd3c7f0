#include "update/sha256_file.h"

#include <fcntl.h>   // Required for: open()
#include <unistd.h>  // Required for: read(), close()
#include <openssl/evp.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "platform/shared_library.h"
#include "update/qor_downloader.h"  // Required for: QorDownloadError

namespace {

// OpenSSL's digest calls, from libcrypto opened by the first digest of a
// run and kept: linked, it would be loaded (about 4 ms of page faults) by
// every run, though only an update digests anything.
struct DigestApi {
  decltype(&EVP_MD_CTX_new) ctx_new = nullptr;
  decltype(&EVP_MD_CTX_free) ctx_free = nullptr;
  decltype(&EVP_sha256) sha256 = nullptr;
  decltype(&EVP_DigestInit_ex) init = nullptr;
  decltype(&EVP_DigestUpdate) update = nullptr;
  decltype(&EVP_DigestFinal_ex) final = nullptr;
  bool loaded = false;
};

constexpr const char* kCryptoLibrary = "libcrypto.so.3";

DigestApi LoadDigestApi() {
  DigestApi api;
  platform::SharedLibrary library;
  api.loaded = library.Open(kCryptoLibrary) && library.Get("EVP_MD_CTX_new", api.ctx_new) &&
               library.Get("EVP_MD_CTX_free", api.ctx_free) && library.Get("EVP_sha256", api.sha256) &&
               library.Get("EVP_DigestInit_ex", api.init) && library.Get("EVP_DigestUpdate", api.update) &&
               library.Get("EVP_DigestFinal_ex", api.final);
  if (api.loaded) library.Keep();
  return api;
}

const DigestApi& Digest() {
  static const DigestApi api = LoadDigestApi();
  if (!api.loaded) throw QorDownloadError(std::string("Can't load ") + kCryptoLibrary);
  return api;
}

}  // namespace

std::optional<std::string> Sha256OfFile(const std::string& path) {
  const DigestApi& api = Digest();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::unique_ptr<EVP_MD_CTX, decltype(api.ctx_free)> ctx(api.ctx_new(), api.ctx_free);
  bool ok = ctx && api.init(ctx.get(), api.sha256(), nullptr) == 1;
  std::vector<unsigned char> block(1 << 16);
  while (ok) {
    const ssize_t got = ::read(fd, block.data(), block.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    ok = api.update(ctx.get(), block.data(), size_t(got)) == 1;
  }
  ::close(fd);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!ok || api.final(ctx.get(), digest, &length) != 1) return std::nullopt;
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}
