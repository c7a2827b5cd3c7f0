#include "gui/draw2d_gl.h"

#include <GL/glew.h>
#include <plib/fnt.h>

#include <algorithm>
#include <string>

#include "base/logger.h"

namespace {

struct FontFile {
  const char* file;
  const char* name;
};
constexpr FontFile kFonts[2] = {
    {"Fonts/Helvetica-Bold.txf", "Helvetica-Bold"},
    {"Fonts/Bookman-Demi.txf", "Bookman-Demi"},
};

}  // namespace

GlDraw2D::GlDraw2D() = default;
GlDraw2D::~GlDraw2D() = default;

void GlDraw2D::LoadFonts(const std::string& data_dir) {
  for (int i = 0; i < 2; ++i) {
    auto font = std::make_unique<fntTexFont>();
    const std::string path = data_dir + "/" + kFonts[i].file;
    if (font->load(path.c_str(), GL_NEAREST, GL_LINEAR_MIPMAP_LINEAR) == FNT_TRUE) {
      fonts_[i] = std::move(font);
      Logger().log("Loaded Font: '%s'", kFonts[i].name);
    } else {
      // A plain line, so hiding warnings never hides it.
      Logger().log("^1Failed To Load Font: '%s'", kFonts[i].name);
    }
  }
}

void GlDraw2D::DeleteFonts() {
  if (fonts_[0]) Logger().log("UnloadedFont: 'Helvetica-Bold.'");
  if (fonts_[1]) Logger().log("UnloadedFont: 'Bookman-Demi'");
  fonts_[0].reset();
  fonts_[1].reset();
  if (sampler_ != 0) glDeleteSamplers(1, &sampler_);
  sampler_ = 0;
}

fntTexFont* GlDraw2D::Current() const { return fonts_[state_.font == GuiFont::kBookman ? 1 : 0].get(); }

// Everything the pass changes is saved here and put back in Leave2D, so the
// 3D pass of the next frame starts from its own state.
void GlDraw2D::Enter2D(int width, int height) {
  if (in_2d_) return;
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_LINE_BIT |
               GL_POLYGON_BIT | GL_DEPTH_BUFFER_BIT | GL_SCISSOR_BIT);
  height_ = height;
  translation_.clear();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  blend_ = true;
  alpha_ = 1.0f;
  if (sampler_ == 0 && GLEW_ARB_sampler_objects) {
    // The pictures' own wrap and magnification, no mip filtering.
    glGenSamplers(1, &sampler_);
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  }
  in_2d_ = true;
}

void GlDraw2D::Leave2D() {
  if (!in_2d_) return;
  glBindTexture(GL_TEXTURE_2D, 0);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
  in_2d_ = false;
}

void GlDraw2D::PushTranslate(float x, float y) {
  glPushMatrix();
  glTranslatef(x, y, 0);
  const Offset top = translation_.empty() ? Offset{0, 0} : translation_.back();
  translation_.push_back({top.x + x, top.y + y});
}

void GlDraw2D::Pop() {
  glPopMatrix();
  if (!translation_.empty()) translation_.pop_back();
}

// The scissor box is in window pixels with y up.
void GlDraw2D::Clip(float x, float y, float w, float h) {
  const Offset top = translation_.empty() ? Offset{0, 0} : translation_.back();
  const int left = int(top.x + x), bottom = int(float(height_) - (top.y + y + h));
  glScissor(left, bottom, std::max(int(w), 0), std::max(int(h), 0));
  glEnable(GL_SCISSOR_TEST);
}

void GlDraw2D::Unclip() { glDisable(GL_SCISSOR_TEST); }

void GlDraw2D::Colour(float r, float g, float b, float a) {
  glColor4f(r, g, b, a);
  alpha_ = a;
}

// With blending on, a quad of alpha 0 leaves every pixel as it was (and
// text of alpha 0 fails the alpha test): a fading menu's first pass, or a
// hidden bar, costs no fill.
bool GlDraw2D::Invisible() const { return blend_ && alpha_ <= 0.0f; }

void GlDraw2D::FillRect(float x, float y, float w, float h) {
  if (Invisible()) return;
  glDisable(GL_TEXTURE_2D);
  glBegin(GL_QUADS);
  glVertex2f(x, y);
  glVertex2f(x + w, y);
  glVertex2f(x + w, y + h);
  glVertex2f(x, y + h);
  glEnd();
}

