// A small XMODEL_EXPORT reader for the tests, written from the text format
// alone so the writer is checked against the format, not against itself.
#pragma once

#include <algorithm>
#include <array>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace xe {

struct Bone {
  int index = 0, parent = 0;
  std::string name;
  std::array<double, 3> offset{}, x{}, y{}, z{};
};
struct Vert {
  std::array<double, 3> offset{};
  std::vector<std::pair<int, double>> bones;
};
struct Corner {
  int vert = 0;
  std::array<double, 3> normal{};
  std::array<double, 4> color{};
  std::array<double, 2> uv{};
};
struct Tri {
  int object = 0, material = 0;
  std::array<Corner, 3> corners;
};
struct File {
  std::vector<Bone> bones;
  std::vector<Vert> verts;
  std::vector<Tri> tris;
  std::vector<std::string> objects;
  std::vector<std::string> materials;
  bool ok = false;
  std::string error;
};

inline std::string Unquote(const std::string& s) {
  size_t a = s.find('"'), b = s.find('"', a + 1);
  return a == std::string::npos || b == std::string::npos ? s : s.substr(a + 1, b - a - 1);
}

// Reads the file's sections in their order; every line must start with the
// keyword the format puts there.
class Reader {
 public:
  explicit Reader(const std::string& text_crlf) {
    std::string line;
    std::istringstream in(text_crlf);
    while (std::getline(in, line)) {
      while (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty() && line.rfind("//", 0) != 0) lines_.push_back(line);
    }
  }
  // The rest of the next line after `keyword`; sets `failed` when it is not there.
  std::string Want(const char* keyword) {
    const std::string k = std::string(keyword) + " ";
    if (failed.empty() && (at_ >= lines_.size() || (lines_[at_] != keyword && lines_[at_].rfind(k, 0) != 0)))
      failed = std::string("no ") + keyword + " near line " + std::to_string(at_);
    if (!failed.empty()) return "";
    const std::string& line = lines_[at_++];
    return line.size() > k.size() ? line.substr(k.size()) : "";
  }
  int Int(const char* keyword) { return std::atoi(Want(keyword).c_str()); }
  // "a, b, c" or "a b c" after `keyword`, N numbers.
  template <size_t N>
  std::array<double, N> Numbers(const char* keyword) {
    std::string t = Want(keyword);
    for (char& c : t) c = c == ',' ? ' ' : c;
    std::istringstream in(t);
    std::array<double, N> out{};
    for (double& v : out)
      if (!(in >> v) && failed.empty()) failed = std::string("short ") + keyword;
    return out;
  }
  void Skip(size_t n) { at_ = std::min(at_ + n, lines_.size()); }
  std::string failed;

 private:
  std::vector<std::string> lines_;
  size_t at_ = 0;
};

inline File Parse(const std::string& text) {
  File f;
  Reader r(text);
  if (r.Want("MODEL").size() || r.Want("VERSION") != "6") r.failed = "not MODEL, VERSION 6";
  const int bones = r.Int("NUMBONES");
  for (int i = 0; i < bones && r.failed.empty(); ++i) {
    Bone b;
    const std::string rest = r.Want("BONE");  // index, parent, "name"
    std::istringstream(rest) >> b.index >> b.parent;
    b.name = Unquote(rest);
    f.bones.push_back(b);
  }
  for (Bone& b : f.bones) {
    if (r.Int("BONE") != b.index) r.failed = "pose of bone " + std::to_string(b.index);
    b.offset = r.Numbers<3>("OFFSET");
    r.Numbers<3>("SCALE");
    b.x = r.Numbers<3>("X"), b.y = r.Numbers<3>("Y"), b.z = r.Numbers<3>("Z");
  }
  f.verts.resize(size_t(std::max(0, r.Int("NUMVERTS"))));
  for (size_t i = 0; i < f.verts.size() && r.failed.empty(); ++i) {
    if (r.Int("VERT") != int(i)) r.failed = "vertex " + std::to_string(i);
    f.verts[i].offset = r.Numbers<3>("OFFSET");
    for (int k = r.Int("BONES"); k > 0 && r.failed.empty(); --k) {
      std::array<double, 2> w = r.Numbers<2>("BONE");
      f.verts[i].bones.emplace_back(int(w[0]), w[1]);
    }
  }
  f.tris.resize(size_t(std::max(0, r.Int("NUMFACES"))));
  for (Tri& t : f.tris) {
    std::istringstream(r.Want("TRI")) >> t.object >> t.material;
    for (Corner& c : t.corners) {
      c.vert = r.Int("VERT");
      c.normal = r.Numbers<3>("NORMAL");
      c.color = r.Numbers<4>("COLOR");
      std::array<double, 3> uv = r.Numbers<3>("UV");  // channel count, u, v
      c.uv = {uv[1], uv[2]};
    }
    if (!r.failed.empty()) break;
  }
  for (int i = r.Int("NUMOBJECTS"); i > 0 && r.failed.empty(); --i) f.objects.push_back(Unquote(r.Want("OBJECT")));
  for (int i = r.Int("NUMMATERIALS"); i > 0 && r.failed.empty(); --i) {
    f.materials.push_back(Unquote(r.Want("MATERIAL")));
    r.Skip(11);  // colour, transparency, ... up to BLINN
  }
  f.error = r.failed;
  f.ok = r.failed.empty();
  return f;
}

}  // namespace xe
