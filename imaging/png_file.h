// PNG files of an image's top level (8-bit RGBA, alpha kept), for tools
// that take neither DDS nor TGA. A cube map's six faces stand side by side
// in one strip, in stored order, as in the TGA files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/image_codes.h"

class IwiImage;

// The top level decoded to B, G, R, A bytes (0xAARRGGBB words), top row
// first. 22 without a converter, 13 for a picture too large to hold; 7 when
// the level cannot be decoded.
[[nodiscard]] ImageResult DecodeTopLevel(const IwiImage& image, std::vector<uint32_t>& pixels, int32_t& width,
                                         int32_t& height);
// Reads a PNG into 0xAARRGGBB words, rows top first (icons); false when it
// cannot be read or is larger than 1024 pixels a side.
bool ReadPngArgb(const std::string& path, int32_t& width, int32_t& height, std::vector<uint32_t>& argb);

// The top level as the bytes of a PNG file (the glTF export embeds them);
// with `normal_map`, a stored normal map rebuilt as RGB normals.
[[nodiscard]] ImageResult EncodePNG(const IwiImage& image, std::vector<uint8_t>& bytes, bool normal_map = false);
// The same for a picture already decoded (0xAARRGGBB words, top row first).
[[nodiscard]] ImageResult EncodePixelsPNG(std::span<const uint32_t> argb, int32_t width, int32_t height,
                                          std::vector<uint8_t>& bytes);

// Writes `out_path` whole or not at all (a temporary file renamed over it).
[[nodiscard]] ImageResult WritePNG(const IwiImage& image, const std::string& out_path, bool normal_map = false);
// The same for bytes EncodePNG made.
[[nodiscard]] ImageResult WritePNGBytes(const std::vector<uint8_t>& bytes, const std::string& out_path);
