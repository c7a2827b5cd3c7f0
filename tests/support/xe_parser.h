// A small XMODEL_EXPORT reader for the tests, written from the text format
// alone so the writer is checked against the format, not against itself.
#pragma once

#include <array>
#include <cstdio>
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
  size_t a = s.find('"'), b = s.rfind('"');
  return a == std::string::npos || b <= a ? s : s.substr(a + 1, b - a - 1);
}

// Parses "a, b, c" or "a b c" after a keyword.
template <size_t N>
inline bool Numbers(const std::string& rest, std::array<double, N>& out) {
  std::string t = rest;
  for (char& c : t)
    if (c == ',') c = ' ';
  std::istringstream in(t);
  for (double& v : out)
    if (!(in >> v)) return false;
  return true;
}

inline File Parse(const std::string& text_crlf) {
  File f;
  std::string text;
  text.reserve(text_crlf.size());
  for (char c : text_crlf)
    if (c != '\r') text += c;
  std::istringstream in(text);
  std::string line;
  auto next = [&](std::string& l) {
    while (std::getline(in, l))
      if (!l.empty() && l.rfind("//", 0) != 0) return true;
    return false;
  };
  auto fail = [&](const std::string& why) {
    f.error = why + " near: " + line;
    return f;
  };
  auto key = [](const std::string& l, const char* k, std::string& rest) {
    size_t n = std::char_traits<char>::length(k);
    if (l.compare(0, n, k) != 0) return false;
    rest = l.substr(n);
    return true;
  };
  std::string rest;
  if (!next(line) || line != "MODEL") return fail("no MODEL");
  if (!next(line) || line != "VERSION 6") return fail("no VERSION 6");
  if (!next(line) || !key(line, "NUMBONES ", rest)) return fail("no NUMBONES");
  int nb = std::stoi(rest);
  for (int i = 0; i < nb; ++i) {
    if (!next(line) || !key(line, "BONE ", rest)) return fail("bone line");
    Bone b;
    std::istringstream bl(rest);
    bl >> b.index >> b.parent;
    b.name = Unquote(rest);
    f.bones.push_back(b);
  }
  for (int i = 0; i < nb; ++i) {
    if (!next(line) || !key(line, "BONE ", rest) || std::stoi(rest) != i) return fail("pose BONE");
    Bone& b = f.bones[size_t(i)];
    std::array<double, 3> s{};
    if (!next(line) || !key(line, "OFFSET ", rest) || !Numbers(rest, b.offset)) return fail("OFFSET");
    if (!next(line) || !key(line, "SCALE ", rest) || !Numbers(rest, s)) return fail("SCALE");
    if (!next(line) || !key(line, "X ", rest) || !Numbers(rest, b.x)) return fail("X");
    if (!next(line) || !key(line, "Y ", rest) || !Numbers(rest, b.y)) return fail("Y");
    if (!next(line) || !key(line, "Z ", rest) || !Numbers(rest, b.z)) return fail("Z");
  }
  if (!next(line) || !key(line, "NUMVERTS ", rest)) return fail("NUMVERTS");
  int nv = std::stoi(rest);
  for (int i = 0; i < nv; ++i) {
    Vert v;
    if (!next(line) || !key(line, "VERT ", rest) || std::stoi(rest) != i) return fail("VERT");
    if (!next(line) || !key(line, "OFFSET ", rest) || !Numbers(rest, v.offset)) return fail("v OFFSET");
    if (!next(line) || !key(line, "BONES ", rest)) return fail("BONES");
    int n = std::stoi(rest);
    for (int k = 0; k < n; ++k) {
      if (!next(line) || !key(line, "BONE ", rest)) return fail("weight BONE");
      std::istringstream wl(rest);
      std::pair<int, double> p;
      wl >> p.first >> p.second;
      v.bones.push_back(p);
    }
    f.verts.push_back(v);
  }
  if (!next(line) || !key(line, "NUMFACES ", rest)) return fail("NUMFACES");
  int nf = std::stoi(rest);
  for (int i = 0; i < nf; ++i) {
    Tri t;
    if (!next(line) || !key(line, "TRI ", rest)) return fail("TRI");
    std::istringstream tl(rest);
    tl >> t.object >> t.material;
    for (Corner& c : t.corners) {
      if (!next(line) || !key(line, "VERT ", rest)) return fail("corner VERT");
      c.vert = std::stoi(rest);
      if (!next(line) || !key(line, "NORMAL ", rest) || !Numbers(rest, c.normal)) return fail("NORMAL");
      if (!next(line) || !key(line, "COLOR ", rest) || !Numbers(rest, c.color)) return fail("COLOR");
      if (!next(line) || !key(line, "UV ", rest)) return fail("UV");
      std::array<double, 3> uv{};
      if (!Numbers(rest, uv)) return fail("UV numbers");
      c.uv = {uv[1], uv[2]};
    }
    f.tris.push_back(t);
  }
  if (!next(line) || !key(line, "NUMOBJECTS ", rest)) return fail("NUMOBJECTS");
  int no = std::stoi(rest);
  for (int i = 0; i < no; ++i) {
    if (!next(line) || !key(line, "OBJECT ", rest)) return fail("OBJECT");
    f.objects.push_back(Unquote(rest));
  }
  if (!next(line) || !key(line, "NUMMATERIALS ", rest)) return fail("NUMMATERIALS");
  int nm = std::stoi(rest);
  for (int i = 0; i < nm; ++i) {
    if (!next(line) || !key(line, "MATERIAL ", rest)) return fail("MATERIAL");
    std::string r = rest;
    size_t a = r.find('"'), b = r.find('"', a + 1);
    f.materials.push_back(r.substr(a + 1, b - a - 1));
    for (int k = 0; k < 11; ++k)
      if (!next(line)) return fail("material block");
  }
  f.ok = true;
  return f;
}

}  // namespace xe
