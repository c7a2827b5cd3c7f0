// Drawing the scene: immediate mode for the helpers, one indexed draw per
// surface for the model.
#include "viewer/model_renderer.h"

#include <GL/glew.h>

#include <array>
#include <cmath>

#include "viewer/phong_shader.h"

namespace {

void DrawGrid(const float colour[3]) {
  glColor4f(colour[0], colour[1], colour[2], 1.0f);
  glBegin(GL_LINES);
  for (int k = -50; k <= 50; k += 5) {
    if (k == 0) glColor4f(1, 0, 0, 0.7f);
    glVertex3f(-50, 0, float(k));
    glVertex3f(50, 0, float(k));
    glVertex3f(float(k), 0, -50);
    glVertex3f(float(k), 0, 50);
    if (k == 0) glColor4f(colour[0], colour[1], colour[2], 1.0f);
  }
  glEnd();
}

struct AxisVertex {
  unsigned char colour[4];
  float position[3];
};

void DrawAxis() {
  static const AxisVertex kAxis[] = {
      {{255, 255, 0, 255}, {0, 0, 0}}, {{255, 255, 0, 255}, {5, 0, 0}},
      {{0, 255, 0, 255}, {0, 0, 0}},   {{0, 255, 0, 255}, {0, 5, 0}},
      {{0, 0, 255, 255}, {0, 0, 0}},   {{0, 0, 255, 255}, {0, 0, 5}},
  };
  glTranslatef(0, 0.1f, 0);
  glInterleavedArrays(GL_C4UB_V3F, 0, kAxis);
  glDrawArrays(GL_LINES, 0, 6);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glTranslatef(0, -0.1f, 0);
}

void Circle() {
  glBegin(GL_LINE_LOOP);
  for (int i = 0; i < 15; ++i) {
    double a = 2 * M_PI * i / 15;
    glVertex3f(float(0.5 * std::cos(a)), float(0.5 * std::sin(a)), 0);
  }
  glEnd();
}

// A column-major 4 x 4 matrix, as GL keeps them.
using Matrix = std::array<double, 16>;

Matrix Multiply(const Matrix& a, const double* b) {
  Matrix out{};
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r)
      for (int k = 0; k < 4; ++k) out[size_t(c * 4 + r)] += a[size_t(k * 4 + r)] * b[c * 4 + k];
  return out;
}

// A joint under `parent`, then its children. Each joint's matrix is made
// here rather than on GL's matrix stack: two pushes a level overflowed it
// (32 deep at the least) on chains of more than 15 bones, which then drew
// in the wrong places with a GL error every frame.
void DrawJoint(const Joint* j, const Matrix& parent) {
  const float* p = j->position;
  const double move[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, p[0], p[1], p[2], 1};
  const Matrix at = Multiply(parent, move);
  glLoadMatrixd(at.data());
  glColor4f(0.6f, 0, 0, 1);
  float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
  if (length > 0) {
    float s = 0.5f / length;
    glBegin(GL_LINES);
    glVertex3f(-p[0] * s, -p[1] * s, -p[2] * s);
    glVertex3f(-p[0] + p[0] * s, -p[1] + p[1] * s, -p[2] + p[2] * s);
    glEnd();
  }
  const Matrix turned = Multiply(at, j->rotation);
  glLoadMatrixd(turned.data());
  glColor4f(0, 0.75f, 0.2f, 1);
  Circle();
  glRotatef(90, 1, 0, 0);
  Circle();
  glRotatef(90, 0, 1, 0);
  Circle();
  for (int c = 0; c < j->child_count; ++c) DrawJoint(j->children[c], turned);
}

}  // namespace

bool ModelRenderer::DrawScene(const ShownModel& shown, WorkerGlBuilder& gl_data,
                              const ViewSettings& view) {
  glDisable(GL_LIGHTING);
  if (view.draw_grid) DrawGrid(view.grid_colour);
  if (view.draw_axis) DrawAxis();

  glPushMatrix();
  glRotatef(-90, 1, 0, 0);  // models are Z-up, the view is Y-up
  if (view.wireframe) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.05f);
  glEnable(GL_LIGHTING);

  ModelBounds copied;
  bool loaded = DrawModel(shown, gl_data, view, copied);
  if (loaded && copied.valid && light[2] != copied.max[2] + 30) {
    light[0] = copied.max[0] + 20;
    light[1] = copied.max[1] + 20;
    light[2] = copied.max[2] + 30;
    const float position[4] = {light[0], light[1], light[2], 1};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    box = copied;
    for (int k = 0; k < 3; ++k) {
      box_size[k] = copied.max[k] - copied.min[k];
      box_centre[k] = (copied.max[k] + copied.min[k]) / 2;
    }
  }
  if (!loaded) box.valid = false;
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);

  if (loaded && view.draw_bones) DrawSkeleton(gl_data.skeleton);
  if (loaded && view.bounding_box && box.valid) {
    glColor4f(1, 0, 0, 0.7f);
    DrawBox();
  }
  if (loaded && view.central_locator && box.valid) {
    glPushMatrix();
    glTranslatef(box_centre[0], box_centre[1], box_centre[2]);
    DrawLocator();
    glPopMatrix();
  }
  glPopMatrix();
  if (view.wireframe) glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  return true;
}

