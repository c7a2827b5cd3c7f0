#include "shell/donation.h"

#include <limits>

bool CountExportForDonation(DonateRecord& r, const std::function<uint32_t()>& random) {
  if (r.count < std::numeric_limits<int32_t>::max()) ++r.count;
  if (r.shown) {
    const int64_t r1 = random() % 979;
    if (int64_t(r.count) <= int64_t(r.last_shown_count) + r1 + 20) return false;
    if (random() % 100 <= 50) return false;
  } else if (r.count < 3) {
    return false;
  }
  r.shown = true;
  r.last_shown_count = r.count;
  return true;
}
