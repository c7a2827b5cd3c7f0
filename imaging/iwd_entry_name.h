// Where an IWD entry may land. Archive names carry their "images/" folder
// ("images/foo.iwi") and come from files anyone can make: a name that is
// absolute, carries a drive letter, or climbs with ".." (with "/" or the
// "\" Windows tools also split on) must never reach a path outside
// "raw/images".
#pragma once

#include <optional>
#include <string>
#include <string_view>

// An entry the mover handles: the name ends in ".iwi" in any case (the
// games' test, ".iwi" anywhere in the name, would copy "x.iwi.sh"; the
// image lookups match names without case) and is not a folder entry.
bool IsIwiEntryName(std::string_view name);

// The ending of the mover's partial files ("foo.iwi.vantor-part"): never
// taken for an image, never written from an archive.
inline constexpr std::string_view kPartialSuffix = ".vantor-part";

// The entry's path inside "raw/images" with "/" separators ("foo.iwi",
// "ui/foo.iwi"), or nullopt when the name must not be written: it does not
// start with the "images" folder (any case), it is absolute or holds a ":",
// a component is "." or "..", or holds a control character, or it ends in
// kPartialSuffix. Empty components ("images//a.iwi") fold away.
std::optional<std::string> IwdImageTarget(std::string_view entry_name);

// The name made safe to show in a log line: control characters and colour
// marks ("^") become "?", cut to `max` bytes.
std::string PrintableEntryName(std::string_view name, size_t max = 200);
