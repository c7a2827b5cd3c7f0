// Building, registering and releasing the phong program.
#include "viewer/phong_shader.h"

#include <fstream>
#include <sstream>

#include "base/logger.h"

namespace {

std::map<int, std::unique_ptr<Shader>> g_shaders;
Shader* g_current = nullptr;

bool ReadWhole(const std::string& path, std::string& out) {
  std::ifstream in(path);
  if (!in) return false;
  std::stringstream ss;
  ss << in.rdbuf();
  out = ss.str();
  return true;
}

void Compile(GLuint shader) {
  glCompileShader(shader);
  GLint status = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  if (status) return;
  char log[513] = {};
  GLsizei length = 0;
  glGetShaderInfoLog(shader, 512, &length, log);
  if (length > 0) {
    char message[QorLogger::kLineCapacity];
    std::snprintf(message, sizeof message, "Shader %i (%s) compile error: %s", int(shader), "", log);
    Logger().critical_error(message);
  }
}

}  // namespace

Shader::~Shader() {
  if (blank_colour_map) glDeleteTextures(1, &blank_colour_map);
  if (!program) return;
  glDetachShader(program, fragment_shader);
  glDetachShader(program, vertex_shader);
  glDeleteShader(fragment_shader);
  glDeleteShader(vertex_shader);
  glDeleteProgram(program);
}

void PrepareShaders(const std::string& folder) {
  auto shader = std::make_unique<Shader>();
  shader->vertex_shader = glCreateShader(GL_VERTEX_SHADER);
  shader->fragment_shader = glCreateShader(GL_FRAGMENT_SHADER);
  std::string vertex_source, fragment_source;
  if (!ReadWhole(folder + "/phong_fixed_w.vert", vertex_source) ||
      !ReadWhole(folder + "/phong_fixed_w.frag", fragment_source))
    Logger().critical_error("Either 'vertex' or 'fragment' shader not found");
  const char* vs = vertex_source.c_str();
  const char* fs = fragment_source.c_str();
  glShaderSource(shader->vertex_shader, 1, &vs, nullptr);
  glShaderSource(shader->fragment_shader, 1, &fs, nullptr);
  Compile(shader->vertex_shader);
  Compile(shader->fragment_shader);

  shader->program = glCreateProgram();
  glAttachShader(shader->program, shader->fragment_shader);
  glAttachShader(shader->program, shader->vertex_shader);
  glLinkProgram(shader->program);
  GLint linked = 0;
  glGetProgramiv(shader->program, GL_LINK_STATUS, &linked);
  char log[513] = {};
  GLsizei length = 0;
  if (!linked) {
    glGetProgramInfoLog(shader->program, 512, &length, log);
    Logger().warning("Program %i Link error(%i): %s", int(shader->program), int(length), log);
  }
  glValidateProgram(shader->program);
  length = 0;
  log[0] = 0;
  glGetProgramInfoLog(shader->program, 512, &length, log);
  if (length > 0 && log[0]) Logger().log("Program %i Validation results at: %s", int(shader->program), log);
  const GLubyte white[4] = {255, 255, 255, 255};
  glGenTextures(1, &shader->blank_colour_map);
  glBindTexture(GL_TEXTURE_2D, shader->blank_colour_map);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  glBindTexture(GL_TEXTURE_2D, 0);
  shader->ok = true;
  shader->PostLink();
  g_current = shader.get();
  g_shaders[1] = std::move(shader);
}

void ReleaseShaders() {
  g_current = nullptr;
  g_shaders.clear();
}

Shader* CurrentShader() { return g_current; }
