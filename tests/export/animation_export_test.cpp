// The animation writers. Our XANIM_EXPORT reads back as the mod tools' own
// files read and refuses names that would break it, our GDT entry holds the
// tools' fields, and a frame without keys is the model's own pose. Then the
// tools' compiled animations against the XANIM_EXPORT files they were
// compiled from: each read, put on the rig of the sources (the tools'
// XMODEL_EXPORT of the hands and gun) and compared frame by frame, each bone
// relative to its parent. Four left-arm bones are known to differ in some
// files (the sources were edited after compiling: the compiled files agree
// with one another); their worst angles are printed, not hidden. Our
// XANIM_EXPORT of each reads back as the poses it was written from. Last, a
// glTF animation passes the Khronos validator and broken keys are refused.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <set>

#include "export/animation_frames.h"
#include "export/gdt_writer.h"
#include "export/model_exports.h"
#include "export/xanim_export_writer.h"
#include "model/xanim.h"
#include "tests/export/export_test_support.h"
#include "tests/model/model_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;
using XanimExportTest = ExportTest;
using XanimSources = ExportTest;
using GltfAnimationTest = ExportTest;

// XANIM_EXPORT text as the mod tools write it and as the animation export
// writes it: the parts, the frame rate, every frame's parts and the
// notetracks. False when the text breaks the layout.
bool ReadXanimExport(const std::string& path, XanimExportData& out) {
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

// An XMODEL_EXPORT's bones, the tools' or ours: names and parents from the
// "BONE <i> <parent> "<name>"" lines, model-space poses from each "BONE <i>"
// and its OFFSET, SCALE, X, Y and Z lines, and those made parent-relative.
struct Rig {
  std::vector<std::string> names;
  std::vector<XanimExportPart> world;
  ModelSkeleton skeleton;
  bool read = true;  // false when a pose's lines break the layout
};

// Child `w` relative to parent `p` (both model space): the child's axes in
// the parent's frame and its offset there.
void Relative(const XanimExportPart& p, const XanimExportPart& w, float axes[3][3], float offset[3]) {
  for (int a = 0; a < 3; ++a)
    for (int r = 0; r < 3; ++r) axes[a][r] = p.axes[r][0] * w.axes[a][0] + p.axes[r][1] * w.axes[a][1] + p.axes[r][2] * w.axes[a][2];
  for (int r = 0; r < 3; ++r)
    offset[r] = p.axes[r][0] * (w.offset[0] - p.offset[0]) + p.axes[r][1] * (w.offset[1] - p.offset[1]) +
                p.axes[r][2] * (w.offset[2] - p.offset[2]);
}

// Quaternion (x, y, z, w) of a rotation given by its columns.
void QuatOf(const float c[3][3], float q[4]) {
  // c[axis][row]: the axis' coordinates. As a matrix m[row][col] = c[col][row].
  auto m = [&](int r, int k) { return double(c[k][r]); };
  const double tr = m(0, 0) + m(1, 1) + m(2, 2);
  double x, y, z, w;
  if (tr > 0) {
    const double s = std::sqrt(tr + 1.0) * 2;
    w = 0.25 * s, x = (m(2, 1) - m(1, 2)) / s, y = (m(0, 2) - m(2, 0)) / s, z = (m(1, 0) - m(0, 1)) / s;
  } else if (m(0, 0) > m(1, 1) && m(0, 0) > m(2, 2)) {
    const double s = std::sqrt(1.0 + m(0, 0) - m(1, 1) - m(2, 2)) * 2;
    w = (m(2, 1) - m(1, 2)) / s, x = 0.25 * s, y = (m(0, 1) + m(1, 0)) / s, z = (m(0, 2) + m(2, 0)) / s;
  } else if (m(1, 1) > m(2, 2)) {
    const double s = std::sqrt(1.0 + m(1, 1) - m(0, 0) - m(2, 2)) * 2;
    w = (m(0, 2) - m(2, 0)) / s, x = (m(0, 1) + m(1, 0)) / s, y = 0.25 * s, z = (m(1, 2) + m(2, 1)) / s;
  } else {
    const double s = std::sqrt(1.0 + m(2, 2) - m(0, 0) - m(1, 1)) * 2;
    w = (m(1, 0) - m(0, 1)) / s, x = (m(0, 2) + m(2, 0)) / s, y = (m(1, 2) + m(2, 1)) / s, z = 0.25 * s;
  }
  const double n = std::sqrt(x * x + y * y + z * z + w * w);
  q[0] = float(x / n), q[1] = float(y / n), q[2] = float(z / n), q[3] = float(w / n);
}

// The angle between two rotations given by their axes, in degrees; from
// the sine and the cosine together, which stays exact for small angles.
double AngleBetween(const float a[3][3], const float b[3][3]) {
  double m[3][3];  // a times b's transpose, as matrices of columns
  for (int r = 0; r < 3; ++r)
    for (int k = 0; k < 3; ++k) m[r][k] = a[0][r] * b[0][k] + a[1][r] * b[1][k] + a[2][r] * b[2][k];
  const double cosine = (m[0][0] + m[1][1] + m[2][2] - 1) / 2;
  const double sx = m[2][1] - m[1][2], sy = m[0][2] - m[2][0], sz = m[1][0] - m[0][1];
  return std::atan2(std::sqrt(sx * sx + sy * sy + sz * sz) / 2, cosine) * 180 / M_PI;
}

Rig ReadRig(const std::string& path) {
  Rig rig;
  std::ifstream in(path);
  std::string line;
  std::smatch m;
  while (std::getline(in, line) && !line.starts_with("NUMVERTS")) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (std::regex_match(line, m, std::regex(R"re(BONE \d+ (-?\d+) "(.*)")re"))) {
      rig.names.push_back(m[2]);
      rig.skeleton.parents.push_back(std::stoi(m[1]));
    } else if (std::regex_match(line, std::regex(R"(BONE \d+)"))) {
      XanimExportPart& p = rig.world.emplace_back();
      float s[3];
      rig.read = rig.read && std::getline(in, line) &&
                 std::sscanf(line.c_str(), "OFFSET %f, %f, %f", &p.offset[0], &p.offset[1], &p.offset[2]) == 3 &&
                 std::getline(in, line) && std::sscanf(line.c_str(), "SCALE %f, %f, %f", &s[0], &s[1], &s[2]) == 3;
      for (int a = 0; a < 3; ++a)
        rig.read = rig.read && std::getline(in, line) && line.starts_with(char('X' + a)) &&
                   std::sscanf(line.c_str(), "%*c %f, %f, %f", &p.axes[a][0], &p.axes[a][1], &p.axes[a][2]) == 3;
    }
  }
  rig.read = rig.read && rig.world.size() == rig.names.size();
  for (const std::string& n : rig.names) rig.skeleton.names.emplace_back(n);
  // A root is relative to the identity at the origin, which keeps it as it is.
  for (size_t i = 0; rig.read && i < rig.world.size(); ++i) {
    const int parent = rig.skeleton.parents[i];
    BonePose& pose = rig.skeleton.bind_pose.emplace_back();
    float local[3][3];
    Relative(parent < 0 ? XanimExportPart{} : rig.world[size_t(parent)], rig.world[i], local, pose.translation);
    QuatOf(local, pose.rotation);
  }
  return rig;
}

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST_F(XanimExportTest, WritesTheToolsLayoutAndReadsBackWithinItsPrecision) {
  XanimExportData data;
  data.source = "raw/xanim/test_anim";
  data.parts = {"tag_origin", "j_arm"};
  data.frame_rate = 24;
  for (int f = 0; f < 3; ++f) {
    std::vector<XanimExportPart>& frame = data.frames.emplace_back(2);
    frame[1].offset[0] = 1.23456f * float(f);
    frame[1].axes[0][0] = 0.70711f, frame[1].axes[0][1] = -0.70711f;
  }
  data.notes = {{"start", 0}, {"fire", 2}};
  const std::string path = dir_.Sub("test_anim.XANIM_EXPORT");
  ASSERT_EQ(WriteXanimExport(path, data), err::kSuccess);
  XanimExportData back;
  ASSERT_TRUE(ReadXanimExport(path, back));
  EXPECT_EQ(back.parts, data.parts);
  EXPECT_EQ(back.frame_rate, 24);
  ASSERT_EQ(back.frames.size(), 3u);
  EXPECT_NEAR(back.frames[2][1].offset[0], 2.4691f, 1e-4);
  EXPECT_NEAR(back.frames[2][1].axes[0][1], -0.7071f, 1e-4);
  ASSERT_EQ(back.notes.size(), 2u);
  EXPECT_EQ(back.notes[1].name, "fire");
  EXPECT_EQ(back.notes[1].frame, 2);

  data.notes[0].name = "say \"hi\"";
  EXPECT_EQ(WriteXanimExport(dir_.Sub("quoted"), data), err::kFileNotValid);
  EXPECT_FALSE(fs::exists(dir_.Sub("quoted")));
}

