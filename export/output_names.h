// Names from the game files inside the exported texts. The games' own names
// are plain identifiers and pass unchanged; anything that would break a
// format's syntax is escaped for that format or refused by its writer.
#pragma once

#include <string>
#include <string_view>

// No control characters (a line break or NUL would end a line-based
// format's statement in the middle of a name).
bool IsSingleLine(std::string_view text);

// A Maya node name: not empty, letters, digits and "_" only, not starting
// with a digit. Maya scenes name nodes unquoted in places, so nothing else
// is safe.
bool IsMayaNodeName(std::string_view name);

// The first of `base`, `base`1, `base`2, ... that `is_free` accepts: how a
// name mapped onto a narrower alphabet is kept apart from the names already
// handed out in the same file.
template <class IsFree>
std::string FirstFreeName(const std::string& base, IsFree is_free) {
  if (is_free(base)) return base;
  for (unsigned long n = 1;; ++n) {
    std::string candidate = base + std::to_string(n);
    if (is_free(candidate)) return candidate;
  }
}

// Inside a double-quoted MEL or GDT string: "\" doubled, '"' as \".
std::string QuoteEscape(std::string_view text);

// HTML text and attribute values: & < > " ' as entities, control
// characters as numeric references, so a name never ends a row or a tag.
std::string HtmlEscape(std::string_view text);
