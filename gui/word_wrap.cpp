#include "gui/word_wrap.h"

#include <cstddef>

namespace {

constexpr int kMaxBreaks = 6;

}  // namespace

std::string WrapText(std::string_view text, float width, const std::function<float(std::string_view)>& measure) {
  std::string out(text);
  if (measure(out) <= width) return out;
  size_t start = 0;
  for (int breaks = 0; breaks < kMaxBreaks && start < out.size();) {
    // The line runs to the next break already in the text or to the end.
    size_t line_end = out.find('\n', start);
    if (line_end == std::string::npos) line_end = out.size();
    const std::string_view line(out.data() + start, line_end - start);
    if (measure(line) <= width) {
      if (line_end == out.size()) break;
      start = line_end + 1;
      continue;
    }
    // The longest prefix that fits, at least one character.
    size_t fits = 1;
    while (fits < line.size() && measure(line.substr(0, fits + 1)) <= width) ++fits;
    if (fits >= line.size()) break;  // one character wider than the box: nothing to break
    // Back to the last space within it (not at the line's start), if any.
    size_t cut = start + fits;
    const size_t space = line.substr(0, fits + 1).find_last_of(' ');
    if (space != std::string_view::npos && space > 0) cut = start + space;
    while (cut > start + 1 && out[cut - 1] == ' ') --cut;
    out.insert(out.begin() + std::ptrdiff_t(cut), '\n');
    ++breaks;
    size_t next = cut + 1;
    while (next < out.size() && out[next] == ' ') out.erase(out.begin() + std::ptrdiff_t(next));
    start = next;
  }
  return out;
}
