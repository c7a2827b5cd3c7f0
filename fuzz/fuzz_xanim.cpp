// Fuzzes the compiled animation reader, and the binding and sampling of
// whatever it accepts on a small skeleton. Input: the whole file.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/anim_binding.h"
#include "model/xanim.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Xanim animation;
  if (ReadXanim(std::span<const uint8_t>(data, size), animation) != err::kSuccess) return 0;
  const std::vector<std::string_view> names = {"tag_origin", "j_mainroot", "j_spine4"};
  const std::vector<BonePose> bind(names.size());
  const std::vector<AnimChannels> channels = ChannelsOf(animation);
  AnimBinding binding;
  binding.Bind(names, bind, channels, animation.additive());
  std::vector<BonePose> pose;
  for (double frame : {-1.0, 0.0, 0.5, double(animation.frames), 1e9}) binding.PoseAt(frame, pose);
  return 0;
}