void GlDraw2D::OutlineRect(float x, float y, float w, float h) {
  if (Invisible()) return;
  glDisable(GL_TEXTURE_2D);
  glBegin(GL_LINE_LOOP);
  glVertex2f(x + 0.5f, y + 0.5f);
  glVertex2f(x + w - 0.5f, y + 0.5f);
  glVertex2f(x + w - 0.5f, y + h - 0.5f);
  glVertex2f(x + 0.5f, y + h - 0.5f);
  glEnd();
}

// A picture drawn at its size or larger is magnified everywhere, so GL
// samples its top level alone whatever the minifying filter says. Drawn
// through a sampler without mip filtering the pixels stay the same, but
// Mesa's software rasteriser (where the CPU fills every pixel) no longer
// works out a level per pixel, and the model list's large panel is such a
// picture. The bound texture's size is asked each time: pictures may be
// loaded again (themes) under texture names GL hands out again.
bool GlDraw2D::Magnified(float w, float h) {
  GLint tw = 0, th = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
  return tw > 0 && th > 0 && w >= float(tw) && h >= float(th);
}

// Texture v runs from 1 at the top edge to 0 at the bottom, as the DDS
// pictures are stored.
void GlDraw2D::Picture(uint32_t texture, float x, float y, float w, float h) {
  if (Invisible()) return;
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  const bool plain = sampler_ != 0 && texture != 0 && Magnified(w, h);
  if (plain) glBindSampler(0, sampler_);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 1);
  glVertex2f(x, y);
  glTexCoord2f(1, 1);
  glVertex2f(x + w, y);
  glTexCoord2f(1, 0);
  glVertex2f(x + w, y + h);
  glTexCoord2f(0, 0);
  glVertex2f(x, y + h);
  glEnd();
  if (plain) glBindSampler(0, 0);
}

void GlDraw2D::PictureTurned(uint32_t texture, float x, float y, float w, float h, int quarter_turns) {
  // The picture's corners (top left, top right, bottom right, bottom left)
  // moved round the quad by the turns.
  static constexpr float kCorners[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  const float at[4][2] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
  const int turn = ((quarter_turns % 4) + 4) % 4;
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) {
    const float* t = kCorners[(i + 4 - turn) % 4];
    glTexCoord2f(t[0], t[1]);
    glVertex2f(at[i][0], at[i][1]);
  }
  glEnd();
}

void GlDraw2D::Blend(bool on) {
  blend_ = on;
  if (on) {
    glEnable(GL_BLEND);
  } else {
    glDisable(GL_BLEND);
  }
}

void GlDraw2D::SetFont(const FontState& state) { state_ = state; }

// The fonts draw y up; the interface's projection is y down, so the text
// is flipped about its baseline.
void GlDraw2D::Text(float x, float y, std::string_view text) {
  fntTexFont* font = Current();
  if (!font || text.empty() || Invisible()) return;
  glPushMatrix();
  glTranslatef(x, y, 0);
  glScalef(1, -1, 1);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GEQUAL, state_.alpha_ref);
  sgVec3 pen = {kTextPenX, kTextPenY, 0};
  font->begin();
  // Line by line: the fonts have no line feed of their own. The lines go
  // through one kept buffer (the fonts want terminated strings).
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    line_.assign(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    sgVec3 at = {pen[0], pen[1], 0};
    font->puts(at, state_.size, state_.italic, line_.c_str());
    if (end == std::string_view::npos) break;
    pen[1] -= state_.size * kTextLineStep;
    start = end + 1;
  }
  font->end();
  glDisable(GL_ALPHA_TEST);
  glPopMatrix();
}

float GlDraw2D::TextWidth(std::string_view text) {
  fntTexFont* font = Current();
  if (!font || text.empty()) return 0;
  line_.assign(text);
  float left = 0, right = 0, bottom = 0, top = 0;
  font->getBBox(line_.c_str(), state_.size, state_.italic, &left, &right, &bottom, &top);
  return right - left;
}

TextBounds GlDraw2D::Bounds(std::string_view line) {
  fntTexFont* font = Current();
  if (!font || line.empty()) return {};
  line_.assign(line);
  float left = 0, right = 0, bottom = 0, top = 0;
  font->getBBox(line_.c_str(), state_.size, state_.italic, &left, &right, &bottom, &top);
  // The font's y runs up from the pen; ours runs down from the point given.
  return {kTextPenX + left, kTextPenX + right, -kTextPenY - top, -kTextPenY - bottom};
}
