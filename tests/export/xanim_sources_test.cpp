// The compiled animations of the mod tools against the XANIM_EXPORT files
// they were compiled from: each read, put on the rig of the sources (the
// tools' XMODEL_EXPORT of the hands and gun) and compared frame by frame,
// each bone relative to its parent. Four left-arm bones are known to differ
// in some files (the sources were edited after compiling: the compiled
// files agree with one another); their worst angles are printed, not
// hidden. Then our XANIM_EXPORT of each reads back as the poses it was
// written from.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <map>
#include <set>

#include "export/animation_frames.h"
#include "model/xanim.h"
#include "tests/export/xanim_export_text.h"
#include "tests/model/model_test_support.h"

namespace {

namespace fs = std::filesystem;

// The rig: bone names, parents and model-space poses from the tools'
// XMODEL_EXPORT, made parent-relative.
struct Rig {
  std::vector<std::string> names;
  ModelSkeleton skeleton;
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
  std::vector<int> parents;
  std::vector<XanimExportPart> world;
  std::smatch m;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (std::regex_match(line, m, std::regex(R"re(BONE (\d+) (-?\d+) "(.*)")re"))) {
      rig.names.push_back(m[3]);
      parents.push_back(std::stoi(m[2]));
    } else if (std::regex_match(line, m, std::regex(R"(BONE (\d+))"))) {
      XanimExportPart& p = world.emplace_back();
      std::getline(in, line);
      std::sscanf(line.c_str(), "OFFSET %f, %f, %f", &p.offset[0], &p.offset[1], &p.offset[2]);
      std::getline(in, line);  // SCALE
      for (int a = 0; a < 3 && std::getline(in, line); ++a)
        std::sscanf(line.c_str(), "%*c %f, %f, %f", &p.axes[a][0], &p.axes[a][1], &p.axes[a][2]);
    } else if (line.starts_with("NUMVERTS")) {
      break;
    }
  }
  for (const std::string& n : rig.names) rig.skeleton.names.emplace_back(n);
  rig.skeleton.parents = parents;
  for (size_t i = 0; i < world.size(); ++i) {
    BonePose& pose = rig.skeleton.bind_pose.emplace_back();
    const XanimExportPart& w = world[i];
    if (parents[i] < 0) {
      QuatOf(w.axes, pose.rotation);
      std::copy(w.offset, w.offset + 3, pose.translation);
      continue;
    }
    float local[3][3];
    Relative(world[size_t(parents[i])], w, local, pose.translation);
    QuatOf(local, pose.rotation);
  }
  return rig;
}

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(XanimSources, CompiledViewmodelAnimationsMatchTheirSources) {
  const std::string root = model_test::SamplesDir() + "/cod4-xanim/";
  if (!fs::is_directory(root)) GTEST_SKIP() << "no " << root;
  const Rig rig = ReadRig(root + "model_export/viewmodel_m16_animated.XMODEL_EXPORT");
  model_test::TempDir dir;
  ASSERT_GT(rig.names.size(), 60u);
  const std::set<std::string> left_arm = {"j_shoulder_le", "j_elbow_le", "j_wrist_le", "j_wristtwist_le"};
  std::ifstream gdt(root + "xanim_export/xanim_viewmodel.gdt");
  const std::string text((std::istreambuf_iterator<char>(gdt)), {});
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
    ASSERT_TRUE(xanim_text::Read(found, theirs)) << found;

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
    Xmodel unused;
    const XanimExportData frames =
        XanimFrames(unused, rig.skeleton, {name, "", compiled.keyed_frames(), compiled.frame_rate, {}, &binding});
    const std::string written = dir.Sub(name + ".XANIM_EXPORT");
    ASSERT_EQ(WriteXanimExport(written, frames), err::kSuccess);
    XanimExportData back;
    ASSERT_TRUE(xanim_text::Read(written, back)) << written;
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

}  // namespace
