// The exporters' number formatting must give printf's bytes exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "export/text_out.h"

namespace {

std::string Printf6(double x) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.6f", x);
  return buf;
}

std::string Fast6(double x) {
  char buf[512];
  return std::string(buf, FormatFixed6(buf, x));
}

TEST(FormatFixed6, MatchesPrintfOnTiesSignsAndEdges) {
  const double cases[] = {0.0, -0.0, 1.0, -1.0, 0.0078125, -0.0078125, 0.0000005, 0.0000015,
                          2.5e-7, -2.5e-7, 1e-300, 5e-324, 0.1, 0.999999999, 123456.1234565,
                          1e15, -1e15, 9.2e18, 1e22, 3.0517578125e-05, 0.5, 1.0 / 3.0,
                          65535.0 / 65535.0, 18.338537, -0.819152, INFINITY, -INFINITY};
  for (double x : cases) EXPECT_EQ(Fast6(x), Printf6(x)) << x;
}

TEST(FormatFixed6, MatchesPrintfOnRandomFloatsOfEveryScale) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 200000; ++i) {
    uint32_t bits = uint32_t(rng());
    float f;
    std::memcpy(&f, &bits, sizeof f);
    if (!std::isfinite(f)) continue;
    double x = f;
    ASSERT_EQ(Fast6(x), Printf6(x)) << x;
    double d = std::ldexp(double(rng() >> 11) / double(1ull << 53), int(rng() % 80) - 60);
    if (rng() & 1) d = -d;
    ASSERT_EQ(Fast6(d), Printf6(d)) << d;
  }
}

}  // namespace
