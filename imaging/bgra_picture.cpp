#include "imaging/bgra_picture.h"

#include <algorithm>
#include <array>

#include "imaging/dds_header.h"

bool ReadBgraPicture(std::span<const uint8_t> file, BgraPicture& out) {
  if (file.size() < sizeof(DdsHeader)) return false;
  std::array<uint8_t, 128> raw{};
  std::copy(file.begin(), file.begin() + sizeof(DdsHeader), raw.begin());
  const DdsHeader h = dds::ToHeader(raw);
  if (!dds::HeaderValid(h) || (h.pf_flags & dds::kFourCC) || !(h.pf_flags & dds::kRGB) || h.rgb_bit_count != 32 ||
      h.r_mask != 0x00FF0000u || h.g_mask != 0x0000FF00u || h.b_mask != 0x000000FFu)
    return false;
  if (h.width < 1 || h.width > 4096 || h.height < 1 || h.height > 4096) return false;
  const size_t bytes = size_t(h.width) * h.height * 4;
  if (file.size() - sizeof(DdsHeader) < bytes) return false;
  out.width = int(h.width);
  out.height = int(h.height);
  out.bgra.assign(file.begin() + sizeof(DdsHeader), file.begin() + sizeof(DdsHeader) + std::ptrdiff_t(bytes));
  return true;
}
