// An image read straight from the game's archives when "raw/images" lacks
// it: the archive index names the entries holding it, and only the first
// of them that passes every check (its record unchanged since indexing, the
// mover's checks on sizes, the whole stream, the CRC) is handed to the
// image reader. A later archive's copy is the fallback for a broken one, as
// the mover would copy it once the first had been refused.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/image_codes.h"

class IwdImageIndex;
class IwiImage;

// The image `image` (a name below "images/") into `out`: 24 with the bytes
// of the entry that passed, and `label` set to its archive ("main/<name>");
// 5 when no entry holds it or none passes (`out` then empty). Each refused
// entry is logged.
[[nodiscard]] ImageResult ReadArchivedImage(const IwdImageIndex& index, std::string_view image,
                                            std::vector<uint8_t>& out, std::string* label = nullptr);

// The archive ("main/<name>") that the game's index names for `iwi_file`,
// or "" when none does (or the name would leave the images folder).
std::string ArchivedImageLabel(std::string_view raw_dir, std::string_view iwi_file);

// Points `image` at the archived copy of `iwi_file`: `path` is where the
// mover would put it, spelled as the entry is (so outputs written beside it
// land, and are named, as a loose copy's would), `archive` the archive it
// is expected in. False, with
// nothing set, when no archive of the game holds it.
bool SetArchivedImage(IwiImage& image, std::string_view raw_dir, std::string_view iwi_file);

// LoadIWI for an image set by SetArchivedImage; `archive` is then the
// archive the bytes came from.
[[nodiscard]] ImageResult LoadArchivedIWI(IwiImage& image);
