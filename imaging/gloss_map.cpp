#include "imaging/gloss_map.h"

bool GlossToRoughness(std::span<const uint32_t> specular, std::vector<uint32_t>& roughness) {
  roughness.clear();
  bool any_gloss = false;
  for (uint32_t p : specular) any_gloss |= (p >> 24) != 0xFF;
  if (!any_gloss) return false;
  roughness.reserve(specular.size());
  for (uint32_t p : specular) roughness.push_back(0xFF000000u | (0xFFu - (p >> 24)) << 8);
  return true;
}
