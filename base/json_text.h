// The content of a JSON string: names are byte strings, JSON text is UTF-8,
// so bytes that are not UTF-8 become U+FFFD; quotes, backslashes and
// control characters are escaped.
#pragma once

#include <string>
#include <string_view>

void AppendJsonEscaped(std::string& out, std::string_view text);
