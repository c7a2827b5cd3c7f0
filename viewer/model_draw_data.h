// The GPU side of the loaded model: one vertex and one index buffer per
// surface and its material's texture units. Built by the worker in its
// shared context, drawn by the main thread; both only under the worker's
// `lock`. No fixed limit on surfaces or textures.
#pragma once

#include <GL/glew.h>

#include <vector>

struct SurfaceDraw {
  GLuint vertex_buffer = 0;
  GLuint index_buffer = 0;
  GLsizei index_count = 0;
  GLuint textures[4] = {0, 0, 0, 0};  // 0 colour, 2 normal, 3 specular; 1 unused
};

struct ModelDrawData {
  std::vector<SurfaceDraw> surfaces;
  std::vector<GLuint> owned_textures;
};

// Vertex buffer layout: normal at 0, texture coordinate at 16, position at
// 48, 64 bytes a vertex.
inline constexpr GLsizei kVertexStride = 64;
inline constexpr size_t kNormalOffset = 0;
inline constexpr size_t kUvOffset = 16;
inline constexpr size_t kPositionOffset = 48;
