#include "export/animation_frames.h"

XanimExportData XanimFrames(const Xmodel&, const ModelSkeleton& skeleton, const SampledAnimation& a) {
  XanimExportData out;
  out.source = a.source;
  out.frame_rate = a.frame_rate;
  out.notes = a.notes;
  out.parts.assign(skeleton.names.begin(), skeleton.names.end());
  std::vector<BonePose> pose;
  std::vector<BoneMatrix> world;
  for (int f = 0; f < a.frames; ++f) {
    a.binding->PoseAt(f, pose);
    ComposeBones(skeleton.parents, pose, skeleton.bind_pose, world);
    std::vector<XanimExportPart>& parts = out.frames.emplace_back(world.size());
    for (size_t b = 0; b < world.size(); ++b) {
      const BoneMatrix& m = world[b];
      for (int r = 0; r < 3; ++r) {
        parts[b].offset[r] = m.m[r][3];
        // The bone's axes in model space: the rotation's columns.
        for (int axis = 0; axis < 3; ++axis) parts[b].axes[axis][r] = m.m[r][axis];
      }
    }
  }
  return out;
}

GltfAnimation GltfFrames(const Xmodel& model, const ModelSkeleton& skeleton, const SampledAnimation& a) {
  // The glTF's bones stand with the load scale, as its vertices do.
  const float scale = model.scale;
  GltfAnimation out;
  out.name = a.name;
  const size_t bones = skeleton.names.size();
  for (size_t b = 0; b < bones; ++b) {
    out.channels.push_back({b, true, {}, {}});
    out.channels.push_back({b, false, {}, {}});
  }
  std::vector<BonePose> pose;
  for (int f = 0; f < a.frames; ++f) {
    a.binding->PoseAt(f, pose);
    const float time = float(f) / float(a.frame_rate > 0 ? a.frame_rate : 30);
    for (size_t b = 0; b < bones; ++b) {
      GltfAnimation::Channel& turn = out.channels[2 * b];
      GltfAnimation::Channel& move = out.channels[2 * b + 1];
      turn.times.push_back(time);
      move.times.push_back(time);
      turn.values.insert(turn.values.end(), pose[b].rotation, pose[b].rotation + 4);
      for (int k = 0; k < 3; ++k) move.values.push_back(pose[b].translation[k] * scale);
    }
  }
  if (a.frames == 0) out.channels.clear();
  for (const XanimExportData::Note& n : a.notes)
    out.markers.push_back({n.name, float(n.frame) / float(a.frame_rate > 0 ? a.frame_rate : 30)});
  return out;
}
