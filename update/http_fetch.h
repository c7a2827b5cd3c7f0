// The update check's GET over the downloader: the short reply as a string,
// or the downloader's error text.
#pragma once

#include "update/update_check.h"

Fetch HttpFetch();