// The keys of a GDT file's first entry, in order.
std::vector<std::string> FirstEntryKeys(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> keys;
  std::string line;
  std::smatch m;
  while (std::getline(in, line) && line.find('}') == std::string::npos)
    if (std::regex_search(line, m, std::regex(R"re(^\s*"(\w+)" ")re"))) keys.push_back(m[1]);
  return keys;
}

// Our "xanim.gdf" entry holds the fields of the mod tools' own entries.
TEST_F(XanimExportTest, TheGdtEntryHoldsTheToolsFields) {
  const std::string tools = model_test::SamplesDir() + "/cod4-xanim/xanim_export/xanim_viewmodel.gdt";
  if (!fs::exists(tools)) GTEST_SKIP() << "no ../shared/samples";
  GdtWriter gdt;
  ASSERT_EQ(gdt.Open(dir_.Sub("anims")), err::kSuccess);
  gdt.WriteAnimation("viewmodel_m16_fire", {"m16_fire.XANIM_EXPORT", "viewmodel_m16.XMODEL_EXPORT", false, "relative"});
  ASSERT_EQ(gdt.Close(), err::kSuccess);
  EXPECT_EQ(FirstEntryKeys(dir_.Sub("anims.gdt")), FirstEntryKeys(tools));
}

// A frame that animates no bone is the model's own pose, as the
// XMODEL_EXPORT of the model states its bones (offsets and axes).
TEST_F(XanimExportTest, AFrameWithoutKeysIsTheModelsPoseAsItsXmodelExportHasIt) {
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  ASSERT_EQ(ExportXE(model_, Out()), err::kSuccess);
  const Rig xe = ReadRig(OutFile("soldier_lod0.XMODEL_EXPORT"));
  ASSERT_TRUE(xe.read);
  const ModelSkeleton skeleton = SkeletonOf(model_);
  AnimBinding binding;
  binding.Bind(skeleton.names, skeleton.bind_pose, {}, false);
  const XanimExportData frames = XanimFrames(model_, skeleton, {"still", "", 1, 30, {}, &binding});
  ASSERT_EQ(frames.frames.size(), 1u);
  ASSERT_EQ(frames.frames[0].size(), xe.world.size());
  for (size_t b = 0; b < xe.world.size(); ++b)
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(frames.frames[0][b].offset[k], xe.world[b].offset[k], 1e-4) << b;
      for (int axis = 0; axis < 3; ++axis)
        EXPECT_NEAR(frames.frames[0][b].axes[axis][k], xe.world[b].axes[axis][k], 1e-4) << b;
    }
}

TEST_F(XanimSources, CompiledViewmodelAnimationsMatchTheirSources) {
  const std::string root = model_test::SamplesDir() + "/cod4-xanim/";
  if (!fs::is_directory(root)) GTEST_SKIP() << "no " << root;
  const Rig rig = ReadRig(root + "model_export/viewmodel_m16_animated.XMODEL_EXPORT");
  ASSERT_TRUE(rig.read);
  ASSERT_GT(rig.names.size(), 60u);
  const std::set<std::string> left_arm = {"j_shoulder_le", "j_elbow_le", "j_wrist_le", "j_wristtwist_le"};
  const std::string text = ReadText(root + "xanim_export/xanim_viewmodel.gdt");
  const std::regex entry(R"re("(viewmodel_m16_\w+)" \( "xanim.gdf" \)\s*\{\s*"filename" "([^"]+)")re");
  int pairs = 0;
  for (std::sregex_iterator it(text.begin(), text.end(), entry), end; it != end; ++it) {
    const std::string name = Lower((*it)[1]);
    if (!fs::exists(root + "raw/xanim/" + name)) continue;
    std::string source = std::regex_replace(std::string((*it)[2]), std::regex(R"(\\\\|\\)"), "/");
    std::string found;
    for (const auto& f : fs::directory_iterator(fs::path(root + "xanim_export/" + source).parent_path()))
      if (Lower(f.path().filename().string()) == Lower(fs::path(source).filename().string())) found = f.path();
    ASSERT_FALSE(found.empty()) << source;
    XanimExportData theirs;
    ASSERT_TRUE(ReadXanimExport(found, theirs)) << found;

    Xanim compiled;
    ASSERT_EQ(LoadXanim(root + "raw/xanim/" + name, compiled), err::kSuccess) << name;
    const std::vector<AnimChannels> channels = ChannelsOf(compiled);
    AnimBinding binding;
    binding.Bind(rig.skeleton.names, rig.skeleton.bind_pose, channels, false);

    // The source's parts by the rig's bones.
    std::vector<int> part(rig.names.size(), -1);
    for (size_t p = 0; p < theirs.parts.size(); ++p)
      for (size_t b = 0; b < rig.names.size(); ++b)
        if (Lower(rig.names[b]) == Lower(theirs.parts[p])) part[b] = int(p);
    std::vector<bool> moving(rig.names.size(), false);
    for (const XanimBone& bone : compiled.bones)
      for (size_t b = 0; b < rig.names.size(); ++b)
        if (Lower(rig.names[b]) == bone.name && !bone.translation.values.empty()) moving[b] = true;
    // Frames both hold: a looping file's last repeats its first.
    const size_t count = std::min<size_t>(size_t(compiled.keyed_frames()), theirs.frames.size()) - (compiled.looping() ? 1 : 0);
    std::vector<double> angles;
    double moved = 0;
    size_t moves = 0;
    std::map<std::string, double> arm_worst;
    std::vector<BonePose> pose;
    for (size_t f = 0; f < count; ++f) {
      binding.PoseAt(double(f), pose);
      for (size_t b = 0; b < rig.names.size(); ++b) {
        const int parent = rig.skeleton.parents[b];
        if (part[b] < 0 || parent < 0 || part[size_t(parent)] < 0) continue;
        float axes[3][3], offset[3];
        Relative(theirs.frames[f][size_t(part[size_t(parent)])], theirs.frames[f][size_t(part[b])], axes, offset);
        const BoneMatrix m = MatrixOf(pose[b]);
        float ours[3][3];
        for (int a = 0; a < 3; ++a)
          for (int r = 0; r < 3; ++r) ours[a][r] = m.m[r][a];
        const double angle = AngleBetween(ours, axes);
        const std::string bone = Lower(rig.names[b]);
        if (left_arm.count(bone)) {
          arm_worst[bone] = std::max(arm_worst[bone], angle);
          continue;
        }
        angles.push_back(angle);
        // A bone the file does not move keeps the model's offset, and the
        // tools' rig (hands and gun in one scene) is not the game's model:
        // its "j_gun" stands off "tag_weapon", in the game it sits on it.
        if (!moving[b]) continue;
        moved += std::hypot(pose[b].translation[0] - offset[0], pose[b].translation[1] - offset[1],
                            pose[b].translation[2] - offset[2]);
        ++moves;
      }
    }
    std::sort(angles.begin(), angles.end());
    ASSERT_FALSE(angles.empty()) << name;
    const double p99 = angles[angles.size() * 99 / 100];
    EXPECT_LT(p99, 0.25) << name;
    EXPECT_LT(moved / double(moves), 0.05) << name;
    std::string arm;
    for (const auto& [bone, worst] : arm_worst)
      if (worst > 0.25) arm += " " + bone + " " + std::to_string(worst).substr(0, 5) + " deg";
    std::printf("%-28s %3zu frames: 99 %% within %.3f deg, offsets %.4f apart on average%s%s\n", name.c_str(), count,
                p99, moved / double(moves), arm.empty() ? "" : "; left arm:", arm.c_str());

    // Our XANIM_EXPORT of it reads back as the poses it was written from.
    const XanimExportData frames =  // model_ is not loaded: the binding holds the frames
        XanimFrames(model_, rig.skeleton, {name, "", compiled.keyed_frames(), compiled.frame_rate, {}, &binding});
    const std::string written = dir_.Sub(name + ".XANIM_EXPORT");
    ASSERT_EQ(WriteXanimExport(written, frames), err::kSuccess);
    XanimExportData back;
    ASSERT_TRUE(ReadXanimExport(written, back)) << written;
    ASSERT_EQ(back.frames.size(), frames.frames.size());
    double worst = 0;
    for (size_t f = 0; f < back.frames.size(); ++f)
      for (size_t b = 0; b < back.parts.size(); ++b)
        for (int k = 0; k < 3; ++k) {
          worst = std::max(worst, double(std::fabs(back.frames[f][b].offset[k] - frames.frames[f][b].offset[k])));
          for (int a = 0; a < 3; ++a)
            worst = std::max(worst, double(std::fabs(back.frames[f][b].axes[a][k] - frames.frames[f][b].axes[a][k])));
        }
    EXPECT_LE(worst, 0.00005 + 1e-6) << name;  // half the last printed digit
    ++pairs;
  }
  EXPECT_EQ(pairs, 10);
}


TEST_F(GltfAnimationTest, TheAnimationIsValidAndBrokenKeysAreRefused) {
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  GltfAnimation a;
  a.name = "soldier_wave";
  a.channels.push_back({3, true, {0.0f, 0.5f, 1.0f}, {0, 0, 0, 1, 0, 0, 0.3826834f, 0.9238795f, 0, 0, 0, 1}});
  a.channels.push_back({1, false, {0.0f, 1.0f}, {0, 0, 40, 0, 0, 42}});
  a.markers = {{"wave_start", 0.25f}};
  ExportWritten written;
  ASSERT_EQ(ExportGLTF(model_, Out(), false, &written, false, &a), err::kSuccess);
  ASSERT_EQ(ExportGLTF(model_, Out(), true, &written, false, &a), err::kSuccess);
  const std::string text = ReadText(OutFile("soldier_wave.gltf"));
  EXPECT_NE(text.find("\"animations\":[{\"name\":\"soldier_wave\""), std::string::npos);
  EXPECT_NE(text.find("\"notetracks\":[{\"name\":\"wave_start\""), std::string::npos);
  int status = 0;
  const std::string report = RunCommand("bash '" + std::string(VANTOR_SOURCE_DIR) + "/tests/export/gltf/validate.sh' '" +
                                            OutFile("soldier_wave.gltf").string() + "' '" +
                                            OutFile("soldier_wave.glb").string() + "' 2>&1",
                                        &status);
  EXPECT_EQ(status, 0) << report;

  a.channels[0].times[2] = 0.5f;  // not increasing
  EXPECT_EQ(ExportGLTF(model_, dir_.Sub("bad"), true, nullptr, false, &a), err::kFileNotValid);
  a.channels[0].times[2] = 1.0f;
  a.channels[1].bone = 99;  // no such bone
  EXPECT_EQ(ExportGLTF(model_, dir_.Sub("bad"), true, nullptr, false, &a), err::kFileNotValid);
  EXPECT_FALSE(fs::exists(dir_.Sub("bad/soldier_wave.glb")));
}

}  // namespace
