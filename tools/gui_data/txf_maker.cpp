// txf_maker: rasterises the printable ASCII glyphs of an outline font
// (.otf, .t1, .ttf: anything FreeType opens) into a TXF texture font, the
// format PLIB's fntTexFont reads for the interface's text.
//
//   txf_maker FONT_FILE OUT.txf [PIXEL_SIZE] [TEXTURE_WIDTH]
//
// TXF layout (all words in the writer's byte order, told by the endianness
// word): "\xfftxf", 0x12345678, format (0 = one alpha byte per texel),
// texture width, height, max ascent, max descent, glyph count; per glyph
// {u16 char, u8 width, u8 height, s8 x offset, s8 y offset, s8 advance,
// u8 pad, s16 x, s16 y}; then width * height texel bytes, bottom row first
// (the rows go to GL as they are, so a glyph's y is its lowest row).
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kFirstChar = 32;  // space
constexpr uint32_t kLastChar = 126;  // '~'
// Empty texels around each glyph: PLIB builds the mip chain itself by 2x2
// averaging, and the interface draws the fonts at a quarter of their size
// or less, so neighbours must stay apart for a few levels.
constexpr int kGap = 6;

struct Glyph {
  uint16_t c = 0;
  int width = 0, height = 0;
  int x_offset = 0, y_offset = 0, advance = 0;
  int x = 0, y = 0;
  std::vector<uint8_t> rows;  // top row first, as FreeType renders it
};

bool Fail(const char* what, const char* detail) {
  std::fprintf(stderr, "txf_maker: %s%s%s\n", what, detail ? ": " : "", detail ? detail : "");
  return false;
}

void PutWord(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t b[4];
  std::memcpy(b, &v, 4);
  out.insert(out.end(), b, b + 4);
}

void PutHalf(std::vector<uint8_t>& out, uint16_t v) {
  uint8_t b[2];
  std::memcpy(b, &v, 2);
  out.insert(out.end(), b, b + 2);
}

bool RenderGlyphs(const char* font_path, int pixel_size, std::vector<Glyph>& glyphs) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library)) return Fail("FreeType did not start", nullptr);
  FT_Face face = nullptr;
  bool ok = false;
  if (FT_New_Face(library, font_path, 0, &face)) {
    Fail("cannot open the font", font_path);
  } else if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixel_size))) {
    Fail("the font has no such size", font_path);
  } else {
    ok = true;
    for (uint32_t c = kFirstChar; c <= kLastChar && ok; ++c) {
      if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL)) {
        ok = Fail("glyph not rendered", font_path);
        break;
      }
      const FT_GlyphSlot slot = face->glyph;
      const FT_Bitmap& bm = slot->bitmap;
      Glyph g;
      g.c = uint16_t(c);
      g.width = int(bm.width);
      g.height = int(bm.rows);
      g.x_offset = slot->bitmap_left;
      g.y_offset = slot->bitmap_top - int(bm.rows);
      g.advance = int((slot->advance.x + 32) >> 6);
      if (g.width > 255 || g.height > 255 || g.advance > 127 || g.x_offset < -128 || g.x_offset > 127 ||
          g.y_offset < -128 || g.y_offset > 127) {
        ok = Fail("glyph too large for TXF's byte fields; use a smaller pixel size", nullptr);
        break;
      }
      if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && g.width > 0) {
        ok = Fail("FreeType gave no grey bitmap", font_path);
        break;
      }
      g.rows.resize(size_t(g.width) * size_t(g.height));
      for (int r = 0; r < g.height; ++r)
        std::memcpy(&g.rows[size_t(r) * size_t(g.width)], bm.buffer + ptrdiff_t(r) * bm.pitch, size_t(g.width));
      glyphs.push_back(std::move(g));
    }
  }
  if (face) FT_Done_Face(face);
  FT_Done_FreeType(library);
  return ok;
}

