// The program's clock for timings (milliseconds, monotonic).
#pragma once

#include <cstdint>

namespace platform {
int64_t NowMs();
double NowMsPrecise();
}  // namespace platform
