// Word wrap for the error and message box: line breaks go in at the last
// space that lets a line fit the box; a line without a space (a long path)
// breaks at the longest piece that fits, at least one character. At most
// six breaks are added; text already on several lines keeps its breaks.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// `measure` gives the drawn width of a piece of text in the box's font.
std::string WrapText(std::string_view text, float width, const std::function<float(std::string_view)>& measure);
