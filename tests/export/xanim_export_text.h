// A reader of XANIM_EXPORT text for the tests: the parts, the frame rate,
// every frame's parts and the notetracks, as the mod tools write them and
// as the animation export writes them.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "export/xanim_export_writer.h"

namespace xanim_text {

// False when the text breaks the layout.
inline bool Read(const std::string& path, XanimExportData& out) {
  std::ifstream in(path, std::ios::binary);
  std::string word;
  auto quoted = [&in](std::string& s) {
    std::getline(in >> std::ws, s);
    if (!s.empty() && s.back() == '\r') s.pop_back();
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') return false;
    s = s.substr(1, s.size() - 2);
    return true;
  };
  size_t parts = 0, frames = 0;
  while (in >> word) {
    if (word.starts_with("//")) {
      std::getline(in, word);
    } else if (word == "NUMPARTS") {
      in >> parts;
      out.parts.resize(parts);
      for (size_t i = 0, n = 0; i < parts; ++i)
        if (!(in >> word >> n) || word != "PART" || n != i || !quoted(out.parts[i])) return false;
    } else if (word == "FRAMERATE") {
      in >> out.frame_rate;
    } else if (word == "NUMFRAMES") {
      in >> frames;
      for (size_t f = 0; f < frames; ++f) {
        long frame_number = 0;
        if (!(in >> word >> frame_number) || word != "FRAME") return false;
        std::vector<XanimExportPart>& list = out.frames.emplace_back(parts);
        for (size_t i = 0, n = 0; i < parts; ++i) {
          XanimExportPart& p = list[i];
          float scale[3];
          if (!(in >> word >> n) || word != "PART" || n != i) return false;
          if (!(in >> word >> p.offset[0] >> p.offset[1] >> p.offset[2]) || word != "OFFSET") return false;
          if (!(in >> word >> scale[0] >> scale[1] >> scale[2]) || word != "SCALE") return false;
          for (int a = 0; a < 3; ++a)
            if (!(in >> word >> p.axes[a][0] >> p.axes[a][1] >> p.axes[a][2]) || word != std::string(1, char('X' + a)))
              return false;
        }
      }
    } else if (word == "NOTETRACKS") {
      for (size_t i = 0, n = 0, tracks = 0; i < parts; ++i) {
        if (!(in >> word >> n >> word >> tracks) || word != "NUMTRACKS" || n != i) return false;
        for (size_t t = 0, keys = 0; t < tracks; ++t) {
          if (!(in >> word >> n >> word >> keys) || word != "NUMKEYS") return false;
          for (size_t k = 0; k < keys; ++k) {
            XanimExportData::Note& note = out.notes.emplace_back();
            if (!(in >> word >> note.frame) || word != "FRAME" || !quoted(note.name)) return false;
          }
        }
      }
    } else if (word != "ANIMATION" && word != "VERSION" && word != "3") {
      return false;
    }
  }
  return out.frames.size() == frames && !out.parts.empty();
}

}  // namespace xanim_text
