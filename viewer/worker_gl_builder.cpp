// Buffers and textures of the loaded model, made in the worker's context.
#include "viewer/worker_gl_builder.h"

#include <cstring>

#include "base/logger.h"

void WorkerGlBuilder::ReleaseCurrent() {
  // Commands issued here must reach the GPU before the main context draws
  // with the objects they made.
  glFinish();
  platform::GlWindow::ReleaseCurrent();
}

void WorkerGlBuilder::DeleteModelObjects() {
  for (SurfaceDraw& s : draw.surfaces) {
    if (s.vertex_buffer) glDeleteBuffers(1, &s.vertex_buffer);
    if (s.index_buffer) glDeleteBuffers(1, &s.index_buffer);
  }
  if (!draw.owned_textures.empty()) {
    Logger().log("Deleting (%i) materials", int(draw.owned_textures.size()));
    glDeleteTextures(GLsizei(draw.owned_textures.size()), draw.owned_textures.data());
  }
  draw = ModelDrawData{};
  ++builds;
}

void WorkerGlBuilder::RebuildTrees(const Xmodel& model) {
  // FIXME: the properties and tags trees belong to the GUI toolkit, which
  // comes later; the bone display is rebuilt here meanwhile.
  skeleton.Build(model);
}

void WorkerGlBuilder::BuildModelData(Xmodel& model) {
  if (model.lods.empty() || !model.ShownLod().surfaces_loaded) return;
  XmodelLod& lod = model.ShownLod();

  // Textures: the images the texture pick loaded (without the lock) for
  // each material, uploaded here in the shared context.
  const MaterialLibrary& library = model.material_library;
  std::vector<std::array<GLuint, 4>> material_units(library.entries.size());
  if (upload_image) {
    for (size_t m = 0; m < library.texture_sets.size() && m < material_units.size(); ++m) {
      MaterialTextures& set = model.material_library.texture_sets[m];
      for (int u = 0; u < kTextureSetUnits; ++u) {
        if (!set.loaded[size_t(u)]) continue;
        GLuint tex = upload_image(set.units[size_t(u)]);
        if (!tex) continue;
        material_units[m][size_t(kViewerTextureUnit[u])] = tex;
        draw.owned_textures.push_back(tex);
      }
    }
  }

  std::vector<uint8_t> vertices;
  for (size_t si = 0; si < lod.surfaces.size(); ++si) {
    const XmodelSurface& s = lod.surfaces[si];
    SurfaceDraw d;
    vertices.assign(s.vertices.size() * kVertexStride, 0);
    for (size_t v = 0; v < s.vertices.size(); ++v)
      std::memcpy(vertices.data() + v * kVertexStride, &s.vertices[v], sizeof(XmodelVertex));
    glGenBuffers(1, &d.vertex_buffer);
    glBindBuffer(GL_ARRAY_BUFFER, d.vertex_buffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size()), vertices.data(), GL_STATIC_DRAW);
    glGenBuffers(1, &d.index_buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, d.index_buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(s.triangles.size() * sizeof(uint16_t)),
                 s.triangles.data(), GL_STATIC_DRAW);
    d.index_count = GLsizei(s.triangles.size());
    if (si < lod.materials.size()) {
      for (size_t m = 0; m < model.material_library.entries.size(); ++m)
        if (model.material_library.entries[m].name == lod.materials[si]) {
          for (int u = 0; u < 4; ++u) d.textures[u] = material_units[m][size_t(u)];
          break;
        }
    }
    draw.surfaces.push_back(d);
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  ++builds;
  if (model_built) model_built(model);
}
