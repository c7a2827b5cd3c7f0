// The program's clock for timings (milliseconds, monotonic).
#pragma once

#include <cstdint>

namespace platform {
int64_t NowMs();
double NowMsPrecise();
// CPU time of the calling thread, in milliseconds.
double ThreadCpuMs();
}  // namespace platform
