// The donation prompt's pacing over the stored record.
#include <gtest/gtest.h>

#include <limits>

#include "shell/donation.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// After the first showing: not before last + (r1 % 979) + 20 exports, then
// only when r2 % 100 > 50. Damaged stored values never overflow.
TEST(Donation, PacingAfterTheFirstShowingAndDamagedValues) {
  struct Case { DonateRecord before; uint32_t r1, r2; bool shows; } cases[] = {
      {{true, 30, 10}, 0, 99, true},
      {{true, 29, 10}, 0, 99, false},          // 30 is not past 10 + 20
      {{true, 40, 10}, 0, 50, false},          // 50 is not > 50
      {{true, 40, 10}, 978 + 979, 99, false},  // r1 is taken modulo 979: 978
      {{true, kMax, kMax}, 0, 99, false},      // the counter stops at its maximum
      {{true, kMax - 1, std::numeric_limits<int32_t>::min()}, 0, 99, true},
      {{false, -7, 0}, 0, 0, false},  // the first showing, on the third export: command_words_test
  };
  for (const Case& c : cases) {
    DonateRecord r = c.before;
    int draw = 0;
    const bool shown = CountExportForDonation(r, [&] { return draw++ == 0 ? c.r1 : c.r2; });
    EXPECT_EQ(shown, c.shows) << c.before.count << " after " << c.before.last_shown_count;
    EXPECT_EQ(r.count, c.before.count == kMax ? kMax : c.before.count + 1);
    EXPECT_EQ(r.last_shown_count, shown ? r.count : c.before.last_shown_count);
  }
}

}  // namespace
