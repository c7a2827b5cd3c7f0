// The libcurl entry points the transfers use, resolved by name from the
// library opened on the first transfer (the program links no libcurl, so
// the commands that make no transfer never load it and the ~40 libraries
// it pulls in). The types and constants come from libcurl's headers.
#pragma once

#include <curl/curl.h>

struct CurlApi {
  decltype(&curl_global_init) global_init = nullptr;
  decltype(&curl_easy_init) easy_init = nullptr;
  decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
  decltype(&curl_easy_setopt) easy_setopt = nullptr;
  decltype(&curl_easy_perform) easy_perform = nullptr;
  decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
};

// The library is "libcurl.so.4" unless VANTOR_CURL_LIBRARY names another
// file. Opened and initialised once a process, by the first caller on
// whichever thread, and kept until exit (a download thread may still be
// running then). Throws QorDownloadError "Can't load NAME" when the library
// or one of its entry points is missing, on this call and every later one.
const CurlApi& Curl();
