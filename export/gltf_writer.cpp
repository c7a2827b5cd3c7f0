// The glTF 2.0 writer: level 0's surfaces as the primitives of one mesh
// (positions, normals, UVs, vertex colours, triangles, and with a skeleton
// four joints and weights a vertex), the bones as nodes under one "Joints"
// node that turns the games' Z-up into glTF's Y-up, a skin with inverse
// bind matrices, and a material per distinct material with its colour,
// normal and specular maps as PNG. As ".gltf" + ".bin" with the pictures
// in "images" beside them, or as one ".glb" holding everything.
// Positions are written as they stand in memory (with the load scale).
//
// [SECTION] Pictures           the materials' maps as PNG bytes
// [SECTION] Geometry           one primitive a surface
// [SECTION] Document           the JSON text
// [SECTION] Files              .gltf + .bin + pictures, or .glb
#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/logger.h"
#include "export/export_common.h"
#include "export/model_exports.h"
#include "export/gltf_buffer.h"
#include "export/gltf_json.h"
#include "model/skin_weights.h"
#include "export/image_source.h"
#include "export/texture_names.h"
#include "imaging/gloss_map.h"
#include "imaging/iwi_image.h"
#include "imaging/png_file.h"
#include "model/texture_pick.h"
#include "model/xmodel.h"
#include "platform/fs_paths.h"
#include "platform/path_names.h"
#include "platform/text_case.h"