// Shelf packing in character order; returns the power-of-two height used.
int Pack(std::vector<Glyph>& glyphs, int tex_width) {
  int x = kGap, y = kGap, shelf = 0;
  for (Glyph& g : glyphs) {
    if (x + g.width + kGap > tex_width) {
      x = kGap;
      y += shelf + kGap;
      shelf = 0;
    }
    g.x = x;
    g.y = y;
    x += g.width + kGap;
    shelf = std::max(shelf, g.height);
  }
  const int used = y + shelf + kGap;
  int height = 1;
  while (height < used) height *= 2;
  return height;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 5) {
    std::fprintf(stderr, "usage: txf_maker FONT_FILE OUT.txf [PIXEL_SIZE] [TEXTURE_WIDTH]\n");
    return 2;
  }
  const int pixel_size = argc > 3 ? std::atoi(argv[3]) : 44;
  const int tex_width = argc > 4 ? std::atoi(argv[4]) : 512;
  // PLIB refuses (fatally) a texture that is not a power of two.
  if (pixel_size < 4 || pixel_size > 100 || tex_width < 64 || tex_width > 4096 || (tex_width & (tex_width - 1))) {
    std::fprintf(stderr, "txf_maker: pixel size 4-100 and a power-of-two texture width 64-4096\n");
    return 2;
  }

  std::vector<Glyph> glyphs;
  if (!RenderGlyphs(argv[1], pixel_size, glyphs)) return 1;
  const int tex_height = Pack(glyphs, tex_width);
  if (tex_height > 4096) {
    std::fprintf(stderr, "txf_maker: glyphs do not fit a %d-wide texture\n", tex_width);
    return 1;
  }

  int max_ascent = 0, max_descent = 0;
  for (const Glyph& g : glyphs) {
    if (g.height == 0) continue;
    max_ascent = std::max(max_ascent, g.y_offset + g.height);
    max_descent = std::max(max_descent, -g.y_offset);
  }
  // PLIB draws a glyph at (its pixels / the ascent field) x the point size.
  // The tallest glyph's ascent made "point size 10" a 13-pixel em, too wide
  // for the interface's fixed positions; the whole em as the unit makes the
  // point size the em in pixels, as the layout was drawn for.
  max_ascent = std::max(max_ascent, pixel_size);

  std::vector<uint8_t> texels(size_t(tex_width) * size_t(tex_height), 0);
  for (const Glyph& g : glyphs)
    for (int r = 0; r < g.height; ++r)
      std::memcpy(&texels[size_t(g.y + g.height - 1 - r) * size_t(tex_width) + size_t(g.x)],
                  &g.rows[size_t(r) * size_t(g.width)], size_t(g.width));

  std::vector<uint8_t> out = {0xff, 't', 'x', 'f'};
  PutWord(out, 0x12345678u);
  PutWord(out, 0);  // byte format
  PutWord(out, uint32_t(tex_width));
  PutWord(out, uint32_t(tex_height));
  PutWord(out, uint32_t(max_ascent));
  PutWord(out, uint32_t(max_descent));
  PutWord(out, uint32_t(glyphs.size()));
  for (const Glyph& g : glyphs) {
    PutHalf(out, g.c);
    out.push_back(uint8_t(g.width));
    out.push_back(uint8_t(g.height));
    out.push_back(uint8_t(int8_t(g.x_offset)));
    out.push_back(uint8_t(int8_t(g.y_offset)));
    out.push_back(uint8_t(int8_t(g.advance)));
    out.push_back(0);
    PutHalf(out, uint16_t(g.x));
    PutHalf(out, uint16_t(g.y));
  }
  out.insert(out.end(), texels.begin(), texels.end());

  std::FILE* f = std::fopen(argv[2], "wb");
  if (!f) {
    std::perror(argv[2]);
    return 1;
  }
  const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  if (std::fclose(f) != 0 || !written) {
    std::fprintf(stderr, "txf_maker: cannot write %s\n", argv[2]);
    std::remove(argv[2]);
    return 1;
  }
  return 0;
}
