// The ".iwd" archives of a game's "main" folder.
#pragma once

#include <string>
#include <vector>

// The archive names in `main_path` in the order the mover copies them (see
// QorIWDUtils::IWDList); `err` is 0 or the errno of the listing.
std::vector<std::string> ListIwdArchives(const std::string& main_path, int& err);
