// An animation bound to the loaded model, sampled at each of its frames
// for the exports: the XANIM_EXPORT's model-space parts a frame, and the
// glTF's parent-relative keys a bone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/gltf_animation.h"
#include "export/xanim_export_writer.h"
#include "model/anim_binding.h"
#include "model/skin_weights.h"
#include "model/xmodel.h"

struct SampledAnimation {
  std::string name;
  std::string source;  // the compiled file, for the text's header
  int frames = 0;      // keyed frames; a looping animation's last repeats its first
  int frame_rate = 30;
  std::vector<XanimExportData::Note> notes;
  const AnimBinding* binding = nullptr;
};

// Every frame's parts: each model bone's model-space offset and axes, in
// the file's units.
XanimExportData XanimFrames(const Xmodel& model, const ModelSkeleton& skeleton, const SampledAnimation& a);
// A rotation and a translation channel a model bone, a key a frame (the
// translations with the model's load scale, as the glTF's bones), and the
// notetracks at their times.
GltfAnimation GltfFrames(const Xmodel& model, const ModelSkeleton& skeleton, const SampledAnimation& a);