namespace {

// A GLB states its length in 32 bits; the ".bin" of a ".gltf" is held to the
// same bound, which no model of 16-bit counts comes near in practice.
constexpr uint64_t kMaxBufferBytes = 0xFFFFFFFFull - (1u << 20);

constexpr int kFloat = 5126;
constexpr int kUnsignedShort = 5123;
constexpr int kUnsignedByte = 5121;
constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;

// Z-up to Y-up: -90 degrees about X.
constexpr float kYUp[4] = {-0.70710678f, 0.0f, 0.0f, 0.70710678f};

// ------------------------------------------------------------ [SECTION] Pictures

struct Picture {
  std::string file;  // under "images/"
  std::vector<uint8_t> png;
  size_t view = 0;  // GLB only
};

// Per distinct material: its texture indices (-1: none).
struct MaterialMaps {
  int colour = -1, normal = -1, specular = -1;
  int roughness = -1;  // from the specular map's gloss
};

enum class MapKind { kColour, kNormal, kSpecular, kOther };

MapKind KindOfSlot(const std::string& slot) {
  if (IsColourSlot(slot)) return MapKind::kColour;
  if (slot == "normalMap") return MapKind::kNormal;
  if (slot == "specularMap") return MapKind::kSpecular;
  return MapKind::kOther;
}

// `file` ("name.png") as "name-N.png".
std::string NumberedFile(const std::string& file, int n) {
  const size_t dot = file.rfind('.');
  const std::string stem = dot == std::string::npos ? file : file.substr(0, dot);
  return stem + "-" + std::to_string(n) + (dot == std::string::npos ? "" : file.substr(dot));
}

// A specular map as PNG, and when it holds gloss in alpha the roughness
// picture made of it (imaging/gloss_map.h); `roughness.png` stays empty
// otherwise.
ImageResult SpecularPictures(const IwiImage& source, Picture& specular, Picture& roughness) {
  std::vector<uint32_t> pixels, rough;
  int32_t width = 0, height = 0;
  if (ImageResult r = DecodeTopLevel(source, pixels, width, height); r != img::kSuccess) return r;
  if (ImageResult r = EncodePixelsPNG(pixels, width, height, specular.png); r != img::kSuccess) return r;
  if (!GlossToRoughness(pixels, rough)) return img::kSuccess;
  return EncodePixelsPNG(rough, width, height, roughness.png);
}

// Encodes each distinct map of the materials once. A map whose image cannot
// be found or read leaves its material without it, with a log line, as the
// texture export does. Two images that come to one file name (the same name
// in two folders, or names that differ only where "~" becomes "_") are both
// kept: the later one is numbered ("name-2.png").
std::vector<MaterialMaps> CollectPictures(const Xmodel& model, std::vector<Picture>& pictures, bool rebuild_normals) {
  const XmodelLod& lod = model.ShownLod();
  const MaterialLibrary& library = model.material_library;
  const ImageFileChoice as_png{false, 2};
  // Image name (any case: the games' files are found so) -> picture index,
  // -1 when it failed; and the file names taken.
  std::map<std::string, int> by_image;
  std::map<std::string, int> roughness_of;  // specular maps with gloss: the roughness picture
  std::set<std::string> files;
  std::vector<MaterialMaps> maps(lod.unique_materials.size());
  IwiImage scratch;
  for (size_t m = 0; m < lod.unique_materials.size(); ++m) {
    for (size_t e = 0; e < library.entries.size(); ++e) {
      if (library.entries[e].name != lod.unique_materials[m]) continue;
      const MaterialTextures* set = e < library.texture_sets.size() ? &library.texture_sets[e] : nullptr;
      for (const MaterialImage& image : library.entries[e].images) {
        const MapKind kind = KindOfSlot(image.slot);
        int* slot = kind == MapKind::kColour ? &maps[m].colour
                    : kind == MapKind::kNormal ? &maps[m].normal
                    : kind == MapKind::kSpecular ? &maps[m].specular
                                                 : nullptr;
        if (!slot || *slot >= 0) continue;  // the first map of a kind is the one used
        const std::string key = platform::AsciiLowered(image.iwi_file);
        if (auto known = by_image.find(key); known != by_image.end()) {
          if (known->second >= 0) *slot = known->second;
          if (auto rough = roughness_of.find(key); kind == MapKind::kSpecular && rough != roughness_of.end())
            maps[m].roughness = rough->second;
          continue;
        }
        const std::string name = ExportedImageFile(image, as_png, true);
        std::string file = name;
        for (int n = 2; files.count(file); ++n) file = NumberedFile(name, n);
        // The texture step's copy when it has one, else the file.
        const int unit = UnitOfSlot(image.slot);
        const IwiImage* source = nullptr;
        ImageResult r = img::kSuccess;
        if (set && unit >= 0 && set->loaded[size_t(unit)]) {
          source = &set->units[size_t(unit)];
        } else {
          scratch.Clear();
          r = SetSourceImage(scratch, model.raw_dir, image) ? ReadImage(scratch) : img::kCantOpen;
          source = &scratch;
        }
        Picture picture;
        picture.file = file;
        Picture roughness;
        if (r == img::kSuccess && kind == MapKind::kSpecular) {
          r = SpecularPictures(*source, picture, roughness);
        } else if (r == img::kSuccess) {
          r = EncodePNG(*source, picture.png, rebuild_normals && kind == MapKind::kNormal);
        }
        if (r != img::kSuccess) {
          Logger().model_log("^1IWI Error(^4%s^7): %s", image.iwi_file.c_str(), QorLogger::error_text(r).c_str());
          by_image.emplace(key, -1);
          continue;
        }
        by_image.emplace(key, int(pictures.size()));
        files.insert(file);
        *slot = int(pictures.size());
        pictures.push_back(std::move(picture));
        if (!roughness.png.empty()) {
          const std::string stem = file.substr(0, file.rfind('.')), rough_name = stem + "_roughness.png";
          roughness.file = rough_name;
          for (int n = 2; files.count(roughness.file); ++n) roughness.file = NumberedFile(rough_name, n);
          files.insert(roughness.file);
          roughness_of.emplace(key, int(pictures.size()));
          maps[m].roughness = int(pictures.size());
          pictures.push_back(std::move(roughness));
        }
      }
    }
  }
  return maps;
}

// ------------------------------------------------------------ [SECTION] Geometry

struct Primitive {
  size_t position = 0, normal = 0, uv = 0, colour = 0, joints = 0, weights = 0, indices = 0;
  int material = -1;
};

bool Drawable(const XmodelSurface& s) { return !s.vertices.empty() && s.triangles.size() >= 3; }

float Finite(float v) { return std::isfinite(v) ? v : 0.0f; }

// A surface's two views as placed in the buffer: its vertex records and
// its indices.
struct PlacedSurface {
  size_t records = 0;
  size_t indices = 0;
};

size_t RecordSize(size_t bone_count) { return bone_count > 0 ? 60 : 36; }

// The least and greatest x, y and z of a surface's positions (the finite
// values, as written), as the position accessor states them.
struct Bounds {
  std::vector<float> min{0, 0, 0}, max{0, 0, 0};
};

Bounds PositionBounds(const XmodelSurface& s) {
  Bounds b;
  for (size_t i = 0; i < s.vertices.size(); ++i)
    for (size_t k = 0; k < 3; ++k) {
      const float v = Finite(s.vertices[i].position[k]);
      if (i == 0 || v < b.min[k]) b.min[k] = v;
      if (i == 0 || v > b.max[k]) b.max[k] = v;
    }
  return b;
}

// Every surface's position bounds, which the JSON needs before the
// buffer's bytes: the layout pass's one read of the vertices, every other
// surface on a second thread.
std::vector<Bounds> SurfaceBounds(const XmodelLod& lod) {
  std::vector<Bounds> bounds(lod.surfaces.size());
  auto every_other = [&](size_t first) {
    for (size_t i = first; i < bounds.size(); i += 2) bounds[i] = PositionBounds(lod.surfaces[i]);
  };
  std::thread helper;
  if (bounds.size() > 1) helper = std::thread(every_other, 1);
  every_other(0);
  if (helper.joinable()) helper.join();
  return bounds;
}

// Places one surface's views and accessors (with its bounds in the layout
// pass). A vertex's attributes stand together, one record a vertex, so the
// model's vertices are read once.
Primitive PlaceSurface(GltfBuffer& buffer, const XmodelSurface& s, size_t bone_count, const Bounds* bounds,
                       PlacedSurface& placed) {
  const size_t n = s.vertices.size();
  const size_t stride = RecordSize(bone_count);
  Primitive prim;
  GltfAccessor position{0, 0, kFloat, false, n, "VEC3", {0, 0, 0}, {0, 0, 0}};
  if (bounds) {
    position.min = bounds->min;
    position.max = bounds->max;
  }
  placed.records = buffer.AddView(n * stride, kArrayBuffer, stride);
  prim.position = buffer.AddAccessor(std::move(position));
  prim.normal = buffer.AddAccessor({0, 12, kFloat, false, n, "VEC3", {}, {}});
  prim.uv = buffer.AddAccessor({0, 24, kFloat, false, n, "VEC2", {}, {}});
  prim.colour = buffer.AddAccessor({0, 32, kUnsignedByte, true, n, "VEC4", {}, {}});
  if (bone_count > 0) {
    prim.joints = buffer.AddAccessor({0, 36, kUnsignedShort, false, n, "VEC4", {}, {}});
    prim.weights = buffer.AddAccessor({0, 44, kFloat, false, n, "VEC4", {}, {}});
  }
  const size_t index_count = s.triangles.size() / 3 * 3;
  placed.indices = buffer.AddView(index_count * 2, kElementArrayBuffer);
  prim.indices = buffer.AddAccessor({0, 0, kUnsignedShort, false, index_count, "SCALAR", {}, {}});
  return prim;
}

// Fills the views PlaceSurface placed; reads only the surface. The bytes
// are made a piece at a time in the thread's scratch and written at once,
// while they are in its cache; the skin data goes into a run of records
// right behind the rest.
void FillSurface(const XmodelSurface& s, size_t bone_count, const GltfBuffer& buffer, const PlacedSurface& placed) {
  constexpr size_t kPiece = 128 << 10;  // bytes
  constexpr size_t kRun = 512;          // vertices
  thread_local std::unique_ptr<uint8_t[]> scratch(new uint8_t[kPiece]);
  const size_t stride = RecordSize(bone_count);
  const size_t piece_vertices = kPiece / stride / kRun * kRun;
  for (size_t piece = 0; piece < s.vertices.size(); piece += piece_vertices) {
    const size_t piece_end = std::min(s.vertices.size(), piece + piece_vertices);
    for (size_t first = piece; first < piece_end; first += kRun) {
      const size_t end = std::min(piece_end, first + kRun);
      for (size_t i = first; i < end; ++i) {
        const XmodelVertex& vertex = s.vertices[i];
        uint8_t* record = scratch.get() + (i - piece) * stride;
        const float v[3] = {Finite(vertex.position[0]), Finite(vertex.position[1]), Finite(vertex.position[2])};
        std::memcpy(record, v, 12);
        // glTF wants unit normals; one that is zero or broken points up.
        const float* src = vertex.normal;
        const float length = std::sqrt(src[0] * src[0] + src[1] * src[1] + src[2] * src[2]);
        float normal[3] = {0, 0, 1};
        if (std::isfinite(length) && length > 1e-20f) {
          const float inverse = 1.0f / length;
          for (int k = 0; k < 3; ++k) normal[k] = src[k] * inverse;
        }
        std::memcpy(record + 12, normal, 12);
        // The file's own (u, v): glTF's UV origin is the picture's top left,
        // as the games'; `v` in memory is flipped for GL.
        const float uv[2] = {Finite(vertex.u), Finite(1.0f - vertex.v)};
        std::memcpy(record + 24, uv, 8);
        std::memcpy(record + 32, vertex.colour, 4);
      }
      if (bone_count > 0)
        PutJointWeights(s, first, end - first, bone_count, scratch.get() + (first - piece) * stride + 36, stride);
    }
    buffer.Write(scratch.get(), (piece_end - piece) * stride, placed.records + piece * stride);
  }
  // Corners first, third, second: the games wind front faces clockwise,
  // glTF counter-clockwise (the OBJ writer turns them the same way).
  const size_t index_count = s.triangles.size() / 3 * 3;
  const size_t piece_indices = kPiece / 2 / 3 * 3;
  for (size_t piece = 0; piece < index_count; piece += piece_indices) {
    const size_t piece_end = std::min(index_count, piece + piece_indices);
    for (size_t t = piece; t < piece_end; t += 3) {
      const uint16_t corners[3] = {s.triangles[t], s.triangles[t + 2], s.triangles[t + 1]};
      std::memcpy(scratch.get() + (t - piece) * 2, corners, 6);
    }
    buffer.Write(scratch.get(), (piece_end - piece) * 2, placed.indices + piece * 2);
  }
}

// A second thread filling every other surface while this one fills the
// rest.
class SurfaceHelper {
 public:
  explicit SurfaceHelper(const GltfBuffer& buffer) : buffer_(buffer), thread_([this] { Loop(); }) {}
  ~SurfaceHelper() {
    {
      std::lock_guard<std::mutex> hold(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  void Post(const XmodelSurface& s, size_t bone_count, const PlacedSurface& placed) {
    {
      std::lock_guard<std::mutex> hold(mutex_);
      jobs_.push_back({&s, bone_count, placed});
    }
    changed_.notify_all();
  }

 private:
  struct Job {
    const XmodelSurface* surface;
    size_t bone_count;
    PlacedSurface placed;
  };
  void Loop() {
    std::unique_lock<std::mutex> hold(mutex_);
    for (;;) {
      changed_.wait(hold, [this] { return !jobs_.empty() || stop_; });
      if (jobs_.empty()) return;
      const Job job = jobs_.front();
      jobs_.pop_front();
      hold.unlock();
      FillSurface(*job.surface, job.bone_count, buffer_, job.placed);
      hold.lock();
    }
  }

  const GltfBuffer& buffer_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;
  bool stop_ = false;
  std::thread thread_;  // last: started once the rest is set up
};

// ------------------------------------------------------------ [SECTION] Document

void Floats(JsonOut& j, const float* v, size_t n) {
  j.Array();
  for (size_t i = 0; i < n; ++i) j.Float(v[i]);
  j.End();
}

void TextureRef(JsonOut& j, std::string_view key, int texture) { j.Key(key).Object().Field("index", texture).End(); }

struct Document {
  const Xmodel& model;
  const GltfBuffer& buffer;  // views and accessors as placed
  size_t buffer_size = 0;
  const std::vector<Primitive>& primitives;
  const std::vector<MaterialMaps>& maps;
  const std::vector<Picture>& pictures;
  size_t inverse_binds = 0;
  bool binary = false;
  std::string bin_uri;
  const GltfAnimation* animation = nullptr;
  const std::vector<size_t>* channel_accessors = nullptr;  // input, output a channel
};

std::string DocumentJson(const Document& d) {
  const Xmodel& model = d.model;
  const XmodelLod& lod = model.ShownLod();
  const size_t bone_count = model.bones.size();
  const bool has_mesh = !d.primitives.empty();
  const bool skinned = has_mesh && bone_count > 0;
  bool specular = false;
  for (const MaterialMaps& m : d.maps) specular |= m.specular >= 0;

  JsonOut j;
  j.Object();
  j.Key("asset").Object().Field("version", "2.0").Field("generator", "Qor_Fen Vantor").End();
  if (specular) j.Key("extensionsUsed").Array().String("KHR_materials_specular").End();

  // Nodes: the mesh, then "Joints" with the bones under it.
  const size_t mesh_node = 0;
  const size_t joints_node = has_mesh ? 1 : 0;
  const size_t first_bone = joints_node + 1;
  j.Key("scene").Int(0);
  j.Key("scenes").Array().Object().Field("name", model.name);
  if (has_mesh || bone_count > 0) {  // glTF allows no empty list
    j.Key("nodes").Array();
    if (has_mesh) j.Int(mesh_node);
    if (bone_count > 0) j.Int(joints_node);
    j.End();
  }
  j.End().End();

  if (has_mesh || bone_count > 0) {
    j.Key("nodes").Array();
    if (has_mesh) {
      j.Object().Field("name", model.name).Field("mesh", 0);
      // A skinned mesh's node transform is ignored; the skeleton's turns it.
      if (skinned) {
        j.Field("skin", 0);
      } else {
        j.Key("rotation");
        Floats(j, kYUp, 4);
      }
      j.End();
    }
    if (bone_count > 0) {
      std::vector<std::vector<size_t>> children(bone_count);
      std::vector<size_t> roots;
      for (size_t i = 0; i < bone_count; ++i) {
        const int parent = BoneParent(model.bones, i);
        (parent < 0 ? roots : children[size_t(parent)]).push_back(i);
      }
      j.Object().Field("name", "Joints").Key("rotation");
      Floats(j, kYUp, 4);
      j.Key("children").Array();
      for (size_t r : roots) j.Int((long long)(first_bone + r));
      j.End().End();
      for (size_t i = 0; i < bone_count; ++i) {
        const NodeTransform t = BoneNodeTransform(model.bones[i]);
        j.Object().Field("name", model.bones[i].name).Key("translation");
        Floats(j, t.translation, 3);
        j.Key("rotation");
        Floats(j, t.rotation, 4);
        if (!children[i].empty()) {
          j.Key("children").Array();
          for (size_t c : children[i]) j.Int((long long)(first_bone + c));
          j.End();
        }
        j.End();
      }
    }
    j.End();
  }

  if (has_mesh) {
    j.Key("meshes").Array().Object().Field("name", lod.surf_name).Key("primitives").Array();
    for (const Primitive& p : d.primitives) {
      j.Object().Key("attributes").Object();
      j.Field("POSITION", p.position).Field("NORMAL", p.normal).Field("TEXCOORD_0", p.uv).Field("COLOR_0", p.colour);
      if (skinned) j.Field("JOINTS_0", p.joints).Field("WEIGHTS_0", p.weights);
      j.End().Field("indices", p.indices);
      if (p.material >= 0) j.Field("material", p.material);
      j.End();
    }
    j.End().End().End();
  }

  if (skinned) {
    j.Key("skins").Array().Object().Field("name", model.name).Field("inverseBindMatrices", d.inverse_binds);
    j.Field("skeleton", joints_node).Key("joints").Array();
    for (size_t i = 0; i < bone_count; ++i) j.Int((long long)(first_bone + i));
    j.End().End().End();
  }

  if (!lod.unique_materials.empty()) {
    j.Key("materials").Array();
    for (size_t m = 0; m < lod.unique_materials.size(); ++m) {
      const MaterialMaps& maps = d.maps[m];
      j.Object().Field("name", lod.unique_materials[m]);
      // The games' surfaces are dielectric; roughness comes from the
      // specular map's gloss when it holds any (green of the texture,
      // times the factor 1), else it is 1.
      j.Key("pbrMetallicRoughness").Object();
      if (maps.colour >= 0) TextureRef(j, "baseColorTexture", maps.colour);
      if (maps.roughness >= 0) TextureRef(j, "metallicRoughnessTexture", maps.roughness);
      j.FieldFloat("metallicFactor", 0.0f).FieldFloat("roughnessFactor", 1.0f).End();
      if (maps.normal >= 0) TextureRef(j, "normalTexture", maps.normal);
      if (maps.specular >= 0) {
        j.Key("extensions").Object().Key("KHR_materials_specular").Object();
        TextureRef(j, "specularColorTexture", maps.specular);
        j.End().End();
      }
      j.End();
    }
    j.End();
  }

  if (!d.pictures.empty()) {
    // One texture a picture, in the same order.
    j.Key("textures").Array();
    for (size_t i = 0; i < d.pictures.size(); ++i) j.Object().Field("source", i).End();
    j.End();
    j.Key("images").Array();
    for (const Picture& p : d.pictures) {
      j.Object().Field("name", p.file);
      if (d.binary)
        j.Field("bufferView", p.view).Field("mimeType", "image/png");
      else
        j.Field("uri", "images/" + UriOfFileName(p.file));
      j.End();
    }
    j.End();
  }

  if (d.animation && bone_count > 0) {
    const GltfAnimation& a = *d.animation;
    const std::vector<size_t>& acc = *d.channel_accessors;
    j.Key("animations").Array().Object().Field("name", a.name).Key("channels").Array();
    for (size_t c = 0; c < a.channels.size(); ++c) {
      j.Object().Field("sampler", c).Key("target").Object().Field("node", first_bone + a.channels[c].bone);
      j.Field("path", a.channels[c].rotation ? "rotation" : "translation").End().End();
    }
    j.End().Key("samplers").Array();
    for (size_t c = 0; c < a.channels.size(); ++c)
      j.Object().Field("input", acc[2 * c]).Field("output", acc[2 * c + 1]).Field("interpolation", "LINEAR").End();
    j.End();
    if (!a.markers.empty()) {
      j.Key("extras").Object().Key("notetracks").Array();
      for (const GltfAnimation::Marker& m : a.markers) j.Object().Field("name", m.name).FieldFloat("time", m.time).End();
      j.End().End();
    }
    j.End().End();
  }

  if (!d.buffer.accessors.empty()) {
    j.Key("accessors").Array();
    for (const GltfAccessor& a : d.buffer.accessors) {
      j.Object().Field("bufferView", a.view);
      if (a.offset) j.Field("byteOffset", a.offset);
      j.Field("componentType", a.component);
      if (a.normalized) j.Key("normalized").Bool(true);
      j.Field("count", a.count).Field("type", a.type);
      if (!a.min.empty()) {
        j.Key("min");
        Floats(j, a.min.data(), a.min.size());
        j.Key("max");
        Floats(j, a.max.data(), a.max.size());
      }
      j.End();
    }
    j.End();
  }
  if (!d.buffer.views.empty()) {
    j.Key("bufferViews").Array();
    for (const GltfView& v : d.buffer.views) {
      j.Object().Field("buffer", 0).Field("byteOffset", v.offset).Field("byteLength", v.length);
      if (v.stride) j.Field("byteStride", v.stride);
      if (v.target) j.Field("target", v.target);
      j.End();
    }
    j.End();
    j.Key("buffers").Array().Object().Field("byteLength", d.buffer_size);
    if (!d.binary) j.Field("uri", d.bin_uri);
    j.End().End();
  }
  j.End();
  return j.text();
}

// ------------------------------------------------------------ [SECTION] Files

void PutU32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }  // GLB is little-endian, as we are

// What goes into the buffer, in order: the surfaces, the inverse bind
// matrices, and in a GLB the pictures. Run once without a file (layout)
// and once with it (bytes); both runs place the same views.
struct BufferContent {
  const Xmodel& model;
  const std::vector<Picture>& pictures;
  bool skinned = false;
  bool binary = false;
  const GltfAnimation* animation = nullptr;
};

struct BufferLayout {
  std::vector<GltfView> views;
  std::vector<GltfAccessor> accessors;
  std::vector<Primitive> primitives;
  std::vector<size_t> picture_views;
  size_t inverse_binds = 0;
  std::vector<size_t> channel_accessors;  // input, output a channel
  size_t size = 0;
};

// `file` null: the layout pass; otherwise the buffer is written at `base`
// in it.
BufferLayout FillBuffer(const BufferContent& c, OutputFile* file, uint64_t base, ExportRun* run) {
  const XmodelLod& lod = c.model.ShownLod();
  const size_t bone_count = c.skinned ? c.model.bones.size() : 0;
  GltfBuffer buffer(file, base);
  BufferLayout layout;
  const std::vector<Bounds> bounds = file ? std::vector<Bounds>() : SurfaceBounds(lod);
  {
    // Joined (every posted surface written) before the file is closed.
    std::optional<SurfaceHelper> helper;
    if (file && lod.surfaces.size() > 1) helper.emplace(buffer);
    const int32_t step = lod.surfaces.empty() ? 0 : int32_t(80 / lod.surfaces.size());
    size_t placed_count = 0;
    for (size_t i = 0; i < lod.surfaces.size(); ++i) {
      const XmodelSurface& s = lod.surfaces[i];
      if (Drawable(s)) {
        PlacedSurface placed;
        Primitive prim = PlaceSurface(buffer, s, bone_count, file ? nullptr : &bounds[i], placed);
        if (file && helper && placed_count % 2 == 1) {
          helper->Post(s, bone_count, placed);
        } else if (file) {
          FillSurface(s, bone_count, buffer, placed);
        }
        ++placed_count;
        // The material is the surface's entry of the distinct list.
        if (i < lod.materials.size())
          for (size_t m = 0; m < lod.unique_materials.size(); ++m)
            if (lod.unique_materials[m] == lod.materials[i]) {
              prim.material = int(m);
              break;
            }
        layout.primitives.push_back(prim);
      }
      if (run) run->Step(step);
    }
  }
  if (c.skinned) {
    const size_t bytes = c.model.bones.size() * 64;
    const size_t offset = buffer.AddView(bytes, 0);
    if (file) buffer.Write(InverseBindMatrices(c.model.bones).data(), bytes, offset);
    layout.inverse_binds = buffer.AddAccessor({0, 0, kFloat, false, c.model.bones.size(), "MAT4", {}, {}});
  }
  if (c.animation && !c.model.bones.empty())
    for (const GltfAnimation::Channel& channel : c.animation->channels) {
      // Times, with the least and greatest as an input accessor needs them.
      const size_t keys = channel.times.size();
      size_t offset = buffer.AddView(keys * 4, 0);
      if (file) buffer.Write(channel.times.data(), keys * 4, offset);
      layout.channel_accessors.push_back(
          buffer.AddAccessor({0, 0, kFloat, false, keys, "SCALAR", {channel.times.front()}, {channel.times.back()}}));
      offset = buffer.AddView(channel.values.size() * 4, 0);
      if (file) buffer.Write(channel.values.data(), channel.values.size() * 4, offset);
      layout.channel_accessors.push_back(
          buffer.AddAccessor({0, 0, kFloat, false, keys, channel.rotation ? "VEC4" : "VEC3", {}, {}}));
    }
  if (c.binary)
    for (const Picture& picture : c.pictures) {
      buffer.Write(picture.png.data(), picture.png.size(), buffer.AddView(picture.png.size(), 0));
      layout.picture_views.push_back(buffer.views.size() - 1);
    }
  layout.size = buffer.size();
  layout.views = std::move(buffer.views);
  layout.accessors = std::move(buffer.accessors);
  return layout;
}

ErrorCode WriteGlb(const std::string& path, const std::string& json, const BufferContent& content,
                   size_t bin_size, ExportRun& run) {
  const size_t json_length = Padded(json.size());
  const size_t bin_length = Padded(bin_size);
  const uint64_t total = 12 + 8 + json_length + (bin_size ? 8 + bin_length : 0);
  if (total > 0xFFFFFFFFull) return err::kOutOfRange;
  uint8_t header[20];
  PutU32(header, 0x46546C67);  // "glTF"
  PutU32(header + 4, 2);
  PutU32(header + 8, uint32_t(total));
  PutU32(header + 12, uint32_t(json_length));
  PutU32(header + 16, 0x4E4F534A);  // "JSON"
  static const char kSpaces[4] = {' ', ' ', ' ', ' '};
  static const uint8_t kZeros[4] = {0, 0, 0, 0};

  // Every byte goes to its place with WriteAt, the buffer's from the
  // threads that fill it.
  ErrorCode code = err::kSuccess;
  OutputFile output;
  if (!output.Open(path, code)) return code;
  uint64_t at = 0;
  auto put = [&](const void* data, size_t size) {
    (void)output.WriteAt(data, size, at);
    at += size;
  };
  put(header, sizeof header);
  put(json.data(), json.size());
  put(kSpaces, json_length - json.size());  // the JSON chunk pads with blanks
  if (bin_size) {
    uint8_t chunk[8];
    PutU32(chunk, uint32_t(bin_length));
    PutU32(chunk + 4, 0x004E4942);  // "BIN"
    put(chunk, sizeof chunk);
    (void)FillBuffer(content, &output, at, &run);
    at += bin_size;
    put(kZeros, bin_length - bin_size);
  }
  return output.Close();
}

ErrorCode WriteWhole(const std::string& path, const void* data, size_t size) {
  ErrorCode code = err::kSuccess;
  OutputFile output;
  std::FILE* file = output.Open(path, code);
  if (!file) return code;
  if (size) std::fwrite(data, 1, size, file);
  return output.Close();
}

// Every channel names a bone and holds finite keys at increasing times.
bool SoundAnimation(const GltfAnimation& a, size_t bone_count) {
  for (const GltfAnimation::Channel& c : a.channels) {
    const size_t keys = c.times.size();
    if (c.bone >= bone_count || keys == 0 || c.values.size() != keys * (c.rotation ? 4 : 3)) return false;
    for (size_t k = 0; k < keys; ++k)
      if (!std::isfinite(c.times[k]) || (k > 0 && !(c.times[k] > c.times[k - 1]))) return false;
    for (float v : c.values)
      if (!std::isfinite(v)) return false;
  }
  for (const GltfAnimation::Marker& m : a.markers)
    if (!std::isfinite(m.time)) return false;
  return true;
}

}  // namespace

ErrorCode ExportGLTF(const Xmodel& model, std::string folder, bool binary, ExportWritten* written,
                     bool normal_maps_as_stored, const GltfAnimation* animation) {
  // Loaded through the surfaces, with sound geometry; the file is named by
  // the slot-0 name, which comes from the game file (or by the animation's).
  if (ErrorCode code = CheckLevelZero(model); code != err::kSuccess) return code;
  const XmodelLod& lod = model.ShownLod();
  const std::string& base_name = animation ? animation->name : lod.surf_name;
  if (!platform::IsSafeOutputName(base_name)) return err::kInvalidPath;
  if (animation && !SoundAnimation(*animation, model.bones.size())) return err::kFileNotValid;
  // Joint indices are 16-bit.
  if (model.bones.size() > 0xFFFF) return err::kOutOfRange;
  bool any_drawable = false;
  for (const XmodelSurface& s : lod.surfaces) any_drawable |= Drawable(s);

  ExportRun run(model, 0);
  const std::string dir = platform::WithTrailingSeparator(folder);
  platform::CreateDirectories(dir);

  // The maps first: their PNG bytes count towards the buffer in a GLB.
  std::vector<Picture> pictures;
  const std::vector<MaterialMaps> maps = CollectPictures(model, pictures, !normal_maps_as_stored);
  run.Step(10);

  // The layout pass: where every view goes, and so the buffer's length.
  const BufferContent content{model, pictures, any_drawable && !model.bones.empty(), binary, animation};
  BufferLayout layout = FillBuffer(content, nullptr, 0, nullptr);
  if (layout.size > kMaxBufferBytes) return run.Finish(err::kOutOfRange);
  for (size_t i = 0; i < layout.picture_views.size(); ++i) pictures[i].view = layout.picture_views[i];

  GltfBuffer placed;
  placed.views = std::move(layout.views);
  placed.accessors = std::move(layout.accessors);
  const Document doc{model,         placed, layout.size, layout.primitives, maps, pictures, layout.inverse_binds,
                     binary,        UriOfFileName(base_name + ".bin"), animation, &layout.channel_accessors};
  const std::string json = DocumentJson(doc);

  if (binary) {
    const std::string path = dir + base_name + ".glb";
    ErrorCode code = WriteGlb(path, json, content, layout.size, run);
    if (code == err::kSuccess && written) written->push_back(path);
    return run.Finish(code);
  }

  // The pictures and the buffer before the document that names them.
  if (!pictures.empty()) platform::CreateDirectories(dir + "images");
  for (const Picture& p : pictures) {
    const std::string path = dir + "images/" + p.file;
    const ImageResult r = WritePNGBytes(p.png, path);
    if (r != img::kSuccess) return run.Finish(r == img::kPermission ? err::kPermission : err::kUnknown);
    if (written) written->push_back(path);
  }
  if (layout.size) {
    const std::string path = dir + base_name + ".bin";
    ErrorCode code = err::kSuccess;
    OutputFile output;
    if (!output.Open(path, code)) return run.Finish(code);
    (void)FillBuffer(content, &output, 0, &run);
    if ((code = output.Close()) != err::kSuccess) return run.Finish(code);
    if (written) written->push_back(path);
  }
  const std::string path = dir + base_name + ".gltf";
  ErrorCode code = WriteWhole(path, json.data(), json.size());
  if (code == err::kSuccess && written) written->push_back(path);
  return run.Finish(code);
}
