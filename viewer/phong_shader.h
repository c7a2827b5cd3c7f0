// The optional per-pixel lighting program, built once at start-up from the
// two GLSL files shipped beside the program. It uses the fixed-function
// light 0, the material and the texture on unit 0; it sets no uniforms.
#pragma once

#include <GL/glew.h>

#include <map>
#include <memory>
#include <string>

class Shader {
 public:
  virtual ~Shader();
  virtual void PostLink() {}

  bool ok = false;
  GLuint program = 0;
  GLuint vertex_shader = 0;
  GLuint fragment_shader = 0;
  unsigned map_flags = 0;  // bit 0: slot 1 on unit 1; bit 1: normal map; both: specular map
  // One white texel, bound for surfaces without a colour map: the program
  // multiplies the light by the texture, and sampling no texture gives
  // black, where the fixed-function path shows the material's grey.
  GLuint blank_colour_map = 0;
};

// Builds the phong shader from `folder`/"phong_fixed_w.vert" and ".frag"
// and registers it under key 1. A missing file or a compile error with a log
// ends the program (critical error); link problems are warnings.
void PrepareShaders(const std::string& folder);
void ReleaseShaders();
Shader* CurrentShader();
