#include "update/http_fetch.h"

#include "update/qor_downloader.h"

Fetch HttpFetch() {
  return [](const std::string& url) {
    FetchResult result;
    try {
      QorDownloader downloader;
      downloader.DownloadToString(url, result.body);
      result.ok = true;
    } catch (const QorDownloadError& e) {
      result.error = e.what();
    }
    return result;
  };
}