bool ModelRenderer::DrawModel(const ShownModel& shown, WorkerGlBuilder& gl_data,
                              const ViewSettings& view, ModelBounds& copied) {
  const ModelDrawData& draw = gl_data.draw;
  if (draw.surfaces.empty()) return false;
  Shader* shader = view.apply_phong_shade ? CurrentShader() : nullptr;
  if (shader) glUseProgram(shader->program);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  for (const SurfaceDraw& s : draw.surfaces) {
    glBindBuffer(GL_ARRAY_BUFFER, s.vertex_buffer);
    glVertexPointer(3, GL_FLOAT, kVertexStride, reinterpret_cast<const void*>(kPositionOffset));
    glNormalPointer(GL_FLOAT, kVertexStride, reinterpret_cast<const void*>(kNormalOffset));
    glClientActiveTexture(GL_TEXTURE0);
    glActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, kVertexStride, reinterpret_cast<const void*>(kUvOffset));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s.index_buffer);
    if (s.textures[0]) {
      glBindTexture(GL_TEXTURE_2D, s.textures[0]);
    } else if (shader) {
      glBindTexture(GL_TEXTURE_2D, shader->blank_colour_map);
    }
    if (shader) {
      // The extra maps by the shader's flags; unit 0 stays the colour map.
      if ((shader->map_flags & 3) == 1 && s.textures[1]) {
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, s.textures[1]);
      }
      if ((shader->map_flags & 3) == 2 && s.textures[2]) {
        glActiveTexture(GL_TEXTURE2);
        glBindTexture(GL_TEXTURE_2D, s.textures[2]);
      }
      if ((shader->map_flags & 3) == 3 && s.textures[3]) {
        glActiveTexture(GL_TEXTURE3);
        glBindTexture(GL_TEXTURE_2D, s.textures[3]);
      }
      glActiveTexture(GL_TEXTURE0);
    }
    glDrawElements(GL_TRIANGLES, s.index_count, GL_UNSIGNED_SHORT, nullptr);
  }
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  if (shader) glUseProgram(0);
  copied = shown.ShownBounds();
  return true;
}

void ModelRenderer::DrawSkeleton(Skeleton& skeleton) {
  Joint* root = skeleton.root();
  if (!root || skeleton.joint_count() < 2) return;
  glDisable(GL_DEPTH_TEST);
  Matrix view;
  glGetDoublev(GL_MODELVIEW_MATRIX, view.data());
  glPushMatrix();
  for (int c = 0; c < root->child_count; ++c) DrawJoint(root->children[c], view);
  glPopMatrix();
  glEnable(GL_DEPTH_TEST);
}

void ModelRenderer::DrawBox() {
  const float* a = box.min;
  const float* b = box.max;
  for (float y : {a[1], b[1]}) {
    glBegin(GL_LINE_LOOP);
    glVertex3f(a[0], y, a[2]);
    glVertex3f(b[0], y, a[2]);
    glVertex3f(b[0], y, b[2]);
    glVertex3f(a[0], y, b[2]);
    glEnd();
  }
  glBegin(GL_LINES);
  for (float x : {a[0], b[0]})
    for (float z : {a[2], b[2]}) {
      glVertex3f(x, a[1], z);
      glVertex3f(x, b[1], z);
    }
  glEnd();
}

void ModelRenderer::DrawLocator() {
  glColor4f(0, 0, 1, 1);
  glDisable(GL_DEPTH_TEST);
  glBegin(GL_LINES);
  glVertex3f(-2.5f, 0, 0);
  glVertex3f(2.5f, 0, 0);
  glVertex3f(0, -2.5f, 0);
  glVertex3f(0, 2.5f, 0);
  glVertex3f(0, 0, -2.5f);
  glVertex3f(0, 0, 2.5f);
  glEnd();
  glEnable(GL_DEPTH_TEST);
}
