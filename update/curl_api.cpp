#include "update/curl_api.h"

#include <cstdlib>  // Required for: getenv()
#include <string>

#include "platform/shared_library.h"
#include "update/qor_downloader.h"  // Required for: QorDownloadError

namespace {

struct LoadedCurl {
  CurlApi api;
  std::string failure;  // the error every call throws; "" when loaded
};

LoadedCurl Load() {
  LoadedCurl loaded;
  const char* override_name = std::getenv("VANTOR_CURL_LIBRARY");
  const std::string file = override_name && *override_name ? override_name : "libcurl.so.4";
  platform::SharedLibrary library;
  CurlApi& api = loaded.api;
  if (!library.Open(file) || !library.Get("curl_global_init", api.global_init) ||
      !library.Get("curl_easy_init", api.easy_init) || !library.Get("curl_easy_cleanup", api.easy_cleanup) ||
      !library.Get("curl_easy_setopt", api.easy_setopt) || !library.Get("curl_easy_perform", api.easy_perform) ||
      !library.Get("curl_easy_getinfo", api.easy_getinfo)) {
    loaded.failure = "Can't load " + file;
    return loaded;
  }
  library.Keep();
  // curl_global_init is not thread-safe in every libcurl: it runs here,
  // once, and is never undone.
  if (api.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) loaded.failure = "Can't open connection";
  return loaded;
}

}  // namespace

const CurlApi& Curl() {
  static const LoadedCurl loaded = Load();
  if (!loaded.failure.empty()) throw QorDownloadError(loaded.failure);
  return loaded.api;
}
