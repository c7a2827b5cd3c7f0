// The donation prompt's pacing: every counted export (MA, OBJ, XE) moves
// the counter of the stored "donate" record; the prompt comes at the third
// export, then again only after a random stretch of further exports.
#pragma once

#include <cstdint>
#include <functional>

#include "shell/settings.h"

// Counts one export in `record`. True when the prompt is to be shown now;
// the record then holds the shown flag and the counter at showing, and the
// caller opens "donate_menu" and saves the record at once. `random` gives
// the pseudo-random draws. Values read from a damaged store cannot
// overflow: the arithmetic is 64-bit and the counter stops at its maximum.
bool CountExportForDonation(DonateRecord& record, const std::function<uint32_t()>& random);
